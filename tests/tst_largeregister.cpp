// What makes a large register fast must not change what is read or written:
// indexes, the shared connection, walks that read as they go and only some
// columns, the cheap date reading, the deferred window, the busy guard.
#include "base/frameservices.h"
#include "views/unaffiliateddlg.h"
#include "rawconnection.h"
#include "store/daocolumnsubset.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "dates/datevalue.h"
#include "support/registergenerator.h"
#include "store/schema.h"
#include "views/busyindicator.h"
#include "viewsfixture.h"

#include <QFile>
#include <QtEndian>

namespace {
class CBusyRecorder final : public CFrameServices
{
public:
    void SetStatusText(const QString &) override {}
    void SetFuncKeyCaption(int, const QString &) override {}
    void ResetFuncKeyCaptions() override {}
    void SetBusyAnimation(bool on) override { m_calls << on; }
    QList<bool> m_calls;
};

QStringList Walk(CMast01 &set, const QString &condition)
{
    QStringList names;
    for (bool found = set.FindFirst(condition); found; found = set.FindNext(condition))
        names << set.m_Name;
    return names;
}

QStringList IndexNames(const QString &path)
{
    CRawConnection raw(path, QStringLiteral("indexes"));
    return raw.Column(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'Mast0%' "
                                     "ORDER BY name"));
}
} // namespace

class TestLargeRegister : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void indexesComeWithWritableFiles_data();
    void indexesComeWithWritableFiles();
    void setsShareOneConnectionUntilTheFileIsReplaced();
    void walksAgreeWithTheOrder_data();
    void walksAgreeWithTheOrder();
    void walkGoesOnAfterAnotherSetWrites();
    void subsetLeavesTheRestAsStored();
    void datesReadAsStored_data();
    void datesReadAsStored();
    void generatorWritesAConsistentRegister();
    void unaffiliatedWindowFilledWhenFirstShown();
    void busyGuardShowsOnceForNestedWalks();

private:
    std::unique_ptr<CTempDatabase> m_db;
    QList<qint32> m_ids;
};

void TestLargeRegister::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_ids.clear();
    // Codes out of insertion order, one tie broken by ID, and a second unit.
    const QList<std::tuple<qint32, qint32, QString>> rows = {{30, 5, "丙"},   {10, 5, "甲"}, {20, 5, "乙一"},
                                                             {20, 5, "乙二"}, {15, 6, "外"}, {40, 5, "丁"}};
    for (const auto &[code, busyo, name] : rows)
        m_ids << CRegisterBuilder::AddEmployee({code, busyo, name});
}

void TestLargeRegister::cleanup()
{
    m_db.reset();
}

void TestLargeRegister::indexesComeWithWritableFiles_data()
{
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QStringList>("indexes");
    const QStringList all = {"Mast00_Code", "Mast00_ParentCode", "Mast01_BusyoCode", "Mast01_Code"};
    QTest::newRow("writable") << true << all;
    QTest::newRow("read-only") << false << QStringList();
}

void TestLargeRegister::indexesComeWithWritableFiles()
{
    QFETCH(bool, writable);
    QFETCH(QStringList, indexes);
    QCOMPARE(IndexNames(m_db->Path()),
             QStringList({"Mast00_Code", "Mast00_ParentCode", "Mast01_BusyoCode", "Mast01_Code"}));
    // A file from a build without them.
    const QString older = m_db->Folder() + QStringLiteral("/older.mdb");
    QVERIFY(QFile::copy(m_db->Path(), older));
    {
        CRawConnection raw(older, QStringLiteral("drop"));
        for (const QString &name : IndexNames(m_db->Path()))
            raw.Exec(QStringLiteral("DROP INDEX ") + name);
    }
    if (!writable)
        QVERIFY(QFile(older).setPermissions(QFile::ReadOwner));
    CDaoRecordset::SetApplicationDatabasePath(older);
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    QCOMPARE(Walk(set, QStringLiteral("Busyo = 5")), QStringList({"甲", "乙一", "乙二", "丙", "丁"}));
    set.Close();
    QCOMPARE(IndexNames(older), indexes);
    QFile(older).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    CDaoRecordset::SetApplicationDatabasePath(m_db->Path());
}

void TestLargeRegister::setsShareOneConnectionUntilTheFileIsReplaced()
{
    CMast01 first;
    CMast01 second;
    first.Open();
    second.Open();
    QCOMPARE(first.m_pDatabase, second.m_pDatabase);
    QCOMPARE(CDaoDatabasePool::OpenCount(), 1);
    // A write through one is seen by a find through the other.
    QVERIFY(first.FindFirst(QStringLiteral("Code = 10")));
    first.Edit();
    first.m_Name = QStringLiteral("甲改");
    first.Update();
    QVERIFY(second.FindFirst(QStringLiteral("Code = 10")));
    QCOMPARE(second.m_Name, QStringLiteral("甲改"));
    first.Close();
    second.Close();

    // Another file under the same name: the old connection must not answer for it.
    QVERIFY(QFile::remove(m_db->Path()));
    CSchema::CreateDatabaseFile(m_db->Path());
    CRegisterBuilder::AddEmployee({1, 0, QStringLiteral("新")});
    first.Open();
    QCOMPARE(Walk(first, QStringLiteral("Busyo = 0")), QStringList({"新"}));
}

