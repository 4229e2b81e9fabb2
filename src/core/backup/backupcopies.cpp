#include "backup/backupcopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>

namespace {
QRegularExpression AsidePattern(const QString &dbPath)
{
    const QFileInfo info(dbPath);
    const QString suffix = info.suffix().isEmpty() ? QString()
                                                   : QStringLiteral("\\.") + QRegularExpression::escape(info.suffix());
    return QRegularExpression(QStringLiteral("^%1-(before-restore|damaged)-\\d{8}-\\d{6}%2$")
                                  .arg(QRegularExpression::escape(info.completeBaseName()), suffix));
}

SBackupInfo Inspected(const QString &path, SBackupInfo::EKind kind)
{
    SBackupInfo info = CDatabaseBackup::Inspect(path);
    info.kind = kind;
    if (!info.taken.isValid())
        info.taken = QFileInfo(path).lastModified();
    return info;
}
} // namespace

QString CBackupCopies::ManualListPath(const QString &dbPath)
{
    return QDir(CDatabaseBackup::FolderOf(dbPath)).filePath(QStringLiteral("manual-backups.txt"));
}

QStringList CBackupCopies::Aside(const QString &dbPath)
{
    const QRegularExpression pattern = AsidePattern(dbPath);
    const QDir folder(CDatabaseBackup::FolderOf(dbPath));
    QStringList paths;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        if (pattern.match(name).hasMatch())
            paths << folder.filePath(name);
    }
    return paths;
}

QStringList CBackupCopies::Manual(const QString &dbPath)
{
    QFile list(ManualListPath(dbPath));
    if (!list.open(QIODevice::ReadOnly))
        return {};
    QStringList paths;
    for (const QString &line : QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        if (QFileInfo(line).isFile() && !paths.contains(line))
            paths << line;
    }
    return paths;
}

void CBackupCopies::NoteManual(const QString &dbPath, const QString &copyPath)
{
    QStringList paths = Manual(dbPath);
    const QString path = QFileInfo(copyPath).absoluteFilePath();
    if (paths.contains(path))
        return;
    paths << path;
    if (!QDir().mkpath(CDatabaseBackup::FolderOf(dbPath)))
        return;
    // Only a convenience of the restore list: a list that cannot be written loses nothing else.
    QSaveFile list(ManualListPath(dbPath));
    if (list.open(QIODevice::WriteOnly)) {
        list.write((paths.join(u'\n') + QLatin1Char('\n')).toUtf8());
        list.commit();
    }
}

QList<SBackupInfo> CBackupCopies::List(const QString &dbPath)
{
    using EKind = SBackupInfo::EKind;
    QList<SBackupInfo> copies;
    for (const QString &path : CDatabaseBackup::List(dbPath)) {
        if (SBackupInfo info = Inspected(path, EKind::daily); info.Ok())
            copies << info;
    }
    for (const QString &path : Aside(dbPath)) {
        const bool damaged = QFileInfo(path).fileName().contains(QLatin1String("-damaged-"));
        SBackupInfo info = Inspected(path, damaged ? EKind::damaged : EKind::beforeRestore);
        if (info.Ok() || damaged)
            copies << info;
    }
    for (const QString &path : Manual(dbPath)) {
        if (SBackupInfo info = Inspected(path, EKind::manual); info.Ok())
            copies << info;
    }
    std::stable_sort(copies.begin(), copies.end(),
                     [](const SBackupInfo &a, const SBackupInfo &b) { return a.taken > b.taken; });
    return copies;
}
