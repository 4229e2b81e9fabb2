// Faces in the large-icon style on a unit of 10,000 employees with 30 KB photos:
// the list and then its first screenful of faces, a scroll through the whole
// unit (the longest the user-interface thread is kept from the next frame), and
// the peak memory with the cache full. MORVEK_BENCH_EMPLOYEES makes the register
// larger (the crowded unit stays at 10,000).
#include "store/daorecordset.h"
#include "support/registergenerator.h"
#include "views/facecache.h"
#include "views/morvekview.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

namespace {
constexpr int kUnitEmployees = 10000;

CRegisterGenerator::SOptions Options()
{
    CRegisterGenerator::SOptions options;
    options.nEmployees = qMax(kUnitEmployees + 2000, qEnvironmentVariableIntValue("MORVEK_BENCH_EMPLOYEES"));
    options.nCrowdedUnitEmployees = kUnitEmployees;
    options.nPhotoSide = 100; // about 30 KB
    return options;
}

QString Register()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("faces.mdb"));
        CRegisterGenerator::Generate(file, Options());
        return file;
    }();
    return path;
}

// Painting reaches the screen only once the window is there.
void ShowAndWait(CMorvekView &view)
{
    view.resize(800, 600);
    view.show();
    QElapsedTimer patience;
    patience.start();
    while (!(view.windowHandle() && view.windowHandle()->isExposed()) && patience.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

double PeakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

void BM_FirstScreenOfFaces(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Register());
    const qint32 unit = CRegisterGenerator::FirstDepartment(Options());
    CMorvekView view(nullptr);
    ShowAndWait(view);
    if (view.GetFaces()->IsLoading() || !view.windowHandle()->isExposed())
        state.SkipWithError("the window was not shown");
    double listMs = 0, facesMs = 0;
    for (auto _ : state) {
        view.GetFaces()->Drop({});
        QElapsedTimer timer;
        timer.start();
        view.ShowUnitContents(unit);
        view.doItemsLayout();
        view.viewport()->repaint();
        listMs += timer.nsecsElapsed() / 1e6;
        // The faces the paint asked for, which are those on screen.
        QElapsedTimer patience;
        patience.start();
        while (view.GetFaces()->IsLoading() && patience.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        view.viewport()->repaint();
        facesMs += timer.nsecsElapsed() / 1e6;
    }
    state.counters["list_ms"] = listMs / double(state.iterations());
    state.counters["with_faces_ms"] = facesMs / double(state.iterations());
    state.counters["rows"] = view.model()->rowCount();
}

// A screen at a time down the whole unit, as fast as the frames allow; faces
// arrive in between. Counts the longest frame on the user-interface thread.
void BM_ScrollWholeUnit(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Register());
    CMorvekView view(nullptr);
    ShowAndWait(view);
    view.ShowUnitContents(CRegisterGenerator::FirstDepartment(Options()));
    view.doItemsLayout();
    double worst = 0;
    int frames = 0;
    for (auto _ : state) {
        QScrollBar *bar = view.verticalScrollBar();
        for (int value = 0; value <= bar->maximum(); value += view.viewport()->height() / 2) {
            QElapsedTimer frame;
            frame.start();
            bar->setValue(value);
            view.viewport()->repaint();
            QCoreApplication::processEvents();
            worst = qMax(worst, frame.nsecsElapsed() / 1e6);
            ++frames;
        }
    }
    state.counters["worst_frame_ms"] = worst;
    state.counters["frames"] = frames;
    state.counters["faces_kept"] = view.GetFaces()->Count();
    state.counters["peak_MB"] = PeakMegabytes();
}
} // namespace

BENCHMARK(BM_FirstScreenOfFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollWholeUnit)->Unit(benchmark::kMillisecond)->Iterations(3);
