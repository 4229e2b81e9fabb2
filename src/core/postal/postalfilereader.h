#pragma once

#include "postal/postalentry.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <functional>
#include <vector>

// Japan Post's national postal code file (KEN_ALL.CSV in Shift_JIS, utf_ken_all.csv in
// UTF-8; either zipped as downloaded, or not): fifteen fields a line, the local government
// code first, the seven-digit code third, prefecture, city and town seventh to ninth.
// A town longer than a line goes on in the next lines with the same code, its
// parenthesis closed in the last. Read whole, or refused whole with the line that is not
// of the file.
class CPostalFileReader final
{
public:
    // The national file is about 12 MB, 18 MB in UTF-8: more, as read or unpacked, is no such file.
    static constexpr qint64 MaxBytes = qint64(64) << 20;
    // Lines read so far and in all.
    using Progress = std::function<void(qsizetype done, qsizetype total)>;

    explicit CPostalFileReader(Progress progress = {});

    // entries: one per code and town, by code, each town once; the file's order within a code.
    bool Read(const QString &path, std::vector<SPostalEntry> &entries, QString &error);
    // The same for the file's bytes; shown: the file as a message names it.
    bool ReadBytes(const QByteArray &bytes, const QString &shown, std::vector<SPostalEntry> &entries, QString &error);

private:
    struct SLine {
        QString code;
        QString prefecture;
        QString city;
        QString town;
    };

    static bool Unpack(const QString &path, QByteArray &bytes, QString &error);
    static bool Decode(const QByteArray &bytes, const QString &shown, QString &text, QString &error);
    // False when the line is not one of the file.
    static bool ParseLine(QStringView line, SLine &parsed);
    bool Parse(const QString &text, const QString &shown, std::vector<SPostalEntry> &entries, QString &error) const;
    static void SortAndMerge(std::vector<SPostalEntry> &entries);

    Progress m_progress;
};
