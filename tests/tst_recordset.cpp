// The record-set engine: schema, dialect, dynaset walks, writes and failures.
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/daoquerydef.h"
#include "store/jetdialect.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/schema.h"
#include "rawconnection.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
QList<qint32> WalkCodes(CMast01 &set, const QString &condition)
{
    QList<qint32> codes;
    for (bool found = set.FindFirst(condition); found; found = set.FindNext(condition))
        codes << set.m_Code;
    return codes;
}
} // namespace

class TestRecordset : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void schemaColumnsAndKey_data();
    void schemaColumnsAndKey();
    void idCountsFromOne();
    void dialect_data();
    void dialect();

    void findWalksInSortOrder_data();
    void findWalksInSortOrder();
    void findNothingKeepsCurrentRow();
    void typedFindsBindTheirValues_data();
    void typedFindsBindTheirValues();
    void movesAndBoundaries();
    void addedRowJoinsAtEndUntilRequery();
    void deleteLeavesNeighbours();
    void editWritesOnlyCurrentRow();
    void textWiderThanColumnIsRefused();
    void datesKeepNullApartFromZero();
    void photoIsReadOnlyWhenAskedFor();
    void untouchedPhotoSurvivesEdit();
    void setsOfOneClassKeepTheirOwnColumns_data();
    void setsOfOneClassKeepTheirOwnColumns();
    void fieldValueByName();
    void withoutUnitCondition();
    void executeIsAllOrNothing();
    void executeInsideTransaction_data();
    void executeInsideTransaction();
    void connectionClosedUnderTheSet_data();
    void connectionClosedUnderTheSet();

    void badFilesAreRefused_data();
    void badFilesAreRefused();
    void readOnlyFileRefusesWrites();
    void lockedFileIsReported();
    void missingFileIsNotCreated();

private:
    std::unique_ptr<CTempDatabase> m_db;
};

void TestRecordset::init()
{
    MORVEK_REQUIRE_BACKEND();
    CDaoDatabase::SetBusyTimeout(100);
    m_db = std::make_unique<CTempDatabase>();
}

void TestRecordset::cleanup()
{
    m_db.reset();
}

void TestRecordset::schemaColumnsAndKey_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("Mast00") << "Mast00" << QStringList{"ID", "Parent", "Code", "Name", "Yuu", "Juu1", "Juu2", "TEL", "FAX"};
    QTest::newRow("Mast01") << "Mast01" << QStringList{"ID",    "Code",   "Busyo", "Sex",   "Name", "Kana", "Sdate",
                                                       "Indat", "Outdat", "Yuu",   "Juu1",  "Juu2", "TEL",  "FAX",
                                                       "Rire",  "Sikaku", "Mem",   "Email", "Pic"};
}

