#include "shell/backupcommands.h"

#include "backup/backupcopies.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "shell/restoredlg.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "backup/dailybackup.h"
#include "store/databasecheck.h"
#include "store/daobackend.h"
#include "store/daobackends.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {
const QString kMakeTitle = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ作成");
const QString kRestoreTitle = QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから復元");

QString Shown(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString Counts(const SBackupInfo &copy)
{
    return QStringLiteral("%1、部課 %2 件、社員 %3 人")
        .arg(CRestoreDlg::DateText(copy.taken))
        .arg(copy.units)
        .arg(copy.employees);
}

QString Holds(const SBackupInfo &backup)
{
    return QStringLiteral("%1 のバックアップ（部課 %2 件、社員 %3 人）")
        .arg(CRestoreDlg::DateText(backup.taken))
        .arg(backup.units)
        .arg(backup.employees);
}

// A register on a server is backed up and restored by whoever runs the server.
bool ToldServerKeepsBackups(QWidget *parent, const QString &dbPath, const QString &title)
{
    if (CDaoBackends::For(dbPath).KeepsBackups())
        return false;
    MorvekMessageBox(QStringLiteral("PostgreSQL のデータベースのバックアップと復元は、サーバーの管理者が行います。"),
                     QMessageBox::Ok, QMessageBox::Information, title, parent);
    return true;
}

QString Text(const CDaoException &error)
{
    return error.GetErrorMessage();
}

// True when restored; tells the outcome either way.
bool Restore(QWidget *parent, const QString &dbPath, const SBackupInfo &backup, CDatabaseBackup::EAside why)
{
    try {
        const QString aside = CDatabaseBackup::Restore(dbPath, backup.path, why, QDateTime::currentDateTime());
        QString text = QStringLiteral("%1から復元しました。")
                           .arg(backup.kind == SBackupInfo::EKind::daily
                                    ? Holds(backup)
                                    : QStringLiteral("%1（%2）").arg(CRestoreDlg::KindText(backup.kind), Counts(backup)));
        if (!aside.isEmpty())
            text += QStringLiteral("\n元のファイルは「%1」として残してあります。").arg(Shown(aside));
        MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Information, kRestoreTitle, parent);
        return true;
    } catch (const CDaoException &error) {
        MorvekMessageBox(Text(error) + QStringLiteral("\nデータベースファイルは変更していません。"), QMessageBox::Ok,
                         QMessageBox::Critical, kRestoreTitle, parent);
        return false;
    }
}
} // namespace

void CBackupCommands::InstallDailyBackup(std::function<void(const QString &)> gate)
{
    static CDailyBackup daily;
    CDaoDatabase::SetWriteHook([gate = std::move(gate)](const QString &path) {
        if (gate)
            gate(path);
        try {
            daily.BeforeWrite(path);
        } catch (const CDaoException &error) {
            MorvekMessageBox(
                Text(error) + QStringLiteral("\n今日のバックアップを作成できませんでした。変更はこのまま書き込みます。"),
                QMessageBox::Ok, QMessageBox::Warning, kMakeTitle);
        }
    });
}

