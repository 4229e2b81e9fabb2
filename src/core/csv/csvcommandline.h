#pragma once

#include "csv/commandline.h"
#include "text/csvcodec.h"
#include "csv/csvcolumnmap.h"
#include "csv/xlsxexporter.h"

#include <QStringList>

class CDaoDatabase;
class QTextStream;

// "morvek --export-csv FOLDER", "morvek --import-csv FOLDER", "morvek
// --import-photos FOLDER" and "morvek --import-postal FILE": the register and the
// postal data from scripts, without a window.
class CCsvCommandLine final
{
public:
    // Runs it on the core application; the result is the exit status.
    static int Main(int argc, char **argv);
    // The run itself: 0 on success; on failure a message on err and nothing written.
    static int Run(const QStringList &arguments, QTextStream &out, QTextStream &err);

    static constexpr int ExitFailure = CCommandLine::ExitFailure;
    static constexpr int ExitUsage = CCommandLine::ExitUsage;

private:
    struct SImportChoices {
        bool skipExisting = false;
        bool createUnits = false;
        QString company;
        bool keepNumbers = false;
        CCsvColumnMap map;
        bool workbook = false; // an Excel workbook instead of the CSV folder, either way
        CXlsxExporter::EDateForm dateForm = CXlsxExporter::EDateForm::Era;
        bool fillAddresses = false;
        bool fillReadings = false;
    };
    // Whether an import must make the register first: a file not there yet, or a
    // server database with nothing in it, as start-up decides.
    static bool NeedsCreating(const QString &database);
    static void SettleFile(const QString &database, QTextStream &err);
    static void BackUpDaily(QTextStream &err);
    static int Refuse(QTextStream &err, const QString &database);
    static int ExportWorkbook(CDaoDatabase &db, const QString &file, CXlsxExporter::EDateForm dateForm, QTextStream &out,
                              QTextStream &err);
    static int ImportPostal(const QString &file, QTextStream &out, QTextStream &err);
    static bool FillsAddresses(const SImportChoices &choices, QTextStream &err);
    static bool FillsReadings(const SImportChoices &choices, QTextStream &err);
    static int ImportPhotos(const QString &database, const QString &folder, QTextStream &out, QTextStream &err);
    static int RunOn(const QString &database, bool create, const QString &exportFolder, const QString &importFolder,
                     ECsvEncoding encoding, const SImportChoices &choices, QTextStream &out, QTextStream &err);
};