void TestRecordset::schemaColumnsAndKey()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    CRawConnection raw(m_db->Path());
    if (m_db->OnServer()) {
        // The server's own types: identity key, widths kept, dates as date, photos as bytea.
        const QString info = QStringLiteral("SELECT %1 FROM information_schema.columns WHERE table_schema = 'public' "
                                            "AND table_name = '%2' ORDER BY ordinal_position")
                                 .arg("%1", table.toLower());
        QCOMPARE(raw.Column(info.arg("column_name")).join(u',').toLower(), columns.join(u',').toLower());
        const QStringList types = raw.Column(
            info.arg("data_type || coalesce('(' || character_maximum_length || ')', '') "
                     "|| CASE is_identity WHEN 'YES' THEN ' ' || identity_generation ELSE '' END "
                     "|| CASE is_nullable WHEN 'NO' THEN ' not null' ELSE '' END"));
        QCOMPARE(types.first(), QStringLiteral("integer ALWAYS not null"));
        const QStringList expected = table == QLatin1String("Mast00") ? QStringList{"integer",
                                                                                    "integer",
                                                                                    "character varying(60)",
                                                                                    "character varying(8)",
                                                                                    "character varying(60)",
                                                                                    "character varying(60)",
                                                                                    "character varying(16)",
                                                                                    "character varying(16)"}
                                                                      : QStringList{"integer",
                                                                                    "integer",
                                                                                    "smallint",
                                                                                    "character varying(60)",
                                                                                    "character varying(50)",
                                                                                    "date",
                                                                                    "date",
                                                                                    "date",
                                                                                    "character varying(8)",
                                                                                    "character varying(60)",
                                                                                    "character varying(60)",
                                                                                    "character varying(16)",
                                                                                    "character varying(16)",
                                                                                    "character varying(50)",
                                                                                    "character varying(50)",
                                                                                    "character varying(60)",
                                                                                    "character varying(30)",
                                                                                    "bytea"};
        QCOMPARE(types.mid(1), expected);
        QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt(), 0);
        return;
    }
    QCOMPARE(raw.Column(QStringLiteral("PRAGMA table_info(%1)").arg(table), 1), columns);
    // Only ID is part of the key, and only ID is declared not null.
    const QStringList pk = raw.Column(QStringLiteral("PRAGMA table_info(%1)").arg(table), 5);
    const QStringList notNull = raw.Column(QStringLiteral("PRAGMA table_info(%1)").arg(table), 3);
    for (int i = 0; i < columns.size(); ++i) {
        QCOMPARE(pk[i], QString(i == 0 ? "1" : "0"));
        QCOMPARE(notNull[i], QString(i == 0 ? "1" : "0"));
    }
    const QString sql = raw.Scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = '%1'").arg(table)).toString();
    QVERIFY2(sql.contains(QLatin1String("CONSTRAINT MinKey PRIMARY KEY AUTOINCREMENT")), qPrintable(sql));
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt(), 0);
}

void TestRecordset::idCountsFromOne()
{
    CMast00 units;
    units.Open();
    for (int i = 0; i < 3; ++i) {
        units.AddNew();
        units.m_Code = 10 + i;
        units.Update();
        QCOMPARE(units.GetLastModifiedBookmark(), qint64(i + 1));
    }
}

void TestRecordset::dialect_data()
{
    QTest::addColumn<QString>("jet");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("counter") << "CREATE TABLE T ( ID     Counter not null,X long null)"
                             << "CREATE TABLE T ( ID     INTEGER PRIMARY KEY AUTOINCREMENT not null,X INTEGER null)";
    QTest::newRow("counter key named")
        << "CREATE TABLE T ( ID Counter not null,X long null,CONSTRAINT K PRIMARY KEY (ID))"
        << "CREATE TABLE T ( ID INTEGER CONSTRAINT K PRIMARY KEY AUTOINCREMENT not null,X INTEGER null)";
    QTest::newRow("key on another column") << "CREATE TABLE T (N Counter,X long,PRIMARY KEY (X))"
                                           << "CREATE TABLE T (N INTEGER,X INTEGER,PRIMARY KEY (X))";
    QTest::newRow("types") << "CREATE TABLE T (A bit null,B datetime null,C image null,D varchar(8) null)"
                           << "CREATE TABLE T (A BOOLEAN null,B DATETIME null,C BLOB null,D VARCHAR(8) null)";
    QTest::newRow("quoted kept") << "CREATE TABLE T (A long DEFAULT 'long bit')"
                                 << "CREATE TABLE T (A INTEGER DEFAULT 'long bit')";
    QTest::newRow("no definition") << "UPDATE T SET long = 1"
                                   << "UPDATE T SET long = 1";
    QTest::newRow("word inside name") << "CREATE TABLE Longs (Bits long)"
                                      << "CREATE TABLE Longs (Bits INTEGER)";
}

void TestRecordset::dialect()
{
    QFETCH(QString, jet);
    QFETCH(QString, sqlite);
    QCOMPARE(CJetDialect::ToSqlite(jet), sqlite);
}

void TestRecordset::findWalksInSortOrder_data()
{
    QTest::addColumn<bool>("byPosition");
    // Fresh sets answer finds with one ordered query; after a move or a write they
    // go through the keyset. Both must give the same walk.
    QTest::newRow("ordered") << false;
    QTest::newRow("keyset") << true;
}

