// The unit and employee record sets: the walks the views rely on and the
// statements that change many rows.
#include "store/daoexception.h"
#include "store/daoquerydef.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QTest>

namespace {
template <typename Set, typename Member>
QList<qint32> Walk(Set &set, const QString &condition, Member member)
{
    QList<qint32> values;
    for (bool found = set.FindFirst(condition); found; found = set.FindNext(condition))
        values << set.*member;
    return values;
}
} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void companiesInCodeThenIdOrder();
    void unitPath_data();
    void unitPath();
    void unitChain_data();
    void unitChain();
    void deleteCompanyByCode_data();
    void deleteCompanyByCode();
    void clearDepartment_data();
    void clearDepartment();
    void duplicateCodesFindFirstInOrder();
    void companyStatementJoinsUnits();

private:
    std::unique_ptr<CTempDatabase> m_db;
    // Company 10 (A) > 営業部 (B) > 一課 (C); company 20 (D); orphan E under a missing parent.
    qint32 m_a = 0, m_b = 0, m_c = 0, m_d = 0, m_e = 0;
};

void TestRecords::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    CMast00 set;
    set.Open();
    m_d = CRegisterBuilder::AddUnit(set, {0, 20, QStringLiteral("北商事")});
    m_a = CRegisterBuilder::AddUnit(set, {0, 10, QStringLiteral("南産業")});
    m_b = CRegisterBuilder::AddUnit(set, {m_a, 10, QStringLiteral("営業部")});
    m_c = CRegisterBuilder::AddUnit(set, {m_b, 10, QStringLiteral("一課")});
    m_e = CRegisterBuilder::AddUnit(set, {999, 30, QStringLiteral("迷子")});
}

void TestRecords::cleanup()
{
    m_db.reset();
}

void TestRecords::companiesInCodeThenIdOrder()
{
    CMast00 set;
    set.Open();
    const qint32 twin = CRegisterBuilder::AddUnit(set, {0, 10, QStringLiteral("南産業 別")});
    set.Close();
    set.m_strSort = QStringLiteral("Parent , Code , ID");
    set.Open();
    QCOMPARE(Walk(set, QStringLiteral("Parent = 0"), &CMast00::m_ID), (QList<qint32>{m_a, twin, m_d}));
    QCOMPARE(Walk(set, QStringLiteral("Parent = %1").arg(m_a), &CMast00::m_ID), (QList<qint32>{m_b}));
}

void TestRecords::unitPath_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("skipCompany");
    QTest::addColumn<QString>("path");
    QTest::newRow("department, with company") << 2 << false << "南産業\n営業部\n一課\n";
    QTest::newRow("department, without company") << 2 << true << "営業部\n一課\n";
    QTest::newRow("company, with") << 0 << false << "南産業\n";
    QTest::newRow("company, without") << 0 << true << "南産業\n";
    QTest::newRow("missing parent") << 4 << true << "迷子\n";
    QTest::newRow("no such unit") << -1 << false << "";
}

void TestRecords::unitPath()
{
    QFETCH(int, unit);
    QFETCH(bool, skipCompany);
    QFETCH(QString, path);
    const QList<qint32> ids{m_a, 0, m_c, 0, m_e};
    CMast00 set;
    set.Open();
    QCOMPARE(set.GetUnitPath(unit < 0 ? 12345 : ids[unit], skipCompany), path);
}

void TestRecords::unitChain_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<QList<int>>("chain"); // indexes into the fixture's units
    QTest::addColumn<QString>("endsOn");
    QTest::newRow("department") << 2 << QList<int>{2, 1, 0} << "南産業";
    QTest::newRow("company") << 0 << QList<int>{0} << "南産業";
    QTest::newRow("missing parent") << 4 << QList<int>{4} << "迷子";
}

void TestRecords::unitChain()
{
    QFETCH(int, unit);
    QFETCH(QList<int>, chain);
    QFETCH(QString, endsOn);
    const QList<qint32> ids{m_a, m_b, m_c, m_d, m_e};
    QList<qint32> expected;
    for (int i : chain)
        expected << ids[i];
    CMast00 set;
    set.m_strSort = QStringLiteral("Code , ID");
    set.Open();
    QList<qint32> got;
    set.GetUnitChain(ids[unit], &got);
    QCOMPARE(got, expected);
    QCOMPARE(set.m_Name, endsOn);
}

