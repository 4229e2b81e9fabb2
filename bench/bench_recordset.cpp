// Walking one department's employees through CMast01, beside one plain prepared
// SQLite query that returns the same rows with the same columns.
#include "store/mast01.h"
#include "store/schema.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <map>

namespace {
constexpr int kDepartments = 100;

// One database per size, filled once: every employee has a small photo.
QString DatabaseFor(int employees)
{
    static QTemporaryDir dir;
    static std::map<int, QString> made;
    if (auto it = made.find(employees); it != made.end())
        return it->second;
    const QString path = dir.filePath(QStringLiteral("bench%1.mdb").arg(employees));
    CSchema::CreateDatabaseFile(path);
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name, Kana, Sdate, Pic) VALUES (?,?,?,?,?,?,?)"));
        const QByteArray photo(512, 'p');
        for (int i = 0; i < employees; ++i) {
            q.addBindValue((i * 7919) % 1000003);
            q.addBindValue(1 + i % kDepartments);
            q.addBindValue(i % 2);
            q.addBindValue(QStringLiteral("社員 %1").arg(i));
            q.addBindValue(QStringLiteral("しゃいん"));
            q.addBindValue(QStringLiteral("1980-04-01"));
            q.addBindValue(photo);
            if (!q.exec())
                qFatal("%s", qPrintable(q.lastError().text()));
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    made[employees] = path;
    return path;
}

void BM_WalkDepartmentThroughCMast01(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(DatabaseFor(int(state.range(0))));
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    int department = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QString condition = QStringLiteral("Busyo = %1").arg(1 + department++ % kDepartments);
        for (bool found = set.FindFirst(condition); found; found = set.FindNext(condition)) {
            benchmark::DoNotOptimize(set.m_Name.size() + set.m_Code);
            ++rows;
        }
    }
    state.counters["rows/walk"] = double(rows) / double(state.iterations());
}

void BM_OpenAndWalkDepartment(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(DatabaseFor(int(state.range(0))));
    int department = 0;
    for (auto _ : state) {
        CMast01 set;
        set.m_strSort = QStringLiteral("Busyo,Code");
        set.Open();
        const QString condition = QStringLiteral("Busyo = %1").arg(1 + department++ % kDepartments);
        for (bool found = set.FindFirst(condition); found; found = set.FindNext(condition))
            benchmark::DoNotOptimize(set.m_Name.size() + set.m_Code);
    }
}

// A new set while another holds the connection: what opening one costs by itself.
void BM_OpenHeld(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(DatabaseFor(int(state.range(0))));
    CMast01 held;
    held.Open();
    for (auto _ : state) {
        CMast01 set;
        set.m_strSort = QStringLiteral("Busyo,Code");
        set.Open();
        benchmark::DoNotOptimize(set.m_Code);
    }
}

void BM_PlainQuery(benchmark::State &state)
{
    const QString path = DatabaseFor(int(state.range(0)));
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT ID, Code, Busyo, Sex, Name, Kana, Sdate, Indat, Outdat, Yuu, Juu1, Juu2, "
                                 "TEL, FAX, Rire, Sikaku, Mem, Email FROM Mast01 WHERE Busyo = ? ORDER BY Code, ID"));
        int department = 0;
        for (auto _ : state) {
            q.bindValue(0, 1 + department++ % kDepartments);
            q.exec();
            while (q.next())
                benchmark::DoNotOptimize(q.value(4).toString().size() + q.value(1).toInt());
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
}
} // namespace

BENCHMARK(BM_WalkDepartmentThroughCMast01)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainQuery)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenHeld)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenAndWalkDepartment)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
