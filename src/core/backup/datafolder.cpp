#include "backup/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

bool CDataFolder::StartedFromDesktop(const QString &workingFolder, const QString &home)
{
    const QDir here(workingFolder);
    const QString path = here.canonicalPath();
    if (path.isEmpty() || (path != QDir(home).canonicalPath() && path != QDir::rootPath()))
        return false;
    return !here.exists(QStringLiteral("tmp.mvk")) && !here.exists(QStringLiteral("odata.mdb"));
}

QString CDataFolder::Path()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("Morvek"));
}

QString CDataFolder::InstalledLayout(const QString &programFolder)
{
    return QDir(programFolder).filePath(QStringLiteral("../share/morvek/tmp.mvk"));
}

bool CDataFolder::Enter(const QString &folder, const QString &installedLayout)
{
    if (!QDir().mkpath(folder) || !QDir::setCurrent(folder))
        return false;
    const QString layout = QDir(folder).filePath(QStringLiteral("tmp.mvk"));
    if (!QFileInfo::exists(layout) && QFileInfo(installedLayout).isFile())
        QFile::copy(installedLayout, layout);
    return true;
}
