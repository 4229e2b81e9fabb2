#include "shell/postalcommands.h"

#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "postal/postaldirectory.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QProgressDialog>
#include <memory>

namespace {
const QString kTitle = QStringLiteral("郵便番号データの読み込み");

QString ChooseFile(QWidget *parent)
{
    QFileDialog dialog(parent, kTitle);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    dialog.setNameFilters(
        {QStringLiteral("日本郵便の郵便番号データ (*.csv *.CSV *.zip *.ZIP)"), QStringLiteral("すべてのファイル (*)")});
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

bool CPostalCommands::OnImportPostal(QWidget *parent)
{
    const QString file = ChooseFile(parent);
    if (file.isEmpty())
        return false;
    CPostalDirectory &postal = CPostalDirectory::Shared();
    QString error;
    bool loaded = false;
    {
        // The national file takes a second or two: the lines read so far are shown.
        QProgressDialog progress(QStringLiteral("郵便番号データを読み込んでいます..."), QString(), 0, 100, parent);
        progress.setWindowTitle(kTitle);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        progress.setCancelButton(nullptr);
        loaded = postal.Load(file, error, [&progress](qsizetype done, qsizetype total) {
            progress.setValue(int(done * 100 / std::max<qsizetype>(total, 1)));
        });
    }
    if (!loaded) {
        MorvekMessageBox(error + QStringLiteral("\n郵便番号データは前のままです。"), QMessageBox::Ok, QMessageBox::Critical,
                         kTitle, parent);
        return false;
    }
    MorvekMessageBox(
        QStringLiteral("%1を読み込みました。\n〒を入力すると、空の住所1を補います。").arg(postal.Description()),
        QMessageBox::Ok, QMessageBox::Information, kTitle, parent);
    return true;
}
