// Backups of the database file: naming, once a day before the first write,
// rotation, the integrity check, restoring with the current file kept aside,
// and the data folder of a start from the desktop.
#include "backup/datafolder.h"
#include "backup/dailybackup.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "backup/databasebackup.h"
#include "backup/integritycheck.h"
#include "backup/leftovers.h"
#include "backup/registeruse.h"
#include "backup/restoreswap.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "store/schema.h"
#include "backupfixture.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

Q_DECLARE_METATYPE(CDatabaseBackup::EAside)

namespace {
const QDateTime kMorning(QDate(2024, 1, 31), QTime(8, 15, 0));

QStringList Names(const QStringList &paths)
{
    QStringList names;
    for (const QString &path : paths)
        names << QFileInfo(path).fileName();
    return names;
}
} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_db = std::make_unique<CTempDatabase>(); }
    void cleanup()
    {
        CDaoDatabase::SetWriteHook({});
        m_db.reset();
    }

    void namesFollowTheFile_data();
    void namesFollowTheFile();
    void onlyBackupsAreListedNewestFirst();
    void rotationKeepsTheNewest14();
    void dailyBackupOncePerDay_data();
    void dailyBackupOncePerDay();
    void firstWriteOfTheDayIsPrecededByABackup();
    void newFileIsNotBackedUpWhileBeingMade();
    void copyHoldsOnlyCommittedRows();
    void failedCopyLeavesNoFile();
    void quickCheckTellsDamage_data();
    void quickCheckTellsDamage();
    void inspectCountsUnitsAndEmployees();
    void damagedBackupIsNeverOffered();
    void restoreKeepsTheCurrentFileAside_data();
    void restoreKeepsTheCurrentFileAside();
    void restoreMovesAStrayJournalAside();
    void writeAfterRestoreGoesToTheRestoredFile_data();
    void writeAfterRestoreGoesToTheRestoredFile();
    void restoreFromDamagedBackupChangesNothing();
    void restoreInterruptedAtEachStep_data();
    void restoreInterruptedAtEachStep();
    void leftoversClearedOnlyWhenAlone();
    void emptyFileIsDamage();
    void checkOnAThread_data();
    void checkOnAThread();
    void desktopStartUsesTheDataFolder_data();
    void desktopStartUsesTheDataFolder();
    void dataFolderGetsTheInstalledLayoutOnce();

private:
    std::unique_ptr<CTempDatabase> m_db;
};

void TestBackup::namesFollowTheFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("backup");
    QTest::addColumn<QString>("damaged");
    QTest::addColumn<QString>("beforeRestore");
    QTest::newRow("odata.mdb") << "odata.mdb"
                               << "odata.mdb.backups"
                               << "odata-20240131-081500.mdb"
                               << "odata-damaged-20240131-081500.mdb"
                               << "odata-before-restore-20240131-081500.mdb";
    QTest::newRow("dots in the name") << "社員.2024.db"
                                      << "社員.2024.db.backups"
                                      << "社員.2024-20240131-081500.db"
                                      << "社員.2024-damaged-20240131-081500.db"
                                      << "社員.2024-before-restore-20240131-081500.db";
    QTest::newRow("no extension") << "register"
                                  << "register.backups"
                                  << "register-20240131-081500"
                                  << "register-damaged-20240131-081500"
                                  << "register-before-restore-20240131-081500";
}

void TestBackup::namesFollowTheFile()
{
    QFETCH(QString, folder);
    QFETCH(QString, beforeRestore);
    QFETCH(QString, backup);
    QFETCH(QString, damaged);
    QFETCH(QString, file);
    QVERIFY(QDir(m_db->Folder()).mkdir(QStringLiteral("names")));
    const QString path = QDir(m_db->Folder()).filePath(QStringLiteral("names/") + file);
    QCOMPARE(QFileInfo(CDatabaseBackup::FolderOf(path)).fileName(), folder);
    QCOMPARE(QFileInfo(CDatabaseBackup::FolderOf(path)).absolutePath(), QFileInfo(path).absolutePath());
    QCOMPARE(CDatabaseBackup::NameFor(path, kMorning), backup);
    QCOMPARE(CDatabaseBackup::AsideNameFor(path, CDatabaseBackup::EAside::damaged, kMorning), damaged);
    QCOMPARE(CDatabaseBackup::AsideNameFor(path, CDatabaseBackup::EAside::beforeRestore, kMorning), beforeRestore);
    // What is made under a name is listed back, with its time.
    CSchema::CreateDatabaseFile(path);
    const QString made = CDatabaseBackup::MakeBackup(path, kMorning);
    QCOMPARE(CDatabaseBackup::List(path), QStringList{made});
    QCOMPARE(CDatabaseBackup::TakenAt(made), kMorning);
}

