// Two users of one register: what one writes reaches the other's CRegister::Changed
// with its kind and IDs, marked as made elsewhere; a lost server is told, writes
// are refused meanwhile, and the register is read again once it answers.
#include "rawconnection.h"
#include "register/changepayload.h"
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/history.h"
#include "register/registerexchange.h"
#include "register/registertransaction.h"
#include "register/registerwatch.h"
#include "register/register.h"
#include "register/uniteditor.h"
#include "register/units.h"
#include "store/changelog.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {
using EKind = SRegisterChange::EKind;

SUnitFields Named(const QString &name)
{
    SUnitFields fields;
    fields.strName = name;
    return fields;
}

// The other user: this program started again on the same register, doing one
// write through the register layer as a window would. Prints a new row's ID.
int OtherUser(const QStringList &arguments)
{
    CDaoRecordset::SetApplicationDatabasePath(arguments.value(0));
    const QString op = arguments.value(1);
    QList<qint32> values;
    for (const QString &value : arguments.mid(2))
        values.append(value.toInt());
    const auto first = values.value(0);
    qint32 made = 0;
    const auto rename = [](CMast01 &record) { record.m_Name = QStringLiteral("改名済"); };
    try {
        if (op == QLatin1String("renameUnit")) {
            CUnitEditor editor(first);
            SUnitFields fields = editor.Fields();
            fields.strName = QStringLiteral("新しい部");
            editor.Write(fields);
        } else if (op == QLatin1String("addUnit")) {
            made = CUnits::AddDepartment(first, Named(QStringLiteral("増えた部")));
        } else if (op == QLatin1String("deleteUnit")) {
            CUnits::Delete(first);
        } else if (op == QLatin1String("move")) {
            CEmployees::Move(values.mid(1), first);
        } else if (op == QLatin1String("release")) {
            CEmployees::Release(values);
        } else if (op == QLatin1String("addEmployee")) {
            CEmployeeEditor editor;
            editor.Open();
            made = editor.Add(
                [](CMast01 &record) {
                    record.m_Code = 900;
                    record.m_Name = QStringLiteral("新人");
                },
                {});
        } else if (op == QLatin1String("editEmployee") || op == QLatin1String("deleteEmployee")) {
            CEmployeeEditor editor;
            editor.Open();
            if (!editor.ShowById(first))
                return 3;
            op == QLatin1String("editEmployee") ? editor.Update(rename, std::nullopt) : editor.Delete();
        } else {
            return 2;
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("%d\n", made);
    return 0;
}
} // namespace

class TestRegisterWatch final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void othersWrite_data();
    void othersWrite();
    void anotherProgramsWrite_data();
    void anotherProgramsWrite();
    void manyChangesAtOnceReadAgain();
    void ownWritesAreNotHeardBack();
    void writeOfNothingIsNotHeard();
    void csvImportFromAScript();
    void payload_data();
    void payload();
    void longAnnouncementIsKept();
    void lostServer();

private:
    // Runs the other user; the new row's ID it printed.
    qint32 Other(const QString &op, const QList<qint32> &values);
    // The first change made elsewhere of that kind, waited for.
    std::optional<SRegisterChange> Heard(QSignalSpy &spy, EKind kind);
    // Every ID heard from elsewhere with that kind, once they include all of expected.
    QList<qint32> HeardIds(QSignalSpy &spy, EKind kind, const QList<qint32> &expected);
    // sql with {name} standing for the ID of that name.
    QString WithIds(QString sql) const;

    std::unique_ptr<CTempDatabase> m_pDatabase;
    QHash<QString, qint32> m_ids; // "c", "d1", "d2", "e1".."e3"
};

void TestRegisterWatch::initTestCase()
{
    MORVEK_REQUIRE_BACKEND();
    CRegister::Instance().Watch();
}

void TestRegisterWatch::cleanupTestCase()
{
    // The watch's own connection closes while the application still stands.
    CRegister::Instance().StopWatching();
}

void TestRegisterWatch::init()
{
    m_pDatabase = std::make_unique<CTempDatabase>();
    m_ids.clear();
    m_ids[QStringLiteral("c")] = CUnits::SaveCompany(1, Named(QStringLiteral("会社")));
    m_ids[QStringLiteral("d1")] = CUnits::AddDepartment(m_ids["c"], Named(QStringLiteral("一課")));
    m_ids[QStringLiteral("d2")] = CUnits::AddDepartment(m_ids["c"], Named(QStringLiteral("二課")));
    for (int i = 1; i <= 3; ++i)
        m_ids[QStringLiteral("e%1").arg(i)] = CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(i, m_ids["d1"]));
    // What the program itself wrote reached it already, not through the watch.
    QTest::qWait(2 * 250);
}

