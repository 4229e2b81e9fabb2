#include "store/databasestartup.h"

#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/databasecheck.h"
#include "store/schema.h"

#include <QDir>
#include <QFileInfo>

CDatabaseStartup::SResult CDatabaseStartup::Find(const QString &path, CAsker &asker)
{
    // A new register goes either where the user chooses, or into the database the name gives.
    if (CDaoBackends::For(path).PlacedByUser())
        return FindFile(path, asker);
    return FindInPlace(path, asker);
}

CDatabaseStartup::SResult CDatabaseStartup::FindFile(const QString &path, CAsker &asker)
{
    const QFileInfo current(path);
    if (current.exists()) {
        if (!asker.CheckDamage(path))
            return {EOutcome::damaged, path, false, {}};
        // The same check every record set makes, told now rather than at the first command.
        CDaoDatabase db;
        db.Open(path);
        QString note;
        if (db.IsReadOnly())
            note = QStringLiteral("データベースファイル「%1」は読み取り専用のため、表示だけできます。")
                       .arg(CDatabaseCheck::Shown(path));
        return {EOutcome::usable, path, false, note};
    }
    const bool folderThere = QFileInfo(current.absolutePath()).isDir();
    if (!folderThere)
        asker.Report(CDatabaseCheck::OpenFailure(path, {CDatabaseCheck::EProblem::folderMissing, {}}));
    if (!asker.ConfirmCreate())
        return {EOutcome::notUsable, path, false, {}};
    const QString picked = asker.ChooseNewFile(folderThere ? current.absolutePath() : QDir::currentPath(),
                                               current.fileName());
    if (picked.isEmpty())
        return {EOutcome::notUsable, path, false, {}};

    const QString chosen = QFileInfo(picked).absoluteFilePath();
    if (QFileInfo::exists(chosen)) {
        // Asked to replace a file: a database of ours is kept and used, anything else left alone.
        CDaoDatabase db;
        try {
            db.Open(chosen);
        } catch (const CDaoException &error) {
            throw CDatabaseCheck::CreateFailure(
                chosen, {CDatabaseCheck::EProblem::exists, error.Lead().section(QLatin1Char('\n'), 1)});
        }
        db.Close();
        asker.Tell(
            QStringLiteral("「%1」は既にある Morvek のデータベースファイルです。置き換えずにこのファイルを使います。")
                .arg(CDatabaseCheck::Shown(chosen)));
    } else {
        CSchema::CreateDatabaseFile(chosen);
    }
    return {EOutcome::usable, chosen, true, {}};
}

// Used as it is when it holds ours; made when the database is empty and the user
// agrees; anything else is told and left untouched.
CDatabaseStartup::SResult CDatabaseStartup::FindInPlace(const QString &path, CAsker &asker)
{
    try {
        CDaoDatabase db;
        db.Open(path);
        return {EOutcome::usable, path, false, {}};
    } catch (const CDaoException &error) {
        if (error.Problem() != CDatabaseCheck::EProblem::serverEmpty)
            throw;
    }
    if (!asker.ConfirmCreate())
        return {EOutcome::notUsable, path, false, {}};
    CSchema::CreateDatabaseFile(path);
    return {EOutcome::usable, path, false, {}};
}
