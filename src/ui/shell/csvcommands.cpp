#include "shell/csvcommands.h"

#include "shell/csvchoicedlg.h"
#include "shell/csvpreviewdlg.h"
#include "csv/csvcolumnmap.h"
#include "csv/csvcolumns.h"
#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "kana/readingsuggester.h"
#include "postal/postaldirectory.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "views/busyindicator.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSettings>
#include <memory>

namespace {
const QString kExportTitle = QStringLiteral("CSV書き出し");
const QString kImportTitle = QStringLiteral("CSV読み込み");
const QString kCreateUnits = QStringLiteral("ない部課を作る");
} // namespace

void CCsvCommands::OnExportCsv(QWidget *parent)
{
    const QString folder = CLocaleFileModel::ChooseFolder(parent, kExportTitle);
    if (folder.isEmpty())
        return;
    CCsvChoiceDlg choice(kExportTitle, QStringLiteral("文字コード:"),
                         QStringLiteral("UTF-8（BOM付き、LibreOffice と Excel 2016 以降用）"),
                         QStringLiteral("Shift_JIS（Excel 2013 以前など古い表計算ソフト用）"), parent);
    if (CModalSeam::Exec(choice) != QDialog::Accepted)
        return;
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(CCsvColumns::UnitsFileName()))
        || QFileInfo::exists(dir.filePath(CCsvColumns::EmployeesFileName()))) {
        const QString question = QStringLiteral("%1 の %2 と %3 を上書きしますか？")
                                     .arg(QDir::toNativeSeparators(folder), CCsvColumns::UnitsFileName(),
                                          CCsvColumns::EmployeesFileName());
        // いいえ is the default: the files there go for good.
        if (MorvekMessageBox(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, kExportTitle, parent,
                             QMessageBox::No)
            != QMessageBox::Yes)
            return;
    }
    SCsvExportResult result;
    QString error;
    bool ok = false;
    try {
        CBusyIndicator busy;
        const auto db = CRegister::Connection();
        ok = CCsvExporter(*db).Export(folder, choice.IsSecondChosen() ? ECsvEncoding::Cp932 : ECsvEncoding::Utf8Bom, result,
                                      error);
    } catch (const CDaoException &e) {
        error = CRegister::Explain(e);
    }
    if (!ok) {
        MorvekMessageBox(error + QStringLiteral("\n何も書き出していません。"), QMessageBox::Ok, QMessageBox::Critical,
                         kExportTitle, parent);
        return;
    }
    QString text = QStringLiteral("部課 %1 件、社員 %2 人を書き出しました。").arg(result.units).arg(result.employees);
    if (result.unplaced)
        text += QStringLiteral("\n所属の部課が見つからない社員 %1 人は所属なしで書き出しました。").arg(result.unplaced);
    MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Information, kExportTitle, parent);
}

bool CCsvCommands::PlanImport(CCsvImporter &importer, const FRead &read, const SCsvPlanChoices &choices, QString &error)
{
    CBusyIndicator busy;
    if (!read(importer, error))
        return false;
    importer.Plan(choices);
    return true;
}

void CCsvCommands::RecallColumns(CCsvImporter &importer, const FRead &read, const SCsvPlanChoices &choices)
{
    QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    CCsvColumnMap map;
    for (const SCsvImportTable *table : {&importer.UnitTable(), &importer.EmployeeTable()}) {
        const QStringList choices = settings.value(CCsvColumnMap::SettingsKey(table->file, table->headers)).toStringList();
        if (!table->present || choices.size() != table->headers.size())
            continue;
        for (qsizetype i = 0; i < choices.size(); ++i)
            map.Set(table->file, table->headers.at(i), choices.at(i));
    }
    if (map.IsEmpty())
        return;
    importer.SetColumnMap(map);
    QString error;
    // Choices that no longer fit (a column renamed since) are dropped, not shown as an error.
    if (!PlanImport(importer, read, choices, error)) {
        importer.SetColumnMap({});
        PlanImport(importer, read, choices, error);
    }
}

void CCsvCommands::RememberColumns(const CCsvImporter &importer, const CCsvPreviewDlg &preview)
{
    QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    for (const SCsvImportTable *table : {&importer.UnitTable(), &importer.EmployeeTable()})
        if (table->present)
            settings.setValue(CCsvColumnMap::SettingsKey(table->file, table->headers), preview.Choices(table->file));
}

