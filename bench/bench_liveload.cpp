// Many users on one register at once: N clients, each a process of its own holding
// its own connection and watching the register as the program does, move employees
// between units, correct names and read unit lists at a set rate for a fixed time.
// Reports writes per second, the 50th and 99th percentile of a write and of a unit
// list, the corrections refused as conflicts, and how long until the other clients
// heard of a write; then checks that the tables hold exactly what the acknowledged
// writes add up to.
//   MORVEK_TEST_PGURI=postgresql://... bench_liveload [seconds]   (its database is emptied)
// Without a server only the file register is measured.
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/register.h"
#include "store/changechannel.h"
#include "store/daobackend.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/foldednames.h"
#include "store/mast01.h"
#include "store/schema.h"
#include "support/registergenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {
constexpr int kEmployees = 100000;
constexpr int kUnits = 200;
constexpr int kCompanies = 10;
constexpr int kHotEmployees = 2000;   // names are corrected among these, by every client
constexpr int kTickMilliseconds = 50; // one operation per tick and client
constexpr int kListenAfterMilliseconds = 1500;

qint64 Now()
{
    // CLOCK_MONOTONIC: the same clock in every process of the machine.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// ---- a client ----

struct SClient {
    int index = 0;
    int count = 1;
    QTextStream *out = nullptr;
    QRandomGenerator random;
    CEmployeeEditor editor;
    qint32 shown = 0; // a correction begun at the last tick, written at this one
    QString shownName;
    int seq = 0;
    QString run; // names written are unique across runs
};

qint32 Department(QRandomGenerator &random)
{
    return kCompanies + 1 + int(random.bounded(kUnits - kCompanies));
}

void Move(SClient &c)
{
    // Each client moves its own employees: the last acknowledged move of each is then known.
    const qint32 id = 1 + c.index + c.count * int(c.random.bounded(kEmployees / c.count));
    const qint32 unit = Department(c.random);
    const qint64 start = Now();
    if (CEmployees::Move({id}, unit) != CEmployees::EMove::moved)
        return;
    const qint64 done = Now();
    *c.out << "write " << (done - start) / 1000 << "\nmove " << id << ' ' << unit << ' ' << start << ' ' << done << '\n';
}

void Correct(SClient &c)
{
    if (c.shown == 0) {
        // Shown now, written at the next tick, as a user types in between.
        const qint32 id = 1 + int(c.random.bounded(kHotEmployees));
        if (c.editor.ShowById(id)) {
            c.shown = id;
            c.shownName = c.editor.Record().m_Name;
        }
        return;
    }
    const QString name = QStringLiteral("%1-%2-%3").arg(c.run).arg(c.index).arg(++c.seq);
    const qint32 id = std::exchange(c.shown, 0);
    const qint64 start = Now();
    try {
        if (!c.editor.Update([&name](CMast01 &record) { record.m_Name = name; }, std::nullopt))
            return;
    } catch (const CDaoException &error) {
        if (!error.IsConflict())
            throw;
        *c.out << "conflict\n";
        return;
    }
    const qint64 done = Now();
    *c.out << "write " << (done - start) / 1000 << "\nedit " << id << ' ' << c.shownName << ' ' << name << ' ' << start
           << ' ' << done << '\n';
}

void List(SClient &c)
{
    const qint64 start = Now();
    const auto rows = CEmployees::OfUnit(Department(c.random));
    *c.out << "list " << (Now() - start) / 1000 << ' ' << rows.size() << '\n';
}

void Tick(SClient &c)
{
    try {
        if (c.shown != 0)
            return Correct(c);
        const quint32 pick = c.random.bounded(10);
        if (pick < 4)
            Move(c);
        else if (pick < 7)
            Correct(c);
        else
            List(c);
    } catch (const std::exception &error) {
        *c.out << "error " << QString::fromUtf8(error.what()).simplified() << '\n';
    }
}

void Heard(QTextStream &out, const SRegisterChange &change)
{
    if (!change.elsewhere)
        return;
    const qint64 now = Now();
    using EKind = SRegisterChange::EKind;
    for (qint32 id : change.ids) {
        if (change.kind == EKind::employeesMoved)
            out << "heard m:" << id << ':' << change.unit << ' ' << now << '\n';
        else if (change.kind == EKind::employeeChanged)
            out << "heard e:" << id << ' ' << now << '\n';
    }
    if (change.kind == EKind::everything)
        out << "everything\n";
}

int RunClient(const QStringList &a)
{
    // database index count startAt(ns) milliseconds results
    QFile file(a.value(5));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    QTextStream out(&file);
    SClient c;
    c.index = a.value(1).toInt();
    c.count = a.value(2).toInt();
    c.out = &out;
    const qint64 startAt = a.value(3).toLongLong();
    c.run = QString::number(startAt / 1000000 % 100000, 36);
    c.random.seed(quint32(startAt / 1000000) + quint32(c.index));
    CDaoRecordset::SetApplicationDatabasePath(a.value(0));
    c.editor.Open();
    CRegister::Instance().Watch();
    QObject::connect(&CRegister::Instance(), &CRegister::Changed,
                     [&out](const SRegisterChange &change) { Heard(out, change); });
    const qint64 endAt = startAt + a.value(4).toLongLong() * 1000000000;
    while (Now() < startAt)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QTimer tick;
    tick.setInterval(kTickMilliseconds);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (Now() < endAt)
            return Tick(c);
        tick.stop();
        QTimer::singleShot(kListenAfterMilliseconds, qApp, &QCoreApplication::quit);
    });
    // Spread over the tick, so that the clients do not all write at once.
    QTimer::singleShot(kTickMilliseconds * c.index / c.count, &tick, qOverload<>(&QTimer::start));
    QCoreApplication::exec();
    c.editor.Close();
    CRegister::Instance().StopWatching();
    out.flush();
    return 0;
}

