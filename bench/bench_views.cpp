// The organisation views on large files: showing a unit of 10,000 employees in
// the list, following changes told of it, and opening the company window on
// 100,000 employees in 1,000 units.
#include "register/register.h"
#include "store/mast00.h"
#include "store/schema.h"
#include "shell/childframe.h"
#include "views/leftview.h"
#include "views/morvekview.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {
constexpr int kCompanies = 10;
constexpr int kUnits = 1000;
constexpr int kUnaffiliatedEvery = 100;

// Companies take IDs 1..kCompanies; each other unit hangs under a company.
// Employees are spread over the units; every hundredth has no unit.
QString MakeDatabase(const QString &name, int units, int employees, int crowdedUnit)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    CSchema::CreateDatabaseFile(path);
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO Mast00 (ID, Parent, Code, Name) VALUES (?,?,?,?)"));
        for (int id = 1; id <= units; ++id) {
            const int company = id <= kCompanies ? 0 : 1 + id % kCompanies;
            q.addBindValue(id);
            q.addBindValue(company);
            q.addBindValue(company ? company : id);
            q.addBindValue(QStringLiteral("部課 %1").arg(id));
            if (!q.exec())
                qFatal("%s", qPrintable(q.lastError().text()));
        }
        q.prepare(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name, Kana, Sdate) VALUES (?,?,?,?,?,?)"));
        for (int i = 0; i < employees; ++i) {
            const int busyo = crowdedUnit ? crowdedUnit : (i % kUnaffiliatedEvery == 0 ? 0 : 1 + i % units);
            q.addBindValue((i * 7919) % 1000003);
            q.addBindValue(busyo);
            q.addBindValue(i % 2);
            q.addBindValue(QStringLiteral("社員 %1").arg(i));
            q.addBindValue(QStringLiteral("しゃいん"));
            q.addBindValue(QStringLiteral("1980-04-01"));
            if (!q.exec())
                qFatal("%s", qPrintable(q.lastError().text()));
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return path;
}

QString CrowdedUnitDatabase()
{
    static const QString path = MakeDatabase(QStringLiteral("crowded.mdb"), kCompanies + 1, 10000, kCompanies + 1);
    return path;
}

QString LargeDatabase()
{
    static const QString path = MakeDatabase(QStringLiteral("large.mdb"), kUnits, 100000, 0);
    return path;
}

// Shows the unit, lays the list out and paints what is on screen.
void BM_ShowUnitOf10000Employees(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(CrowdedUnitDatabase());
    CMorvekView view(nullptr);
    view.resize(800, 600);
    view.show();
    view.SetViewStyle(CMorvekView::EViewStyle(state.range(0)));
    for (auto _ : state) {
        view.ShowUnitContents(kCompanies + 1);
        view.doItemsLayout();
        view.viewport()->repaint();
    }
    state.counters["rows"] = view.model()->rowCount();
}

// Another user's change to the list of 10,000 employees, told as the watcher
// tells it: one employee (argument 1), a burst of 100 notices of one employee
// (100), or nobody knows what (0), until the list shows it.
void BM_FollowChangeToUnitOf10000(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(CrowdedUnitDatabase());
    CMorvekView view(nullptr);
    view.resize(800, 600);
    view.show();
    view.SetViewStyle(CMorvekView::EViewStyle::report);
    view.ShowUnitContents(kCompanies + 1);
    const int notices = int(state.range(0));
    SRegisterChange change{notices == 0 ? SRegisterChange::EKind::everything : SRegisterChange::EKind::employeeChanged,
                           {5000}};
    change.elsewhere = true;
    for (auto _ : state) {
        for (int i = 0; i < qMax(1, notices); ++i)
            CRegister::Instance().Notify(change);
        QCoreApplication::processEvents();
        view.viewport()->repaint();
    }
    state.counters["rows"] = view.model()->rowCount();
}

void BM_OpenCompanyWindow(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(LargeDatabase());
    for (auto _ : state) {
        CLeftView tree(nullptr);
        CMorvekView list(nullptr);
        CChildFrame::ConnectPanes(&tree, &list);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

void BM_LoadTopLevel(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(LargeDatabase());
    CLeftView tree(nullptr);
    for (auto _ : state)
        tree.LoadChildUnits(0);
    state.counters["companies"] = tree.topLevelItemCount();
}

// The first selection of a company reads its level and shows its contents.
void BM_SelectCompany(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(LargeDatabase());
    CLeftView tree(nullptr);
    CMorvekView list(nullptr);
    CChildFrame::ConnectPanes(&tree, &list);
    for (auto _ : state) {
        state.PauseTiming();
        tree.LoadChildUnits(0);
        state.ResumeTiming();
        tree.setCurrentItem(tree.topLevelItem(0));
    }
    state.counters["rows"] = list.model()->rowCount();
}
} // namespace

BENCHMARK(BM_ShowUnitOf10000Employees)
    ->Arg(int(CMorvekView::EViewStyle::icon))
    ->Arg(int(CMorvekView::EViewStyle::report))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FollowChangeToUnitOf10000)->Arg(1)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCompanyWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTopLevel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectCompany)->Unit(benchmark::kMillisecond);