void TestRegisterWatch::cleanup()
{
    m_pDatabase.reset();
}

qint32 TestRegisterWatch::Other(const QString &op, const QList<qint32> &values)
{
    QStringList arguments{QStringLiteral("--other-user"), m_pDatabase->Path(), op};
    for (qint32 value : values)
        arguments << QString::number(value);
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), arguments);
    // The event loop runs meanwhile, as it does for a user who sits and watches.
    const bool ended = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000);
    [&] {
        QVERIFY(ended);
        QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    }();
    return process.readAllStandardOutput().trimmed().toInt();
}

std::optional<SRegisterChange> TestRegisterWatch::Heard(QSignalSpy &spy, EKind kind)
{
    std::optional<SRegisterChange> found;
    const bool heard = QTest::qWaitFor(
        [&] {
            for (const QList<QVariant> &signal : std::as_const(spy)) {
                const auto change = signal.at(0).value<SRegisterChange>();
                if (change.elsewhere && change.kind == kind) {
                    found = change;
                    return true;
                }
            }
            return false;
        },
        5000);
    return heard ? found : std::nullopt;
}

void TestRegisterWatch::othersWrite_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("names"); // of the IDs told; "new": what the other user made
    QTest::addColumn<QString>("unit");

    using L = QStringList;
    const auto kind = [](EKind k) { return int(k); };
    QTest::newRow("unit renamed") << "renameUnit" << L{"d1"} << kind(EKind::unitChanged) << L{"d1"} << "c";
    QTest::newRow("unit added") << "addUnit" << L{"c"} << kind(EKind::unitAdded) << L{"new"} << "c";
    QTest::newRow("unit deleted") << "deleteUnit" << L{"d2"} << kind(EKind::unitDeleted) << L{"d2"} << "c";
    QTest::newRow("its employees released")
        << "deleteUnit" << L{"d1"} << kind(EKind::employeesMoved) << L{"e1", "e2", "e3"} << "";
    QTest::newRow("employees moved") << "move" << L{"d2", "e1", "e3"} << kind(EKind::employeesMoved) << L{"e1", "e3"}
                                     << "d2";
    QTest::newRow("employee released") << "release" << L{"e2"} << kind(EKind::employeesMoved) << L{"e2"} << "";
    QTest::newRow("employee added") << "addEmployee" << L{} << kind(EKind::employeeAdded) << L{"new"} << "";
    QTest::newRow("employee edited") << "editEmployee" << L{"e3"} << kind(EKind::employeeChanged) << L{"e3"} << "";
    QTest::newRow("employee deleted") << "deleteEmployee" << L{"e1"} << kind(EKind::employeeDeleted) << L{"e1"} << "";
}