void TestBackup::onlyBackupsAreListedNewestFirst()
{
    const QString folder = CDatabaseBackup::FolderOf(m_db->Path());
    QVERIFY(QDir().mkpath(folder));
    const QDir dir(folder);
    for (const char *name : {"odata-20240102-090000.mdb", "odata-20231231-235959.mdb", "odata-20240102-085959.mdb",
                             "odata-damaged-20240103-000000.mdb", "odata-before-restore-20240104-000000.mdb",
                             "odata-20240105-000000.mdb.part", "other-20240106-000000.mdb", "odata-2024-01-07.mdb"})
        WriteFile(dir.filePath(QString::fromLatin1(name)), "x");
    QCOMPARE(Names(CDatabaseBackup::List(m_db->Path())),
             QStringList({"odata-20240102-090000.mdb", "odata-20240102-085959.mdb", "odata-20231231-235959.mdb"}));
}

void TestBackup::rotationKeepsTheNewest14()
{
    QDateTime when = kMorning;
    for (int i = 0; i < 20; ++i) {
        CDatabaseBackup::MakeBackup(m_db->Path(), when);
        when = when.addDays(1);
    }
    const QStringList kept = CDatabaseBackup::List(m_db->Path());
    QCOMPARE(kept.size(), CDatabaseBackup::kKeep);
    QCOMPARE(CDatabaseBackup::TakenAt(kept.constFirst()), kMorning.addDays(19));
    QCOMPARE(CDatabaseBackup::TakenAt(kept.constLast()), kMorning.addDays(6));
    // Files put aside are no backups: rotation leaves them alone.
    const QString aside = WriteFile(
        QDir(CDatabaseBackup::FolderOf(m_db->Path()))
            .filePath(CDatabaseBackup::AsideNameFor(m_db->Path(), CDatabaseBackup::EAside::damaged, kMorning.addYears(-1))),
        "x");
    CDatabaseBackup::MakeBackup(m_db->Path(), when);
    QVERIFY(QFileInfo::exists(aside));
    QCOMPARE(CDatabaseBackup::List(m_db->Path()).size(), CDatabaseBackup::kKeep);
}

void TestBackup::dailyBackupOncePerDay_data()
{
    QTest::addColumn<QList<QDateTime>>("writes");
    QTest::addColumn<QList<bool>>("made");
    const QDateTime t = kMorning;
    QTest::newRow("same day") << QList<QDateTime>{t, t.addSecs(60), t.addSecs(3600)} << QList<bool>{true, false, false};
    QTest::newRow("next day") << QList<QDateTime>{t, t.addSecs(3600), t.addDays(1), t.addDays(1).addSecs(5)}
                              << QList<bool>{true, false, true, false};
    QTest::newRow("midnight") << QList<QDateTime>{QDateTime(t.date(), QTime(23, 59, 59)),
                                                  QDateTime(t.date().addDays(1), QTime(0, 0, 0))}
                              << QList<bool>{true, true};
    QTest::newRow("days skipped") << QList<QDateTime>{t, t.addDays(9)} << QList<bool>{true, true};
}

void TestBackup::dailyBackupOncePerDay()
{
    QFETCH(QList<QDateTime>, writes);
    QFETCH(QList<bool>, made);
    QDateTime now;
    CDailyBackup daily([&now] { return now; });
    for (int i = 0; i < writes.size(); ++i) {
        now = writes[i];
        QCOMPARE(!daily.BeforeWrite(m_db->Path()).isEmpty(), made[i]);
    }
    // A later run of the program the same day finds today's backup and makes none.
    CDailyBackup nextRun([&now] { return now; });
    QVERIFY(nextRun.BeforeWrite(m_db->Path()).isEmpty());
    QCOMPARE(CDatabaseBackup::List(m_db->Path()).size(), int(made.count(true)));
}