// ---- the run ----

struct SWrite {
    QString key;
    qint64 start = 0;
    qint64 done = 0;
    int client = 0;
};

struct SEdit {
    QString from;
    QString to;
};

struct SState {
    qint32 busyo = 0;
    QString name;
    bool operator==(const SState &) const = default;
};

QHash<qint32, SState> ReadState(const QString &database)
{
    const bool server = database.startsWith(QLatin1String("postgresql://"));
    QHash<qint32, SState> state;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
                                                    QStringLiteral("state"));
        if (server) {
            const QUrl url(database);
            db.setHostName(url.host());
            db.setPort(url.port(5432));
            db.setUserName(url.userName());
            db.setPassword(url.password());
            db.setDatabaseName(url.path().mid(1));
        } else {
            db.setDatabaseName(database);
        }
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(QStringLiteral("SELECT ID, Busyo, Name FROM Mast01"));
        while (q.next())
            state.insert(q.value(0).toInt(), {q.value(1).toInt(), q.value(2).toString()});
    }
    QSqlDatabase::removeDatabase(QStringLiteral("state"));
    return state;
}

qint64 Percentile(QList<qint64> values, double p)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    return values.at(std::min<qsizetype>(values.size() - 1, qsizetype(p * double(values.size()))));
}

QString Ms(qint64 microseconds)
{
    return microseconds < 0 ? QStringLiteral("-") : QString::number(double(microseconds) / 1000.0, 'f', 1);
}

struct SResult {
    QString engine;
    int clients = 0;
    double writesPerSecond = 0;
    qint64 writeP50 = -1, writeP99 = -1, listP50 = -1, listP99 = -1, heardP50 = -1, heardP99 = -1;
    int conflicts = 0;
    int errors = 0;
    int unheard = 0;
    int everything = 0;
    int mismatches = 0;
    int writes = 0;
};