void TestRecordset::findWalksInSortOrder()
{
    QFETCH(bool, byPosition);
    {
        CMast01 writer;
        writer.Open();
        for (auto [code, busyo] : {std::pair{30, 2}, {10, 1}, {20, 2}, {5, 2}, {20, 2}, {7, 0}})
            CRegisterBuilder::AddEmployee(writer, CRegisterBuilder::Numbered(code, busyo));
    }
    CMast01 set;
    set.m_strSort = QStringLiteral("Busyo,Code");
    set.Open();
    if (byPosition)
        set.MoveLast();
    QCOMPARE(WalkCodes(set, QStringLiteral("Busyo = 2")), (QList<qint32>{5, 20, 20, 30}));
    // Equal codes keep the order they were added in.
    QVERIFY(set.FindFirst(QStringLiteral("Code = 20")));
    const qint32 first = set.m_ID;
    QVERIFY(set.FindNext(QStringLiteral("Code = 20")));
    QVERIFY(set.m_ID > first);
    QVERIFY(set.FindPrev(QStringLiteral("Busyo = 2")));
    QCOMPARE(set.m_ID, first);
    QVERIFY(set.FindPrev(QStringLiteral("Busyo = 2")));
    QCOMPARE(set.m_Code, 5);
    QVERIFY(!set.FindPrev(QStringLiteral("Busyo = 2")));
    QCOMPARE(set.m_Code, 5);
    QVERIFY(set.FindLast(QStringLiteral("Busyo < 2")));
    QCOMPARE(set.m_Code, 10);
}

void TestRecordset::findNothingKeepsCurrentRow()
{
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    for (int code : {3, 1, 2})
        CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(code));
    set.Requery();
    QVERIFY(set.FindFirst(QStringLiteral("Code = 2")));
    QVERIFY(!set.FindNext(QStringLiteral("Code = 2")));
    QVERIFY(!set.FindFirst(QStringLiteral("Code = 99")));
    QCOMPARE(set.m_Code, 2);
    QVERIFY(!set.IsEOF() && !set.IsBOF());
    set.MoveNext();
    QCOMPARE(set.m_Code, 3);
}

void TestRecordset::typedFindsBindTheirValues_data()
{
    findWalksInSortOrder_data();
}

void TestRecordset::typedFindsBindTheirValues()
{
    QFETCH(bool, byPosition);
    const QString odd = QStringLiteral("O'Brien ? %1 -- ;");
    {
        CMast01 writer;
        writer.Open();
        for (int code : {20, 30, 20})
            CRegisterBuilder::AddEmployee(writer, CRegisterBuilder::Numbered(code, 1));
        CRegisterBuilder::AddEmployee(writer, {40, 2, odd});
    }
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    if (byPosition)
        set.MoveLast();
    using EOp = CDaoFind::EOp;
    // A text that would break a written condition is found as it is.
    QVERIFY(set.FindFirst(CDaoFind(QStringLiteral("Name"), EOp::equal, odd)));
    QCOMPARE(set.m_Code, 40);
    // The same condition with another value is another find, not the next step of the last one.
    QVERIFY(set.FindFirst(CDaoFind(QStringLiteral("Code"), EOp::equal, 20)));
    QVERIFY(set.FindNext(CDaoFind(QStringLiteral("Code"), EOp::equal, 30)));
    QCOMPARE(set.m_Code, 30);
    QVERIFY(set.FindFirst(CDaoFind(QStringLiteral("Busyo"), EOp::equal, 1).And(QStringLiteral("Code"), EOp::greater, 20)));
    QCOMPARE(set.m_Code, 30);
    QVERIFY(set.FindById(set.m_ID));
    QCOMPARE(set.m_Code, 30);
    QVERIFY(!set.FindById(9999));
    QCOMPARE(set.m_Code, 30);
    // Column names are the program's own: anything else is refused before it reaches the engine.
    QVERIFY_THROWS_EXCEPTION(CDaoException, CDaoFind(QStringLiteral("Code = 1 OR 1"), EOp::equal, 1));
}

