#pragma once

class QWidget;

// The two CSV commands of the ﾌｧｲﾙ menu; the work is done by CCsvExporter and
// CCsvImporter, these only ask and report.
class CCsvCommands final
{
public:
    static void OnExportCsv(QWidget *parent);
    // True when rows were written, so that the windows can show them.
    static bool OnImportCsv(QWidget *parent);

    // Imports with more rows than this show their progress and can be cancelled.
    static constexpr int ProgressThreshold = 2000;
};
