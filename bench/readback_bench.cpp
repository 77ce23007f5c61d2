// The cost of reading every save back: a conversion of the large synthetic
// drawing (a million entities) and of every drawing and figure of the corpus,
// each without the read-back (/0) and with it (/1), as the batch run converts
// them. The read-back loads the saved file again and saves it into memory,
// so it should cost about one more load and save.
//
//   readback_bench [benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/CorpusFiles.h"
#include "bench/SyntheticDrawing.h"
#include "conversion/Conversion.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  fs::path scratch, work, out;
  std::u16string synthetic;
  std::uint64_t syntheticBytes = 0;
  TCorpusFiles corpus;
};

Fixture& TheFixture() {
  static Fixture F = [] {
    Fixture X;
    X.scratch = fs::temp_directory_path() / ("lintorra-readback-bench-" + std::to_string(::getpid()));
    X.work = X.scratch / "work";
    X.out = X.scratch / "out";
    fs::create_directories(X.work);
    fs::create_directories(X.out);
    const fs::path Drawing = synthetic::MakeDrawing(X.scratch, 1'000'000);
    X.synthetic = FromPath(Drawing);
    X.syntheticBytes = fs::file_size(Drawing);
    X.corpus = CorpusFiles(LINTORRA_CORPUS_DIR);
    return X;
  }();
  return F;
}

// The settings of a typical run: colour 2 becomes 3, widths by colour.
TConvSettings Settings() {
  TConvSettings S;
  S.ColorMap[2] = 3;
  S.WidthMap[1] = 25;
  S.RecomputeVerRaise();
  return S;
}

// Converts one file as the batch run does; false when it did not convert.
bool Convert(TJwwData& JWW, TJwsData& JWS, const TConvSettings& S, const std::u16string& Source, TSaveCheck Check) {
  const fs::path Out = TheFixture().out / ToPath(FileNameOnly(Source));
  const std::u16string Dest = FromPath(Out);
  const TConvResult R = FileExtLower(Source) == u".jws" ? ConvJwsIndividual(JWS, S, Source, Dest, Check)
                                                        : ConvJwwIndividual(JWW, S, Source, Dest, Check);
  return R.Outcome == TConvOutcome::Converted;
}

TSaveCheck CheckOf(const benchmark::State& State) {
  return State.range(0) == 0 ? TSaveCheck::None : TSaveCheck::ReadBack;
}

void PrepareDocuments(TJwwData& JWW, TJwsData& JWS) {
  JWW.BindImageFolder = JWS.BindImageFolder = FromPath(TheFixture().work) + u"/";
  JWW.BindImageExp = JWW.BindImageExr = true;
}

void BM_ConvertSynthetic(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData JWW;
  TJwsData JWS;
  PrepareDocuments(JWW, JWS);
  const TConvSettings S = Settings();
  for (auto _ : State)
    if (!Convert(JWW, JWS, S, F.synthetic, CheckOf(State))) State.SkipWithError("not converted");
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.syntheticBytes));
}

void BM_ConvertCorpus(benchmark::State& State) {
  Fixture& F = TheFixture();
  if (F.corpus.Paths.empty()) {
    State.SkipWithError("no corpus folder");
    return;
  }
  TJwwData JWW;
  TJwsData JWS;
  PrepareDocuments(JWW, JWS);
  const TConvSettings S = Settings();
  int Failed = 0;
  for (auto _ : State)
    for (const std::u16string& P : F.corpus.Paths) Failed += Convert(JWW, JWS, S, P, CheckOf(State)) ? 0 : 1;
  State.counters["not_converted"] = benchmark::Counter(Failed, benchmark::Counter::kAvgIterations);
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.corpus.Bytes));
}

}  // namespace

BENCHMARK(BM_ConvertSynthetic)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ConvertCorpus)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  JwwTypeInit();
  benchmark::Initialize(&argc, argv);
  const Fixture& F = TheFixture();
  std::printf("synthetic drawing: %.1f MB; corpus: %zu files, %.1f MB\n", F.syntheticBytes / 1e6, F.corpus.Paths.size(),
              F.corpus.Bytes / 1e6);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code Ec;
  fs::remove_all(F.scratch, Ec);
  return 0;
}