void TestRecordset::movesAndBoundaries()
{
    CMast01 set;
    set.Open();
    QVERIFY(set.IsBOF() && set.IsEOF());
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.MoveFirst());
    QVERIFY(!set.FindFirst(QStringLiteral("Code = 1")));
    for (int code : {1, 2})
        CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(code));
    set.Requery();
    QCOMPARE(set.m_Code, 1);
    set.MoveNext();
    QCOMPARE(set.m_Code, 2);
    set.MoveNext();
    QVERIFY(set.IsEOF() && !set.IsBOF());
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.MoveNext());
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.Edit());
    set.MovePrev();
    QCOMPARE(set.m_Code, 2);
    set.MovePrev();
    set.MovePrev();
    QVERIFY(set.IsBOF());
    set.MoveLast();
    QCOMPARE(set.m_Code, 2);
    QCOMPARE(set.GetRecordCount(), 2);
}

void TestRecordset::addedRowJoinsAtEndUntilRequery()
{
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    for (int code : {10, 30})
        CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(code));
    set.Requery();
    CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(20));
    // The row that was current before the add stays current.
    QCOMPARE(set.m_Code, 10);
    QVERIFY(set.FindFirst(QStringLiteral("Code = 20")));
    QList<qint32> order;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext())
        order << set.m_Code;
    QCOMPARE(order, (QList<qint32>{10, 30, 20}));
    set.Requery();
    order.clear();
    for (; !set.IsEOF(); set.MoveNext())
        order << set.m_Code;
    QCOMPARE(order, (QList<qint32>{10, 20, 30}));
}

void TestRecordset::deleteLeavesNeighbours()
{
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    for (int code : {1, 2, 3})
        CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(code));
    set.Requery();
    QVERIFY(set.FindFirst(QStringLiteral("Code = 2")));
    set.Delete();
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.Edit());
    set.MoveNext();
    QCOMPARE(set.m_Code, 3);
    set.MovePrev();
    QCOMPARE(set.m_Code, 1);
    QVERIFY(!set.FindFirst(QStringLiteral("Code = 2")));
    QCOMPARE(set.GetRecordCount(), 2);
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast01")).toInt(), 2);
}

void TestRecordset::editWritesOnlyCurrentRow()
{
    CMast01 set;
    set.Open();
    for (int code : {1, 2})
        CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(code));
    QVERIFY(set.FindFirst(QStringLiteral("Code = 2")));
    set.Edit();
    set.m_Name = QStringLiteral("山田 太郎");
    set.m_Sex = true;
    set.Update();
    QCOMPARE(set.m_Name, QStringLiteral("山田 太郎"));
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Column(QStringLiteral("SELECT Name FROM Mast01 ORDER BY ID")),
             (QStringList{QStringLiteral("社員1"), QStringLiteral("山田 太郎")}));
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT Sex FROM Mast01 WHERE Code = 2")).toInt(), 1);
}

void TestRecordset::textWiderThanColumnIsRefused()
{
    CMast00 set;
    set.Open();
    set.AddNew();
    set.m_Code = 1;
    set.m_Yuu = QStringLiteral("123-45678"); // nine characters into eight
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.Update());
    set.CancelUpdate();
    set.AddNew();
    set.m_Code = 1;
    set.m_Name = QString(60, QChar(0x4E00)); // exactly the width, in kanji
    set.Update();
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00")).toInt(), 1);
}

void TestRecordset::datesKeepNullApartFromZero()
{
    CMast01 set;
    QCOMPARE(set.m_Sdate, CDateValue::Zero()); // a new object starts at date value 0
    set.Open();
    set.AddNew();
    set.m_Code = 1;
    set.m_Sdate = CDateValue::Zero();
    set.m_Indat = CDateValue(2024, 2, 29);
    set.m_Outdat = CDateValue::MakeNull();
    set.Update();
    set.Requery();
    QCOMPARE(set.m_Sdate.Date(), QDate(1899, 12, 30));
    QCOMPARE(set.m_Indat.Date(), QDate(2024, 2, 29));
    QVERIFY(set.m_Outdat.IsNull());
    set.Edit();
    set.m_Outdat.SetDateTime(2023, 2, 29);
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.Update());
}

