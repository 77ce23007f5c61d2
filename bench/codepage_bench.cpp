// The code-page routines run for every string of a drawing; these measure
// the plain-ASCII path and the iconv path on strings of typical length.
#include <benchmark/benchmark.h>

#include "support/Func_2.h"

namespace {

const std::u16string kAscii = u"LAYER-01 A1 1:100";
const std::u16string kJapanese = u"平面図 1階 倉庫";

void BM_EncodeAscii(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(TextToAnsiBytes(kAscii));
}
void BM_EncodeJapanese(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(TextToAnsiBytes(kJapanese));
}
void BM_DecodeAscii(benchmark::State& State) {
  const Bytes B = TextToAnsiBytes(kAscii);
  for (auto _ : State) benchmark::DoNotOptimize(AnsiBytesToText(B));
}
void BM_DecodeJapanese(benchmark::State& State) {
  const Bytes B = TextToAnsiBytes(kJapanese);
  for (auto _ : State) benchmark::DoNotOptimize(AnsiBytesToText(B));
}
void BM_CleanOutText(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(CleanOutText(kJapanese));
}

BENCHMARK(BM_EncodeAscii);
BENCHMARK(BM_EncodeJapanese);
BENCHMARK(BM_DecodeAscii);
BENCHMARK(BM_DecodeJapanese);
BENCHMARK(BM_CleanOutText);

}  // namespace

BENCHMARK_MAIN();