void TestRecords::deleteCompanyByCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("company with departments") << 10 << QStringList{"北商事", "迷子"};
    QTest::newRow("code nobody carries") << 77 << QStringList{"北商事", "南産業", "営業部", "一課", "迷子"};
}

void TestRecords::deleteCompanyByCode()
{
    QFETCH(int, code);
    QFETCH(QStringList, left);
    CMast00 set;
    set.Open();
    set.DeleteCompanyByCode(code);
    QStringList names;
    for (; !set.IsEOF(); set.MoveNext())
        names << set.m_Name;
    QCOMPARE(names, left);
}

void TestRecords::clearDepartment_data()
{
    QTest::addColumn<int>("department");
    QTest::addColumn<QList<qint32>>("unaffiliated");
    QTest::newRow("department with employees") << 1 << QList<qint32>{3, 5, 8, 9};
    QTest::newRow("department without employees") << 3 << QList<qint32>{3, 9};
}

void TestRecords::clearDepartment()
{
    QFETCH(int, department);
    QFETCH(QList<qint32>, unaffiliated);
    const QList<qint32> ids{m_a, m_b, m_c, m_d};
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    CRegisterBuilder::AddEmployee(set, {8, m_b});
    CRegisterBuilder::AddEmployee(set, {9, 0});
    CRegisterBuilder::AddEmployee(set, {5, m_b});
    CRegisterBuilder::AddEmployee(set, {3, 0});
    CRegisterBuilder::AddEmployee(set, {4, m_c});
    set.ClearDepartment(ids[department]);
    QCOMPARE(Walk(set, QStringLiteral("Busyo = 0"), &CMast01::m_Code), unaffiliated);
    QCOMPARE(Walk(set, QStringLiteral("Busyo = %1").arg(m_c), &CMast01::m_Code), QList<qint32>{4});
}

void TestRecords::duplicateCodesFindFirstInOrder()
{
    CMast01 set;
    set.Open();
    CRegisterBuilder::AddEmployee(set, {50, 0});
    const qint32 first = CRegisterBuilder::AddEmployee(set, {42, m_b});
    const qint32 second = CRegisterBuilder::AddEmployee(set, {42, m_c});
    set.Close();
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    QVERIFY(set.FindFirst(QStringLiteral("Code = 42")));
    QCOMPARE(set.m_ID, first);
    QVERIFY(set.FindNext(QStringLiteral("Code > 42")));
    QCOMPARE(set.m_Code, 50);
    QVERIFY(set.FindPrev(QStringLiteral("Code < 50")));
    QCOMPARE(set.m_ID, second);
}

void TestRecords::companyStatementJoinsUnits()
{
    CMast01 employees;
    employees.Open();
    CRegisterBuilder::AddEmployee(employees, {1, m_c});
    CRegisterBuilder::AddEmployee(employees, {2, m_d});
    CRegisterBuilder::AddEmployee(employees, {3, 0});
    CRegisterBuilder::AddEmployee(employees, {4, 4711}); // names no unit
    CRegisterBuilder::AddEmployee(employees, {5, m_a});
    CDaoQueryDef query(employees.m_pDatabase);
    query.Create(QString(), QStringLiteral("SELECT Mast01.* ")
                                + QStringLiteral("FROM Mast00 INNER JOIN Mast01 ON Mast00.ID = Mast01.Busyo ")
                                + QStringLiteral("WHERE Mast00.Code=%1").arg(10));
    CDaoRecordset company(employees.m_pDatabase);
    company.Open(&query);
    QList<qint32> codes;
    for (; !company.IsEOF(); company.MoveNext())
        codes << company.GetFieldValue(QStringLiteral("Code")).toInt();
    QCOMPARE(codes, (QList<qint32>{1, 5}));
    QVERIFY_THROWS_EXCEPTION(CDaoException, company.AddNew());
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