void TestRecordset::photoIsReadOnlyWhenAskedFor()
{
    CMast01 set;
    set.Open();
    set.AddNew();
    set.m_Code = 1;
    set.m_Pic.SetData(QByteArray("first"));
    set.Update();
    set.Requery();
    // Changed behind the set's back after the move: a photo read at move time would be stale.
    CRawConnection raw(m_db->Path());
    raw.Exec(m_db->OnServer() ? QStringLiteral("UPDATE Mast01 SET Pic = 'second'::bytea")
                              : QStringLiteral("UPDATE Mast01 SET Pic = x'7365636f6e64'"));
    QCOMPARE(set.m_Pic.Data(), QByteArray("second"));
}

void TestRecordset::setsOfOneClassKeepTheirOwnColumns_data()
{
    QTest::addColumn<bool>("subsetFirst");
    QTest::newRow("narrow set opened first") << true;
    QTest::newRow("whole set opened first") << false;
}

// The columns a class binds are learnt once; a narrow set must not narrow the next.
void TestRecordset::setsOfOneClassKeepTheirOwnColumns()
{
    QFETCH(bool, subsetFirst);
    {
        CRegisterBuilder::AddEmployee(
            {.code = 7, .name = QStringLiteral("山田"), .kana = QStringLiteral("やまだ"), .birth = CDateValue(1990, 4, 1)});
    }
    CMast01 narrow;
    narrow.SetColumnSubset({QStringLiteral("Name")});
    CMast01 whole;
    for (int i = 0; i < 2; ++i) {
        if ((i == 0) == subsetFirst)
            narrow.Open();
        else
            whole.Open();
    }
    QCOMPARE(narrow.m_Name, QStringLiteral("山田"));
    QVERIFY(narrow.m_Kana.isEmpty());
    QVERIFY(narrow.m_Sdate.IsNull());
    QCOMPARE(whole.m_Kana, QStringLiteral("やまだ"));
    QCOMPARE(whole.m_Sdate, CDateValue(1990, 4, 1));
    QCOMPARE(whole.m_Code, 7);
    // Walking loads every row the same way.
    QVERIFY(whole.FindFirst(QStringLiteral("Code = 7")));
    QCOMPARE(whole.m_Kana, QStringLiteral("やまだ"));
    narrow.SetColumnSubset({});
    QCOMPARE(narrow.m_Kana, QStringLiteral("やまだ"));
}

void TestRecordset::untouchedPhotoSurvivesEdit()
{
    CMast01 set;
    set.Open();
    set.AddNew();
    set.m_Code = 1;
    set.m_Pic.SetData(QByteArray(40000, 'p'));
    set.Update();
    set.Requery();
    set.Edit();
    set.m_Name = QStringLiteral("改名");
    set.Update();
    QCOMPARE(set.GetFieldValue(QStringLiteral("Pic")).toByteArray().size(), 40000);
    set.Edit();
    set.m_Pic.Clear();
    set.Update();
    QVERIFY(set.GetFieldValue(QStringLiteral("Pic")).isNull());
}

void TestRecordset::fieldValueByName()
{
    CMast01 set;
    set.Open();
    CRegisterBuilder::AddEmployee(set, {7, 3, QStringLiteral("佐藤")});
    set.Requery();
    QCOMPARE(set.GetFieldValue(QStringLiteral("Name")).toString(), QStringLiteral("佐藤"));
    QCOMPARE(set.GetFieldValue(QStringLiteral("[Busyo]")).toInt(), 3);
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.GetFieldValue(QStringLiteral("Name; DROP TABLE Mast01")));
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.GetFieldValue(QStringLiteral("NoSuchColumn")));
    set.Edit();
    set.SetFieldValue(QStringLiteral("Kana"), QStringLiteral("さとう"));
    set.Update();
    QCOMPARE(set.m_Kana, QStringLiteral("さとう"));
}