void CBackupCommands::OnMakeBackup(QWidget *parent, const QString &dbPath)
{
    if (ToldServerKeepsBackups(parent, dbPath, kMakeTitle))
        return;
    if (dbPath.isEmpty() || !QFileInfo(dbPath).isFile()) {
        MorvekMessageBox(QStringLiteral("データベースファイルがないため、バックアップを作成できません。"), QMessageBox::Ok,
                         QMessageBox::Warning, kMakeTitle, parent);
        return;
    }
    QFileDialog dialog(parent, kMakeTitle, QFileInfo(dbPath).absolutePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    // Its own question would bypass the seam; an existing file is refused below instead.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(dbPath).suffix());
    dialog.selectFile(CDatabaseBackup::NameFor(dbPath, QDateTime::currentDateTime()));
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString target = dialog.selectedFiles().constFirst();
    try {
        CDatabaseBackup::Copy(dbPath, target);
    } catch (const CDaoException &error) {
        MorvekMessageBox(Text(error), QMessageBox::Ok, QMessageBox::Critical, kMakeTitle, parent);
        return;
    }
    CBackupCopies::NoteManual(dbPath, target);
    MorvekMessageBox(QStringLiteral("バックアップを作成しました。\n%1").arg(Shown(target)), QMessageBox::Ok,
                     QMessageBox::Information, kMakeTitle, parent);
}

bool CBackupCommands::OnRestore(QWidget *parent, const QString &dbPath, CDatabaseBackup::EAside why,
                                const std::function<void()> &releaseFile)
{
    if (ToldServerKeepsBackups(parent, dbPath, kRestoreTitle))
        return false;
    if (dbPath.isEmpty()) {
        MorvekMessageBox(QStringLiteral("データベースファイルが指定されていないため、復元できません。"), QMessageBox::Ok,
                         QMessageBox::Warning, kRestoreTitle, parent);
        return false;
    }
    CRestoreDlg dialog(CBackupCopies::List(dbPath), parent);
    if (CModalSeam::Exec(dialog) != QDialog::Accepted)
        return false;
    const SBackupInfo chosen = dialog.Chosen();
    if (chosen.path.isEmpty() || !ConfirmRestore(parent, dbPath, chosen))
        return false;
    releaseFile();
    return Restore(parent, dbPath, chosen, why);
}

// Replacing everything is never the default answer.
bool CBackupCommands::ConfirmRestore(QWidget *parent, const QString &dbPath, const SBackupInfo &chosen)
{
    const SBackupInfo current = CDatabaseBackup::Inspect(dbPath);
    const QString now = current.Ok() ? QStringLiteral("部課 %1 件、社員 %2 人").arg(current.units).arg(current.employees)
                                     : QStringLiteral("壊れています");
    const QString question = QStringLiteral("%1（%2）\n%3\n\nで、今のデータベース「%4」（%5）を置き換えます。\n"
                                            "今のファイルは消さずにバックアップのフォルダに移します。\n復元しますか？")
                                 .arg(CRestoreDlg::KindText(chosen.kind), Counts(chosen), Shown(chosen.path), Shown(dbPath),
                                      now);
    QMessageBox box(QMessageBox::Question, kRestoreTitle, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return CModalSeam::Exec(box) == QMessageBox::Yes;
}

bool CBackupCommands::CheckAtStart(const QString &dbPath, bool wholeFile)
{
    const QString problem = (wholeFile ? CDatabaseBackup::Damage(dbPath) : CDatabaseBackup::HeadDamage(dbPath)).trimmed();
    if (problem.isEmpty())
        return true;
    // A file whose head is wrong cannot be opened, hence not written to either;
    // with nothing to offer, opening it tells the fault as for any unusable file.
    if (CDatabaseBackup::NewestSound(dbPath).path.isEmpty() && !CDatabaseCheck::InspectFile(dbPath).Ok())
        return true;
    return OfferRestore(dbPath, problem);
}

bool CBackupCommands::OfferRestore(const QString &dbPath, const QString &problem, const std::function<void()> &releaseFile)
{
    const QString head = QStringLiteral("データベースファイル「%1」は壊れています。\n%2").arg(Shown(dbPath), problem);
    const SBackupInfo newest = CDatabaseBackup::NewestSound(dbPath);
    if (newest.path.isEmpty()) {
        MorvekMessageBox(
            head
                + QStringLiteral(
                    "\n\n復元できるバックアップがありません。ファイルには手を付けず、データベースなしで起動します。"),
            QMessageBox::Ok, QMessageBox::Critical, kRestoreTitle);
        return false;
    }
    const QString question =
        head
        + QStringLiteral(
              "\n\n%1から復元しますか？\n壊れたファイルは消さずにバックアップのフォルダに移します。\n「いいえ」を選ぶと、ファイルには手を付けず、データベースなしで起動します。")
              .arg(Holds(newest));
    if (MorvekMessageBox(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Critical, kRestoreTitle)
        != QMessageBox::Yes)
        return false;
    releaseFile();
    return Restore(nullptr, dbPath, newest, CDatabaseBackup::EAside::damaged);
}
