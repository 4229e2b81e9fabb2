#include "shell/xlsxcommands.h"

#include "shell/csvchoicedlg.h"
#include "shell/csvcommands.h"
#include "csv/csvimporter.h"
#include "csv/xlsxexporter.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "views/busyindicator.h"

#include <QDir>
#include <QFileDialog>
#include <QRadioButton>

namespace {
const QString kExportTitle = QStringLiteral("Excel書き出し");
const QString kImportTitle = QStringLiteral("Excel読み込み");
} // namespace

QString CXlsxCommands::ChooseFile(QWidget *parent, const QString &title, bool saving)
{
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    dialog.setNameFilter(QStringLiteral("Excel ブック (*.xlsx)"));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (saving) {
        dialog.setDefaultSuffix(QStringLiteral("xlsx"));
        dialog.selectFile(QStringLiteral("社員台帳.xlsx"));
    }
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void CXlsxCommands::OnExportXlsx(QWidget *parent)
{
    const QString file = ChooseFile(parent, kExportTitle, true);
    if (file.isEmpty())
        return;
    using EDateForm = CXlsxExporter::EDateForm;
    CCsvChoiceDlg choice(kExportTitle, QStringLiteral("日付の表示:"), QStringLiteral("和暦（令和6年4月1日）"),
                         QStringLiteral("西暦（2024-04-01）"), parent);
    choice.Choice(CXlsxExporter::RememberedDateForm() == EDateForm::Iso ? 1 : 0)->setChecked(true);
    if (CModalSeam::Exec(choice) != QDialog::Accepted)
        return;
    const EDateForm form = choice.IsSecondChosen() ? EDateForm::Iso : EDateForm::Era;
    CXlsxExporter::RememberDateForm(form);
    SCsvExportResult result;
    QString error;
    bool ok = false;
    try {
        CBusyIndicator busy;
        const auto db = CRegister::Connection();
        ok = CXlsxExporter(*db).Export(file, form, result, error);
    } catch (const CDaoException &e) {
        error = CRegister::Explain(e);
    }
    if (!ok) {
        MorvekMessageBox(error + QStringLiteral("\n何も書き出していません。"), QMessageBox::Ok, QMessageBox::Critical,
                         kExportTitle, parent);
        return;
    }
    QString text = QStringLiteral("部課 %1 件、社員 %2 人を %3 に書き出しました。")
                       .arg(result.units)
                       .arg(result.employees)
                       .arg(QDir::toNativeSeparators(file));
    if (result.unplaced)
        text += QStringLiteral("\n所属の部課が見つからない社員 %1 人は所属なしで書き出しました。").arg(result.unplaced);
    MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Information, kExportTitle, parent);
}

bool CXlsxCommands::OnImportXlsx(QWidget *parent)
{
    const QString file = ChooseFile(parent, kImportTitle, false);
    if (file.isEmpty())
        return false;
    return CCsvCommands::ImportWith(
        kImportTitle, [file](CCsvImporter &importer, QString &error) { return importer.ReadWorkbook(file, error); },
        parent);
}
