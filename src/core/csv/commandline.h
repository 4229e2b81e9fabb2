#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class QCommandLineParser;

// The program's command line, described once: parsing, the help text and the
// manual page all come from the same table of options.
class CCommandLine final
{
public:
    enum class EAction {
        window,
        help,
        version,
        exportCsv,
        importCsv,
        exportXlsx,
        importXlsx,
        importPhotos,
        importPostal,
        orgChart,
        figures,
        usageError
    };

    struct SOption {
        QStringList names; // without dashes; one letter is a short name
        QString valueName; // empty for a switch
        QString valueNameEnglish;
        QString japanese;
        QString english;
    };

    struct SParsed {
        EAction action = EAction::window;
        QString error;  // for usageError, in Japanese
        QString folder; // or the workbook's file
        QString database;
        QString encoding;
        QString map;      // --map, as given
        QString dateForm; // era, iso, or empty for the one the window last chose
        QString company;  // --company: where departments named alone go
        bool skipExisting = false;
        bool createUnits = false;
        bool keepNumbers = false;
        bool fillAddresses = false; // an empty 住所1 from the 〒, with the postal data kept
        bool fillReadings = false;  // an empty ふりがな from the 氏名
        QString unitPath;           // --unit, as the CSV files write a unit's path
        QDate asOf;                 // --as-of; null: today
        bool faces = false;
    };

    CCommandLine() = delete;

    static const QList<SOption> &Options();
    // arguments: the program name first.
    static SParsed Parse(const QStringList &arguments);
    static QString Usage();
    static QString HelpText();
    static QString VersionText();

    static constexpr int ExitFailure = 1;
    static constexpr int ExitUsage = 2;

private:
    // --org-chart and --figures, with what may go with them.
    static SParsed ParseChart(const QCommandLineParser &parser, SParsed parsed);
    // --export-xlsx and --import-xlsx, with what may go with them; csv: a CSV command is given too.
    static SParsed ParseWorkbook(const QCommandLineParser &parser, bool csv, SParsed parsed);
};