// Read through an index rather than every row: the same employees as the
// condition put plainly, a NULL unit and a unit that never was included.
void TestRecordset::withoutUnitCondition()
{
    const qint64 unit = CRegisterBuilder::AddUnit({.code = 1});
    {
        CMast01 writer;
        writer.Open();
        const QList<qint64> busyo{unit, 0, -1, 999999, -3, unit};
        for (int i = 0; i < busyo.size(); ++i)
            CRegisterBuilder::AddEmployee(writer, CRegisterBuilder::Numbered(i + 1, qint32(busyo[i])));
    }
    CRawConnection(m_db->Path()).Exec(QStringLiteral("UPDATE Mast01 SET Busyo = NULL WHERE Code = 3"));
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    QCOMPARE(WalkCodes(set, CMast01::WithoutUnitCondition()), (QList<qint32>{2, 3, 4, 5}));
    QCOMPARE(WalkCodes(set, QStringLiteral("Busyo = 0 OR Busyo IS NULL OR Busyo NOT IN (SELECT ID FROM Mast00)")),
             (QList<qint32>{2, 3, 4, 5}));
}

void TestRecordset::executeIsAllOrNothing()
{
    CMast00 set;
    set.Open();
    CRegisterBuilder::AddUnit(set, {.code = 1});
    // The third row collides with ID 1 after two rows went in.
    CDaoQueryDef query(set.m_pDatabase);
    query.Create(QString(), QStringLiteral("INSERT INTO Mast00 (ID, Code) VALUES (100, 2), (101, 3), (1, 4)"));
    try {
        query.Execute(dbFailOnError);
        QFAIL("the statement should have failed");
    } catch (const CDaoException &error) {
        QVERIFY2(!error.DriverText().isEmpty(), qPrintable(error.GetErrorMessage()));
    }
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00")).toInt(), 1);
}

void TestRecordset::executeInsideTransaction_data()
{
    QTest::addColumn<bool>("statementFails");
    QTest::addColumn<bool>("commit");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("both kept") << false << true << 3;
    QTest::newRow("failed statement undone alone") << true << true << 1;
    QTest::newRow("rollback takes both") << false << false << 0;
    QTest::newRow("failure then rollback") << true << false << 0;
}

// A statement run inside BeginTrans is all or nothing itself, and leaves the
// caller's transaction open for the caller to end.
void TestRecordset::executeInsideTransaction()
{
    QFETCH(bool, statementFails);
    QFETCH(bool, commit);
    QFETCH(int, rowsAfter);
    CDaoDatabase db;
    db.Open(m_db->Path());
    db.BeginTrans();
    CMast00 set(&db);
    set.Open();
    CRegisterBuilder::AddUnit(set, {.code = 1});
    // The first statement succeeds; a failing second one must take it back too.
    const QStringList sql{QStringLiteral("INSERT INTO Mast00 (Code) VALUES (2)"),
                          statementFails ? QStringLiteral("INSERT INTO NoSuchTable (Code) VALUES (3)")
                                         : QStringLiteral("INSERT INTO Mast00 (Code) VALUES (3)")};
    if (statementFails)
        QVERIFY_THROWS_EXCEPTION(CDaoException, db.ExecuteAll(sql));
    else
        QCOMPARE(db.ExecuteAll(sql), 2);
    set.Close();
    if (commit)
        db.CommitTrans();
    else
        db.Rollback();
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM Mast00")).toInt(), rowsAfter);
}

void TestRecordset::connectionClosedUnderTheSet_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("shared connection released") << "released";
    QTest::newRow("own database closed") << "closed";
}

