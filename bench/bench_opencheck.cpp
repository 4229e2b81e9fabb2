// What the check made on every opening of the database costs: the header read,
// then the version and the columns of both tables, against a bare connection.
#include "store/daodatabase.h"
#include "store/databasecheck.h"
#include "store/schema.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTemporaryDir>

namespace {
QString Database()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString made = dir.filePath(QStringLiteral("check.mdb"));
        CSchema::CreateDatabaseFile(made);
        return made;
    }();
    return path;
}

void BM_InspectFile(benchmark::State &state)
{
    const QString path = Database();
    for (auto _ : state)
        benchmark::DoNotOptimize(CDatabaseCheck::InspectFile(path).Ok());
}

void BM_InspectConnection(benchmark::State &state)
{
    CDaoDatabase db;
    db.Open(Database());
    for (auto _ : state)
        benchmark::DoNotOptimize(CDatabaseCheck::InspectConnection(db.Connection()).Ok());
}

void BM_OpenCheckedAndClose(benchmark::State &state)
{
    const QString path = Database();
    for (auto _ : state) {
        CDaoDatabase db;
        db.Open(path);
    }
}

void BM_OpenBareAndClose(benchmark::State &state)
{
    const QString path = Database();
    for (auto _ : state) {
        {
            auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
            db.setDatabaseName(path);
            db.open();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    }
}
} // namespace

BENCHMARK(BM_InspectFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InspectConnection)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenCheckedAndClose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenBareAndClose)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