void TestBackup::firstWriteOfTheDayIsPrecededByABackup()
{
    CRegisterBuilder::AddUnit({0, 1, QStringLiteral("前日の会社")}); // no hook yet: nothing is backed up
    QVERIFY(CDatabaseBackup::List(m_db->Path()).isEmpty());
    CDailyBackup daily([] { return kMorning; });
    CDaoDatabase::SetWriteHook([&daily](const QString &path) { daily.BeforeWrite(path); });

    AddEmployees(3);
    CMast00 units;
    units.Open();
    units.DeleteCompanyByCode(1);
    units.Close();
    const QStringList backups = CDatabaseBackup::List(m_db->Path());
    QCOMPARE(backups.size(), 1);
    // The copy holds the file as it was before the day's first change.
    const SBackupInfo info = CDatabaseBackup::Inspect(backups.constFirst());
    QVERIFY2(info.Ok(), qPrintable(info.problem));
    QCOMPARE(info.units, 1);
    QCOMPARE(info.employees, 0);
}

void TestBackup::newFileIsNotBackedUpWhileBeingMade()
{
    int calls = 0;
    CDaoDatabase::SetWriteHook([&calls](const QString &) { ++calls; });
    const QString path = QDir(m_db->Folder()).filePath(QStringLiteral("new.mdb"));
    CSchema::CreateDatabaseFile(path);
    QCOMPARE(calls, 0);
    QVERIFY(!QFileInfo::exists(CDatabaseBackup::FolderOf(path)));
    // A failing hook does not stop the write.
    CDaoDatabase::SetWriteHook([](const QString &) { throw CDaoException(QStringLiteral("disk full")); });
    AddEmployees(1);
    CMast01 set;
    set.Open();
    QCOMPARE(set.GetRecordCount(), 1);
}

void TestBackup::copyHoldsOnlyCommittedRows()
{
    AddEmployees(2);
    // Another writer is in the middle of a change while the copy is taken.
    CDaoDatabase writer;
    writer.Open(m_db->Path());
    writer.BeginTrans();
    QSqlQuery q(writer.Connection());
    QVERIFY2(q.exec(QStringLiteral("INSERT INTO Mast01 (Code, Name) VALUES (99, 'half')")),
             qPrintable(q.lastError().text()));
    const QString copy = QDir(m_db->Folder()).filePath(QStringLiteral("copy.mdb"));
    CDatabaseBackup::Copy(m_db->Path(), copy);
    writer.Rollback();
    const SBackupInfo info = CDatabaseBackup::Inspect(copy);
    QVERIFY2(info.Ok(), qPrintable(info.problem));
    QCOMPARE(info.employees, 2);
}

void TestBackup::failedCopyLeavesNoFile()
{
    const QString existing = WriteFile(QDir(m_db->Folder()).filePath(QStringLiteral("taken.mdb")), "keep");
    QVERIFY_THROWS_EXCEPTION(CDaoException, CDatabaseBackup::Copy(m_db->Path(), existing));
    QCOMPARE(ReadFile(existing), QByteArray("keep"));
    const QString nowhere = QDir(m_db->Folder()).filePath(QStringLiteral("missing/folder/copy.mdb"));
    QVERIFY_THROWS_EXCEPTION(CDaoException, CDatabaseBackup::Copy(m_db->Path(), nowhere));
    QVERIFY(!QFileInfo::exists(nowhere));
    QVERIFY(!QFileInfo::exists(nowhere + QStringLiteral(".part")));
    const QString notADatabase = WriteFile(QDir(m_db->Folder()).filePath(QStringLiteral("text.mdb")),
                                           QByteArray(5000, 'z'));
    const QString target = QDir(m_db->Folder()).filePath(QStringLiteral("fromtext.mdb"));
    QVERIFY_THROWS_EXCEPTION(CDaoException, CDatabaseBackup::Copy(notADatabase, target));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!QFileInfo::exists(target + QStringLiteral(".part")));
}

void TestBackup::quickCheckTellsDamage_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<bool>("damage"); // what start-up offers to restore
    QTest::newRow("sound") << "sound" << true << false;
    QTest::newRow("pages overwritten") << "pages" << false << true;
    QTest::newRow("not a database") << "text" << false << true;
    QTest::newRow("cut short") << "truncated" << false << true;
    QTest::newRow("missing") << "missing" << false << false;
    QTest::newRow("empty: SQLite calls it sound, all it held is lost") << "empty" << true << true;
}

