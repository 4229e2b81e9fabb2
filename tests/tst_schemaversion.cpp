// IDs never handed out twice, files of the earlier format brought up to date,
// and edits that write back only what changed.
#include "rawconnection.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

namespace {
// The tables as the first version of the program made them: ID a plain rowid.
void WriteVersion1File(const QString &path)
{
    CRawConnection raw(path, QStringLiteral("v1"));
    raw.Exec(QStringLiteral("CREATE TABLE Mast00 ( ID     INTEGER not null,Parent INTEGER        null,"
                            "Code   INTEGER        null,Name   VARCHAR(60) null,Yuu    VARCHAR(8)  null,"
                            "Juu1   VARCHAR(60) null,Juu2   VARCHAR(60) null,TEL    VARCHAR(16) null,"
                            "FAX    VARCHAR(16) null,CONSTRAINT MinKey PRIMARY KEY (ID))"));
    raw.Exec(QStringLiteral("CREATE TABLE Mast01 ( ID     INTEGER not null,Code   INTEGER        null,"
                            "Busyo  INTEGER        null,Sex    BOOLEAN         null,Name   VARCHAR(60) null,"
                            "Kana   VARCHAR(50) null,Sdate  DATETIME    null,Indat  DATETIME    null,"
                            "Outdat DATETIME    null,Yuu    VARCHAR(8)  null,Juu1   VARCHAR(60) null,"
                            "Juu2   VARCHAR(60) null,TEL    VARCHAR(16) null,FAX    VARCHAR(16) null,"
                            "Rire   VARCHAR(50) null,Sikaku VARCHAR(50) null,Mem    VARCHAR(60) null,"
                            "Email  VARCHAR(30) null,Pic    BLOB       null,CONSTRAINT MinKey PRIMARY KEY (ID))"));
    raw.Exec(
        QStringLiteral("INSERT INTO Mast00 (ID, Parent, Code, Name) VALUES (1, 0, 10, '北商事'), (7, 1, 10, '営業部')"));
    raw.Exec(QStringLiteral("INSERT INTO Mast01 (ID, Code, Busyo, Name, Pic) VALUES "
                            "(3, 100, 7, '佐藤', x'0102'), (9, 'A12', 0, '鈴木', NULL)"));
    raw.Exec(QStringLiteral("CREATE INDEX Mast01Busyo ON Mast01 (Busyo, Code)"));
    raw.Exec(QStringLiteral("PRAGMA user_version = 1"));
}

QString Dump(CRawConnection &raw, const QString &table)
{
    return raw
        .Column(
            QStringLiteral("SELECT quote(ID) || '|' || quote(Code) || '|' || quote(Name) FROM %1 ORDER BY ID").arg(table))
        .join(u';');
}

template <typename Set>
qint64 AddRow(Set &set)
{
    set.AddNew();
    set.m_Code = 1;
    set.Update();
    return set.GetLastModifiedBookmark();
}

template <typename Set>
void DeleteRow(Set &set, qint64 id)
{
    QVERIFY(set.FindFirst(QStringLiteral("ID = %1").arg(id)));
    set.Delete();
}
} // namespace

class TestSchemaVersion : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void idNotReusedAfterDeletingHighest_data();
    void idNotReusedAfterDeletingHighest();
    void earlierFileUpgradedKeepingRowsAndIds();
    void earlierFileThatCannotBeUpgradedIsRefusedUnchanged();
    void readOnlyEarlierFileStaysReadable();
    void editWritesOnlyChangedColumns_data();
    void editWritesOnlyChangedColumns();
    void changedBadDateStillRefused();

private:
    std::unique_ptr<CTempDatabase> m_db;
};

void TestSchemaVersion::init()
{
    CDaoDatabase::SetBusyTimeout(100);
    m_db = std::make_unique<CTempDatabase>();
}

void TestSchemaVersion::cleanup()
{
    m_db.reset();
}

void TestSchemaVersion::idNotReusedAfterDeletingHighest_data()
{
    QTest::addColumn<bool>("units");
    QTest::addColumn<bool>("reopen");
    QTest::newRow("Mast00") << true << false;
    QTest::newRow("Mast01") << false << false;
    QTest::newRow("Mast00, file opened again") << true << true;
    QTest::newRow("Mast01, file opened again") << false << true;
}

void TestSchemaVersion::idNotReusedAfterDeletingHighest()
{
    QFETCH(bool, units);
    QFETCH(bool, reopen);
    auto run = [reopen](auto &set) {
        set.Open();
        AddRow(set);
        const qint64 highest = AddRow(set);
        DeleteRow(set, highest);
        if (reopen) {
            set.Close();
            set.Open();
        }
        QCOMPARE(AddRow(set), highest + 1);
    };
    if (units) {
        CMast00 set;
        run(set);
    } else {
        CMast01 set;
        run(set);
    }
    CRawConnection raw(m_db->Path());
    QCOMPARE(raw.Scalar(QStringLiteral("PRAGMA user_version")).toInt(), 2);
}

