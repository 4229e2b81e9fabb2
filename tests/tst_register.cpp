// The register's writes: each is kept whole or not at all, a unit is looked for
// inside the write that uses it, listeners hear only what was kept, and the
// correction of a unit does not overwrite another user's.
#include "rawconnection.h"
#include "register/employees.h"
#include "register/register.h"
#include "register/registertransaction.h"
#include "register/uniteditor.h"
#include "register/units.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "viewsfixture.h"

#include <QScopeGuard>
#include <QSignalSpy>

namespace {
using EKind = SRegisterChange::EKind;
constexpr int kCrowd = 15000;      // a unit as large as a big office has, thirty chunks of a bulk statement
constexpr int kRefusedCode = 7600; // in the middle

// Every update of an employee of that code fails, on either engine.
void RefuseUpdatesOf(const QString &path, int code)
{
    CDaoDatabase db;
    db.Open(path);
    if (db.Connection().driverName() == QLatin1String("QPSQL")) {
        db.Execute(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'x'; END $$ "
                                  "LANGUAGE plpgsql"));
        db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 FOR EACH ROW WHEN (OLD.Code = %1) "
                                  "EXECUTE FUNCTION refuse()")
                       .arg(code));
    } else {
        db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 WHEN OLD.Code = %1 "
                                  "BEGIN SELECT RAISE(ABORT, 'x'); END")
                       .arg(code));
    }
}
} // namespace

class TestRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unitLookedForInsideTheWrite_data();
    void unitLookedForInsideTheWrite();
    void manyEmployeesAllOrNothing_data();
    void manyEmployeesAllOrNothing();
    void listenersHearOnlyWhatIsKept_data();
    void listenersHearOnlyWhatIsKept();
    void correctionKeepsAnotherUsersChange_data();
    void correctionKeepsAnotherUsersChange();
    void companyDeletedWithItsDepartments();
    void withoutUnit_data();
    void withoutUnit();

private:
    QList<qint32> Crowd() const;

    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_sales = 0, m_general = 0, m_yamada = 0;
};

void TestRegister::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_general = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("総務部")});
    m_yamada = CRegisterBuilder::AddEmployee({1, m_sales, QStringLiteral("山田")});
}

void TestRegister::cleanup()
{
    CRegisterTransaction::SetBegunHook({});
    m_db.reset();
}

QList<qint32> TestRegister::Crowd() const
{
    CRawConnection raw(m_db->Path());
    raw.Exec(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Name) WITH RECURSIVE n(c) AS "
                            "(SELECT 100 UNION ALL SELECT c + 1 FROM n WHERE c < %1) SELECT c, %2, 'x' FROM n")
                 .arg(99 + kCrowd)
                 .arg(m_general));
    QList<qint32> ids;
    for (const QString &id : raw.Column(QStringLiteral("SELECT ID FROM Mast01 WHERE Code >= 100 ORDER BY Code")))
        ids << id.toInt();
    return ids;
}

void TestRegister::unitLookedForInsideTheWrite_data()
{
    QTest::addColumn<QString>("write");
    QTest::newRow("move into it") << "move";
    QTest::newRow("add a department under it") << "add";
}

// Another user deletes the unit once the write has begun: nothing is written into it.
void TestRegister::unitLookedForInsideTheWrite()
{
    QFETCH(QString, write);
    const QString path = m_db->Path();
    bool deleted = false;
    CRegisterTransaction::SetBegunHook([&] {
        if (std::exchange(deleted, true))
            return;
        CDaoDatabase other;
        other.Open(path);
        other.ExecuteAll({QStringLiteral("DELETE FROM Mast00 WHERE ID = %1").arg(m_general)});
    });
    QSignalSpy heard(&CRegister::Instance(), &CRegister::Changed);
    if (write == u"move") {
        QList<qint32> moved = {-1};
        QCOMPARE(CEmployees::Move({m_yamada}, m_general, &moved), CEmployees::EMove::unitGone);
        QVERIFY(moved.isEmpty());
    } else {
        SUnitFields fields;
        fields.strName = QStringLiteral("第一課");
        QCOMPARE(CUnits::AddDepartment(m_general, fields), 0);
    }
    QVERIFY(deleted);
    QCOMPARE(BusyoOf(m_yamada), m_sales);
    CRawConnection raw(path);
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00 WHERE Parent = %1").arg(m_general)).toInt(), 0);
    QCOMPARE(heard.size(), 0);
}

void TestRegister::manyEmployeesAllOrNothing_data()
{
    QTest::addColumn<bool>("release");
    QTest::addColumn<bool>("refused");
    QTest::newRow("move") << false << false;
    QTest::newRow("move, one refused") << false << true;
    QTest::newRow("release") << true << false;
    QTest::newRow("release, one refused") << true << true;
}

void TestRegister::manyEmployeesAllOrNothing()
{
    QFETCH(bool, release);
    QFETCH(bool, refused);
    QList<qint32> ids = Crowd();
    QCOMPARE(ids.size(), kCrowd);
    if (refused)
        RefuseUpdatesOf(m_db->Path(), kRefusedCode);
    // One gone already and one twice: neither stops the others.
    ids << ids.first() << 99999;
    const qint32 target = release ? 0 : m_sales;
    QSignalSpy heard(&CRegister::Instance(), &CRegister::Changed);
    QList<qint32> moved;
    try {
        CEmployees::Move(ids, target, &moved);
        QVERIFY(!refused);
    } catch (const CDaoException &error) {
        QVERIFY2(refused, qPrintable(error.GetErrorMessage()));
    }
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Code >= 100 AND Busyo = %1")
                            .arg(refused ? m_general : target))
                 .toInt(),
             kCrowd);
    QCOMPARE(heard.size(), refused ? 0 : 1);
    if (!refused) {
        QCOMPARE(moved, ids.mid(0, kCrowd));
        const auto change = heard.first().first().value<SRegisterChange>();
        QCOMPARE(change.kind, EKind::employeesMoved);
        QCOMPARE(change.ids, moved);
        QCOMPARE(change.unit, target);
    }
}

