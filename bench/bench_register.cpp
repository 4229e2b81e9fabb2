// The figures of a large register, each beside plain SQLite reading the same
// rows in the same run. Registers come from CRegisterGenerator and are kept in
// $MORVEK_BENCH_DIR (default: a temporary folder) for the next run:
//   large: 100,000 employees in 1,000 units, 30 KB photos (3 GB), one unit of 10,000
//   grow:  10k / 100k / 1M employees, a unit of 1,000, no photos
//   crowded: 60,000 employees, a unit of 50,000, 5 KB photos (peak memory)
// Peak memory is per process: run it alone, --benchmark_filter=PeakMemory.
#include "register/employees.h"
#include "store/daodatabase.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "support/registergenerator.h"
#include "shell/childframe.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/unitcontentsmodel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {
using SOptions = CRegisterGenerator::SOptions;

QString Folder()
{
    static QTemporaryDir temp;
    const QString dir = qEnvironmentVariable("MORVEK_BENCH_DIR", temp.path());
    QDir().mkpath(dir);
    return dir;
}

QString Register(const QString &name, const SOptions &options)
{
    const QString path = Folder() + QLatin1Char('/') + name;
    if (!QFile::exists(path))
        CRegisterGenerator::Generate(path, options);
    return path;
}

SOptions Options(int employees, int units, int photoSide, int crowded)
{
    SOptions options;
    options.nEmployees = employees;
    options.nUnits = units;
    options.nPhotoSide = photoSide;
    options.nCrowdedUnitEmployees = crowded;
    return options;
}

const SOptions kLarge = Options(100000, 1000, 100, 10000);
QString Large()
{
    return Register(QStringLiteral("large100k.mdb"), kLarge);
}
QString Empty()
{
    return Register(QStringLiteral("empty.mdb"), Options(0, 0, 0, 0));
}
QString Grown(int employees)
{
    return Register(QStringLiteral("grow%1.mdb").arg(employees), Options(employees, 1000, 0, 1000));
}
const qint32 kCrowdedUnit = CRegisterGenerator::FirstDepartment(kLarge);

long PeakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Plain SQLite: one prepared statement on one connection, the rows read once.
class CPlain final
{
public:
    explicit CPlain(const QString &path)
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(path);
        db.open();
        m_query = std::make_unique<QSqlQuery>(db);
        m_query->setForwardOnly(true);
        m_query->prepare(QStringLiteral("SELECT ID, Sex, Name FROM Mast01 WHERE Busyo = ? ORDER BY Code, ID"));
    }
    ~CPlain()
    {
        m_query.reset();
        QSqlDatabase::database(QStringLiteral("plain")).close();
        QSqlDatabase::removeDatabase(QStringLiteral("plain"));
    }
    qint64 ReadUnit(qint32 unit)
    {
        m_query->bindValue(0, unit);
        m_query->exec();
        qint64 rows = 0;
        while (m_query->next()) {
            benchmark::DoNotOptimize(m_query->value(0).toInt() + m_query->value(1).toInt()
                                     + m_query->value(2).toString().size());
            ++rows;
        }
        return rows;
    }

private:
    std::unique_ptr<QSqlQuery> m_query;
};

void PerRow(benchmark::State &state, qint64 rows)
{
    state.counters["rows"] = double(rows);
    state.counters["per_row"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The company window opening: the tree reads the companies, the list is made.
void OpenCompanyWindow(benchmark::State &state, const QString &path)
{
    CDaoRecordset::SetApplicationDatabasePath(path);
    for (auto _ : state) {
        CLeftView tree(nullptr);
        CMorvekView list(nullptr);
        CChildFrame::ConnectPanes(&tree, &list);
        tree.resize(300, 600);
        list.resize(800, 600);
        tree.show();
        list.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}
void BM_StartupEmptyFile(benchmark::State &state)
{
    OpenCompanyWindow(state, Empty());
}
void BM_StartupLargeFile(benchmark::State &state)
{
    OpenCompanyWindow(state, Large());
}

// Selecting the unit of 10,000 until the list has painted what is on screen.
void BM_SelectUnit10000(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Large());
    CMorvekView view(nullptr);
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        view.ShowUnitContents(kCrowdedUnit);
        view.doItemsLayout();
        view.viewport()->repaint();
    }
    state.counters["rows"] = view.model()->rowCount();
}
void BM_SelectUnit10000_Plain(benchmark::State &state)
{
    CPlain plain(Large());
    qint64 rows = 0;
    for (auto _ : state)
        rows = plain.ReadUnit(kCrowdedUnit);
    state.counters["rows"] = double(rows);
}

// The list's own fill, without layout or paint: what each row costs.
void BM_ListFillPerRow(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Large());
    CMorvekView view(nullptr);
    qint64 rows = 0;
    for (auto _ : state) {
        view.ClearContents();
        view.AddEmployeeRows(kCrowdedUnit);
        rows += view.model()->rowCount();
    }
    PerRow(state, rows);
}
void BM_ListFillPerRow_Plain(benchmark::State &state)
{
    CPlain plain(Large());
    qint64 rows = 0;
    for (auto _ : state)
        rows += plain.ReadUnit(kCrowdedUnit);
    PerRow(state, rows);
}

// The fixed cost of a record set made for one command while the views hold theirs.
void BM_OpenRecordset(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Large());
    CMast01 held;
    held.Open();
    for (auto _ : state) {
        CMast01 set;
        set.Open();
        set.Close();
    }
}

