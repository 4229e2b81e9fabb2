#include "shell/programentry.h"

#include "chart/chartcommandline.h"
#include "csv/commandline.h"
#include "csv/csvcommandline.h"
#include "register/register.h"
#include "shell/morvekapp.h"

#include <QStringList>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <exception>

namespace {
void Print(FILE *stream, const QString &text)
{
    QTextStream out(stream);
    out << text;
}
} // namespace

bool CProgramEntry::HasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool x11 = qEnvironmentVariableIsSet("DISPLAY");
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (platform.startsWith("xcb"))
        return x11;
    if (platform.startsWith("wayland"))
        return wayland;
    return !platform.isEmpty() || x11 || wayland;
}

int CProgramEntry::Main(int argc, char **argv)
{
    try {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        const CCommandLine::SParsed parsed = CCommandLine::Parse(arguments);
        switch (parsed.action) {
        case CCommandLine::EAction::help:
            Print(stdout, CCommandLine::HelpText());
            return 0;
        case CCommandLine::EAction::version:
            Print(stdout, CCommandLine::VersionText());
            return 0;
        case CCommandLine::EAction::usageError:
            Print(stderr, QStringLiteral("morvek: %1\n").arg(parsed.error) + CCommandLine::Usage());
            return CCommandLine::ExitUsage;
        case CCommandLine::EAction::exportCsv:
        case CCommandLine::EAction::importCsv:
        case CCommandLine::EAction::exportXlsx:
        case CCommandLine::EAction::importXlsx:
        case CCommandLine::EAction::importPhotos:
        case CCommandLine::EAction::importPostal:
            return CCsvCommandLine::Main(argc, argv);
        case CCommandLine::EAction::orgChart:
        case CCommandLine::EAction::figures:
            return CChartCommandLine::Main(argc, argv, parsed);
        case CCommandLine::EAction::window:
            break;
        }
        if (!HasDisplay()) {
            Print(stderr, QStringLiteral("morvek: 画面（ディスプレイ）がないため開けません。"
                                         "画面なしで使えるコマンドは morvek --help で表示できます。\n"));
            return CCommandLine::ExitFailure;
        }
        return RunWindow(argc, argv);
    } catch (const std::exception &error) {
        Print(stderr, QStringLiteral("morvek: %1\n").arg(QString::fromUtf8(error.what())));
    } catch (...) {
        Print(stderr, QStringLiteral("morvek: 予期しないエラーで終了しました。\n"));
    }
    return CCommandLine::ExitFailure;
}

int CProgramEntry::RunWindow(int argc, char **argv)
{
    CMorvekApp app(argc, argv);
    if (!app.InitInstance())
        return 0;
    // Other users' and programs' writes reach the windows; a lost server is reached again.
    CRegister::Instance().Watch();
    // For measuring the start: says so once the window is shown and painted, then ends,
    // whatever still runs.
    if (qEnvironmentVariableIsSet("MORVEK_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, &app, [&app] {
            Print(stdout, QStringLiteral("shown\n"));
            std::fflush(stdout);
            app.quit();
        });
    }
    const int status = app.exec();
    // The watch's connections close while the application still stands.
    CRegister::Instance().StopWatching();
    return status;
}
