// Statements that change many rows together: all of them take effect or none does.
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QTest>
#include <memory>

namespace {
qint32 AddUnit(qint32 parent, qint32 code)
{
    CMast00 set;
    set.Open();
    set.AddNew();
    set.m_Parent = parent;
    set.m_Code = code;
    set.Update();
    return qint32(set.GetLastModifiedBookmark());
}

qint32 AddEmployee(qint32 busyo)
{
    CMast01 set;
    set.Open();
    set.AddNew();
    set.m_Busyo = busyo;
    set.Update();
    return qint32(set.GetLastModifiedBookmark());
}

QList<qint32> Column(const QString &table, const QString &column)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    QSqlQuery q(db.Connection());
    QList<qint32> values;
    if (q.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY ID").arg(column, table)))
        while (q.next())
            values << q.value(0).toInt();
    return values;
}

void Refuse(const QString &trigger)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    db.Execute(trigger);
}
} // namespace

class TestStoreAllOrNothing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void executeAllKeepsNothingWhenALaterStatementFails();
    void companyDeleteReleasesItsEmployeesOnly();
    void companyDeleteThatFailsReleasesNobody();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_a = 0, m_a1 = 0, m_a2 = 0, m_b = 0;
};

void TestStoreAllOrNothing::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_a = AddUnit(0, 1);
    m_a1 = AddUnit(m_a, 1);
    m_a2 = AddUnit(m_a1, 1);
    m_b = AddUnit(0, 2);
    for (qint32 busyo : {m_a, m_a1, m_a2, m_b, 0})
        AddEmployee(busyo);
}

void TestStoreAllOrNothing::executeAllKeepsNothingWhenALaterStatementFails()
{
    CDaoDatabase db;
    db.Open(m_db->Path());
    QCOMPARE(db.ExecuteAll({QStringLiteral("UPDATE Mast01 SET Busyo = 7"), QStringLiteral("UPDATE Mast01 SET Code = 1")}), 10);
    try {
        db.ExecuteAll({QStringLiteral("UPDATE Mast01 SET Busyo = 9"), QStringLiteral("UPDATE Nowhere SET X = 1")});
        QFAIL("a missing table went unnoticed");
    } catch (const CDaoException &error) {
        QVERIFY2(error.DriverText().contains(QStringLiteral("Nowhere")), qPrintable(error.GetErrorMessage()));
    }
    QCOMPARE(Column(QStringLiteral("Mast01"), QStringLiteral("Busyo")), QList<qint32>(5, 7));
}

void TestStoreAllOrNothing::companyDeleteReleasesItsEmployeesOnly()
{
    CMast00 set;
    set.Open();
    set.DeleteCompanyReleasingEmployees(1);
    QCOMPARE(Column(QStringLiteral("Mast00"), QStringLiteral("ID")), QList<qint32>{m_b});
    QCOMPARE(Column(QStringLiteral("Mast01"), QStringLiteral("Busyo")), (QList<qint32>{0, 0, 0, m_b, 0}));
    QVERIFY(!set.IsEOF());
    QCOMPARE(set.m_ID, m_b);
}

void TestStoreAllOrNothing::companyDeleteThatFailsReleasesNobody()
{
    Refuse(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Mast00 BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    CMast00 set;
    set.Open();
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.DeleteCompanyReleasingEmployees(1));
    QCOMPARE(Column(QStringLiteral("Mast00"), QStringLiteral("ID")), (QList<qint32>{m_a, m_a1, m_a2, m_b}));
    QCOMPARE(Column(QStringLiteral("Mast01"), QStringLiteral("Busyo")), (QList<qint32>{m_a, m_a1, m_a2, m_b, 0}));
}

QTEST_GUILESS_MAIN(TestStoreAllOrNothing)
#include "tst_storeallornothing.moc"
