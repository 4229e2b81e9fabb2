#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program's command line, described once: parsing, the help text and the
// manual page all come from the same table of options.
class CCommandLine final
{
public:
    enum class EAction { window, help, version, exportCsv, importCsv, importPhotos, usageError };

    struct SOption {
        QStringList names; // without dashes; one letter is a short name
        QString valueName; // empty for a switch
        QString valueNameEnglish;
        QString japanese;
        QString english;
    };

    struct SParsed {
        EAction action = EAction::window;
        QString error; // for usageError, in Japanese
        QString folder;
        QString database;
        QString encoding;
        QString map; // --map, as given
        bool skipExisting = false;
        bool createUnits = false;
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
};
