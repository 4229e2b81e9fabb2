#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

struct sqlite3;

// What a backup holds, read without changing it.
struct SBackupInfo {
    // daily: before the day's first write; beforeRestore and damaged: a register a
    // restore put aside; manual: made with ﾊﾞｯｸｱｯﾌﾟ作成; chosen: any file the user picks.
    enum class EKind { daily, beforeRestore, damaged, manual, chosen };

    QString path;
    QDateTime taken; // from its name, else when the file was last written
    QString problem; // empty when it passes the integrity check and holds both tables
    int units = -1;
    int employees = -1;
    EKind kind = EKind::daily;
    bool Ok() const { return problem.isEmpty(); }
    // A damaged register kept aside is never put back, whatever the check says now.
    bool Restorable() const { return Ok() && kind != EKind::damaged; }
};

// Copies of a database file in a folder beside it ("odata.mdb.backups" for
// "odata.mdb"), each named after the file's base name and when it was taken
// ("odata-20240131-081500.mdb"). Files the program puts aside on a restore
// ("odata-damaged-…", "odata-before-restore-…") live there too, but are no
// backups: they are never listed, rotated or offered.
class CDatabaseBackup final
{
public:
    static constexpr int kKeep = 14;

    enum class EAside { damaged, beforeRestore };

    static QString FolderOf(const QString &dbPath);
    static QString NameFor(const QString &dbPath, const QDateTime &when);
    static QString AsideNameFor(const QString &dbPath, EAside why, const QDateTime &when);

    // Copies through SQLite's online backup, so the copy is consistent even while
    // other connections read or write the source. No file is left at target on failure.
    static void Copy(const QString &source, const QString &target);
    // A backup into the folder beside dbPath, then only the newest kKeep are kept.
    static QString MakeBackup(const QString &dbPath, const QDateTime &when);
    // The backups of dbPath, newest first.
    static QStringList List(const QString &dbPath);
    static QDateTime TakenAt(const QString &backupPath);
    static void Rotate(const QString &dbPath, int keep = kKeep);

    // SQLite's quick integrity check; empty when the file is sound, else what is wrong.
    static QString QuickCheck(const QString &path);
    // What damage the file shows; empty when none. A file that cannot be read for
    // another cause (missing, in use, not permitted) is not called damaged.
    // opened, when given, is told the check's connection once open and nullptr before it
    // closes, so that another thread may interrupt the check (sqlite3_interrupt).
    static QString Damage(const QString &path, const std::function<void(sqlite3 *)> &opened = {});
    // The part of Damage that reads no more than the file's header.
    static QString HeadDamage(const QString &path);
    static SBackupInfo Inspect(const QString &backupPath);
    // The newest backup that passes the check; an empty path when none does.
    static SBackupInfo NewestSound(const QString &dbPath);

    // Puts a sound backup in dbPath's place. The current file (and any journal of
    // it) is moved aside into the backups folder, never overwritten; returns where.
    // Closes the shared connection to dbPath; every other one must be closed first.
    // On failure dbPath is as it was.
    static QString Restore(const QString &dbPath, const QString &backupPath, EAside why, const QDateTime &when);
};