void TestSchemaVersion::earlierFileUpgradedKeepingRowsAndIds()
{
    const QString path = m_db->Folder() + QStringLiteral("/v1.mdb");
    WriteVersion1File(path);
    QString before00, before01;
    {
        CRawConnection raw(path);
        before00 = Dump(raw, QStringLiteral("Mast00"));
        before01 = Dump(raw, QStringLiteral("Mast01"));
    }
    CDaoRecordset::SetApplicationDatabasePath(path);
    CMast01 employees;
    employees.Open();
    QVERIFY(employees.FindFirst(QStringLiteral("ID = 3")));
    QCOMPARE(employees.m_Pic.Data(), QByteArray("\x01\x02"));
    // The highest ID taken away before more rows come: it must not come back.
    DeleteRow(employees, 9);
    QCOMPARE(AddRow(employees), qint64(10));
    employees.Close();
    CMast00 units;
    units.Open();
    DeleteRow(units, 7);
    QCOMPARE(AddRow(units), qint64(8));
    units.Close();

    CRawConnection raw(path);
    QCOMPARE(raw.Scalar(QStringLiteral("PRAGMA user_version")).toInt(), 2);
    QCOMPARE(Dump(raw, QStringLiteral("Mast00")), before00.section(u';', 0, 0) + QStringLiteral(";8|1|NULL"));
    QCOMPARE(Dump(raw, QStringLiteral("Mast01")), before01.section(u';', 0, 0) + QStringLiteral(";10|1|NULL"));
    const QString sql = raw.Scalar(QStringLiteral("SELECT sql FROM sqlite_master WHERE name = 'Mast01'")).toString();
    QVERIFY2(sql.contains(QLatin1String("CONSTRAINT MinKey PRIMARY KEY AUTOINCREMENT")), qPrintable(sql));
    // The file's own index survives; the program's finds add theirs.
    QCOMPARE(raw.Column(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Mast01' "
                                       "ORDER BY name")),
             QStringList({"Mast01Busyo", "Mast01_BusyoCode", "Mast01_Code"}));
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE '%_v2'")).toInt(), 0);
    QCOMPARE(raw.Scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

void TestSchemaVersion::earlierFileThatCannotBeUpgradedIsRefusedUnchanged()
{
    const QString path = m_db->Folder() + QStringLiteral("/v1.mdb");
    WriteVersion1File(path);
    {
        // A column this version does not know would be lost by the rebuild.
        CRawConnection raw(path);
        raw.Exec(QStringLiteral("ALTER TABLE Mast01 ADD COLUMN Extra TEXT"));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    CDaoRecordset::SetApplicationDatabasePath(path);
    CMast00 units;
    try {
        units.Open();
        QFAIL("a file that cannot be upgraded was opened");
    } catch (const CDaoException &error) {
        QVERIFY2(error.GetErrorMessage().contains(QStringLiteral("新しい形式に更新できません")),
                 qPrintable(error.GetErrorMessage()));
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestSchemaVersion::readOnlyEarlierFileStaysReadable()
{
    const QString path = m_db->Folder() + QStringLiteral("/v1.mdb");
    WriteVersion1File(path);
    QFile file(path);
    QVERIFY(file.setPermissions(QFile::ReadOwner));
    CDaoRecordset::SetApplicationDatabasePath(path);
    {
        CMast01 employees;
        employees.Open();
        QVERIFY(employees.FindFirst(QStringLiteral("Busyo = 7")));
        QCOMPARE(employees.m_Name, QStringLiteral("佐藤"));
        employees.AddNew();
        QVERIFY_THROWS_EXCEPTION(CDaoException, employees.Update());
    }
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    CRawConnection raw(path);
    QCOMPARE(raw.Scalar(QStringLiteral("PRAGMA user_version")).toInt(), 1);
}

void TestSchemaVersion::editWritesOnlyChangedColumns_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");
    // Values the members read differently from how they are stored.
    QTest::newRow("text in Code") << "Code"
                                  << "'A12'";
    QTest::newRow("time of day in a date") << "Sdate"
                                           << "'1990-01-02 10:30:00'";
    QTest::newRow("bad date") << "Indat"
                              << "'平成2年'";
    QTest::newRow("NULL name") << "Name"
                               << "NULL";
    QTest::newRow("NULL sex") << "Sex"
                              << "NULL";
    QTest::newRow("photo") << "Pic"
                           << "x'424d0001'";
}

void TestSchemaVersion::editWritesOnlyChangedColumns()
{
    QFETCH(QString, column);
    QFETCH(QString, stored);
    CRawConnection raw(m_db->Path());
    raw.Exec(QStringLiteral("INSERT INTO Mast01 (ID, Code, Busyo, Name) VALUES (1, 5, 0, '佐藤')"));
    raw.Exec(QStringLiteral("UPDATE Mast01 SET %1 = %2").arg(column, stored));
    const QString before = raw.Scalar(QStringLiteral("SELECT quote(%1) FROM Mast01").arg(column)).toString();
    CMast01 set;
    set.Open();
    QVERIFY(set.FindFirst(QStringLiteral("ID = 1")));
    set.Edit();
    set.m_Busyo = 4;
    set.Update();
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT quote(%1) FROM Mast01").arg(column)).toString(), before);
    QCOMPARE(raw.Scalar(QStringLiteral("SELECT Busyo FROM Mast01")).toInt(), 4);
}

void TestSchemaVersion::changedBadDateStillRefused()
{
    CMast01 set;
    set.Open();
    set.AddNew();
    set.m_Code = 1;
    set.Update();
    set.Requery();
    set.Edit();
    set.m_Sdate.SetDateTime(2023, 2, 29);
    QVERIFY_THROWS_EXCEPTION(CDaoException, set.Update());
}

QTEST_GUILESS_MAIN(TestSchemaVersion)
#include "tst_schemaversion.moc"
