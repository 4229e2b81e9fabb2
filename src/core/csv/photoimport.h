#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSize>
#include <QString>

// A folder of face photos named by employee code, read and shown before anything
// is written: the files matched to an employee, those that match nobody, and
// those refused (too large, damaged, a code given twice).
class CPhotoImport final
{
public:
    struct SFile {
        QString name;
        qint32 code = 0;
        qint32 id = 0;
        QByteArray picture; // matched only
        QString message;    // refused only
    };

    // Reads the folder's picture files against idsByCode (code to employee id);
    // false with a message when the folder cannot be read.
    bool ReadFolder(const QString &folder, QSize box, const QHash<qint32, qint32> &idsByCode, QString &error);

    const QList<SFile> &Matched() const { return m_matched; }
    const QList<SFile> &Unmatched() const { return m_unmatched; }
    const QList<SFile> &Refused() const { return m_refused; }
    // The preview, in Japanese: the counts, then a line a file, at most shown a list.
    QString Text(int shown = -1) const;
    // Stores every matched photo in one write; returns how many employees got one.
    int Apply() const;

private:
    QList<SFile> m_matched;
    QList<SFile> m_unmatched;
    QList<SFile> m_refused;
};
