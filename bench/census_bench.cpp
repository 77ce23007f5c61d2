// The pen census of a folder of real drawings against loading them alone:
// every drawing and figure of the corpus (or, without it, a large synthetic
// drawing), loaded as the census loads them, with and without counting
// their pens. The census should cost no more than 1.2 times the load.
//
//   census_bench [benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "bench/CorpusFiles.h"
#include "bench/SyntheticDrawing.h"
#include "conversion/DrawingLoad.h"
#include "conversion/PenCensus.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  std::vector<std::u16string> files;
  std::uint64_t bytes = 0;
  fs::path scratch;  // the synthetic drawing's folder, if made
};

Fixture& TheFixture() {
  static Fixture F = [] {
    Fixture X;
    TCorpusFiles Corpus = CorpusFiles(LINTORRA_CORPUS_DIR);
    X.files = std::move(Corpus.Paths);
    X.bytes = Corpus.Bytes;
    if (X.files.empty()) {
      X.scratch = fs::temp_directory_path() / ("lintorra-census-bench-" + std::to_string(::getpid()));
      fs::create_directories(X.scratch);
      const fs::path P = synthetic::MakeDrawing(X.scratch, 200'000);
      X.files.push_back(FromPath(P));
      X.bytes = fs::file_size(P);
    }
    return X;
  }();
  return F;
}

void BM_LoadOnly(benchmark::State& State) {
  Fixture& F = TheFixture();
  TDrawingLoader L;
  for (auto _ : State)
    for (const std::u16string& P : F.files) benchmark::DoNotOptimize(L.Load(P));
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.bytes));
}

void BM_LoadAndCensus(benchmark::State& State) {
  Fixture& F = TheFixture();
  TDrawingLoader L;
  TPenCensus Total;
  for (auto _ : State)
    for (const std::u16string& P : F.files)
      if (L.Load(P) == TFileProblem::None) Total.Add(L.Visit([](const auto& Doc) { return CensusOf(Doc); }));
  benchmark::DoNotOptimize(Total);
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.bytes));
}

}  // namespace

BENCHMARK(BM_LoadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndCensus)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  JwwTypeInit();
  benchmark::Initialize(&argc, argv);
  const Fixture& F = TheFixture();
  std::printf("%zu files, %.1f MB\n", F.files.size(), F.bytes / 1e6);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code Ec;
  if (!F.scratch.empty()) fs::remove_all(F.scratch, Ec);
  return 0;
}
