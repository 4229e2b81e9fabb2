#pragma once

#include <functional>

class CCsvImporter;
class CCsvPreviewDlg;
class QString;
struct SCsvPlanChoices;
class QWidget;

// The two CSV commands of the ﾌｧｲﾙ menu; the work is done by CCsvExporter and
// CCsvImporter, these only ask and report.
class CCsvCommands final
{
public:
    static void OnExportCsv(QWidget *parent);
    // True when rows were written, so that the windows can show them.
    static bool OnImportCsv(QWidget *parent);
    // Reads the rows into an importer (again after each change in the preview).
    using FRead = std::function<bool(CCsvImporter &, QString &)>;
    // What every import of the window does after its file is chosen: the choice for
    // existing employees, the preview with its column choices, the write.
    static bool ImportWith(const QString &title, const FRead &read, QWidget *parent);

    // Imports with more rows than this show their progress and can be cancelled.
    static constexpr int ProgressThreshold = 2000;
    // Reasons and warnings the preview lists, each.
    static constexpr int MaxListed = 200;

private:
    // Reads the folder and plans the import; false with the error when it cannot be read.
    static bool PlanImport(CCsvImporter &importer, const FRead &read, const SCsvPlanChoices &choices, QString &error);
    // The preview with its column choices; true when the user chose to import.
    static bool ConfirmImport(CCsvImporter &importer, const FRead &read, SCsvPlanChoices &choices, const QString &title,
                              QWidget *parent);
    // The column choices last made for files with these headers, planned with.
    static void RecallColumns(CCsvImporter &importer, const FRead &read, const SCsvPlanChoices &choices);
    static void RememberColumns(const CCsvImporter &importer, const CCsvPreviewDlg &preview);
    static bool ApplyImport(CCsvImporter &importer, const QString &title, QWidget *parent);
};
