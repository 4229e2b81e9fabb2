// The register's exchange with spreadsheets, 100,000 employees in 100 units: export to
// the two CSV files and to one Excel workbook, and import of each into an empty file,
// reading and checking apart from the whole import. Rows a second, file sizes, and
// the process's peak memory (one process for all: run one --benchmark_filter at a time
// for each one's own peak).
#include "text/csvcodec.h"
#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "csv/xlsxexporter.h"
#include "store/daodatabase.h"
#include "store/schema.h"
#include "support/registergenerator.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

namespace {
constexpr int kEmployees = 100000;

double PeakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// The generated register and its exports, made once for every benchmark.
struct SFiles {
    QTemporaryDir dir;
    QString Register() const { return dir.filePath(QStringLiteral("source.mdb")); }
    QString Folder() const { return dir.filePath(QStringLiteral("csv")); }
    QString Workbook() const { return dir.filePath(QStringLiteral("register.xlsx")); }

    SFiles()
    {
        CRegisterGenerator::SOptions options;
        options.nEmployees = kEmployees;
        options.nUnits = 100;
        options.nPhotoSide = 0;
        CRegisterGenerator::Generate(Register(), options);
        QDir().mkpath(Folder());
        CDaoDatabase db;
        db.Open(Register());
        SCsvExportResult result;
        QString error;
        CCsvExporter(db).Export(Folder(), ECsvEncoding::Utf8Bom, result, error);
        CXlsxExporter(db).Export(Workbook(), CXlsxExporter::EDateForm::Era, result, error);
    }
};

const SFiles &Files()
{
    static const SFiles files;
    return files;
}

void Count(benchmark::State &state, qint64 bytes)
{
    state.counters["rows/s"] = benchmark::Counter(double(kEmployees) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["file_MB"] = double(bytes) / (1024.0 * 1024.0);
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_ExportCsv(benchmark::State &state)
{
    CDaoDatabase db;
    db.Open(Files().Register());
    QTemporaryDir out;
    for (auto _ : state) {
        SCsvExportResult result;
        QString error;
        if (!CCsvExporter(db).Export(out.path(), ECsvEncoding::Utf8Bom, result, error))
            state.SkipWithError(qPrintable(error));
    }
    Count(state, QFileInfo(QDir(out.path()).filePath(QStringLiteral("社員.csv"))).size()
                     + QFileInfo(QDir(out.path()).filePath(QStringLiteral("部課.csv"))).size());
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_ExportXlsx(benchmark::State &state)
{
    CDaoDatabase db;
    db.Open(Files().Register());
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("out.xlsx"));
    for (auto _ : state) {
        SCsvExportResult result;
        QString error;
        if (!CXlsxExporter(db).Export(path, CXlsxExporter::EDateForm::Era, result, error))
            state.SkipWithError(qPrintable(error));
    }
    Count(state, QFileInfo(path).size());
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// read: the source into the importer; write: plan and apply, or with checkOnly plan alone.
void Import(benchmark::State &state, const std::function<bool(CCsvImporter &, QString &)> &read, bool checkOnly)
{
    Files();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.mdb"));
        CSchema::CreateDatabaseFile(path);
        CDaoDatabase db;
        db.Open(path);
        state.ResumeTiming();
        CCsvImporter importer(db);
        QString error;
        if (!read(importer, error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        importer.Plan(CCsvImporter::EExisting::Update);
        if (importer.Summary().Refused() > 0)
            state.SkipWithError(qPrintable(importer.Summary().Text(3)));
        else if (!checkOnly && !importer.Apply())
            state.SkipWithError("import not written");
    }
}

void BM_ImportCsv(benchmark::State &state)
{
    const bool checkOnly = state.range(0) == 0;
    Import(
        state, [](CCsvImporter &importer, QString &error) { return importer.ReadFolder(Files().Folder(), error); },
        checkOnly);
    Count(state, QFileInfo(QDir(Files().Folder()).filePath(QStringLiteral("社員.csv"))).size());
}
BENCHMARK(BM_ImportCsv)->ArgName("write")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_ImportXlsx(benchmark::State &state)
{
    const bool checkOnly = state.range(0) == 0;
    Import(
        state, [](CCsvImporter &importer, QString &error) { return importer.ReadWorkbook(Files().Workbook(), error); },
        checkOnly);
    Count(state, QFileInfo(Files().Workbook()).size());
}
BENCHMARK(BM_ImportXlsx)->ArgName("write")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
