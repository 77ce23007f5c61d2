// The code-page routines run for every string of a drawing; these measure
// the plain-ASCII path and the iconv path on strings of typical length.
#include <benchmark/benchmark.h>

#include "support/Func_2.h"

namespace {

const std::u16string kAscii = u"LAYER-01 A1 1:100";
const std::u16string kJapanese = u"平面図 1階 倉庫";

void BM_EncodeAscii(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(TextToAnsiBytes(kAscii));
}
void BM_EncodeJapanese(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(TextToAnsiBytes(kJapanese));
}
void BM_DecodeAscii(benchmark::State& state) {
  const Bytes b = TextToAnsiBytes(kAscii);
  for (auto _ : state) benchmark::DoNotOptimize(AnsiBytesToText(b));
}
void BM_DecodeJapanese(benchmark::State& state) {
  const Bytes b = TextToAnsiBytes(kJapanese);
  for (auto _ : state) benchmark::DoNotOptimize(AnsiBytesToText(b));
}
void BM_ByteCountJapanese(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(AnsiByteCount(kJapanese));
}
void BM_CleanOutText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CleanOutText(kJapanese));
}

BENCHMARK(BM_EncodeAscii);
BENCHMARK(BM_EncodeJapanese);
BENCHMARK(BM_DecodeAscii);
BENCHMARK(BM_DecodeJapanese);
BENCHMARK(BM_ByteCountJapanese);
BENCHMARK(BM_CleanOutText);

}  // namespace

BENCHMARK_MAIN();
