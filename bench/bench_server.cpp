// The register on PostgreSQL: the department walk of the tree and the fill of a
// unit of 10,000 employees, each beside a plain query through the same driver.
// Needs a server: MORVEK_TEST_PGURI=postgresql://... (its database is emptied).
#include "store/daodatabase.h"
#include "store/daocolumnsubset.h"
#include "store/daorecordset.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/schema.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

namespace {
constexpr int kCompanies = 10;
constexpr int kUnits = 1000;
constexpr int kCrowded = 10000;
constexpr int kOthers = 20000;
const int kCrowdedUnit = kCompanies + 1;

QString g_uri;

void Exec(QSqlQuery &q)
{
    if (!q.exec())
        qFatal("%s", qPrintable(q.lastError().text()));
}

// Companies 1..10, departments under them and under earlier departments;
// 10,000 employees in the first department, the rest spread.
void Fill()
{
    CSchema::CreateDatabaseFile(g_uri); // refuses anything but an empty database
    CDaoDatabase db;
    db.Open(g_uri);
    QSqlDatabase c = db.Connection();
    c.transaction();
    QSqlQuery q(c);
    q.prepare(QStringLiteral("INSERT INTO Mast00 (Parent, Code, Name) VALUES (?,?,?) RETURNING ID"));
    for (int id = 1; id <= kUnits; ++id) {
        const bool company = id <= kCompanies;
        const int code = company ? id : 1 + (id - 1) % kCompanies;
        q.addBindValue(company ? 0 : (id > kCompanies * 4 ? id - kCompanies * 3 : code));
        q.addBindValue(code);
        q.addBindValue(QStringLiteral("部課%1").arg(id));
        Exec(q);
    }
    q.prepare(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name, Kana, Sdate) VALUES (?,?,?,?,?,?)"));
    for (int i = 0; i < kCrowded + kOthers; ++i) {
        q.addBindValue(1 + (qint64(i) * 7919) % 1000003);
        q.addBindValue(i < kCrowded ? kCrowdedUnit : kCrowdedUnit + 1 + i % (kUnits - kCrowdedUnit));
        q.addBindValue(i % 3 == 0 ? 1 : 0);
        q.addBindValue(QStringLiteral("社員%1").arg(i));
        q.addBindValue(QStringLiteral("しゃいん"));
        q.addBindValue(QStringLiteral("1980-04-01"));
        Exec(q);
    }
    c.commit();
    QSqlQuery(c).exec(QStringLiteral("ANALYZE"));
}

// As the tree loads it: every level by "Parent = %d" on one set in code order.
// The views keep their sets open, as here; each fill narrows the columns anew.
void BM_DepartmentWalk(benchmark::State &state)
{
    CMast00 units;
    units.m_strSort = QStringLiteral("Parent , Code , ID");
    units.Open();
    for (auto _ : state) {
        const CDaoColumnSubset columns(
            units, {QStringLiteral("ID"), QStringLiteral("Parent"), QStringLiteral("Code"), QStringLiteral("Name")});
        QList<qint32> level{0};
        int seen = 0;
        while (!level.isEmpty()) {
            QList<qint32> next;
            for (const qint32 parent : std::as_const(level)) {
                const QString condition = QStringLiteral("Parent = %1").arg(parent);
                for (bool found = units.FindFirst(condition); found; found = units.FindNext(condition)) {
                    next << units.m_ID;
                    ++seen;
                }
            }
            level = next;
        }
        if (seen != kUnits)
            state.SkipWithError("walk missed units");
    }
    state.SetItemsProcessed(state.iterations() * kUnits);
}

void BM_DepartmentWalk_Plain(benchmark::State &state)
{
    CDaoDatabase db;
    db.Open(g_uri);
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ID, Parent, Code, Name FROM Mast00 WHERE Parent = ? ORDER BY Parent, Code, ID"));
    for (auto _ : state) {
        QList<qint32> level{0};
        int seen = 0;
        while (!level.isEmpty()) {
            QList<qint32> next;
            for (const qint32 parent : std::as_const(level)) {
                q.addBindValue(parent);
                Exec(q);
                while (q.next()) {
                    next << q.value(0).toInt();
                    benchmark::DoNotOptimize(q.value(3).toString());
                    ++seen;
                }
            }
            level = next;
        }
        if (seen != kUnits)
            state.SkipWithError("walk missed units");
    }
    state.SetItemsProcessed(state.iterations() * kUnits);
}

// As the list fills a unit: ID, sex and name of its employees in code order.
void BM_UnitFill10000(benchmark::State &state)
{
    const QString condition = QStringLiteral("Busyo = %1").arg(kCrowdedUnit);
    CMast01 employees;
    employees.m_strSort = QStringLiteral("Busyo,Code");
    employees.Open();
    for (auto _ : state) {
        const CDaoColumnSubset columns(employees, {QStringLiteral("ID"), QStringLiteral("Sex"), QStringLiteral("Name")});
        int rows = 0;
        for (bool found = employees.FindFirst(condition); found; found = employees.FindNext(condition)) {
            benchmark::DoNotOptimize(employees.m_Name);
            ++rows;
        }
        if (rows != kCrowded)
            state.SkipWithError("fill missed employees");
    }
    state.SetItemsProcessed(state.iterations() * kCrowded);
}

void BM_UnitFill10000_Plain(benchmark::State &state)
{
    CDaoDatabase db;
    db.Open(g_uri);
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ID, Sex, Name FROM Mast01 WHERE Busyo = ? ORDER BY Busyo, Code, ID"));
    for (auto _ : state) {
        q.addBindValue(kCrowdedUnit);
        Exec(q);
        int rows = 0;
        while (q.next()) {
            benchmark::DoNotOptimize(q.value(0).toInt() + q.value(1).toInt() + q.value(2).toString().size());
            ++rows;
        }
        if (rows != kCrowded)
            state.SkipWithError("fill missed employees");
    }
    state.SetItemsProcessed(state.iterations() * kCrowded);
}
} // namespace

BENCHMARK(BM_DepartmentWalk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DepartmentWalk_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnitFill10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnitFill10000_Plain)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    g_uri = qEnvironmentVariable("MORVEK_TEST_PGURI");
    if (g_uri.isEmpty()) {
        std::puts("bench_server: set MORVEK_TEST_PGURI=postgresql://... (an empty database) to measure");
        return 0;
    }
    Fill();
    CDaoRecordset::SetApplicationDatabasePath(g_uri);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