// The preview asks before anything is written: a changed column choice or the
// choice of making missing units plans again, and the summary follows.
bool CCsvCommands::ConfirmImport(CCsvImporter &importer, const FRead &read, SCsvPlanChoices &choices, const QString &title,
                                 QWidget *parent)
{
    CCsvPreviewDlg preview(title, parent);
    preview.ZerosBox()->setChecked(choices.restoreZeros);
    const CReadingSuggester &readings = CReadingSuggester::Instance();
    preview.OfferFills(choices.fillAddresses,
                       CPostalDirectory::Shared().IsLoaded() ? QString() : CPostalDirectory::NoDataText(),
                       choices.fillReadings, readings.IsAvailable() ? QString() : readings.Unavailable());
    for (const SCsvImportTable *table : {&importer.UnitTable(), &importer.EmployeeTable()})
        if (table->present)
            preview.AddColumns(table->file, table->units, table->headers, table->columns);
    const auto show = [&](const QString &error) {
        if (!error.isEmpty()) {
            preview.ShowSummary(error + QStringLiteral("\n何も読み込んでいません。"), false, preview.CreateUnits());
            return;
        }
        const SCsvImportSummary &summary = importer.Summary();
        const bool work = importer.WorkSize() > 0;
        preview.SetCompanies(importer.CompanyNames());
        preview.ShowSummary(summary.Text(MaxListed) + (work ? QString() : QStringLiteral("\n書き込む行はありません。")),
                            work, summary.missingUnitRows > 0 || summary.noCompanyRows > 0);
    };
    show({});
    QObject::connect(&preview, &CCsvPreviewDlg::Changed, &preview, [&] {
        importer.SetColumnMap(preview.Map());
        choices.missing = preview.CreateUnits() ? ECsvMissingUnits::Create : ECsvMissingUnits::Refuse;
        choices.company = preview.Company();
        choices.restoreZeros = preview.RestoreZeros();
        choices.fillAddresses = preview.FillAddresses();
        choices.fillReadings = preview.FillReadings();
        QString error;
        PlanImport(importer, read, choices, error);
        show(error);
    });
    if (CModalSeam::Exec(preview) != QDialog::Accepted || importer.WorkSize() == 0)
        return false;
    RememberColumns(importer, preview);
    return true;
}

bool CCsvCommands::OnImportCsv(QWidget *parent)
{
    const QString folder = CLocaleFileModel::ChooseFolder(parent, kImportTitle);
    if (folder.isEmpty())
        return false;
    return ImportWith(
        kImportTitle, [folder](CCsvImporter &importer, QString &error) { return importer.ReadFolder(folder, error); },
        parent);
}

bool CCsvCommands::ImportWith(const QString &title, const FRead &read, QWidget *parent)
{
    const auto refuse = [&title, parent](const QString &why) {
        MorvekMessageBox(why + QStringLiteral("\n何も読み込んでいません。"), QMessageBox::Ok, QMessageBox::Critical, title,
                         parent);
        return false;
    };
    // Nothing is asked of one who cannot write now.
    if (!CRegister::Instance().IsConnected())
        return refuse(CRegister::LostText());
    CCsvChoiceDlg choice(title, QStringLiteral("社員コードが既にある社員:"), QStringLiteral("更新する"),
                         QStringLiteral("読み飛ばす"), parent);
    if (CModalSeam::Exec(choice) != QDialog::Accepted)
        return false;
    try {
        // The windows' connection: their sets then see the import whole or not at
        // all, and no read they left open can hold the commit up.
        const auto db = CRegister::Connection();
        CCsvImporter importer(*db);
        QString error;
        SCsvPlanChoices choices;
        choices.existing = choice.IsSecondChosen() ? ECsvExisting::Skip : ECsvExisting::Update;
        choices.restoreZeros = true;
        // A loaded postal file is the user's wish to have addresses filled; a name's reading
        // is a guess (one in twenty is wrong), asked for by ticking.
        choices.fillAddresses = CPostalDirectory::Shared().IsLoaded();
        if (!PlanImport(importer, read, choices, error))
            return refuse(error);
        RecallColumns(importer, read, choices);
        if (!ConfirmImport(importer, read, choices, title, parent))
            return false;
        return ApplyImport(importer, title, parent);
    } catch (const CDaoException &e) {
        // A server lost meanwhile reads as it does everywhere else.
        return refuse(CRegister::Explain(e));
    }
}

bool CCsvCommands::ApplyImport(CCsvImporter &importer, const QString &title, QWidget *parent)
{
    std::unique_ptr<QProgressDialog> progress;
    if (importer.WorkSize() > ProgressThreshold) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("読み込んでいます..."), QStringLiteral("ｷｬﾝｾﾙ"), 0,
                                                     importer.WorkSize(), parent);
        progress->setWindowTitle(title);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
    }
    const bool written = importer.Apply([&progress](int done, int total) {
        if (!progress)
            return true;
        progress->setMaximum(total);
        progress->setValue(done);
        return !progress->wasCanceled();
    });
    progress.reset();
    if (!written) {
        MorvekMessageBox(QStringLiteral("取り消しました。何も読み込んでいません。"), QMessageBox::Ok,
                         QMessageBox::Information, title, parent);
        return false;
    }
    MorvekMessageBox(importer.Summary().DoneText(), QMessageBox::Ok, QMessageBox::Information, title, parent);
    return true;
}
