// Importing a register of 100,000 employees in 100 departments from CSV into an
// empty file, and exporting it again: rows a second and the process's peak memory.
#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "store/daodatabase.h"
#include "store/schema.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace {
constexpr int kEmployees = 100000;
constexpr int kDepartments = 100;

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

QByteArray UnitsFile()
{
    QByteArray out =
        "会社コード,部課パス,名前,〒,住所1,住所2,TEL,FAX\r\n1,本社,本社,100-0001,東京都千代田区,,03-0000-0000,\r\n";
    for (int d = 0; d < kDepartments; ++d)
        out += "1,本社/部" + QByteArray::number(d) + ",部" + QByteArray::number(d) + ",,,,,\r\n";
    return out;
}

QByteArray EmployeesFile()
{
    QByteArray out =
        "社員コード,氏名,ふりがな,性別,生年月日,入社年月日,退社年月日,〒,住所1,住所2,TEL,FAX,所属,履歴,資格,備考,E-mail\r\n";
    out.reserve(kEmployees * 200);
    for (int i = 1; i <= kEmployees; ++i) {
        out += QByteArray::number(i) + ",山田 太郎" + QByteArray::number(i) + ",ﾔﾏﾀﾞ ﾀﾛｳ," + (i % 2 ? "男" : "女")
             + ",S50.4.1,2001/4/1,,100-0001,東京都千代田区丸の内1-1-1,\"ビル 5階, 東\",03-1234-5678,,本社/部"
             + QByteArray::number(i % kDepartments) + ",営業,簿記2級,\"メモ\n二行目\",taro@example.jp\r\n";
    }
    return out;
}

void BM_ImportEmployees(benchmark::State &state)
{
    const QByteArray units = UnitsFile();
    const QByteArray employees = EmployeesFile();
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
        if (!importer.ReadData(units, employees, error))
            state.SkipWithError(qPrintable(error));
        importer.Plan(CCsvImporter::EExisting::Update);
        if (importer.Summary().Refused() > 0 || !importer.Apply())
            state.SkipWithError("import refused rows");
    }
    state.counters["rows/s"] = benchmark::Counter(double(kEmployees) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_ImportEmployees)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_ExportEmployees(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    CSchema::CreateDatabaseFile(path);
    CDaoDatabase db;
    db.Open(path);
    {
        CCsvImporter importer(db);
        QString error;
        importer.ReadData(UnitsFile(), EmployeesFile(), error);
        importer.Plan(CCsvImporter::EExisting::Update);
        importer.Apply();
    }
    for (auto _ : state) {
        QByteArray units, employees;
        CCsvExporter(db).Build(units, employees);
        benchmark::DoNotOptimize(employees.size());
    }
    state.counters["rows/s"] = benchmark::Counter(double(kEmployees) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_ExportEmployees)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
