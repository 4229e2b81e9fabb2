// 名前で検索 on 100,000 employees in 1,000 units with 30 KB photos: from a keystroke
// (the field's text changing) to the filled result list, for one, two and three
// characters, beside a plain LIKE '%…%' scan of Mast01 giving the same answer
// (the first 200 by code and how many match) in the same run. The register is
// kept in $MORVEK_BENCH_DIR (default: a temporary folder) as names100k.mdb.
// MORVEK_NAMESEARCH_DATABASE names another register instead, a server's say (filled
// by "morvek --import-csv" from an export of that file); the plain scan is the file's only.
#include "employee/namesearchdlg.h"
#include "register/nameindex.h"
#include "register/namesearch.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daorecordset.h"
#include "store/namefold.h"
#include "support/registergenerator.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {
// Readings of the generated register are family and given names in hiragana.
const char16_t *const kQueries[] = {u"た", u"たな", u"たなか"};

QString Register()
{
    if (const QString named = qEnvironmentVariable("MORVEK_NAMESEARCH_DATABASE"); !named.isEmpty()) {
        CDaoRecordset::SetApplicationDatabasePath(named);
        return named;
    }
    static QTemporaryDir temp;
    const QString dir = qEnvironmentVariable("MORVEK_BENCH_DIR", temp.path());
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/names100k.mdb");
    if (!QFile::exists(path)) {
        CRegisterGenerator::SOptions options;
        options.nEmployees = 100000;
        options.nUnits = 1000;
        options.nPhotoSide = 100;
        CRegisterGenerator::Generate(path, options);
    }
    CDaoRecordset::SetApplicationDatabasePath(path);
    return path;
}

QString Query(const benchmark::State &state)
{
    return QString::fromUtf16(kQueries[state.range(0) - 1]);
}

long StatusKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The keystroke brings the field from empty to the query; the list is filled when setText returns.
void BM_NameSearchKeystroke(benchmark::State &state)
{
    Register();
    const QString query = Query(state);
    CNameSearchDlg dlg;
    dlg.show();
    dlg.GetText()->setText(query); // the index is read at the first search
    for (auto _ : state) {
        state.PauseTiming();
        dlg.GetText()->clear();
        state.ResumeTiming();
        dlg.GetText()->setText(query);
        benchmark::DoNotOptimize(dlg.GetList()->topLevelItemCount());
    }
    state.counters["listed"] = dlg.GetList()->topLevelItemCount();
    state.counters["matching"] = double(CNameSearch::Find(query).nMore + dlg.GetList()->topLevelItemCount());
}

// Of that: the register layer's answer (the walk in memory, the 200 rows and their units' paths).
void BM_NameSearchFind(benchmark::State &state)
{
    Register();
    const QString query = Query(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(CNameSearch::Find(query));
}

// Of that: the walk through the folded names in memory alone.
void BM_NameIndexMatch(benchmark::State &state)
{
    Register();
    const QString folded = CNameFold::Fold(Query(state));
    const auto db = CRegister::Connection();
    int total = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(CNameIndex::Instance().Match(*db, folded, CNameSearch::kShown, &total));
    state.counters["matching"] = total;
}

// Plain SQLite over Mast01: the same first 200 by code and the count, in one scan.
void BM_PlainLikeScan(benchmark::State &state)
{
    const QString path = Register();
    if (path.contains(QLatin1String("://"))) {
        state.SkipWithError("the plain scan reads a file");
        return;
    }
    const QString pattern = QLatin1Char('%') + Query(state) + QLatin1Char('%');
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT ID, Code, Name, Kana, Busyo, count(*) OVER () FROM Mast01 "
                                 "WHERE Name LIKE ? OR Kana LIKE ? ORDER BY Code, ID LIMIT 200"));
        int rows = 0;
        qint64 matching = 0;
        for (auto _ : state) {
            q.addBindValue(pattern);
            q.addBindValue(pattern);
            q.exec();
            rows = 0;
            while (q.next()) {
                ++rows;
                matching = q.value(5).toLongLong();
            }
        }
        state.counters["listed"] = rows;
        state.counters["matching"] = double(matching);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
}

// The first search after start or after another program wrote: the index read whole.
void BM_NameIndexRead(benchmark::State &state)
{
    Register();
    const long before = StatusKilobytes("VmRSS:");
    for (auto _ : state) {
        CNameIndex::Instance().Forget();
        benchmark::DoNotOptimize(CNameSearch::Find(QStringLiteral("たなか")));
    }
    state.counters["index_MB"] = double(StatusKilobytes("VmRSS:") - before) / 1024.0;
    state.counters["peak_MB"] = double(StatusKilobytes("VmHWM:")) / 1024.0;
}
} // namespace

BENCHMARK(BM_NameSearchKeystroke)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameSearchFind)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameIndexMatch)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLikeScan)->DenseRange(1, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameIndexRead)->Iterations(3)->Unit(benchmark::kMillisecond);
