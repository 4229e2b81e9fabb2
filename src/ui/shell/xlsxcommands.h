#pragma once

class QString;
class QWidget;

// The two Excel commands of the ﾌｧｲﾙ menu: the workbook is written by CXlsxExporter,
// and read through the CSV import's own preview and checks.
class CXlsxCommands final
{
public:
    static void OnExportXlsx(QWidget *parent);
    // True when rows were written, so that the windows can show them.
    static bool OnImportXlsx(QWidget *parent);

    // Asks for the workbook's file through the modal seam; empty when none is chosen.
    static QString ChooseFile(QWidget *parent, const QString &title, bool saving);
};