void TestRegisterWatch::othersWrite()
{
    QFETCH(QString, op);
    QFETCH(QStringList, values);
    QFETCH(int, kind);
    QFETCH(QStringList, names);
    QFETCH(QString, unit);
    QList<qint32> given;
    for (const QString &name : values)
        given << m_ids.value(name);
    QSignalSpy spy(&CRegister::Instance(), &CRegister::Changed);
    const qint32 made = Other(op, given);
    const std::optional<SRegisterChange> heard = Heard(spy, EKind(kind));
    QVERIFY(heard);
    QList<qint32> expected;
    for (const QString &name : names)
        expected << (name == QLatin1String("new") ? made : m_ids.value(name));
    QVERIFY(!expected.contains(0));
    QList<qint32> ids = heard->ids;
    std::sort(ids.begin(), ids.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(ids, expected);
    QCOMPARE(heard->unit, m_ids.value(unit));
    // Nothing of it was taken for the program's own.
    for (const QList<QVariant> &signal : std::as_const(spy))
        QVERIFY(signal.at(0).value<SRegisterChange>().elsewhere);
}

QList<qint32> TestRegisterWatch::HeardIds(QSignalSpy &spy, EKind kind, const QList<qint32> &expected)
{
    QList<qint32> ids;
    [[maybe_unused]] const bool all = QTest::qWaitFor(
        [&] {
            ids.clear();
            for (const QList<QVariant> &signal : std::as_const(spy)) {
                const auto change = signal.at(0).value<SRegisterChange>();
                if (change.elsewhere && change.kind == kind)
                    ids += change.ids;
            }
            return std::all_of(expected.cbegin(), expected.cend(), [&](qint32 id) { return ids.contains(id); });
        },
        5000);
    std::sort(ids.begin(), ids.end());
    return ids;
}

QString TestRegisterWatch::WithIds(QString sql) const
{
    for (auto it = m_ids.cbegin(); it != m_ids.cend(); ++it)
        sql.replace(u'{' + it.key() + u'}', QString::number(it.value()));
    return sql;
}

void TestRegisterWatch::anotherProgramsWrite_data()
{
    QTest::addColumn<QString>("sql"); // as sqlite3 or psql would run it
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("names"); // of the IDs told; "new": the row it added
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("field");     // of the history entry; empty for an entry of another kind
    QTest::addColumn<QString>("value");     // what it holds now
    QTest::addColumn<QStringList>("units"); // the entry's units before and after ("": none); empty: not asked

    using L = QStringList;
    const auto kind = [](EKind k) { return int(k); };
    QTest::newRow("renamed") << "UPDATE Mast01 SET Name = '改名' WHERE ID = {e1}" << kind(EKind::employeeChanged) << L{"e1"}
                             << ""
                             << "Name"
                             << "改名" << L{};
    QTest::newRow("two moved") << "UPDATE Mast01 SET Busyo = {d2} WHERE ID IN ({e1}, {e3})" << kind(EKind::employeesMoved)
                               << L{"e1", "e3"} << "d2"
                               << ""
                               << "" << L{"d1", "d2"};
    QTest::newRow("added") << "INSERT INTO Mast01 (Code, Busyo, Name) VALUES (77, {d1}, '外部')"
                           << kind(EKind::employeeAdded) << L{"new"} << ""
                           << ""
                           << "外部" << L{"", "d1"};
    QTest::newRow("deleted") << "DELETE FROM Mast01 WHERE ID = {e2}" << kind(EKind::employeeDeleted) << L{"e2"} << ""
                             << ""
                             << "" << L{"d1", ""};
    QTest::newRow("unit renamed") << "UPDATE Mast00 SET Name = '外部課' WHERE ID = {d1}" << kind(EKind::unitChanged)
                                  << L{"d1"} << "c"
                                  << "Name"
                                  << "外部課" << L{};
    QTest::newRow("unit added") << "INSERT INTO Mast00 (Parent, Code, Name) VALUES ({c}, 5, '新部')"
                                << kind(EKind::unitAdded) << L{"new"} << "c"
                                << ""
                                << "新部" << L{"", "c"};
}

// sqlite3, psql or a script: the windows hear what it changed, and the history
// keeps it as made by another program.
void TestRegisterWatch::anotherProgramsWrite()
{
    QFETCH(QString, sql);
    QFETCH(int, kind);
    QFETCH(QStringList, names);
    QFETCH(QString, unit);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QStringList, units);
    QSignalSpy spy(&CRegister::Instance(), &CRegister::Changed);
    const bool ofUnit = sql.contains(QLatin1String("Mast00"));
    qint32 made = 0;
    {
        CRawConnection raw(m_pDatabase->Path());
        raw.Exec(WithIds(sql));
        made = raw.Scalar(QStringLiteral("SELECT max(ID) FROM %1").arg(ofUnit ? "Mast00" : "Mast01")).toInt();
    }
    QList<qint32> expected;
    for (const QString &name : names)
        expected << (name == QLatin1String("new") ? made : m_ids.value(name));
    std::sort(expected.begin(), expected.end());
    QCOMPARE(HeardIds(spy, EKind(kind), expected), expected);
    const auto heard = Heard(spy, EKind(kind));
    QCOMPARE(heard->unit, m_ids.value(unit));

    const QList<SHistoryEntry> entries = ofUnit ? CHistory::OfUnit(expected.first())
                                                : CHistory::OfEmployee(expected.first());
    QVERIFY(!entries.isEmpty());
    const SHistoryEntry &entry = entries.first(); // the newest
    const QString who = CChangeLog::OtherProgram();
    QVERIFY2(m_pDatabase->OnServer() ? entry.strWho.startsWith(who + QStringLiteral(" (")) : entry.strWho == who,
             qPrintable(entry.strWho));
    QCOMPARE(entry.strField, field);
    if (!value.isEmpty())
        QCOMPARE(entry.strNew, value);
    if (!units.isEmpty()) {
        QCOMPARE(entry.nOldUnit, m_ids.value(units.at(0)));
        QCOMPARE(entry.nNewUnit, m_ids.value(units.at(1)));
    }
    QCOMPARE(entry.when.date(), QDate::currentDate());
}

