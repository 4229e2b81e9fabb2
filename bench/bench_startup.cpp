// The start as a user has it: from starting the program until its company window
// is shown, on an empty register and on 100,000 employees with 2 KB and with 30 KB
// photos (about 200 MB and 3 GB), each beside the empty one in the same run. The
// integrity check that used to read the whole file before the window is timed
// apart. Registers are kept in $MORVEK_BENCH_DIR (default: a temporary folder).
// For a cold start: sync; echo 3 > /proc/sys/vm/drop_caches (as root) before the run.
#include "backup/databasebackup.h"
#include "store/schema.h"
#include "support/registergenerator.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {
QString Folder()
{
    static QTemporaryDir temp;
    const QString dir = qEnvironmentVariable("MORVEK_BENCH_DIR", temp.path());
    QDir().mkpath(dir);
    return dir;
}

// photoSide 0: an empty register; 26 pixels make a 2 KB photo, 100 about 30 KB.
QString Register(int photoSide)
{
    const QString path = Folder()
                       + (photoSide ? QStringLiteral("/start100k-%1px.mdb").arg(photoSide)
                                    : QStringLiteral("/start-empty.mdb"));
    if (QFile::exists(path))
        return path;
    if (!photoSide) {
        CSchema::CreateDatabaseFile(path);
        return path;
    }
    CRegisterGenerator::SOptions options;
    options.nEmployees = 100000;
    options.nUnits = 1000;
    options.nPhotoSide = photoSide;
    CRegisterGenerator::Generate(path, options);
    return path;
}

// A working folder whose odata.mdb is the register, and settings of its own.
QString WorkingFolder(const QString &database)
{
    static QTemporaryDir root;
    const QString folder = root.filePath(QFileInfo(database).completeBaseName());
    QDir().mkpath(folder + QStringLiteral("/config"));
    const QString link = folder + QStringLiteral("/odata.mdb");
    if (!QFileInfo(link).isSymLink())
        QFile::link(database, link);
    return folder;
}

QHash<int, double> g_seconds; // photo side -> mean seconds of the last run

void BM_StartToWindow(benchmark::State &state)
{
    const int side = int(state.range(0));
    const QString folder = WorkingFolder(Register(side));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    env.insert(QStringLiteral("MORVEK_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    double total = 0;
    double exit = 0; // from the window shown until the process has ended
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder);
        QElapsedTimer timer;
        timer.start();
        program.start(QStringLiteral(MORVEK_PROGRAM), {});
        // The program says "shown" once its window is; how long it then takes to end is timed apart.
        while (!program.canReadLine() && program.waitForReadyRead(120000)) {
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        if (!program.readLine().startsWith("shown") || !program.waitForFinished(120000) || program.exitCode() != 0) {
            state.SkipWithError("the program did not start and quit");
            return;
        }
        exit += double(timer.nsecsElapsed()) / 1e9 - seconds;
        total += seconds;
        state.SetIterationTime(seconds);
    }
    g_seconds[side] = total / double(state.iterations());
    if (side && g_seconds.contains(0))
        state.counters["x_empty"] = g_seconds[side] / g_seconds[0];
    state.counters["MB"] = double(QFileInfo(Register(side)).size()) / 1e6;
    state.counters["exit_ms"] = 1000 * exit / double(state.iterations());
}

// What the start used to read before the window: every page of the file.
void BM_WholeFileCheck(benchmark::State &state)
{
    const QString path = Register(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CDatabaseBackup::Damage(path).isEmpty());
}
} // namespace

BENCHMARK(BM_StartToWindow)
    ->Arg(0)
    ->Arg(26)
    ->Arg(0)
    ->Arg(100)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeFileCheck)->Arg(0)->Arg(26)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
