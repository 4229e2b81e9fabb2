// The staff figures on the generated register of 100,000 employees in 1,000 units: the
// register read once, the five figures of the whole register and of one company counted
// from it, and each figure drawn at 800 x 500 and on an A4 page's worth of pixels.
#include "chart/chartdrawer.h"
#include "chart/stafffigures.h"
#include "chart/staffsnapshot.h"
#include "store/daorecordset.h"
#include "support/registergenerator.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace {
CRegisterGenerator::SOptions Options()
{
    CRegisterGenerator::SOptions options;
    options.nEmployees = 100000;
    options.nUnits = 1000;
    options.nPhotoSide = 0;
    return options;
}

const CStaffSnapshot &Snapshot()
{
    static const CStaffSnapshot snapshot = [] {
        static QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("figures.mdb"));
        CRegisterGenerator::Generate(path, Options());
        CDaoRecordset::SetApplicationDatabasePath(path);
        return CStaffSnapshot::Read(nullptr);
    }();
    return snapshot;
}

void BM_ReadSnapshot(benchmark::State &state)
{
    Snapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(CStaffSnapshot::Read(nullptr));
}
BENCHMARK(BM_ReadSnapshot)->Unit(benchmark::kMillisecond);

// unit 0: the whole register; 1: the first company and its hundred units.
void BM_AllFigures(benchmark::State &state)
{
    const CStaffSnapshot &snapshot = Snapshot();
    for (auto _ : state) {
        const QList<SFigureTable> tables = CStaffFigures(snapshot, qint32(state.range(0))).All();
        benchmark::DoNotOptimize(tables.size());
    }
}
BENCHMARK(BM_AllFigures)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrawFigures(benchmark::State &state)
{
    const QList<SFigureTable> tables = CStaffFigures(Snapshot(), 0).All();
    QImage image(int(state.range(0)), int(state.range(1)), QImage::Format_RGB32);
    for (auto _ : state) {
        for (const SFigureTable &table : tables) {
            QPainter painter(&image);
            CChartDrawer(painter, QRectF(image.rect())).Draw(table);
        }
    }
}
BENCHMARK(BM_DrawFigures)->Args({800, 500})->Args({3508, 2480})->Unit(benchmark::kMillisecond);
} // namespace