void TestBackup::quickCheckTellsDamage()
{
    QFETCH(bool, sound);
    QFETCH(bool, damage);
    QFETCH(QString, kind);
    AddEmployees(300);
    const QString path = m_db->Path();
    if (kind == QLatin1String("pages")) {
        Damage(path);
    } else if (kind == QLatin1String("text")) {
        WriteFile(path, QByteArray(20000, 'z'));
    } else if (kind == QLatin1String("truncated")) {
        QFile file(path);
        QVERIFY(file.resize(file.size() / 2));
    } else if (kind == QLatin1String("missing")) {
        QVERIFY(QFile::remove(path));
    } else if (kind == QLatin1String("empty")) {
        WriteFile(path, {});
    }
    const QByteArray before = ReadFile(path);
    const QString problem = CDatabaseBackup::QuickCheck(path);
    QCOMPARE(problem.isEmpty(), sound);
    QCOMPARE(!CDatabaseBackup::Damage(path).isEmpty(), damage);
    QCOMPARE(ReadFile(path), before); // looking never changes the file
}

void TestBackup::inspectCountsUnitsAndEmployees()
{
    CRegisterBuilder::AddUnit({0, 1, QStringLiteral("甲社")});
    CRegisterBuilder::AddUnit({0, 1, QStringLiteral("乙社")});
    AddEmployees(5);
    const SBackupInfo info = CDatabaseBackup::Inspect(CDatabaseBackup::MakeBackup(m_db->Path(), kMorning));
    QVERIFY2(info.Ok(), qPrintable(info.problem));
    QCOMPARE(info.units, 2);
    QCOMPARE(info.employees, 5);
    QCOMPARE(info.taken, kMorning);
    // A sound SQLite file without our tables is no backup of ours.
    const QString foreign = QDir(CDatabaseBackup::FolderOf(m_db->Path()))
                                .filePath(CDatabaseBackup::NameFor(m_db->Path(), kMorning.addDays(1)));
    {
        CDaoDatabase db;
        db.Create(foreign);
    }
    QVERIFY(!CDatabaseBackup::Inspect(foreign).Ok());
}

void TestBackup::damagedBackupIsNeverOffered()
{
    AddEmployees(300);
    const QString older = CDatabaseBackup::MakeBackup(m_db->Path(), kMorning);
    const QString newer = CDatabaseBackup::MakeBackup(m_db->Path(), kMorning.addDays(1));
    Damage(newer);
    QCOMPARE(CDatabaseBackup::NewestSound(m_db->Path()).path, older);
    Damage(older);
    QVERIFY(CDatabaseBackup::NewestSound(m_db->Path()).path.isEmpty());
}

void TestBackup::restoreKeepsTheCurrentFileAside_data()
{
    QTest::addColumn<CDatabaseBackup::EAside>("why");
    QTest::addColumn<QString>("kind");
    QTest::newRow("damaged") << CDatabaseBackup::EAside::damaged << "damaged";
    QTest::newRow("before restore") << CDatabaseBackup::EAside::beforeRestore << "before-restore";
}

void TestBackup::restoreKeepsTheCurrentFileAside()
{
    QFETCH(QString, kind);
    QFETCH(CDatabaseBackup::EAside, why);
    AddEmployees(2);
    const QString backup = CDatabaseBackup::MakeBackup(m_db->Path(), kMorning);
    AddEmployees(3, QStringLiteral("後から"));
    const QByteArray current = ReadFile(m_db->Path());

    const QDateTime when = kMorning.addSecs(7200);
    const QString aside = CDatabaseBackup::Restore(m_db->Path(), backup, why, when);
    QCOMPARE(QFileInfo(aside).fileName(), QStringLiteral("odata-%1-20240131-101500.mdb").arg(kind));
    QCOMPARE(ReadFile(aside), current);
    QVERIFY(QFileInfo::exists(backup));
    CMast01 set;
    set.Open();
    QCOMPARE(set.GetRecordCount(), 2);
    set.Close();
    // The same second again would overwrite what was put aside: refused, nothing changes.
    const QByteArray restored = ReadFile(m_db->Path());
    QVERIFY_THROWS_EXCEPTION(CDaoException, CDatabaseBackup::Restore(m_db->Path(), backup, why, when));
    QCOMPARE(ReadFile(aside), current);
    QCOMPARE(ReadFile(m_db->Path()), restored);
}

