// A reading suggested for a full name, as the master form asks when 氏名 is left, and
// the first one, which opens the dictionary.
#include "kana/readingsuggester.h"

#include <benchmark/benchmark.h>

namespace {
const char16_t *const kNames[] = {u"山田 太郎", u"佐々木 真由美", u"長谷川 翔太", u"五十嵐 健一"};

void BM_FirstSuggestion(benchmark::State &state)
{
    for (auto _ : state) {
        const CReadingSuggester suggester;
        benchmark::DoNotOptimize(suggester.Suggest(QString::fromUtf16(kNames[0])));
    }
}
BENCHMARK(BM_FirstSuggestion)->Unit(benchmark::kMillisecond);

void BM_Suggestion(benchmark::State &state)
{
    const CReadingSuggester &suggester = CReadingSuggester::Instance();
    if (!suggester.IsAvailable()) {
        state.SkipWithError("no dictionary");
        return;
    }
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(suggester.Suggest(QString::fromUtf16(kNames[i++ % std::size(kNames)])));
}
BENCHMARK(BM_Suggestion)->Unit(benchmark::kMicrosecond);
} // namespace
