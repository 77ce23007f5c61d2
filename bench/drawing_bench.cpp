// Load and save throughput of a large synthetic drawing (a million entities
// of every kind, block definitions included), against a plain copy of the
// same file, and the peak memory of one load plus save.
//
//   drawing_bench [benchmark options]      throughput (MB/s) and peak memory
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/PeakMemory.h"
#include "bench/SyntheticDrawing.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

using synthetic::kVersion;
using synthetic::MakeDrawing;

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

void PlainCopy(const fs::path& From, const fs::path& To) {
  std::ifstream In(From, std::ios::binary);
  std::ofstream Out(To, std::ios::binary | std::ios::trunc);
  Out << In.rdbuf();
}

void BM_PlainCopy(benchmark::State& State) {
  Fixture& F = TheFixture();
  for (auto _ : State) PlainCopy(F.drawing, F.copy);
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size));
}

void BM_Load(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  for (auto _ : State) {
    if (!D.FileIn(FromPath(F.drawing))) State.SkipWithError("load failed");
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size));
}

void BM_Save(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  D.FileIn(FromPath(F.drawing));
  D.SetFileOutOption(kOutUtf16);
  for (auto _ : State) {
    if (!D.FileOut(FromPath(F.saved), kVersion)) State.SkipWithError("save failed");
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size));
}

void BM_LoadAndSave(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  for (auto _ : State) {
    D.FileIn(FromPath(F.drawing));
    D.SetFileOutOption(kOutUtf16);
    if (!D.FileOut(FromPath(F.saved), kVersion)) State.SkipWithError("save failed");
  }
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * F.size));
}

// Runs one load and save in a fresh process and returns its peak resident
// memory in bytes, so the figure holds nothing but the load and the save.
long PeakMemoryOfLoadAndSave(const char* Self, const Fixture& F) {
  return PeakMemoryOfRun({Self, "--load-save-once", F.drawing.string(), F.saved.string()});
}

int LoadSaveOnce(const char* In, const char* Out) {
  TJwwData D;
  if (!D.FileIn(FromUtf8(In))) return 1;
  D.SetFileOutOption(D.MojiEncode ? kOutUtf16 : 0);
  return D.FileOut(FromUtf8(Out), D.Enthd.jwVer) ? 0 : 1;
}

}  // namespace

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSave)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--load-save-once") == 0) return LoadSaveOnce(argv[2], argv[3]);
  JwwTypeInit();
  benchmark::Initialize(&argc, argv);
  Fixture& F = TheFixture();
  std::printf("synthetic drawing: %.1f MB\n", F.size / 1e6);
  benchmark::RunSpecifiedBenchmarks();
  const long Peak = PeakMemoryOfLoadAndSave("/proc/self/exe", F);
  std::printf("peak memory of one load and save: %.1f MB (%.2f x the file size)\n", Peak / 1e6,
              static_cast<double>(Peak) / static_cast<double>(F.size));
  benchmark::Shutdown();
  std::error_code Ec;
  fs::remove_all(F.dir, Ec);
  return 0;
}
