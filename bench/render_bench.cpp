// The drawing preview: the million-entity synthetic drawing drawn into a
// 2000-pixel picture (and encoded as PNG) against the time to load it, every
// real drawing of the corpus, and the peak memory of a load with and
// without the picture.
//
//   render_bench [benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/PeakMemory.h"
#include "bench/SyntheticDrawing.h"
#include "display/DrawingRenderer.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "export/DrawingExport.h"
#include "support/Func_2.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 2000;

struct Fixture {
  fs::path dir, drawing;
  std::unique_ptr<TJwwData> doc = std::make_unique<TJwwData>();
};

Fixture& TheFixture() {
  static Fixture F = [] {
    Fixture X;
    X.dir = fs::temp_directory_path() / ("lintorra-render-bench-" + std::to_string(::getpid()));
    fs::create_directories(X.dir);
    X.drawing = synthetic::MakeDrawing(X.dir, 1'000'000);
    X.doc->FileIn(FromPath(X.drawing));
    return X;
  }();
  return F;
}

void BM_Load(benchmark::State& State) {
  Fixture& F = TheFixture();
  TJwwData D;
  for (auto _ : State)
    if (!D.FileIn(FromPath(F.drawing))) State.SkipWithError("load failed");
}

void BM_Render(benchmark::State& State) {
  Fixture& F = TheFixture();
  for (auto _ : State) {
    const TDrawingRenderer R(*F.doc, {});
    benchmark::DoNotOptimize(RenderImage(R, kWidth));
  }
}

void BM_RenderPng(benchmark::State& State) {
  Fixture& F = TheFixture();
  for (auto _ : State) {
    const TDrawingRenderer R(*F.doc, {});
    benchmark::DoNotOptimize(PngBytes(R, kWidth));
  }
}

// Every drawing and figure of the corpus, loaded beforehand.
void BM_RenderCorpus(benchmark::State& State) {
  std::vector<std::unique_ptr<TJwwData>> Drawings;
  std::vector<std::unique_ptr<TJwsData>> Figures;
  const fs::path Corpus = LINTORRA_CORPUS_DIR;
  if (!fs::is_directory(Corpus)) {
    State.SkipWithError("no corpus");
    return;
  }
  for (const auto& E : fs::recursive_directory_iterator(Corpus)) {
    const std::u16string P = FromPath(E.path());
    const std::u16string Ext = FileExtLower(P);
    if (Ext == u".jww") Drawings.push_back(std::make_unique<TJwwData>()), Drawings.back()->FileIn(P);
    if (Ext == u".jws") Figures.push_back(std::make_unique<TJwsData>()), Figures.back()->FileIn(P);
  }
  for (auto _ : State) {
    for (const auto& D : Drawings) benchmark::DoNotOptimize(RenderImage(TDrawingRenderer(*D, {}), kWidth));
    for (const auto& D : Figures) benchmark::DoNotOptimize(RenderImage(TDrawingRenderer(*D, {}), kWidth));
  }
  State.counters["files"] = static_cast<double>(Drawings.size() + Figures.size());
}

// Peak resident memory of a fresh process that loads the drawing, and with
// Picture also draws it.
long PeakMemory(const fs::path& Drawing, bool Picture) {
  return PeakMemoryOfRun({"/proc/self/exe", Picture ? "--render-once" : "--load-once", Drawing.string()});
}

int Once(const char* In, bool Picture) {
  TJwwData D;
  if (!D.FileIn(FromUtf8(In))) return 1;
  if (Picture) return PngBytes(TDrawingRenderer(D, {}), kWidth).isEmpty() ? 1 : 0;
  return 0;
}

}  // namespace

BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCorpus)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication App(argc, argv);
  JwwTypeInit();
  if (argc == 3 && std::strcmp(argv[1], "--load-once") == 0) return HandPeakMemoryOver(Once(argv[2], false));
  if (argc == 3 && std::strcmp(argv[1], "--render-once") == 0) return HandPeakMemoryOver(Once(argv[2], true));
  benchmark::Initialize(&argc, argv);
  Fixture& F = TheFixture();
  benchmark::RunSpecifiedBenchmarks();
  const long Load = PeakMemory(F.drawing, false);
  const long Render = PeakMemory(F.drawing, true);
  std::printf("peak memory: load %.1f MB, load and %d-pixel PNG %.1f MB (%.2f x)\n", Load / 1e6, kWidth, Render / 1e6,
              static_cast<double>(Render) / static_cast<double>(Load));
  benchmark::Shutdown();
  F.doc.reset();
  std::error_code Ec;
  fs::remove_all(F.dir, Ec);
  return 0;
}
