#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Which register field a file's column is read into, where the user says so
// rather than the header's name: "--map 社員番号=社員コード,年齢=取り込まない" on the
// command line, the preview's column choices in the window. A header it does not
// name is read by its name and aliases.
class CCsvColumnMap final
{
public:
    static QString SkipText() { return QStringLiteral("取り込まない"); }

    // "HEADER=COLUMN,..."; false with the reason, the map left empty.
    bool Parse(const QString &text, QString &error);
    // For one file only (file empty: any file); column empty or SkipText() skips it.
    void Set(const QString &file, const QString &header, const QString &column);
    bool IsEmpty() const { return m_targets.isEmpty(); }

    // The field a header of file is read into: a column of the file, -1 to skip it,
    // -2 when the map does not name the header. -3 with the reason when it names a column the file lacks.
    int Column(const QString &file, bool units, const QString &header, QString &error) const;
    // Headers the map names for any file that none of the files read had.
    QStringList Unused(const QStringList &seenHeaders) const;

    // Where the window remembers the choices for a file with these headers.
    static QString SettingsKey(const QString &file, const QStringList &headers);

private:
    static QString Key(const QString &file, const QString &header);
    QHash<QString, QString> m_targets; // file and folded header -> column name
};