void TestLargeRegister::walksAgreeWithTheOrder_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("one unit") << "Busyo = 5" << QStringList({"甲", "乙一", "乙二", "丙", "丁"});
    QTest::newRow("the same with other spacing") << "[Busyo]=5" << QStringList({"甲", "乙一", "乙二", "丙", "丁"});
    QTest::newRow("another unit, same statement") << "Busyo = 6" << QStringList({"外"});
    QTest::newRow("no such unit") << "Busyo = 7" << QStringList();
    QTest::newRow("a range") << "Code >= 20" << QStringList({"乙一", "乙二", "丙", "丁"});
    QTest::newRow("not a simple comparison") << "Busyo = 5 AND Code < 25" << QStringList({"甲", "乙一", "乙二"});
}

void TestLargeRegister::walksAgreeWithTheOrder()
{
    QFETCH(QString, condition);
    QFETCH(QStringList, names);
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    // Twice: the second walk reuses the statement of the first.
    QCOMPARE(Walk(set, condition), names);
    QCOMPARE(Walk(set, condition), names);
    if (names.size() < 3)
        return;
    // Back one and on again, then from the end.
    QVERIFY(set.FindFirst(condition));
    QVERIFY(set.FindNext(condition));
    QVERIFY(set.FindNext(condition));
    QVERIFY(set.FindPrev(condition));
    QCOMPARE(set.m_Name, names.at(1));
    QVERIFY(set.FindNext(condition));
    QCOMPARE(set.m_Name, names.at(2));
    QVERIFY(set.FindLast(condition));
    QCOMPARE(set.m_Name, names.last());
    QVERIFY(set.FindPrev(condition));
    QCOMPARE(set.m_Name, names.at(names.size() - 2));
}

void TestLargeRegister::walkGoesOnAfterAnotherSetWrites()
{
    CMast01 walker;
    walker.m_strSort = QStringLiteral("Busyo,Code");
    walker.Open();
    const QString condition = QStringLiteral("Busyo = 5");
    QVERIFY(walker.FindFirst(condition));
    QCOMPARE(walker.m_Name, QStringLiteral("甲"));
    {
        // Mid-walk, through the same connection: a rename ahead and a move away.
        CMast01 writer;
        writer.Open();
        QVERIFY(writer.FindFirst(QStringLiteral("ID = %1").arg(m_ids[5])));
        writer.Edit();
        writer.m_Name = QStringLiteral("丁改");
        writer.Update();
        writer.ClearDepartment(6);
    }
    QStringList rest;
    while (walker.FindNext(condition))
        rest << walker.m_Name;
    QCOMPARE(rest, QStringList({"乙一", "乙二", "丙", "丁改"}));
}

void TestLargeRegister::subsetLeavesTheRestAsStored()
{
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    QVERIFY(set.FindFirst(QStringLiteral("ID = %1").arg(m_ids[1])));
    set.Edit();
    set.m_Kana = QStringLiteral("こう");
    set.m_Sdate = CDateValue(1980, 4, 1);
    set.Update();
    {
        const CDaoColumnSubset columns(set, {QStringLiteral("ID"), QStringLiteral("Sex"), QStringLiteral("Name")});
        QVERIFY(set.FindFirst(QStringLiteral("Busyo = 5")));
        QCOMPARE(set.m_Name, QStringLiteral("甲"));
        QVERIFY(set.m_Kana.isEmpty());
        // A write from a row read in part changes only what was changed.
        set.Edit();
        set.m_Busyo = 6;
        set.Update();
    }
    // Afterwards the current row is whole again.
    QCOMPARE(set.m_Kana, QStringLiteral("こう"));
    QCOMPARE(set.m_Sdate, CDateValue(1980, 4, 1));
    QCOMPARE(set.m_Busyo, 6);
    CRawConnection raw(m_db->Path(), QStringLiteral("check"));
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT Kana || '|' || Sdate || '|' || Busyo || '|' || Code FROM Mast01 "
                                       "WHERE ID = %1")
                            .arg(m_ids[1]))
                 .toString(),
             QStringLiteral("こう|1980-04-01|6|10"));
}

