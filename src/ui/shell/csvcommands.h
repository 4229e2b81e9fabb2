#pragma once

class CCsvImporter;
class QString;
class QWidget;

// The two CSV commands of the ﾌｧｲﾙ menu; the work is done by CCsvExporter and
// CCsvImporter, these only ask and report.
class CCsvCommands final
{
public:
    static void OnExportCsv(QWidget *parent);
    // True when rows were written, so that the windows can show them.
    static bool OnImportCsv(QWidget *parent);
    // The import once its source is chosen: a folder of CSV files, or an Excel workbook's file.
    static bool ImportFrom(const QString &source, QWidget *parent);

    // Imports with more rows than this show their progress and can be cancelled.
    static constexpr int ProgressThreshold = 2000;

private:
    // Reads the folder and plans the import; false with the error when it cannot be read.
    static bool PlanImport(CCsvImporter &importer, const QString &folder, bool skip, bool createUnits, QString &error);
    static bool ConfirmImport(CCsvImporter &importer, const QString &folder, bool skip, QWidget *parent);
    static bool ApplyImport(CCsvImporter &importer, const QString &title, QWidget *parent);
    static QString ImportTitle(const QString &source);
};