SResult Run(const QString &engine, const QString &database, int clients, int seconds, const QString &folder)
{
    const QHash<qint32, SState> before = ReadState(database);
    const qint64 startAt = Now() + qint64(3000 + 150 * clients) * 1000000;
    QList<QProcess *> processes;
    for (int i = 0; i < clients; ++i) {
        auto *process = new QProcess;
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--client"), database, QString::number(i), QString::number(clients),
                        QString::number(startAt), QString::number(seconds),
                        QDir(folder).filePath(QStringLiteral("client%1.txt").arg(i))});
        processes << process;
    }
    for (QProcess *process : processes) {
        process->waitForFinished(-1);
        delete process;
    }
    SResult r{engine, clients};
    QList<qint64> writes, lists;
    QList<SWrite> acked;
    QList<QHash<QString, QList<qint64>>> heard(clients);
    QHash<qint32, QList<SEdit>> edits;
    QHash<qint32, qint32> lastMove;
    for (int i = 0; i < clients; ++i) {
        QFile file(QDir(folder).filePath(QStringLiteral("client%1.txt").arg(i)));
        file.open(QIODevice::ReadOnly);
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QStringList f = in.readLine().split(u' ');
            const QString &what = f.value(0);
            if (what == QLatin1String("write"))
                writes << f.value(1).toLongLong();
            else if (what == QLatin1String("list"))
                lists << f.value(1).toLongLong();
            else if (what == QLatin1String("conflict"))
                ++r.conflicts;
            else if (what == QLatin1String("error"))
                ++r.errors;
            else if (what == QLatin1String("everything"))
                ++r.everything;
            else if (what == QLatin1String("move")) {
                lastMove[f.value(1).toInt()] = f.value(2).toInt();
                acked << SWrite{QStringLiteral("m:%1:%2").arg(f.value(1), f.value(2)), f.value(3).toLongLong(),
                                f.value(4).toLongLong(), i};
            } else if (what == QLatin1String("edit")) {
                edits[f.value(1).toInt()] << SEdit{f.value(2), f.value(3)};
                acked << SWrite{QStringLiteral("e:%1").arg(f.value(1)), f.value(4).toLongLong(), f.value(5).toLongLong(),
                                i};
            } else if (what == QLatin1String("heard")) {
                heard[i][f.value(1)] << f.value(2).toLongLong();
            }
        }
    }
    r.writes = int(acked.size());
    r.writesPerSecond = double(acked.size()) / seconds;
    r.writeP50 = Percentile(writes, 0.5);
    r.writeP99 = Percentile(writes, 0.99);
    r.listP50 = Percentile(lists, 0.5);
    r.listP99 = Percentile(lists, 0.99);
    // The first time each other client heard of the write after it began.
    QList<qint64> delays;
    for (const SWrite &write : std::as_const(acked)) {
        for (int other = 0; other < clients; ++other) {
            if (other == write.client)
                continue;
            const QList<qint64> times = heard[other].value(write.key);
            const auto it = std::find_if(times.cbegin(), times.cend(), [&](qint64 t) { return t >= write.start; });
            if (it == times.cend())
                ++r.unheard;
            else
                delays << std::max<qint64>(0, *it - write.done) / 1000;
        }
    }
    r.heardP50 = Percentile(delays, 0.5);
    r.heardP99 = Percentile(delays, 0.99);
    // What the tables must hold: the first state, each client's last move of its own
    // employees, and each name's chain of accepted corrections followed to its end.
    QHash<qint32, SState> expected = before;
    for (auto it = lastMove.cbegin(); it != lastMove.cend(); ++it)
        expected[it.key()].busyo = it.value();
    for (auto it = edits.cbegin(); it != edits.cend(); ++it) {
        QHash<QString, QString> next;
        for (const SEdit &edit : it.value())
            next.insert(edit.from, edit.to);
        QString name = expected[it.key()].name;
        int steps = 0;
        while (next.contains(name) && steps <= it.value().size())
            name = next.value(name), ++steps;
        if (steps != it.value().size())
            ++r.mismatches; // an accepted correction that is not in the chain was lost
        expected[it.key()].name = name;
    }
    const QHash<qint32, SState> after = ReadState(database);
    if (after.size() != expected.size())
        ++r.mismatches;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (after.value(it.key()) != it.value())
            ++r.mismatches;
    }
    return r;
}

// What the idle look of a client costs: the file's change counter, or the listening socket.
void TimePoll(const QString &database)
{
    constexpr int kPolls = 2000;
    auto db = CDaoDatabasePool::Acquire(database);
    const CDaoBackend &backend = db->Backend();
    const std::unique_ptr<CChangeChannel> channel = backend.Listen(std::move(db));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPolls; ++i)
        channel->Poll();
    std::printf("idle look on %s: %.1f us\n", qPrintable(backend.Shown(database)),
                double(timer.nsecsElapsed()) / 1000.0 / kPolls);
}

void Print(const SResult &r)
{
    std::printf("| %-10s | %2d | %7.1f | %6s | %6s | %6s | %6s | %5d | %6s | %6s | %4d | %4d | %4d |\n",
                qPrintable(r.engine), r.clients, r.writesPerSecond, qPrintable(Ms(r.writeP50)), qPrintable(Ms(r.writeP99)),
                qPrintable(Ms(r.listP50)), qPrintable(Ms(r.listP99)), r.conflicts, qPrintable(Ms(r.heardP50)),
                qPrintable(Ms(r.heardP99)), r.unheard, r.errors, r.mismatches);
    std::fflush(stdout);
}

