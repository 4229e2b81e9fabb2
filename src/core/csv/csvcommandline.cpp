#include "csv/csvcommandline.h"

#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "csv/photoimport.h"
#include "kana/readingsuggester.h"
#include "photo/photofile.h"
#include "postal/postaldirectory.h"
#include "register/employeephotos.h"
#include "backup/dailybackup.h"
#include "backup/leftovers.h"
#include "backup/registeruse.h"
#include "backup/restoreswap.h"
#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/databasecheck.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>
#include <cstdio>
#include <limits>

namespace {
// The same place start-up looks in.
QString DatabaseFromSettings()
{
    QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    return settings.value(QStringLiteral("Database/Path"), QStringLiteral("odata.mdb")).toString();
}
} // namespace

int CCsvCommandLine::Main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Run(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}

int CCsvCommandLine::Run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const CCommandLine::SParsed parsed = CCommandLine::Parse(arguments);
    if (parsed.action == CCommandLine::EAction::usageError) {
        err << parsed.error << '\n' << CCommandLine::Usage();
        return ExitUsage;
    }
    if (parsed.action == CCommandLine::EAction::importPostal)
        return ImportPostal(parsed.folder, out, err);
    const bool workbook = parsed.action == CCommandLine::EAction::exportXlsx
                       || parsed.action == CCommandLine::EAction::importXlsx;
    const bool exporting = parsed.action == CCommandLine::EAction::exportCsv
                        || parsed.action == CCommandLine::EAction::exportXlsx;
    const bool photos = parsed.action == CCommandLine::EAction::importPhotos;
    if (!exporting && !photos && !workbook && parsed.action != CCommandLine::EAction::importCsv) {
        err << QStringLiteral("--export-csv か --import-csv のどちらか一つを指定してください。\n") << CCommandLine::Usage();
        return ExitUsage;
    }
    const QString exportFolder = exporting ? parsed.folder : QString();
    const QString importFolder = exporting || photos ? QString() : parsed.folder;
    const QString &encodingName = parsed.encoding;
    const bool skip = parsed.skipExisting;
    QString database = parsed.database;
    ECsvEncoding encoding = ECsvEncoding::Utf8Bom;
    const QString lowered = encodingName.toLower();
    if (lowered == QStringLiteral("cp932") || lowered == QStringLiteral("shift_jis") || lowered == QStringLiteral("sjis")) {
        encoding = ECsvEncoding::Cp932;
    } else if (!encodingName.isEmpty() && lowered != QStringLiteral("utf-8") && lowered != QStringLiteral("utf8")) {
        err << QStringLiteral("文字コード %1 は使えません（utf-8 か cp932）。\n").arg(encodingName);
        return ExitUsage;
    }
    if (database.isEmpty())
        database = DatabaseFromSettings();
    SImportChoices choices{skip,
                           parsed.createUnits,
                           parsed.company,
                           parsed.keepNumbers,
                           {},
                           workbook,
                           CXlsxExporter::RememberedDateForm(),
                           parsed.fillAddresses,
                           parsed.fillReadings};
    CXlsxExporter::DateFormFromName(parsed.dateForm, choices.dateForm);
    QString mapError;
    if (!parsed.map.isEmpty() && !choices.map.Parse(parsed.map, mapError)) {
        err << mapError << QStringLiteral("\n何も書き込んでいません。\n");
        return ExitUsage;
    }

    const CDaoBackend &backend = CDaoBackends::For(database);
    // A restore a kill interrupted may leave the register under another name for now.
    if (backend.KeepsBackups() && (QFileInfo::exists(database) || QFileInfo::exists(CRestoreSwap::IncomingPath(database))))
        SettleFile(database, err);
    // An import may fill a register that does not exist yet. A file is filled under
    // another name and gets its own only once complete: a failed or killed import
    // leaves no register behind.
    const bool created = !importFolder.isEmpty() && NeedsCreating(database);
    const bool filled = created && backend.PlacedByUser();
    const QString target = filled ? CLeftovers::ImportingPath(database) : database;
    if (backend.KeepsBackups() && !created)
        BackUpDaily(err);
    // What a killed import into the same new file left, its journal too.
    if (filled)
        CLeftovers::Clear(database);
    const int status = photos ? ImportPhotos(target, parsed.folder, out, err)
                              : RunOn(target, created, exportFolder, importFolder, encoding, choices, out, err);
    CDaoDatabase::SetWriteHook({}); // it writes to err, which is the caller's
    if (filled) {
        CDaoDatabasePool::Release(target);
        if (status != 0 || !QFile::rename(target, database)) {
            QFile::remove(target);
            return status != 0 ? status : Refuse(err, database);
        }
    }
    if (created && status == 0)
        out << QStringLiteral("新しいデータベース %1 に読み込みました。\n").arg(CDatabaseCheck::Shown(database));
    return status;
}

