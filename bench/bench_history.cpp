// The change history on the generated register of 100,000 employees (1,000 units,
// one of 10,000) with 1,000,000 changes spread over five years: the tree and the
// list of the big unit as of a past day beside the same for today, and what the
// history adds to a single move, a correction and a move of 15,000 (beside the same write
// without it). Registers are kept in $MORVEK_BENCH_DIR (default: a temporary folder).
// $MORVEK_BENCH_PGURI: the same on that PostgreSQL database instead (empty, or filled by an earlier run).
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/history.h"
#include "register/idchunks.h"
#include "register/registerasof.h"
#include "register/registertransaction.h"
#include "register/units.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daorecordset.h"
#include "store/mast01.h"
#include "store/schema.h"
#include "support/registergenerator.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <optional>

namespace {
constexpr int kChanges = 1000000;
constexpr int kBulk = 15000;
const QDate kPast(2025, 1, 1); // four fifths of the history lie before it

CRegisterGenerator::SOptions Options()
{
    CRegisterGenerator::SOptions options;
    options.nEmployees = 100000;
    options.nUnits = 1000;
    options.nPhotoSide = 0;
    options.nCrowdedUnitEmployees = 10000;
    return options;
}
const qint32 kCrowdedUnit = CRegisterGenerator::FirstDepartment(Options());

QString Folder()
{
    static QTemporaryDir temp;
    const QString dir = qEnvironmentVariable("MORVEK_BENCH_DIR", temp.path());
    QDir().mkpath(dir);
    return dir;
}

void Exec(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
}

// A million changes in a few statements: moves (two in five) and edits of four
// fields, their days rising with their order from 2021 to 2025.
void AddHistory(const QString &path)
{
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(path);
    const bool server = db->Connection().driverName() == QLatin1String("QPSQL");
    QSqlQuery q(db->Connection());
    const QString numbers = server ? QStringLiteral("generate_series(1, %1) AS s(n)").arg(kChanges)
                                   : QStringLiteral("(WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s "
                                                    "WHERE n < %1) SELECT n FROM s) AS s")
                                         .arg(kChanges);
    // Day n of the five years as yyyymmdd.
    const QString day = server ? QStringLiteral("CAST(to_char(DATE '2021-01-01' + (n * 1825 / %1), 'YYYYMMDD') AS integer)")
                                     .arg(kChanges)
                               : QStringLiteral("CAST(strftime('%Y%m%d', julianday('2021-01-01') + (n * 1825 / %1)) "
                                                "AS INTEGER)")
                                     .arg(kChanges);
    const QString target = QStringLiteral("(CAST(n AS BIGINT) * 7919 % 100000) + 1");
    Exec(q, QStringLiteral(
                "INSERT INTO ChangeLog (Stamp, Eff, Who, Kind, Target, Field, OldUnit, NewUnit, OldVal, NewVal) "
                "SELECT '2021-01-01 09:00:00', %1, 'bench', CASE WHEN n % 5 < 2 THEN 3 ELSE 4 END, %2, "
                "CASE WHEN n % 5 < 2 THEN NULL WHEN n % 5 = 2 THEN 'Name' WHEN n % 5 = 3 THEN 'TEL' "
                "ELSE 'Juu1' END, "
                "CASE WHEN n % 5 < 2 THEN (n * 31 % 1000) + 1 END, CASE WHEN n % 5 < 2 THEN (n * 17 % 1000) + 1 END, "
                "CASE WHEN n % 5 >= 2 THEN 'old' END, CASE WHEN n % 5 >= 2 THEN 'new' END FROM %3")
                .arg(day, target, numbers));
    if (!server)
        Exec(q, QStringLiteral("ANALYZE"));
    else
        Exec(q, QStringLiteral("ANALYZE ChangeLog"));
}

// The generator's register in a few statements: its units, and its employees (the first
// 10,000 in the first department, the others spread over the rest).
void FillServer(const QString &uri)
{
    CSchema::CreateDatabaseFile(uri);
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(uri);
    QSqlQuery q(db->Connection());
    Exec(q, QStringLiteral("INSERT INTO Mast00 (Parent, Code, Name, Yuu, Juu1, TEL) SELECT CASE WHEN n <= 10 THEN 0 "
                           "WHEN n > 40 THEN n - 30 ELSE 1 + (n - 1) % 10 END, CASE WHEN n <= 10 THEN n ELSE "
                           "1 + (n - 1) % 10 END, CASE WHEN n <= 10 THEN '会社' ELSE '部課' END || n, '100-0001', "
                           "'東京都千代田区' || n, '03-0000-0000' FROM generate_series(1, %1) AS s(n) ORDER BY n")
                .arg(Options().nUnits));
    Exec(q, QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name, Kana, Indat, TEL) SELECT n, CASE WHEN n <= %1 "
                           "THEN %2 ELSE %2 + 1 + n % (%3 - %2) END, n % 2, '社員' || n, 'しゃいん', "
                           "DATE '2000-01-01' + n % 5000, '03-1111-2222' FROM generate_series(1, %4) AS s(n) ORDER BY n")
                .arg(Options().nCrowdedUnitEmployees)
                .arg(kCrowdedUnit)
                .arg(Options().nUnits)
                .arg(Options().nEmployees));
    Exec(q, QStringLiteral("ANALYZE"));
}

void RunOn(const QString &path, const QString &sql)
{
    const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(path);
    QSqlQuery q(db->Connection());
    Exec(q, sql);
}

// A server database an earlier run filled is used again.
bool Filled(const QString &uri)
{
    try {
        const std::shared_ptr<CDaoDatabase> db = CDaoDatabasePool::Acquire(uri);
        return db->CountOf(QStringLiteral("SELECT count(*) FROM ChangeLog")) >= kChanges;
    } catch (const std::exception &) {
        return false;
    }
}