void TestRegister::listenersHearOnlyWhatIsKept_data()
{
    QTest::addColumn<bool>("commit");
    QTest::newRow("kept") << true;
    QTest::newRow("rolled back") << false;
}

void TestRegister::listenersHearOnlyWhatIsKept()
{
    QFETCH(bool, commit);
    CRawConnection raw(m_db->Path());
    QStringList seen; // what another connection reads while the listener is told
    const QMetaObject::Connection listening = connect(
        &CRegister::Instance(), &CRegister::Changed, this, [&](const SRegisterChange &) {
            seen << raw.Scalar(QStringLiteral("SELECT Busyo FROM Mast01 WHERE ID = %1").arg(m_yamada)).toString();
        });
    const auto stop = qScopeGuard([&] { disconnect(listening); });
    {
        CRegisterTransaction transaction;
        transaction.Database().ExecuteAll(QList<CDaoDatabase::SBoundStatement>{
            {QStringLiteral("UPDATE Mast01 SET Busyo = ? WHERE ID = ?"), {m_general, m_yamada}}});
        transaction.Note({EKind::employeesMoved, {m_yamada}, m_general});
        if (commit)
            transaction.Commit();
    }
    QCOMPARE(seen, commit ? QStringList{QString::number(m_general)} : QStringList());
    QCOMPARE(BusyoOf(m_yamada), commit ? m_general : m_sales);
}

void TestRegister::correctionKeepsAnotherUsersChange_data()
{
    QTest::addColumn<bool>("sameField");
    QTest::newRow("the same field: refused") << true;
    QTest::newRow("another field: written") << false;
}

void TestRegister::correctionKeepsAnotherUsersChange()
{
    QFETCH(bool, sameField);
    CUnitEditor first(m_sales);
    CUnitEditor second(m_sales);
    QVERIFY(first.IsThere() && second.IsThere());
    SUnitFields renamed = first.Fields();
    renamed.strName = QStringLiteral("営業本部");
    first.Write(renamed);

    QSignalSpy heard(&CRegister::Instance(), &CRegister::Changed);
    SUnitFields mine = second.Fields();
    (sameField ? mine.strName : mine.strTel) = QStringLiteral("03-1234-5678");
    try {
        second.Write(mine);
        QVERIFY(!sameField);
    } catch (const CDaoException &error) {
        QVERIFY2(sameField && error.IsConflict(), qPrintable(error.GetErrorMessage()));
    }
    const auto unit = UnitRow(m_sales);
    QCOMPARE(unit->m_Name, QStringLiteral("営業本部"));
    QCOMPARE(unit->m_TEL, sameField ? QString() : QStringLiteral("03-1234-5678"));
    // What the form shows next is the unit as it is now.
    QCOMPARE(second.Fields().strName, QStringLiteral("営業本部"));
    QCOMPARE(heard.size(), sameField ? 0 : 1);
}

void TestRegister::companyDeletedWithItsDepartments()
{
    const qint32 other = CRegisterBuilder::AddUnit({0, 20, QStringLiteral("別会社")});
    const qint32 suzuki = CRegisterBuilder::AddEmployee({2, m_company, QStringLiteral("鈴木")});
    const qint32 sato = CRegisterBuilder::AddEmployee({3, other, QStringLiteral("佐藤")});
    QSignalSpy heard(&CRegister::Instance(), &CRegister::Changed);
    QVERIFY(CUnits::Delete(m_sales));
    QVERIFY(CUnits::Delete(m_company));
    QVERIFY(!CUnits::Delete(m_company));
    QVERIFY(!UnitRow(m_general) && UnitRow(other));
    QCOMPARE(QList<qint32>({BusyoOf(m_yamada), BusyoOf(suzuki), BusyoOf(sato)}), QList<qint32>({0, 0, other}));
    QList<QPair<EKind, QList<qint32>>> told;
    for (const QList<QVariant> &signal : std::as_const(heard)) {
        const auto change = signal.first().value<SRegisterChange>();
        told.append({change.kind, change.ids});
    }
    const QList<QPair<EKind, QList<qint32>>> expected = {{EKind::employeesMoved, {m_yamada}},
                                                         {EKind::unitDeleted, {m_sales}},
                                                         {EKind::employeesMoved, {suzuki}},
                                                         {EKind::unitDeleted, {m_company, m_general}}};
    QCOMPARE(told, expected);
}

void TestRegister::withoutUnit_data()
{
    QTest::addColumn<int>("busyo"); // -1: the employee is gone
    QTest::addColumn<bool>("without");
    QTest::newRow("no unit") << 0 << true;
    QTest::newRow("a unit that is gone") << 999 << true;
    QTest::newRow("a unit") << 1 << false;
    QTest::newRow("gone") << -1 << false;
}

// Whoever would appear in no unit's list is listed among those without a unit.
void TestRegister::withoutUnit()
{
    QFETCH(int, busyo);
    QFETCH(bool, without);
    const qint32 id = busyo < 0
                        ? 99999
                        : CRegisterBuilder::AddEmployee({2, busyo == 1 ? m_general : busyo, QStringLiteral("鈴木")});
    QCOMPARE(CEmployees::IsWithoutUnit(id), without);
    QList<qint32> listed;
    for (const SEmployeeRow &row : CEmployees::WithoutUnit())
        listed << row.nID;
    QCOMPARE(listed.contains(id), without);
}

QTEST_MAIN(TestRegister)
#include "tst_register.moc"