bool CCsvCommandLine::NeedsCreating(const QString &database)
{
    if (CDaoBackends::For(database).PlacedByUser())
        return !QFileInfo::exists(database);
    try {
        CDaoDatabase db;
        db.Open(database);
        return false;
    } catch (const CDaoException &error) {
        // Anything else is told by the run's own open.
        return error.Problem() == CDatabaseCheck::EProblem::serverEmpty;
    }
}

// What a killed run left is cleared, a restore it interrupted finished.
void CCsvCommandLine::SettleFile(const QString &database, QTextStream &err)
{
    try {
        if (CRegisterUse::Hold(database))
            CLeftovers::Clear(database);
    } catch (const CDaoException &error) {
        err << error.GetErrorMessage() << '\n';
    }
}

// From now on the first write of the day is preceded by the day's backup, as in the window.
void CCsvCommandLine::BackUpDaily(QTextStream &err)
{
    static CDailyBackup daily;
    CDaoDatabase::SetWriteHook([&err](const QString &path) {
        try {
            daily.BeforeWrite(path);
        } catch (const CDaoException &error) {
            err << error.GetErrorMessage()
                << QStringLiteral("\n今日のバックアップを作成できませんでした。変更はこのまま書き込みます。\n");
        }
    });
}

int CCsvCommandLine::Refuse(QTextStream &err, const QString &database)
{
    err << QStringLiteral("%1 を作成できません。\n何も書き込んでいません。\n").arg(CDatabaseCheck::Shown(database));
    return ExitFailure;
}

int CCsvCommandLine::ExportWorkbook(CDaoDatabase &db, const QString &file, CXlsxExporter::EDateForm dateForm,
                                    QTextStream &out, QTextStream &err)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        err << QStringLiteral("フォルダ %1 を作れません。\n").arg(QDir::toNativeSeparators(folder));
        return ExitFailure;
    }
    SCsvExportResult result;
    QString error;
    if (!CXlsxExporter(db).Export(file, dateForm, result, error)) {
        err << error << QStringLiteral("\n何も書き出していません。\n");
        return ExitFailure;
    }
    out << QStringLiteral("部課 %1 件、社員 %2 人を %3 に書き出しました。\n")
               .arg(result.units)
               .arg(result.employees)
               .arg(QDir::toNativeSeparators(file));
    if (result.unplaced)
        out << QStringLiteral("所属の部課が見つからない社員 %1 人は所属なしで書き出しました。\n").arg(result.unplaced);
    return 0;
}

int CCsvCommandLine::ImportPhotos(const QString &database, const QString &folder, QTextStream &out, QTextStream &err)
{
    try {
        // Photos go to employees that are there: no register is made for them.
        if (CDaoBackends::For(database).PlacedByUser() && !QFileInfo::exists(database)) {
            err << QStringLiteral("%1 がありません。\n何も書き込んでいません。\n").arg(CDatabaseCheck::Shown(database));
            return ExitFailure;
        }
        CDaoRecordset::SetApplicationDatabasePath(database);
        CPhotoImport import;
        QString error;
        if (!import.ReadFolder(folder, CPhotoFile::DefaultBox(), CEmployeePhotos::IdsByCode(), error)) {
            err << error << QStringLiteral("\n何も書き込んでいません。\n");
            return ExitFailure;
        }
        out << import.Text();
        // As in the window, a damaged picture does not keep the others out; it is named
        // where a script's errors go. Nothing to write but refused files is a failure.
        for (const CPhotoImport::SFile &file : import.Refused())
            err << QStringLiteral("読み飛ばしました: %1\n").arg(file.message);
        if (!import.Refused().isEmpty() && import.Matched().isEmpty()) {
            err << QStringLiteral("取り込める写真がないため、何も書き込んでいません。\n");
            return ExitFailure;
        }
        out << QStringLiteral("社員 %1 人の写真を読み込みました。\n").arg(import.Apply());
        return 0;
    } catch (const CDaoException &error) {
        err << error.GetErrorMessage() << QStringLiteral("\n何も書き込んでいません。\n");
        return ExitFailure;
    }
}