void TestBackup::restoreMovesAStrayJournalAside()
{
    AddEmployees(1);
    const QString backup = CDatabaseBackup::MakeBackup(m_db->Path(), kMorning);
    const QString journal = WriteFile(m_db->Path() + QStringLiteral("-journal"), QByteArray(600, 'j'));
    const QString aside = CDatabaseBackup::Restore(m_db->Path(), backup, CDatabaseBackup::EAside::damaged, kMorning);
    QVERIFY(!QFileInfo::exists(journal));
    QCOMPARE(ReadFile(aside + QStringLiteral("-journal")), QByteArray(600, 'j'));
    QVERIFY(CDatabaseBackup::QuickCheck(m_db->Path()).isEmpty());
}

void TestBackup::writeAfterRestoreGoesToTheRestoredFile_data()
{
    QTest::addColumn<bool>("sameSet");
    QTest::newRow("set that held the connection") << true;
    QTest::newRow("new set") << false;
}

// Closed sets keep the shared connection; restoring must not leave it on the
// file moved aside, where writes would go with their journal beside the new file.
void TestBackup::writeAfterRestoreGoesToTheRestoredFile()
{
    QFETCH(bool, sameSet);
    AddEmployees(2);
    const QString backup = CDatabaseBackup::MakeBackup(m_db->Path(), kMorning);
    AddEmployees(3, QStringLiteral("後から"));
    CMast01 kept;
    kept.Open();
    QCOMPARE(kept.GetRecordCount(), 5);
    kept.Close();
    QCOMPARE(CDaoDatabasePool::OpenCount(), 1);

    const QString aside = CDatabaseBackup::Restore(m_db->Path(), backup, CDatabaseBackup::EAside::beforeRestore, kMorning);
    QCOMPARE(CDaoDatabasePool::OpenCount(), 0);
    const QByteArray asideBytes = ReadFile(aside);

    CMast01 fresh;
    CMast01 &set = sameSet ? kept : fresh;
    set.Open();
    QCOMPARE(set.GetRecordCount(), 2);
    set.AddNew();
    set.m_Code = 9;
    set.m_Name = QStringLiteral("復元後");
    set.Update();
    set.Close();

    QVERIFY(!QFileInfo::exists(m_db->Path() + QStringLiteral("-journal")));
    QCOMPARE(ReadFile(aside), asideBytes);
    CDaoDatabase restored;
    restored.Open(m_db->Path());
    CMast01 check(&restored);
    check.Open();
    QCOMPARE(check.GetRecordCount(), 3);
    QVERIFY(check.FindFirst(QStringLiteral("Code = 9")));
    QCOMPARE(check.m_Name, QStringLiteral("復元後"));
}

void TestBackup::restoreFromDamagedBackupChangesNothing()
{
    AddEmployees(300);
    const QString backup = CDatabaseBackup::MakeBackup(m_db->Path(), kMorning);
    Damage(backup);
    const QByteArray current = ReadFile(m_db->Path());
    QVERIFY_THROWS_EXCEPTION(
        CDaoException, CDatabaseBackup::Restore(m_db->Path(), backup, CDatabaseBackup::EAside::beforeRestore, kMorning));
    QCOMPARE(ReadFile(m_db->Path()), current);
    const QStringList left = QDir(CDatabaseBackup::FolderOf(m_db->Path())).entryList(QDir::Files);
    QCOMPARE(left, QStringList{QFileInfo(backup).fileName()});
    QVERIFY(!QFileInfo::exists(m_db->Path() + QStringLiteral(".restoring")));
}

void TestBackup::restoreInterruptedAtEachStep_data()
{
    QTest::addColumn<int>("stopAfter"); // a CRestoreSwap::EStep; -1: the copy made, -2: an older version's move
    QTest::addColumn<bool>("finished");
    QTest::newRow("copy made, nothing planned") << -1 << false;
    QTest::newRow("planned") << int(CRestoreSwap::EStep::planned) << true;
    QTest::newRow("kept aside") << int(CRestoreSwap::EStep::keptAside) << true;
    QTest::newRow("journals cleared") << int(CRestoreSwap::EStep::journalsCleared) << true;
    QTest::newRow("replaced") << int(CRestoreSwap::EStep::replaced) << true;
    QTest::newRow("file moved away by an older version") << -2 << true;
}

