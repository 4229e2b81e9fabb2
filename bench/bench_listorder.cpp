// Sorting the rows of a unit of 10,000 employees by a column of the details
// style, as a click on its header does.
#include "views/roworder.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

namespace {
std::vector<CUnitContentsModel::SRow> Unit(int employees)
{
    static const QString kSyllables = QStringLiteral(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわ");
    QRandomGenerator random(42);
    std::vector<CUnitContentsModel::SRow> rows;
    for (int unit = 0; unit < 5; ++unit)
        rows.push_back(CUnitContentsModel::UnitRow(unit + 1, false, QStringLiteral("部課 %1").arg(unit)));
    for (int i = 0; i < employees; ++i) {
        CUnitContentsModel::SRow row = CUnitContentsModel::EmployeeRow(i + 1, i % 2, QStringLiteral("社員 %1").arg(i));
        row.nCode = int(random.bounded(1000000));
        for (int n = 0; n < 6; ++n)
            row.strKana += kSyllables.at(int(random.bounded(kSyllables.size())));
        row.indat = CDateValue(1960 + int(random.bounded(60)), 1 + int(random.bounded(12)), 1);
        rows.push_back(std::move(row));
    }
    return rows;
}

void SortBy(benchmark::State &state)
{
    const std::vector<CUnitContentsModel::SRow> unit = Unit(10000);
    for (auto _ : state) {
        std::vector<CUnitContentsModel::SRow> rows = unit;
        CRowOrder::Sort(rows, int(state.range(0)), Qt::AscendingOrder);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(SortBy)
    ->Arg(CUnitContentsModel::kanaColumn)
    ->Arg(CUnitContentsModel::nameColumn)
    ->Arg(CUnitContentsModel::codeColumn)
    ->Arg(CUnitContentsModel::joinedColumn)
    ->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
