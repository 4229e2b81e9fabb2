#include "shell/startupdialogs.h"

#include "base/errorreport.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"

#include <QFileDialog>
#include <utility>

CStartupDialogs::CStartupDialogs(std::function<bool()> checkDamage)
    : m_checkDamage(std::move(checkDamage))
{
}

bool CStartupDialogs::CheckDamage(const QString &path)
{
    Q_UNUSED(path); // the application checks the file it was given
    return m_checkDamage();
}

bool CStartupDialogs::ConfirmCreate()
{
    return MorvekMessageBox(QStringLiteral("データベースを作成します。"), QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::Information)
        == QMessageBox::Yes;
}

QString CStartupDialogs::ChooseNewFile(const QString &folder, const QString &name)
{
    // A save-style dialog: the file to create does not exist yet.
    QFileDialog dialog(nullptr, QStringLiteral("データベースの作成"), folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("mdb"));
    dialog.selectFile(name);
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void CStartupDialogs::Tell(const QString &text)
{
    MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Information);
}

void CStartupDialogs::Report(const std::exception &error)
{
    CErrorReport::Report(error);
}