// Past what the journal keeps, or a notification holds: every window reads again.
void TestRegisterWatch::manyChangesAtOnceReadAgain()
{
    QSignalSpy spy(&CRegister::Instance(), &CRegister::Changed);
    {
        CRawConnection raw(m_pDatabase->Path());
        raw.Exec(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Name) WITH RECURSIVE n(c) AS "
                                "(SELECT 1000 UNION ALL SELECT c + 1 FROM n WHERE c < 3000) SELECT c, 0, 'x' FROM n"));
    }
    QVERIFY(Heard(spy, EKind::everything));
}

// What the program wrote reached its windows as it was kept; hearing it again would read it twice.
void TestRegisterWatch::ownWritesAreNotHeardBack()
{
    QSignalSpy spy(&CRegister::Instance(), &CRegister::Changed);
    CEmployees::Release({m_ids["e1"]});
    CEmployeeEditor editor;
    editor.Open();
    QVERIFY(editor.ShowById(m_ids["e2"]));
    QVERIFY(editor.Update([](CMast01 &record) { record.m_Name = QStringLiteral("自分で"); }, std::nullopt));
    // On a connection of its own, as an import may write: the file's change counter moves.
    {
        CDaoDatabase own;
        own.Open(m_pDatabase->Path());
        CRegisterExchange exchange(own);
        exchange.Begin();
        exchange.WriteEmployee(m_ids["e3"], 3, [](CMast01 &record) { record.m_Kana = QStringLiteral("じぶん"); });
        exchange.Commit();
    }
    QTest::qWait(6 * CRegisterWatch::kPollMilliseconds);
    QVERIFY(spy.size() >= 2);
    for (const QList<QVariant> &signal : std::as_const(spy))
        QVERIFY(!signal.at(0).value<SRegisterChange>().elsewhere);
}

// A write of another Morvek that changed nothing a window shows (its folded names
// made anew, say): no window reads again.
void TestRegisterWatch::writeOfNothingIsNotHeard()
{
    if (m_pDatabase->OnServer())
        QSKIP("a server tells only of what a write notified");
    QSignalSpy spy(&CRegister::Instance(), &CRegister::Changed);
    {
        CRawConnection raw(m_pDatabase->Path());
        raw.Exec(QStringLiteral("UPDATE Mast01Fold SET Words = Words || '' WHERE ID = 0"));
    }
    QTest::qWait(6 * CRegisterWatch::kPollMilliseconds);
    QCOMPARE(spy.size(), 0);
}

void TestRegisterWatch::csvImportFromAScript()
{
    const QString folder = m_pDatabase->Folder() + QStringLiteral("/csv");
    const auto run = [&](const char *option) {
        QProcess program;
        program.setStandardOutputFile(QProcess::nullDevice());
        program.start(QStringLiteral(MORVEK_PROGRAM),
                      {QString::fromLatin1(option), folder, QStringLiteral("--database"), m_pDatabase->Path()});
        return program.waitForFinished(60000) ? program.exitCode() : -1;
    };
    QCOMPARE(run("--export-csv"), 0);
    // One name corrected in the files, as a script would.
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.csv")})) {
        const QString path = QDir(folder).filePath(name);
        WriteFile(path,
                  QString::fromUtf8(ReadFile(path)).replace(QStringLiteral("社員1"), QStringLiteral("別人1")).toUtf8());
    }
    QSignalSpy spy(&CRegister::Instance(), &CRegister::Changed);
    QCOMPARE(run("--import-csv"), 0);
    QVERIFY(Heard(spy, EKind::everything));
}

void TestRegisterWatch::payload_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<int>("kind");
    QTest::newRow("told whole") << 100 << qsizetype(7999) << int(EKind::employeesMoved);
    QTest::newRow("too long for the server") << 2000 << qsizetype(7999) << int(EKind::everything);
    QTest::newRow("a file takes it") << 2000 << qsizetype(1 << 20) << int(EKind::employeesMoved);
    QTest::newRow("lines too long together") << 1600 << qsizetype(7999) << int(EKind::everything);
}