void EmptyServer(const QString &uri)
{
    {
        const QUrl url(uri);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("empty"));
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        QSqlQuery q(db);
        if (!db.open() || !q.exec(QStringLiteral("DROP SCHEMA public CASCADE"))
            || !q.exec(QStringLiteral("CREATE SCHEMA public")))
            qFatal("%s", qPrintable(db.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("empty"));
}

void Generate(const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    CRegisterGenerator::SOptions options;
    options.nEmployees = kEmployees;
    options.nUnits = kUnits;
    options.nCompanies = kCompanies;
    options.nPhotoSide = 0;
    CRegisterGenerator::Generate(file, options);
    std::printf("register of %d employees made in %.1f s\n", kEmployees, double(timer.elapsed()) / 1000.0);
}

// The generated file's rows into the server's fresh tables in ID order, so that the
// server numbers them alike; many rows a statement.
void CopyRows(QSqlDatabase from, QSqlDatabase to, const QString &table, const QStringList &columns)
{
    constexpr int kRowsPerStatement = 500;
    QSqlQuery read(from);
    read.setForwardOnly(true);
    if (!read.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY ID").arg(columns.join(u','), table)))
        qFatal("%s", qPrintable(read.lastError().text()));
    const QString row = QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(u',') + u')';
    QList<QVariantList> rows;
    const auto flush = [&] {
        if (rows.isEmpty())
            return;
        QSqlQuery write(to);
        write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                          .arg(table, columns.join(u','), QStringList(rows.size(), row).join(u',')));
        for (const QVariantList &values : std::as_const(rows))
            for (const QVariant &value : values)
                write.addBindValue(value);
        if (!write.exec())
            qFatal("%s", qPrintable(write.lastError().text()));
        rows.clear();
    };
    while (read.next()) {
        QVariantList values;
        for (int i = 0; i < columns.size(); ++i)
            values << read.value(i);
        rows << values;
        if (rows.size() == kRowsPerStatement)
            flush();
    }
    flush();
}

void CopyToServer(const QString &file, const QString &uri)
{
    QElapsedTimer timer;
    timer.start();
    CSchema::CreateDatabaseFile(uri);
    {
        CDaoDatabase source;
        source.Open(file);
        CDaoDatabase target;
        target.Open(uri);
        QSqlDatabase to = target.Connection();
        to.transaction();
        CopyRows(source.Connection(), to, QStringLiteral("Mast00"), {"Parent", "Code", "Name", "Yuu", "Juu1", "TEL"});
        CopyRows(source.Connection(), to, QStringLiteral("Mast01"),
                 {"Code", "Busyo", "Sex", "Name", "Kana", "Sdate", "Indat", "Outdat", "Yuu", "Juu1", "TEL", "Mem"});
        to.commit();
        CFoldedNames::Ensure(target);
    }
    std::printf("copied to the server in %.1f s\n", double(timer.elapsed()) / 1000.0);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == QLatin1String("--client"))
        return RunClient(arguments.mid(2));
    const int seconds = arguments.size() > 1 ? arguments.value(1).toInt() : 15;
    QTemporaryDir folder;
    std::printf("%d s per run, each client one operation every %d ms: 40%% moves, 30%% name corrections "
                "(shown, then written a tick later), 30%% unit lists\n",
                seconds, kTickMilliseconds);
    std::printf("| register   |  N | writes/s | write p50 ms | p99 | list p50 ms | p99 | conflicts | heard p50 ms "
                "| p99 | unheard | errors | lost |\n");
    const QString file = QDir(folder.path()).filePath(QStringLiteral("load.mdb"));
    Generate(file);
    TimePoll(file);
    const QString uri = qEnvironmentVariable("MORVEK_TEST_PGURI");
    if (!uri.isEmpty()) {
        EmptyServer(uri);
        CopyToServer(file, uri);
        TimePoll(uri);
        for (int clients : {1, 5, 20})
            Print(Run(QStringLiteral("PostgreSQL"), uri, clients, seconds, folder.path()));
    }
    for (int clients : {1, 2})
        Print(Run(QStringLiteral("file"), file, clients, seconds, folder.path()));
    return 0;
}