// A unit of 1,000 as the register grows.
void BM_ListUnit1000(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Grown(int(state.range(0))));
    CMorvekView view(nullptr);
    for (auto _ : state)
        view.ShowUnitContents(CRegisterGenerator::FirstDepartment(Options(0, 1000, 0, 0)));
    state.counters["rows"] = view.model()->rowCount();
}
void BM_ListUnit1000_Plain(benchmark::State &state)
{
    CPlain plain(Grown(int(state.range(0))));
    qint64 rows = 0;
    for (auto _ : state)
        rows = plain.ReadUnit(CRegisterGenerator::FirstDepartment(Options(0, 1000, 0, 0)));
    state.counters["rows"] = double(rows);
}

// The employees without a unit on the large register, as their window first fills,
// beside the condition put plainly (which reads every row of the table).
void BM_WithoutUnitList(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Large());
    CMorvekView view(nullptr);
    qint64 rows = 0;
    for (auto _ : state) {
        view.ClearContents();
        view.AddEmployeeRows(0);
        rows = view.model()->rowCount();
    }
    state.counters["rows"] = double(rows);
}
void BM_WithoutUnitList_Plain(benchmark::State &state)
{
    auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plainOrphans"));
    db.setDatabaseName(Large());
    db.open();
    qint64 rows = 0;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT ID, Sex, Name FROM Mast01 WHERE Busyo = 0 OR Busyo IS NULL "
                                 "OR Busyo NOT IN (SELECT ID FROM Mast00) ORDER BY Code, ID"));
        for (auto _ : state) {
            q.exec();
            for (rows = 0; q.next(); ++rows)
                benchmark::DoNotOptimize(q.value(2).toString().size());
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("plainOrphans"));
    state.counters["rows"] = double(rows);
}

// A unit of 15,000 released, and moved to another unit, through the register: the
// selection's IDs bound a chunk per statement, in one transaction. Beside it the
// plain statement on the unit. Each iteration puts them back untimed.
constexpr int kMoved = 15000;
const SOptions kMoveRegister = Options(20000, 100, 0, kMoved);
const qint32 kMovedFrom = CRegisterGenerator::FirstDepartment(kMoveRegister);
const qint32 kMovedTo = kMovedFrom + 1;

QList<qint32> MovedIds()
{
    CDaoRecordset::SetApplicationDatabasePath(Register(QStringLiteral("move15k.mdb"), kMoveRegister));
    QList<qint32> ids;
    for (const SEmployeeRow &row : CEmployees::OfUnit(kMovedFrom))
        ids << row.nID;
    return ids;
}

void RegisterMove(benchmark::State &state, qint32 to)
{
    const QList<qint32> ids = MovedIds();
    for (auto _ : state) {
        CEmployees::Move(ids, to);
        state.PauseTiming();
        CEmployees::Move(ids, kMovedFrom);
        state.ResumeTiming();
    }
    PerRow(state, state.iterations() * ids.size());
}
void BM_Release15000(benchmark::State &state)
{
    RegisterMove(state, 0);
}
void BM_Move15000(benchmark::State &state)
{
    RegisterMove(state, kMovedTo);
}

void PlainMove(benchmark::State &state, qint32 to)
{
    const QList<qint32> ids = MovedIds();
    auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plainMove"));
    db.setDatabaseName(CDaoRecordset::ApplicationDatabasePath());
    db.open();
    qint64 rows = 0;
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE Mast01 SET Busyo = ? WHERE Busyo = ?"));
        for (auto _ : state) {
            db.transaction();
            q.bindValue(0, to);
            q.bindValue(1, kMovedFrom);
            q.exec();
            rows += q.numRowsAffected();
            db.commit();
            state.PauseTiming();
            CEmployees::Move(ids, kMovedFrom);
            state.ResumeTiming();
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("plainMove"));
    PerRow(state, rows);
}
void BM_Release15000_Plain(benchmark::State &state)
{
    PlainMove(state, 0);
}
void BM_Move15000_Plain(benchmark::State &state)
{
    PlainMove(state, kMovedTo);
}

// Peak resident memory after the company window is up, then after a unit of 50,000.
void BM_PeakMemory(benchmark::State &state)
{
    const QString path = Register(QStringLiteral("crowded50k.mdb"), Options(60000, 100, 40, 50000));
    CDaoRecordset::SetApplicationDatabasePath(path);
    for (auto _ : state) {
        CLeftView tree(nullptr);
        CMorvekView list(nullptr);
        CChildFrame::ConnectPanes(&tree, &list);
        list.resize(800, 600);
        list.show();
        QCoreApplication::processEvents();
        state.counters["startup_MB"] = double(PeakKilobytes()) / 1024.0;
        list.ShowUnitContents(CRegisterGenerator::FirstDepartment(Options(0, 100, 0, 0)));
        list.doItemsLayout();
        list.viewport()->repaint();
        state.counters["unit50k_MB"] = double(PeakKilobytes()) / 1024.0;
        state.counters["rows"] = list.model()->rowCount();
    }
}
} // namespace

BENCHMARK(BM_StartupEmptyFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupLargeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectUnit10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectUnit10000_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFillPerRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFillPerRow_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRecordset)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListUnit1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListUnit1000_Plain)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WithoutUnitList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WithoutUnitList_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Release15000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Release15000_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Move15000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Move15000_Plain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
