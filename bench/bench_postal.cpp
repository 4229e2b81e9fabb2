// The postal data at the national file's size (124,000 lines of KEN_ALL.CSV, Shift_JIS,
// plain and zipped): loading it into the kept file, a lookup by code, and the search
// by address that F10 makes.
#include "postal/postaldirectory.h"
#include "support/postalfilebuilder.h"

#include <benchmark/benchmark.h>

#include <QSettings>
#include <QTemporaryDir>

namespace {
constexpr int kLines = 124000;

struct SNational {
    QTemporaryDir dir;
    QString plain;
    QString zipped;
    QStringList codes; // a spread of the file's codes

    SNational()
    {
        const CPostalFileBuilder file = CPostalFileBuilder::Synthetic(kLines);
        const QByteArray bytes = file.ShiftJis();
        plain = dir.filePath(QStringLiteral("KEN_ALL.CSV"));
        QFile out(plain);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
        out.close();
        zipped = CPostalFileBuilder::WriteZip(dir.filePath(QStringLiteral("ken_all.zip")), QStringLiteral("KEN_ALL.CSV"),
                                              bytes);
        for (const QString &line : file.Text().split(QStringLiteral("\r\n"))) {
            const QString code = line.section(QLatin1Char(','), 2, 2).remove(QLatin1Char('"'));
            if (!code.isEmpty() && codes.size() < 1000 && line.size() % 7 == 0)
                codes << code;
        }
    }
};

SNational &National()
{
    static SNational national;
    return national;
}

void Load(benchmark::State &state, bool zipped)
{
    SNational &national = National();
    CPostalDirectory postal(national.dir.filePath(QStringLiteral("kept.dat")));
    for (auto _ : state) {
        QString error;
        if (!postal.Load(zipped ? national.zipped : national.plain, error))
            state.SkipWithError(qPrintable(error));
    }
    state.counters["lines"] = kLines;
}

void BM_LoadPlain(benchmark::State &state)
{
    Load(state, false);
}
BENCHMARK(BM_LoadPlain)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadZipped(benchmark::State &state)
{
    Load(state, true);
}
BENCHMARK(BM_LoadZipped)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first lookup opens the kept file; the later ones only look.
void BM_FirstLookup(benchmark::State &state)
{
    SNational &national = National();
    const QString kept = national.dir.filePath(QStringLiteral("first.dat"));
    QString error;
    if (!CPostalDirectory(kept).Load(national.plain, error))
        state.SkipWithError(qPrintable(error));
    for (auto _ : state) {
        CPostalDirectory postal(kept);
        benchmark::DoNotOptimize(postal.Find(national.codes.constFirst()));
    }
}
BENCHMARK(BM_FirstLookup)->Unit(benchmark::kMicrosecond);

void BM_Lookup(benchmark::State &state)
{
    SNational &national = National();
    CPostalDirectory postal(national.dir.filePath(QStringLiteral("lookup.dat")));
    QString error;
    if (!postal.Load(national.plain, error))
        state.SkipWithError(qPrintable(error));
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(postal.Find(national.codes.at(i++ % national.codes.size())));
}
BENCHMARK(BM_Lookup)->Unit(benchmark::kMicrosecond);

// As the forms ask: the place beside the settings, found again at each lookup.
void BM_LookupBesideSettings(benchmark::State &state)
{
    SNational &national = National();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, national.dir.filePath(QStringLiteral("settings")));
    QString error;
    if (!CPostalDirectory::Shared().Load(national.plain, error))
        state.SkipWithError(qPrintable(error));
    qsizetype i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(CPostalDirectory::Shared().Find(national.codes.at(i++ % national.codes.size())));
}
BENCHMARK(BM_LookupBesideSettings)->Unit(benchmark::kMicrosecond);

void BM_FindByAddress(benchmark::State &state)
{
    SNational &national = National();
    CPostalDirectory postal(national.dir.filePath(QStringLiteral("address.dat")));
    QString error;
    if (!postal.Load(national.plain, error))
        state.SkipWithError(qPrintable(error));
    for (auto _ : state)
        benchmark::DoNotOptimize(postal.FindByAddress(QStringLiteral("沖縄県第3000市本町120000 1-2-3")));
}
BENCHMARK(BM_FindByAddress)->Unit(benchmark::kMillisecond);
} // namespace
