// The organisation chart of 1,000 units over 100,000 employees: read, laid out and
// drawn whole (as "fit to window" shows it), and one A4 page of it printed to PDF.
#include "chart/orgchart.h"
#include "chart/orgchartfiles.h"
#include "chart/orgchartpainter.h"
#include "chart/orgtreelayout.h"
#include "chart/staffsnapshot.h"
#include "store/daorecordset.h"
#include "support/registergenerator.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace {
const QString &Register()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("chart.mdb"));
        CRegisterGenerator::SOptions options;
        options.nEmployees = 100000;
        options.nUnits = 1000;
        options.nCompanies = 10;
        options.nPhotoSide = 0;
        CRegisterGenerator::Generate(file, options);
        return file;
    }();
    CDaoRecordset::SetApplicationDatabasePath(path);
    return path;
}

void DrawWhole(const COrgChart &chart, QImage &image)
{
    QPainter painter(&image);
    const QSizeF size = chart.Bounds().size();
    const qreal scale = std::min(image.width() / size.width(), image.height() / size.height());
    painter.scale(scale, scale);
    COrgChartPainter::Paint(painter, chart, chart.Bounds(), {});
}
} // namespace

static void BM_ReadSnapshot(benchmark::State &state)
{
    Register();
    for (auto _ : state)
        benchmark::DoNotOptimize(CStaffSnapshot::Read(nullptr).Total(0));
}
BENCHMARK(BM_ReadSnapshot)->Unit(benchmark::kMillisecond);

// The 300 ms target: from the register to the whole chart on a 1920x1080 screen.
static void BM_ReadLayOutAndDraw(benchmark::State &state)
{
    Register();
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
        const COrgChart chart(snapshot, 0, {});
        image.fill(Qt::white);
        DrawWhole(chart, image);
        state.counters["boxes"] = double(chart.Boxes().size());
    }
}
BENCHMARK(BM_ReadLayOutAndDraw)->Unit(benchmark::kMillisecond);

static void BM_LayOut(benchmark::State &state)
{
    Register();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(COrgChart(snapshot, 0, {}).Bounds());
}
BENCHMARK(BM_LayOut)->Unit(benchmark::kMillisecond);

// A company of 100 departments with 9 sections each: stacked in rows, each subtree laid out twice.
static void BM_LayOutStacked(benchmark::State &state)
{
    QList<COrgTreeLayout::SNode> nodes(1001);
    for (COrgTreeLayout::SNode &node : nodes)
        node.size = QSizeF(136, 56);
    for (int d = 1; d <= 100; ++d) {
        nodes[0].children.append(d);
        for (int s = 0; s < 9; ++s)
            nodes[d].children.append(101 + (d - 1) * 9 + s);
    }
    for (auto _ : state) {
        const COrgTreeLayout layout(nodes, {0});
        benchmark::DoNotOptimize(layout.Bounds());
        state.counters["stacked"] = layout.IsStacked(0);
    }
}
BENCHMARK(BM_LayOutStacked)->Unit(benchmark::kMillisecond);

static void BM_Draw(benchmark::State &state)
{
    Register();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const COrgChart chart(snapshot, 0, {});
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        DrawWhole(chart, image);
    }
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond);

static void BM_WritePdf(benchmark::State &state)
{
    Register();
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(nullptr);
    const COrgChart chart(snapshot, 0, {});
    QTemporaryDir dir;
    const COrgChartFiles::SPaper paper{QPageSize::A4, QPageLayout::Landscape, COrgChartFiles::EFit::onePage};
    for (auto _ : state)
        COrgChartFiles::Write(dir.filePath(QStringLiteral("chart.pdf")), chart, {}, paper);
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond);
