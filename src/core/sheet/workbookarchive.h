#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class CWorkbookPartDevice;

// The zip file a workbook is packed in, opened with minizip. Every part is read whole,
// but never more than its limit (MaxPartSize), whatever sizes the file itself claims.
class CWorkbookArchive final
{
public:
    static constexpr qint64 MaxPartSize = qint64(256) << 20;
    // Parts read whole (the workbook, its relations, its styles) are small in every workbook.
    static constexpr qint64 MaxWholePartSize = qint64(16) << 20;

    explicit CWorkbookArchive(qint64 maxPartSize = MaxPartSize);
    ~CWorkbookArchive();
    CWorkbookArchive(const CWorkbookArchive &) = delete;
    CWorkbookArchive &operator=(const CWorkbookArchive &) = delete;

    // False with a message for a file that is missing or no zip file.
    bool Open(const QString &path, QString &error);
    bool Contains(const QString &part) const;
    // The paths of the parts, in the order the file keeps them.
    QStringList Parts() const;
    // part: its path in the zip file, without a leading "/". False with a message when
    // it is missing, damaged or unpacks to more than the limit (the smaller of wholeLimit and
    // the archive's own).
    bool Read(const QString &part, QByteArray &bytes, QString &error, qint64 wholeLimit = MaxWholePartSize);
    // The same, unpacked as it is read; nullptr with a message when it cannot be opened.
    // Once read, Finished tells whether it was damaged or too large.
    std::unique_ptr<CWorkbookPartDevice> OpenPart(const QString &part, QString &error);
    bool Finished(const CWorkbookPartDevice &device, const QString &part, QString &error) const;
    QString Shown() const { return m_shown; }

private:
    bool TooLarge(const QString &part, QByteArray &bytes, QString &error, qint64 limit) const;

    qint64 m_maxPartSize;
    void *m_zip = nullptr; // minizip's unzFile
    QString m_shown;
};