void TestRegisterWatch::payload()
{
    QFETCH(int, count);
    QFETCH(qsizetype, limit);
    QFETCH(int, kind);
    QList<qint32> ids;
    for (int i = 0; i < count; ++i)
        ids << 100000 + i;
    // Three lines, each below the server's limit up to 2000.
    const QList<qint32> half = ids.mid(0, count / 2);
    const QString text = CChangePayload::Encode(
        {{EKind::unitChanged, {7}, 0}, {EKind::employeesMoved, half, 12}, {EKind::employeesMoved, ids.mid(count / 2), 12}},
        limit);
    QVERIFY(text.toUtf8().size() <= limit);
    const QList<SRegisterChange> changes = CChangePayload::Decode(text);
    QCOMPARE(int(changes.last().kind), kind);
    QVERIFY(changes.last().elsewhere);
    if (EKind(kind) != EKind::everything) {
        QCOMPARE(changes.size(), 3);
        QCOMPARE(changes.first().ids, QList<qint32>{7});
        QCOMPARE(changes.at(1).ids + changes.last().ids, ids);
        QCOMPARE(changes.last().unit, 12);
    }
    QCOMPARE(int(CChangePayload::Decode(QStringLiteral("moved? 1")).value(0).kind), int(EKind::everything));
}

// Changes that together pass what one notification holds are still kept, told as everything.
void TestRegisterWatch::longAnnouncementIsKept()
{
    CRegisterTransaction transaction;
    for (int line = 0; line < 6; ++line) {
        QList<qint32> ids;
        for (int i = 0; i < 300; ++i)
            ids << 1000000 + line * 1000 + i;
        transaction.Note({EKind::employeesMoved, ids, m_ids["d2"]});
    }
    transaction.Note({EKind::employeeChanged, {m_ids["e1"]}, 0});
    transaction.Commit();
}

void TestRegisterWatch::lostServer()
{
    const QByteArray data = qgetenv("MORVEK_PGDATA");
    if (!m_pDatabase->OnServer())
        QSKIP("a file has no server to lose");
    if (data.isEmpty())
        QSKIP("needs the throw-away server of scripts/pgserver.sh (MORVEK_PGDATA)");
    const auto server = [&](const char *what) {
        return QProcess::execute(QStringLiteral("bash"), {QStringLiteral(MORVEK_PGSERVER), QString::fromLatin1(what),
                                                          QString::fromLocal8Bit(data)});
    };
    QSignalSpy states(&CRegister::Instance(), &CRegister::ConnectionChanged);
    QSignalSpy changes(&CRegister::Instance(), &CRegister::Changed);
    // The master form stays open on an employee all along.
    CEmployeeEditor editor;
    editor.Open();
    QVERIFY(editor.ShowById(m_ids["e2"]));
    const auto rename = [](CMast01 &record) { record.m_Name = QStringLiteral("再接続後"); };
    QCOMPARE(server("halt"), 0);
    QTRY_VERIFY(!CRegister::Instance().IsConnected());
    QCOMPARE(states.first().at(0).toBool(), false);
    const auto refused = [](const std::function<void()> &write) {
        try {
            write();
        } catch (const CDaoException &error) {
            return error.GetErrorMessage();
        }
        return QStringLiteral("written");
    };
    QCOMPARE(refused([&] { CEmployees::Release({m_ids["e1"]}); }), CRegister::LostText());
    QCOMPARE(refused([&] { editor.Update(rename, std::nullopt); }), CRegister::LostText());
    QCOMPARE(editor.ShownID(), m_ids["e2"]);
    QCOMPARE(server("resume"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(CRegister::Instance().IsConnected(), 20000);
    QVERIFY(Heard(changes, EKind::everything));
    // The form's first save after the server came back is written.
    QVERIFY(editor.Update(rename, std::nullopt));
    {
        CRawConnection raw(m_pDatabase->Path());
        QCOMPARE(raw.Scalar(QStringLiteral("SELECT Name FROM Mast01 WHERE ID = %1").arg(m_ids["e2"])).toString(),
                 QStringLiteral("再接続後"));
    }
    // The new connection writes and hears as the old one did.
    QCOMPARE(CEmployees::Release({m_ids["e1"]}), QList<qint32>{m_ids["e1"]});
    changes.clear();
    Other(QStringLiteral("renameUnit"), {m_ids["d1"]});
    QVERIFY(Heard(changes, EKind::unitChanged));
}

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--other-user") == 0) {
        QCoreApplication app(argc, argv);
        return OtherUser(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    TestRegisterWatch test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registerwatch.moc"