void TestLargeRegister::datesReadAsStored_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("status");
    QTest::addColumn<QDate>("date");
    QTest::newRow("plain") << QVariant("1980-04-01") << int(CDateValue::Valid) << QDate(1980, 4, 1);
    QTest::newRow("with a time") << QVariant("1999-12-31 23:59:59") << int(CDateValue::Valid) << QDate(1999, 12, 31);
    QTest::newRow("with a T") << QVariant("2001-02-03T04:05:06") << int(CDateValue::Valid) << QDate(2001, 2, 3);
    QTest::newRow("no such day") << QVariant("1980-02-30") << int(CDateValue::Invalid) << QDate();
    QTest::newRow("month 13") << QVariant("1980-13-01") << int(CDateValue::Invalid) << QDate();
    QTest::newRow("letters") << QVariant("19a0-04-01") << int(CDateValue::Invalid) << QDate();
    QTest::newRow("longer year") << QVariant("19800-04-01") << int(CDateValue::Invalid) << QDate();
    QTest::newRow("null") << QVariant(QMetaType::fromType<QString>()) << int(CDateValue::Null) << QDate();
}

void TestLargeRegister::datesReadAsStored()
{
    QFETCH(QVariant, stored);
    QFETCH(int, status);
    QFETCH(QDate, date);
    const CDateValue value = CDateValue::FromVariant(stored);
    QCOMPARE(int(value.GetStatus()), status);
    QCOMPARE(value.Date(), date);
}

void TestLargeRegister::generatorWritesAConsistentRegister()
{
    const QString path = m_db->Folder() + QStringLiteral("/generated.mdb");
    CRegisterGenerator::SOptions options;
    options.nEmployees = 500;
    options.nUnits = 60;
    options.nCompanies = 5;
    options.nPhotoSide = 10;
    options.nCrowdedUnitEmployees = 120;
    CRegisterGenerator::Generate(path, options);
    CRawConnection raw(path, QStringLiteral("generated"));
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00 WHERE Parent = 0")).toInt(), 5);
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00")).toInt(), 60);
    // Every department hangs under a unit of its own company.
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00 d LEFT JOIN Mast00 p ON p.ID = d.Parent "
                                       "WHERE d.Parent <> 0 AND (p.ID IS NULL OR p.Code <> d.Code)"))
                 .toInt(),
             0);
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01")).toInt(), 500);
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Busyo = %1")
                            .arg(CRegisterGenerator::FirstDepartment(options)))
                     .toInt()
                 >= 120,
             true);
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Busyo <> 0 AND Busyo NOT IN "
                                       "(SELECT ID FROM Mast00)"))
                 .toInt(),
             0);
    // The photo is a packed DIB: header, then rows padded to four bytes.
    const QByteArray photo = raw.Scalar(QStringLiteral("SELECT Pic FROM Mast01 LIMIT 1")).toByteArray();
    QCOMPARE(photo.size(), 40 + 32 * 10);
    const auto *p = reinterpret_cast<const uchar *>(photo.constData());
    QCOMPARE(qFromLittleEndian<qint32>(p + 4), 10);
    QCOMPARE(qFromLittleEndian<quint16>(p + 14), quint16(24));
    // An existing file is never written over.
    QVERIFY_THROWS_EXCEPTION(CDaoException, CRegisterGenerator::Generate(path, options));
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01")).toInt(), 500);
}

void TestLargeRegister::unaffiliatedWindowFilledWhenFirstShown()
{
    CRegisterBuilder::AddEmployee({5, 0, QStringLiteral("無所属")});
    CMorvekView list(nullptr);
    QVERIFY(!list.IsUnaffiliatedFilled());
    QCOMPARE(list.GetUnaffiliatedWindow()->GetModel()->rowCount(), 0);
    // Saved while the window was never shown: the first showing has it.
    CRegisterBuilder::AddEmployee({6, 0, QStringLiteral("新人")});
    list.ShowUnaffiliatedWindow();
    // By code; the fixture's units 5 and 6 are no rows of Mast00, so theirs count too.
    QCOMPARE(Column(list.GetUnaffiliatedWindow()->GetModel()),
             QStringList({"無所属", "新人", "甲", "外", "乙一", "乙二", "丙", "丁"}));
}

void TestLargeRegister::busyGuardShowsOnceForNestedWalks()
{
    CBusyRecorder services;
    CFrameServices::Register(&services);
    {
        CBusyIndicator quick;
        quick.Pulse();
        QVERIFY(!quick.IsShown()); // well within its delay
    }
    QVERIFY(services.m_calls.isEmpty());
    {
        CBusyIndicator outer(0);
        outer.Pulse();
        QVERIFY(outer.IsShown());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            CBusyIndicator inner(0);
            inner.Pulse();
        }
        QCOMPARE(services.m_calls, QList<bool>({true}));
    }
    QCOMPARE(services.m_calls, QList<bool>({true, false}));
    QVERIFY(!QApplication::overrideCursor());
    CFrameServices::Register(nullptr);
}

QTEST_MAIN(TestLargeRegister)
#include "tst_largeregister.moc"
