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
#include <sqlite3.h>

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

// Out of line, so that a profiler can count one walk apart from filling the file.
[[gnu::noinline]] qint64 WalkOnce(CMast01 &set, int department)
{
    const QString condition = QStringLiteral("Busyo = %1").arg(department);
    qint64 rows = 0;
    for (bool found = set.FindFirst(condition); found; found = set.FindNext(condition)) {
        benchmark::DoNotOptimize(set.m_Name.size() + set.m_Code);
        ++rows;
    }
    return rows;
}

void BM_WalkDepartmentThroughCMast01(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(DatabaseFor(int(state.range(0))));
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    int department = 0;
    qint64 rows = 0;
    for (auto _ : state)
        rows += WalkOnce(set, 1 + department++ % kDepartments);
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

[[gnu::noinline]] void PlainOnce(QSqlQuery &q, int department)
{
    q.bindValue(0, department);
    q.exec();
    while (q.next())
        benchmark::DoNotOptimize(q.value(4).toString().size() + q.value(1).toInt());
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
        for (auto _ : state)
            PlainOnce(q, 1 + department++ % kDepartments);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
}
// What opening a set cannot avoid: its first row in order, read through one
// query prepared once on a connection already open.
void BM_PlainFirstRow(benchmark::State &state)
{
    const QString path = DatabaseFor(int(state.range(0)));
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("first"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT ID, Code, Busyo, Sex, Name, Kana, Sdate, Indat, Outdat, Yuu, Juu1, Juu2, "
                                 "TEL, FAX, Rire, Sikaku, Mem, Email FROM Mast01 ORDER BY Busyo, Code, ID LIMIT 1"));
        for (auto _ : state) {
            q.exec();
            if (q.next())
                benchmark::DoNotOptimize(q.value(4).toString().size() + q.value(1).toInt());
            q.finish();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("first"));
}
// The engine by itself, below Qt's driver: the same statements stepped through
// SQLite's C interface, each column taken as the bound members would take it.
constexpr char kAllColumns[] = "SELECT ID, Code, Busyo, Sex, Name, Kana, Sdate, Indat, Outdat, Yuu, Juu1, Juu2, "
                               "TEL, FAX, Rire, Sikaku, Mem, Email FROM Mast01 ";

[[gnu::noinline]] qint64 ReadRow(sqlite3_stmt *stmt)
{
    qint64 sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += sqlite3_column_int64(stmt, i);
    for (int i = 4; i < 18; ++i) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
        sum += QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)).size();
    }
    return sum;
}

[[gnu::noinline]] void SqliteOnce(sqlite3_stmt *stmt, int department)
{
    if (department > 0)
        sqlite3_bind_int(stmt, 1, department);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        benchmark::DoNotOptimize(ReadRow(stmt));
    sqlite3_reset(stmt);
}

void RunSqlite(benchmark::State &state, const char *tail, bool bindDepartment)
{
    sqlite3 *db = nullptr;
    // Opened as Qt's driver opens its connections: without SQLite's own locking of each call.
    sqlite3_open_v2(DatabaseFor(int(state.range(0))).toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                    nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, (QByteArray(kAllColumns) + tail).constData(), -1, &stmt, nullptr);
    int department = 0;
    for (auto _ : state)
        SqliteOnce(stmt, bindDepartment ? 1 + department++ % kDepartments : 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

void BM_SqliteWalk(benchmark::State &state)
{
    RunSqlite(state, "WHERE Busyo = ? ORDER BY Code, ID", true);
}
void BM_SqliteFirstRow(benchmark::State &state)
{
    RunSqlite(state, "ORDER BY Busyo, Code, ID LIMIT 1", false);
}
} // namespace

BENCHMARK(BM_WalkDepartmentThroughCMast01)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainQuery)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SqliteWalk)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenHeld)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainFirstRow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SqliteFirstRow)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenAndWalkDepartment)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
