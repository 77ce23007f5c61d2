// Load, convert and save of a large synthetic drawing (a million entities
// of every kind, block definitions included) against its baseline measured
// in the same run: a copy of the same file synced once at its end, as
// `dd conv=fsync` copies (the save syncs too, as it must). Prints each
// figure as a ratio against that copy, and the peak memory of one
// conversion against the file's size.
//
//   drawing_bench [benchmark options]      ratios and peak memory
//   drawing_bench --write-drawing PATH     only writes the drawing (for a profiler)
//   drawing_bench --convert-once IN OUT    one conversion (for a profiler)
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BaselineRatios.h"
#include "bench/PeakMemory.h"
#include "bench/SyncedCopy.h"
#include "bench/SyntheticDrawing.h"
#include "conversion/Conversion.h"
#include "documents/JwwUnit.h"
#include "support/FileIo.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

using synthetic::kVersion;
using synthetic::MakeDrawing;

constexpr const char* kBaseline = "BM_SyncedCopy";

struct Fixture {
  fs::path dir, drawing, copy, saved;
  std::uint64_t size = 0;
};

Fixture& TheFixture() {
  static Fixture F = [] {
    Fixture X;
    X.dir = fs::temp_directory_path() / ("lintorra-bench-" + std::to_string(::getpid()));
    fs::create_directories(X.dir);
    X.drawing = MakeDrawing(X.dir, 1'000'000);
    X.copy = X.dir / "copy.jww";
    X.saved = X.dir / "saved.jww";
    X.size = fs::file_size(X.drawing);
    return X;
  }();
  return F;
}

// Settings that change every pen the individual conversion may touch:
// colours, widths by colour, line types, dimensions, solids, block members.
TConvSettings EveryPenSettings() {
  TConvSettings S;
  for (int Row = 1; Row <= 9; ++Row) {
    S.ColorMap[Row] = ColorOfRow(Row % 9 + 1);
    S.WidthMap[Row] = 13 * Row;
    S.LtypeMap[Row] = LtypeOfRow(Row % 9 + 1);
  }
  for (const TOptSwitch O : {OptMojiTypeColor, OptSunpoSetColor, OptSolidColor, OptSunpoColorWidth, OptBlockColorWidth,
                             OptSunpoLtype, OptBlockLtype})
    S.OptFlags[O] = 1;
  S.RecomputeVerRaise();
  return S;
}

bool ConvertOnce(TJwwData& D, const fs::path& In, const fs::path& Out) {
  static const TConvSettings S = EveryPenSettings();
  return ConvJwwIndividual(D, S, FromPath(In), FromPath(Out), TSaveCheck::None).Outcome == TConvOutcome::Converted;
}

void SetBytes(benchmark::State& State, const Fixture& F) {
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size));
}

void BM_SyncedCopy(benchmark::State& State) {
  Fixture& F = TheFixture();
  for (auto _ : State)
    if (!SyncedCopy(F.drawing, F.copy)) State.SkipWithError("copy failed");
  SetBytes(State, F);
}

void BM_Load(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  for (auto _ : State)
    if (!D.FileIn(FromPath(F.drawing))) State.SkipWithError("load failed");
  SetBytes(State, F);
}

void BM_Save(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  D.FileIn(FromPath(F.drawing));
  D.SetFileOutOption(kOutUtf16);
  for (auto _ : State)
    if (!D.FileOut(FromPath(F.saved), kVersion)) State.SkipWithError("save failed");
  SetBytes(State, F);
}

// The conversion of one file as a run does it: load, change the pens, save,
// clear the document.
void BM_LoadConvertSave(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  for (auto _ : State)
    if (!ConvertOnce(D, F.drawing, F.saved)) State.SkipWithError("conversion failed");
  SetBytes(State, F);
}

// Writes the drawing at Path through a folder of its own beside it, so that
// no other file is touched.
int WriteDrawing(const char* Path) {
  const fs::path P = fs::absolute(Path);
  const fs::path Dir = P.parent_path() / (".lintorra-drawing-" + std::to_string(::getpid()));
  std::error_code Ec;
  fs::create_directory(Dir, Ec);
  if (!Ec) fs::rename(MakeDrawing(Dir, 1'000'000), P, Ec);
  fs::remove_all(Dir);
  return Ec ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_SyncedCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadConvertSave)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  JwwTypeInit();
  if (argc == 3 && std::strcmp(argv[1], "--write-drawing") == 0) return WriteDrawing(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "--convert-once") == 0) {
    TJwwData D;
    return HandPeakMemoryOver(ConvertOnce(D, argv[2], argv[3]) ? 0 : 1);
  }
  benchmark::Initialize(&argc, argv);
  Fixture& F = TheFixture();
  std::printf("synthetic drawing: %.1f MB\n", F.size / 1e6);
  PrintMachine();
  RatioReporter Reporter(::isatty(STDOUT_FILENO) != 0);
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  Reporter.PrintRatios(kBaseline, "a synced copy of the file");
  const long Peak = PeakMemoryOfRun({"/proc/self/exe", "--convert-once", F.drawing.string(), F.saved.string()});
  std::printf("peak memory of one load, convert and save: %.1f MB (%.2f x the file size)\n", Peak / 1e6,
              static_cast<double>(Peak) / static_cast<double>(F.size));
  benchmark::Shutdown();
  std::error_code Ec;
  fs::remove_all(F.dir, Ec);
  return 0;
}