// Statements prepared on a connection end with it. A set of the shared connection
// goes on with the pool's next one (a server reached again, a file put back) where it
// stood; a set of a database of its own refuses to go on. Neither reads freed memory,
// and a set opened again works.
void TestRecordset::connectionClosedUnderTheSet()
{
    QFETCH(QString, how);
    {
        CMast01 writer;
        writer.Open();
        for (const int code : {1, 2, 3})
            CRegisterBuilder::AddEmployee(writer, CRegisterBuilder::Numbered(code, 1));
    }
    auto own = std::make_unique<CDaoDatabase>();
    if (how != QLatin1String("released"))
        own->Open(m_db->Path());
    auto set = std::make_unique<CMast01>(how == QLatin1String("released") ? nullptr : own.get());
    set->m_strSort = QStringLiteral("Code");
    set->Open();
    QVERIFY(set->FindFirst(QStringLiteral("Busyo = 1")));
    if (how == QLatin1String("released"))
        CDaoDatabasePool::Release(m_db->Path());
    else
        own->Close();
    if (how == QLatin1String("released")) {
        QVERIFY(set->FindNext(QStringLiteral("Busyo = 1")));
        QCOMPARE(set->m_Code, 2);
        set->Edit();
        set->m_Name = QStringLiteral("続き");
        set->Update();
        QVERIFY(set->FindFirst(QStringLiteral("Name = '続き'")));
        QCOMPARE(set->m_Code, 2);
    } else {
        const auto walkOn = [&] {
            for (int i = 0; i < 3; ++i)
                set->FindNext(QStringLiteral("Busyo = 1"));
        };
        QVERIFY_THROWS_EXCEPTION(CDaoException, walkOn());
        QVERIFY_THROWS_EXCEPTION(CDaoException, set->FindFirst(QStringLiteral("Busyo = 1")));
    }
    set.reset();

    CMast01 again(how == QLatin1String("released") ? nullptr : own.get());
    if (how != QLatin1String("released"))
        own->Open(m_db->Path());
    again.m_strSort = QStringLiteral("Code");
    again.Open();
    QCOMPARE(WalkCodes(again, QStringLiteral("Busyo = 1")), (QList<qint32>{1, 2, 3}));
}

void TestRecordset::badFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray random(4096, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    QByteArray jet(4096, '\0');
    jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    QTest::newRow("random bytes") << random;
    QTest::newRow("old mdb") << jet;
    QTest::newRow("text") << QByteArray("社員名簿\n").repeated(100);
}

void TestRecordset::badFilesAreRefused()
{
    if (m_db->OnServer())
        QSKIP("a file's own behaviour");
    QFETCH(QByteArray, bytes);
    const QString path = m_db->Folder() + QStringLiteral("/bad.mdb");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    CDaoRecordset::SetApplicationDatabasePath(path);
    CMast01 set;
    try {
        set.Open();
        QFAIL("a file that is no database was opened");
    } catch (const CDaoException &error) {
        QVERIFY2(error.GetErrorMessage().contains(QStringLiteral("データベースファイル")),
                 qPrintable(error.GetErrorMessage()));
    }
    QVERIFY(!set.IsOpen());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestRecordset::readOnlyFileRefusesWrites()
{
    if (m_db->OnServer())
        QSKIP("a file's own behaviour");
    {
        CMast01 set;
        set.Open();
        CRegisterBuilder::AddEmployee(set, CRegisterBuilder::Numbered(1));
    }
    QFile file(m_db->Path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    CMast01 set;
    set.Open();
    QCOMPARE(set.m_Code, 1);
    set.Edit();
    set.m_Code = 2;
    try {
        set.Update();
        QFAIL("a read-only file was written");
    } catch (const CDaoException &error) {
        QVERIFY2(error.GetErrorMessage().contains(QStringLiteral("読み取り専用")), qPrintable(error.GetErrorMessage()));
    }
    set.Close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestRecordset::lockedFileIsReported()
{
    if (m_db->OnServer())
        QSKIP("a file's own behaviour");
    CRawConnection other(m_db->Path(), QStringLiteral("writer"));
    other.Exec(QStringLiteral("BEGIN EXCLUSIVE"));
    other.Exec(QStringLiteral("INSERT INTO Mast00 (Code) VALUES (5)"));
    CMast00 set;
    try {
        set.Open();
        QFAIL("a file locked by another writer was read");
    } catch (const CDaoException &error) {
        QVERIFY2(error.GetErrorMessage().contains(QStringLiteral("使用中")), qPrintable(error.GetErrorMessage()));
    }
    other.Exec(QStringLiteral("ROLLBACK"));
    set.Open();
    QVERIFY(set.IsEOF());
}

void TestRecordset::missingFileIsNotCreated()
{
    if (m_db->OnServer())
        QSKIP("a file's own behaviour");
    const QString path = m_db->Folder() + QStringLiteral("/none.mdb");
    CDaoRecordset::SetApplicationDatabasePath(path);
    CMast00 set;
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.Open());
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestRecordset)
#include "tst_recordset.moc"