// A kill between any two steps leaves a register under the name, and the next
// start gives either the old one back untouched or the restored one, with the old
// one kept aside: byte for byte, and nothing of the swap left over.
void TestBackup::restoreInterruptedAtEachStep()
{
    QFETCH(int, stopAfter);
    QFETCH(bool, finished);
    const QString path = m_db->Path();
    AddEmployees(2);
    const QString backup = CDatabaseBackup::MakeBackup(path, kMorning);
    AddEmployees(3, QStringLiteral("後から"));
    CDaoDatabasePool::Release(path);
    const QByteArray before = ReadFile(path);
    const QByteArray restored = ReadFile(backup);
    const QString journal = WriteFile(path + QStringLiteral("-journal"), QByteArray(600, 'j'));
    const QString incoming = CRestoreSwap::IncomingPath(path);
    QVERIFY(QFile::copy(backup, incoming));
    const QString aside = QDir(CDatabaseBackup::FolderOf(path))
                              .filePath(
                                  CDatabaseBackup::AsideNameFor(path, CDatabaseBackup::EAside::beforeRestore, kMorning));
    if (stopAfter == -2) {
        QVERIFY(QFile::rename(path, aside) && QFile::rename(journal, aside + QStringLiteral("-journal")));
    } else if (stopAfter >= 0) {
        QVERIFY(!CRestoreSwap::Run(path, aside, [stopAfter](CRestoreSwap::EStep step) { return int(step) == stopAfter; }));
        QVERIFY(QFileInfo::exists(path));
    }

    QCOMPARE(CRestoreSwap::Recover(path),
             finished ? CRestoreSwap::ERecovery::finished : CRestoreSwap::ERecovery::rolledBack);
    QCOMPARE(ReadFile(path), finished ? restored : before);
    QCOMPARE(QFileInfo::exists(journal), !finished);
    if (finished) {
        QCOMPARE(ReadFile(aside), before);
        QCOMPARE(ReadFile(aside + QStringLiteral("-journal")), QByteArray(600, 'j'));
    }
    QVERIFY(!QFileInfo::exists(incoming));
    QVERIFY(!QFileInfo::exists(CRestoreSwap::PlanPath(path)));
    QCOMPARE(CRestoreSwap::Recover(path), CRestoreSwap::ERecovery::none);
}

// Half copies of killed backups and restores, and a killed import's file, go at the
// next start, unless another process of the program still holds the register.
void TestBackup::leftoversClearedOnlyWhenAlone()
{
    const QString path = m_db->Path();
    AddEmployees(1);
    const QString backup = CDatabaseBackup::MakeBackup(path, kMorning);
    const QDir folder(CDatabaseBackup::FolderOf(path));
    const QStringList leftovers{
        WriteFile(folder.filePath(QStringLiteral("odata-20230105-081500.mdb.part")), QByteArray(5000, 'p')),
        WriteFile(folder.filePath(QStringLiteral("odata-20230105-081500.mdb.part-journal")), QByteArray(512, 'j')),
        WriteFile(CRestoreSwap::IncomingPath(path) + QStringLiteral(".part"), QByteArray(3000, 'r')),
        WriteFile(CLeftovers::ImportingPath(path), QByteArray(100, 'i')),
    };
    const QString foreign = WriteFile(folder.filePath(QStringLiteral("other-20240201-081500.mdb.part")), "x");

    // Another process holding the register, as its own open file description.
    const int other = ::open(QFile::encodeName(CRegisterUse::LockPath(path)).constData(), O_RDWR | O_CREAT, 0644);
    QVERIFY(other >= 0 && ::flock(other, LOCK_SH) == 0);
    QVERIFY(CRegisterUse::Hold(path));
    QVERIFY(!CLeftovers::Clear(path).cleared);
    CDatabaseBackup::MakeBackup(path, kMorning.addDays(1)); // its rotation leaves them too
    for (const QString &leftover : leftovers)
        QVERIFY2(QFileInfo::exists(leftover), qPrintable(leftover));
    ::close(other);

    const CLeftovers::SResult result = CLeftovers::Clear(path);
    QVERIFY(result.cleared);
    QCOMPARE(result.files, int(leftovers.size()));
    QCOMPARE(result.bytes, qint64(5000 + 512 + 3000 + 100));
    for (const QString &leftover : leftovers)
        QVERIFY2(!QFileInfo::exists(leftover), qPrintable(leftover));
    QVERIFY(QFileInfo::exists(foreign));
    QCOMPARE(CDatabaseBackup::List(path).size(), 2);
    QVERIFY(QFileInfo::exists(backup));

    // The rotation counts them too once alone.
    const QString part = WriteFile(folder.filePath(QStringLiteral("odata-20240202-081500.mdb.part")), "p");
    CDatabaseBackup::MakeBackup(path, kMorning.addDays(2));
    QVERIFY(!QFileInfo::exists(part));
}

