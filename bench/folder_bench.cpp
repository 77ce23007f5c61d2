// A batch run over a folder of real drawings and figures against its
// baseline measured in the same run: the same folder copied file by file,
// each copy synced (as a run syncs each save). The run with one worker and
// with one per core, each with and without reading every save back.
//
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/BaselineRatios.h"
#include "bench/FolderOfDrawings.h"
#include "bench/SyncedCopy.h"
#include "conversion/BatchRun.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "documents/jwwtype.h"
#include "support/FileIo.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 500;
constexpr const char* kBaseline = "BM_SyncedCopies";

struct Fixture {
  fs::path Dir, Source, Dest;
  std::vector<TBatchEntry> Entries;
  std::uint64_t Bytes = 0;

  Fixture() {
    Dir = fs::temp_directory_path() / ("lintorra-folder-" + std::to_string(::getpid()));
    Source = Dir / "src";
    Dest = Dir / "dst";
    const TFolderOfDrawings Made = MakeFolderOfDrawings(Source, LINTORRA_CORPUS_DIR, Dir, kFiles, 5000);
    for (const std::u16string& Name : Made.Names) Entries.push_back({Name, true});
    Bytes = Made.Bytes;
  }
  ~Fixture() {
    std::error_code Ec;
    fs::remove_all(Dir, Ec);
  }

  // An empty destination for the next run.
  void FreshDest() const {
    fs::remove_all(Dest);
    fs::create_directories(Dest);
  }
};

Fixture& TheFixture() {
  static Fixture F;
  return F;
}

class QuietHost : public TBatchRunHost {
 public:
  void ShowMessage(std::u16string_view) override {}
  void ShowConfirmation(std::u16string_view) override {}
  void Beep() override {}
  void FocusDestinationButton() override {}
  void SetStatusText(std::u16string_view) override {}
  void StopTimer() override {}
  void StartTimer() override {}
};

void SetBytes(benchmark::State& State) {
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * TheFixture().Bytes));
}

void BM_SyncedCopies(benchmark::State& State) {
  const Fixture& F = TheFixture();
  for (auto _ : State) {
    State.PauseTiming();
    F.FreshDest();
    State.ResumeTiming();
    for (const TBatchEntry& E : F.Entries)
      if (!SyncedCopy(F.Source / ToPath(E.Caption), F.Dest / ToPath(E.Caption))) State.SkipWithError("copy failed");
  }
  SetBytes(State);
}

// A run as lintorra-cli gives it: Jobs workers, each with its documents.
void BM_Run(benchmark::State& State, int Jobs, TSaveCheck Check) {
  const Fixture& F = TheFixture();
  std::vector<std::unique_ptr<TJwwData>> Jww;
  std::vector<std::unique_ptr<TJwsData>> Jws;
  std::vector<TWorkerDocuments> Workers;
  for (int I = 0; I < Jobs; ++I) {
    const fs::path Work = F.Dir / ("work" + std::to_string(I));
    fs::create_directories(Work);
    Jww.push_back(std::make_unique<TJwwData>());
    Jws.push_back(std::make_unique<TJwsData>());
    Jww.back()->BindImageFolder = Jws.back()->BindImageFolder = FromPath(Work) + u"/";
    Jww.back()->BindImageExp = Jww.back()->BindImageExr = true;
    Workers.push_back({*Jww.back(), *Jws.back()});
  }
  TConvSettings S;
  for (int Row = 1; Row <= 9; ++Row) S.ColorMap[Row] = ColorOfRow(Row % 9 + 1);
  QuietHost Host;
  for (auto _ : State) {
    State.PauseTiming();
    F.FreshDest();
    State.ResumeTiming();
    TBatchRun Run(S, *Jww[0], *Jws[0], Host, Check);
    if (Jobs > 1) Run.UseWorkers(Workers);
    const TBatchOutcome O = Run.Run(FromPath(F.Source), FromPath(F.Dest), F.Entries);
    if (O.Converted() != kFiles) State.SkipWithError("a file was not converted");
  }
  SetBytes(State);
}

int Cores() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

}  // namespace

int main(int argc, char** argv) {
  JwwTypeInit();
  benchmark::Initialize(&argc, argv);
  const Fixture& F = TheFixture();
  std::printf("a folder of %d files, %.1f MB\n", kFiles, F.Bytes / 1e6);
  PrintMachine();
  const std::string Many = std::to_string(Cores());
  benchmark::RegisterBenchmark(kBaseline, BM_SyncedCopies)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("BM_Run/jobs:1", BM_Run, 1, TSaveCheck::None)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_Run/jobs:" + Many).c_str(), BM_Run, Cores(), TSaveCheck::None)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_Run/jobs:" + std::to_string(2 * Cores())).c_str(), BM_Run, 2 * Cores(),
                               TSaveCheck::None)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("BM_RunReadBack/jobs:1", BM_Run, 1, TSaveCheck::ReadBack)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(("BM_RunReadBack/jobs:" + Many).c_str(), BM_Run, Cores(), TSaveCheck::ReadBack)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  RatioReporter Reporter(::isatty(STDOUT_FILENO) != 0);
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  Reporter.PrintRatios(kBaseline, "copying the folder file by file, each copy synced");
  benchmark::Shutdown();
  return 0;
}