QString Register()
{
    const QString uri = qEnvironmentVariable("MORVEK_BENCH_PGURI");
    const QString path = uri.isEmpty() ? Folder() + QStringLiteral("/history100k.mdb") : uri;
    static bool made = false;
    if (!made && (uri.isEmpty() ? !QFile::exists(path) : !Filled(uri))) {
        if (uri.isEmpty())
            CRegisterGenerator::Generate(path, Options());
        else
            FillServer(uri);
        AddHistory(path);
    }
    made = true;
    CDaoRecordset::SetApplicationDatabasePath(path);
    // Entries a run stopped halfway left would lengthen what the past day reads.
    RunOn(path, QStringLiteral("DELETE FROM ChangeLog WHERE Who <> 'bench'"));
    return path;
}

// The tree whole, a unit's children at a time, as the window fills it.
int WalkTree(const std::function<QList<SUnitRow>(qint32)> &children, qint32 parent = 0)
{
    int count = 0;
    for (const SUnitRow &unit : children(parent))
        count += 1 + WalkTree(children, unit.nID);
    return count;
}

void BM_TreeToday(benchmark::State &state)
{
    Register();
    int units = 0;
    for (auto _ : state)
        units = WalkTree([](qint32 parent) { return CUnits::Children(parent); });
    state.counters["units"] = units;
}

void BM_TreeAsOfPast(benchmark::State &state)
{
    Register();
    int units = 0;
    for (auto _ : state) {
        const CRegisterAsOf asOf(kPast);
        units = WalkTree([&asOf](qint32 parent) { return asOf.Children(parent); });
    }
    state.counters["units"] = units;
}

void BM_List10000Today(benchmark::State &state)
{
    Register();
    qsizetype rows = 0;
    for (auto _ : state)
        rows = CEmployees::OfUnit(kCrowdedUnit).size();
    state.counters["rows"] = double(rows);
}

void BM_List10000AsOfPast(benchmark::State &state)
{
    Register();
    const CRegisterAsOf asOf(kPast);
    qsizetype rows = 0;
    for (auto _ : state)
        rows = asOf.OfUnit(kCrowdedUnit).size();
    state.counters["rows"] = double(rows);
}

// The first list after the day is chosen also reads what changed since.
void BM_List10000AsOfPastFirst(benchmark::State &state)
{
    Register();
    qsizetype rows = 0;
    for (auto _ : state)
        rows = CRegisterAsOf(kPast).OfUnit(kCrowdedUnit).size();
    state.counters["rows"] = double(rows);
}

// 変更履歴 of one employee.
void BM_EmployeeHistory(benchmark::State &state)
{
    Register();
    qsizetype entries = 0;
    for (auto _ : state)
        entries = CHistory::OfEmployee(4242).size();
    state.counters["entries"] = double(entries);
}

// The move as it was written before the history: the same statements, without the entries.
void MoveWithoutHistory(const QList<qint32> &ids, qint32 unitId)
{
    CRegisterTransaction transaction;
    CUnits::Hold(transaction, unitId);
    transaction.Database().ExecuteAll(
        CIdChunks::Statements(QStringLiteral("UPDATE Mast01 SET Busyo = ? WHERE ID IN (%1)"), {unitId}, ids));
    transaction.Note({SRegisterChange::EKind::employeesMoved, ids, unitId});
    transaction.Commit();
}

// The last employees, far from the big unit; they move between two units of their own.
const qint32 kFrom = kCrowdedUnit + 1;
const qint32 kTo = kCrowdedUnit + 2;
QList<qint32> Movers(int count)
{
    QList<qint32> ids;
    for (int i = 0; i < count; ++i)
        ids << Options().nEmployees - i;
    return ids;
}

// Moves the employees to another unit and, untimed, back, dropping the entries the move left.
void Move(benchmark::State &state, int count, bool history)
{
    const QString path = Register();
    const qint64 last = CDaoDatabasePool::Acquire(path)->CountOf(QStringLiteral("SELECT max(Seq) FROM ChangeLog"));
    const QList<qint32> ids = Movers(count);
    MoveWithoutHistory(ids, kFrom);
    for (auto _ : state) {
        if (history)
            CEmployees::Move(ids, kTo);
        else
            MoveWithoutHistory(ids, kTo);
        state.PauseTiming();
        MoveWithoutHistory(ids, kFrom);
        RunOn(path, QStringLiteral("DELETE FROM ChangeLog WHERE Seq > %1").arg(last));
        state.ResumeTiming();
    }
    state.counters["moved"] = double(ids.size());
}

// One correction on the master form: the write, its history and the folded name.
void BM_EditOne(benchmark::State &state)
{
    Register();
    CEmployeeEditor editor;
    editor.Open();
    if (!editor.ShowById(4242)) {
        state.SkipWithError("no employee 4242");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("編集%1").arg(++round % 2);
        editor.Update([&name](CMast01 &record) { record.m_Name = name; }, std::nullopt);
    }
}

void BM_MoveOne(benchmark::State &state)
{
    Move(state, 1, true);
}
void BM_MoveOne_NoHistory(benchmark::State &state)
{
    Move(state, 1, false);
}
void BM_Move15000(benchmark::State &state)
{
    Move(state, kBulk, true);
}
void BM_Move15000_NoHistory(benchmark::State &state)
{
    Move(state, kBulk, false);
}
} // namespace

BENCHMARK(BM_TreeToday)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeAsOfPast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_List10000Today)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_List10000AsOfPast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_List10000AsOfPastFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmployeeHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditOne)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveOne)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveOne_NoHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Move15000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Move15000_NoHistory)->Unit(benchmark::kMillisecond);