void TestBackup::emptyFileIsDamage()
{
    QVERIFY(CDatabaseBackup::Damage(m_db->Path()).isEmpty());
    CDaoDatabasePool::Release(m_db->Path());
    QVERIFY(QFile(m_db->Path()).resize(0));
    QVERIFY(!CDatabaseBackup::Damage(m_db->Path()).isEmpty());
}

void TestBackup::checkOnAThread_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("stopped"); // destroyed before it answered
    QTest::newRow("sound") << false << false;
    QTest::newRow("damaged") << true << false;
    QTest::newRow("stopped while running") << false << true;
}

void TestBackup::checkOnAThread()
{
    QFETCH(bool, damaged);
    QFETCH(bool, stopped);
    AddEmployees(300);
    CDaoDatabasePool::Release(m_db->Path());
    if (damaged)
        Damage(m_db->Path());
    auto check = std::make_unique<CIntegrityCheck>();
    QSignalSpy told(check.get(), &CIntegrityCheck::finished);
    check->Start(m_db->Path());
    QCOMPARE(check->State(), CIntegrityCheck::EState::running);
    if (stopped) {
        check.reset(); // interrupts it and waits for its thread
        QCOMPARE(told.count(), 0);
        return;
    }
    check->Wait();
    QCOMPARE(told.count(), 1);
    QCOMPARE(check->State(), damaged ? CIntegrityCheck::EState::damaged : CIntegrityCheck::EState::sound);
    QCOMPARE(check->Damage().isEmpty(), !damaged);
}

void TestBackup::desktopStartUsesTheDataFolder_data()
{
    QTest::addColumn<QString>("working");
    QTest::addColumn<bool>("desktop");
    QTest::newRow("home") << "home" << true;
    QTest::newRow("home with a trailing slash") << "home/" << true;
    QTest::newRow("root") << "/" << true;
    QTest::newRow("a folder in home") << "home/work" << false;
    QTest::newRow("elsewhere") << "other" << false;
    QTest::newRow("home holding a layout") << "home:tmp.mvk" << false;
    QTest::newRow("home holding a database") << "home:odata.mdb" << false;
}

void TestBackup::desktopStartUsesTheDataFolder()
{
    QFETCH(bool, desktop);
    QFETCH(QString, working);
    const QDir base(m_db->Folder());
    QVERIFY(base.mkpath(QStringLiteral("home/work")) && base.mkpath(QStringLiteral("other")));
    if (working.contains(QLatin1Char(':'))) {
        WriteFile(base.filePath(QStringLiteral("home/") + working.section(QLatin1Char(':'), 1)), "x");
        working = working.section(QLatin1Char(':'), 0, 0);
    }
    const QString folder = working.startsWith(QLatin1Char('/')) ? working : base.filePath(working);
    QCOMPARE(CDataFolder::StartedFromDesktop(folder, base.filePath(QStringLiteral("home"))), desktop);
}

void TestBackup::dataFolderGetsTheInstalledLayoutOnce()
{
    const QDir base(m_db->Folder());
    QVERIFY(base.mkpath(QStringLiteral("usr/bin")) && base.mkpath(QStringLiteral("usr/share/morvek")));
    WriteFile(base.filePath(QStringLiteral("usr/share/morvek/tmp.mvk")), "layout");
    const QString installed = CDataFolder::InstalledLayout(base.filePath(QStringLiteral("usr/bin")));
    QCOMPARE(ReadFile(installed), QByteArray("layout"));

    const QString previous = QDir::currentPath();
    const QString data = base.filePath(QStringLiteral("data/Morvek"));
    QVERIFY(CDataFolder::Enter(data, installed));
    QCOMPARE(QDir::currentPath(), QDir(data).canonicalPath());
    QCOMPARE(ReadFile(QStringLiteral("tmp.mvk")), QByteArray("layout"));
    // The user's own layout is never replaced.
    WriteFile(QStringLiteral("tmp.mvk"), "mine");
    QVERIFY(CDataFolder::Enter(data, installed));
    QCOMPARE(ReadFile(QStringLiteral("tmp.mvk")), QByteArray("mine"));
    QDir::setCurrent(previous);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
