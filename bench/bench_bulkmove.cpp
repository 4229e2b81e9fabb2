// Releasing and moving the 15,000 employees of one unit at once through the windows,
// as a user does it; the register layer's own figures, beside the plain statement,
// are bench_register's.
#include "base/modalseam.h"
#include "register/employees.h"
#include "store/daorecordset.h"
#include "store/schema.h"
#include "views/employeedrop.h"
#include "views/morvekview.h"
#include "views/unaffiliateddlg.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QKeyEvent>

namespace {
constexpr int kCrowd = 15000;
constexpr int kUnit = 2;

QString CrowdedDatabase()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("crowd.mdb"));
        CSchema::CreateDatabaseFile(file);
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(file);
        db.open();
        QSqlQuery q(db);
        for (const char *sql : {"INSERT INTO Mast00 (ID, Parent, Code, Name) VALUES (1, 0, 1, '本社')",
                                "INSERT INTO Mast00 (ID, Parent, Code, Name) VALUES (2, 1, 1, '営業部')"}) {
            if (!q.exec(QString::fromUtf8(sql)))
                qFatal("%s", qPrintable(q.lastError().text()));
        }
        if (!q.exec(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name) WITH RECURSIVE n(c) AS "
                                   "(SELECT 1 UNION ALL SELECT c + 1 FROM n WHERE c < %1) "
                                   "SELECT c, %2, c % 2, '社員 ' || c FROM n")
                        .arg(kCrowd)
                        .arg(kUnit)))
            qFatal("%s", qPrintable(q.lastError().text()));
        db.close();
        return file;
    }();
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    CDaoRecordset::SetApplicationDatabasePath(path);
    return path;
}

// Puts everybody back into the unit, untimed.
void Refill(const QString &path, int busyo)
{
    auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("refill"));
    db.setDatabaseName(path);
    db.open();
    QSqlQuery(db).exec(QStringLiteral("UPDATE Mast01 SET Busyo = %1").arg(busyo));
    db.close();
    db = {};
    QSqlDatabase::removeDatabase(QStringLiteral("refill"));
}

QList<qint32> Everybody()
{
    QList<qint32> ids;
    for (qint32 id = 1; id <= kCrowd; ++id)
        ids << id;
    return ids;
}

// Ctrl+A, Delete and はい in a list showing the unit, with the window of employees
// without a unit filled: the write, the list and that window.
void BM_ReleaseInTheList(benchmark::State &state)
{
    const QString path = CrowdedDatabase();
    CModalSeam::SetResponder([](QDialog &) { return int(QMessageBox::Yes); });
    CMorvekView view(nullptr);
    view.resize(800, 600);
    view.show();
    for (auto _ : state) {
        state.PauseTiming();
        Refill(path, kUnit);
        view.FillUnaffiliatedList();
        view.ShowUnitContents(kUnit);
        view.selectAll();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &press);
    }
    state.counters["left"] = view.model()->rowCount();
    state.counters["listed"] = view.GetUnaffiliatedWindow()->GetModel()->rowCount();
    CModalSeam::SetResponder({});
}

// Everybody without a unit dropped from that window onto the list showing the unit:
// the write, the rows leaving that window and joining the list.
void BM_DropIntoTheList(benchmark::State &state)
{
    const QString path = CrowdedDatabase();
    CMorvekView view(nullptr);
    view.resize(800, 600);
    view.show();
    QList<CEmployeeDrop::SRow> rows;
    for (qint32 id : Everybody())
        rows << CUnitContentsModel::EmployeeRow(id, id % 2 != 0, QStringLiteral("社員 %1").arg(id));
    for (auto _ : state) {
        state.PauseTiming();
        Refill(path, 0);
        view.FillUnaffiliatedList();
        view.ShowUnitContents(kUnit);
        CEmployeeDrop drop(rows, view.viewport()->mapToGlobal(QPoint(5, 5)));
        state.ResumeTiming();
        view.TakeDrop(&drop);
        view.doItemsLayout();
    }
    state.counters["listed"] = view.model()->rowCount();
    state.counters["left"] = view.GetUnaffiliatedWindow()->GetModel()->rowCount();
}
} // namespace

BENCHMARK(BM_ReleaseInTheList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropIntoTheList)->Unit(benchmark::kMillisecond);