int CCsvCommandLine::ImportPostal(const QString &file, QTextStream &out, QTextStream &err)
{
    CPostalDirectory &postal = CPostalDirectory::Shared();
    QString error;
    if (!postal.Load(file, error)) {
        err << error << QStringLiteral("\n郵便番号データは前のままです。\n");
        return ExitFailure;
    }
    out << QStringLiteral("%1を読み込みました（%2）。\n")
               .arg(postal.Description(), QDir::toNativeSeparators(postal.Path()));
    return 0;
}

// Without what it needs, a fill is left out and the import goes on: the reason is printed.
bool CCsvCommandLine::FillsAddresses(const SImportChoices &choices, QTextStream &err)
{
    if (!choices.fillAddresses)
        return false;
    if (CPostalDirectory::Shared().IsLoaded())
        return true;
    err << CPostalDirectory::NoDataText() << '\n';
    return false;
}

bool CCsvCommandLine::FillsReadings(const SImportChoices &choices, QTextStream &err)
{
    if (!choices.fillReadings)
        return false;
    const CReadingSuggester &readings = CReadingSuggester::Instance();
    if (readings.IsAvailable())
        return true;
    err << readings.Unavailable() << QStringLiteral("\nふりがなは補いません。\n");
    return false;
}

int CCsvCommandLine::RunOn(const QString &database, bool create, const QString &exportFolder, const QString &importFolder,
                           ECsvEncoding encoding, const SImportChoices &choices, QTextStream &out, QTextStream &err)
{
    try {
        if (create)
            CSchema::CreateDatabaseFile(database);
        CDaoDatabase db;
        db.Open(database);
        QString error;
        if (!exportFolder.isEmpty() && choices.workbook)
            return ExportWorkbook(db, exportFolder, choices.dateForm, out, err);
        if (!exportFolder.isEmpty()) {
            if (!QDir().mkpath(exportFolder)) {
                err << QStringLiteral("フォルダ %1 を作れません。\n").arg(QDir::toNativeSeparators(exportFolder));
                return ExitFailure;
            }
            SCsvExportResult result;
            if (!CCsvExporter(db).Export(exportFolder, encoding, result, error)) {
                err << error << '\n';
                return ExitFailure;
            }
            out << QStringLiteral("部課 %1 件、社員 %2 人を書き出しました。\n").arg(result.units).arg(result.employees);
            if (result.unplaced)
                out << QStringLiteral("所属の部課が見つからない社員 %1 人は所属なしで書き出しました。\n")
                           .arg(result.unplaced);
            return 0;
        }
        CCsvImporter importer(db);
        importer.SetColumnMap(choices.map);
        if (!(choices.workbook ? importer.ReadWorkbook(importFolder, error) : importer.ReadFolder(importFolder, error))) {
            err << error << QStringLiteral("\n何も書き込んでいません。\n");
            return ExitFailure;
        }
        const SCsvImportSummary &summary = importer.Plan(
            {choices.skipExisting ? ECsvExisting::Skip : ECsvExisting::Update,
             choices.createUnits ? ECsvMissingUnits::Create : ECsvMissingUnits::Refuse, choices.company,
             !choices.keepNumbers, FillsAddresses(choices, err), FillsReadings(choices, err)});
        out << summary.Text(std::numeric_limits<int>::max());
        // Without a person to ask, a script gets all of its rows or none.
        if (summary.Refused() > 0) {
            err << QStringLiteral("取り込めない行が %1 行あるため、何も書き込んでいません。\n").arg(summary.Refused());
            if (summary.noCompanyRows > 0)
                err << QStringLiteral(
                    "会社名のない所属を読み込むには --company 会社名 --create-units を付けてください。\n");
            else if (summary.missingUnitRows > 0)
                err << QStringLiteral("ない部課を作って読み込むには --create-units を付けてください。\n");
            return ExitFailure;
        }
        importer.Apply();
        out << summary.DoneText() << '\n';
        return 0;
    } catch (const CDaoException &error) {
        err << error.GetErrorMessage() << QStringLiteral("\n何も書き込んでいません。\n");
        return ExitFailure;
    }
}
