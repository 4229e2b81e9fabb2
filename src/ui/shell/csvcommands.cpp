#include "shell/csvcommands.h"

#include "shell/csvchoicedlg.h"
#include "csv/csvcolumns.h"
#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "views/busyindicator.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
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
    CCsvChoiceDlg choice(kExportTitle, QStringLiteral("文字コード:"), QStringLiteral("UTF-8（BOM付き）"),
                         QStringLiteral("Shift_JIS（古い表計算ソフト用）"), parent);
    if (CModalSeam::Exec(choice) != QDialog::Accepted)
        return;
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(CCsvColumns::UnitsFileName()))
        || QFileInfo::exists(dir.filePath(CCsvColumns::EmployeesFileName()))) {
        const QString question = QStringLiteral("%1 の %2 と %3 を上書きしますか？")
                                     .arg(QDir::toNativeSeparators(folder), CCsvColumns::UnitsFileName(),
                                          CCsvColumns::EmployeesFileName());
        if (MorvekMessageBox(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, kExportTitle, parent)
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
        error = e.GetErrorMessage();
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

bool CCsvCommands::PlanImport(CCsvImporter &importer, const QString &folder, bool skip, bool createUnits, QString &error)
{
    CBusyIndicator busy;
    const bool workbook = QFileInfo(folder).isFile();
    if (!(workbook ? importer.ReadWorkbook(folder, error) : importer.ReadFolder(folder, error)))
        return false;
    importer.Plan(skip ? CCsvImporter::EExisting::Skip : CCsvImporter::EExisting::Update,
                  createUnits ? CCsvImporter::EMissingUnits::Create : CCsvImporter::EMissingUnits::Refuse);
    return true;
}

// The summary asks before anything is written; rows refused for a unit that is not
// there offer the choice of making those units, and the summary follows the choice.
bool CCsvCommands::ConfirmImport(CCsvImporter &importer, const QString &folder, bool skip, QWidget *parent)
{
    const QString title = ImportTitle(folder);
    const auto question = [&importer] { return importer.Summary().Text(10) + QStringLiteral("\n読み込みますか？"); };
    QMessageBox box(QMessageBox::Question, title, question(), QMessageBox::Yes | QMessageBox::No, parent);
    if (importer.Summary().missingUnitRows > 0) {
        auto *create = new QCheckBox(kCreateUnits, &box);
        box.setCheckBox(create);
        QObject::connect(create, &QCheckBox::toggled, &box, [&](bool on) {
            QString error;
            if (!PlanImport(importer, folder, skip, on, error))
                error += QStringLiteral("\n何も読み込んでいません。");
            box.setText(error.isEmpty() ? question() : error);
            box.button(QMessageBox::Yes)->setEnabled(error.isEmpty() && importer.WorkSize() > 0);
        });
    }
    if (importer.WorkSize() == 0 && importer.Summary().missingUnitRows == 0) {
        MorvekMessageBox(importer.Summary().Text(10) + QStringLiteral("\n書き込む行はありません。"), QMessageBox::Ok,
                         QMessageBox::Information, title, parent);
        return false;
    }
    box.button(QMessageBox::Yes)->setEnabled(importer.WorkSize() > 0);
    return CModalSeam::Exec(box) == QMessageBox::Yes && importer.WorkSize() > 0;
}

bool CCsvCommands::OnImportCsv(QWidget *parent)
{
    const QString folder = CLocaleFileModel::ChooseFolder(parent, kImportTitle);
    return !folder.isEmpty() && ImportFrom(folder, parent);
}

QString CCsvCommands::ImportTitle(const QString &source)
{
    return QFileInfo(source).isFile() ? QStringLiteral("Excel読み込み") : kImportTitle;
}

bool CCsvCommands::ImportFrom(const QString &folder, QWidget *parent)
{
    const QString title = ImportTitle(folder);
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
        const bool skip = choice.IsSecondChosen();
        if (!PlanImport(importer, folder, skip, false, error)) {
            MorvekMessageBox(error + QStringLiteral("\n何も読み込んでいません。"), QMessageBox::Ok, QMessageBox::Critical,
                             title, parent);
            return false;
        }
        if (!ConfirmImport(importer, folder, skip, parent))
            return false;
        return ApplyImport(importer, title, parent);
    } catch (const CDaoException &e) {
        MorvekMessageBox(e.GetErrorMessage() + QStringLiteral("\n何も読み込んでいません。"), QMessageBox::Ok,
                         QMessageBox::Critical, title, parent);
        return false;
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
    return true;
}
