// Load and save throughput of a large synthetic drawing (a million entities
// of every kind, block definitions included), against a plain copy of the
// same file, and the peak memory of one load plus save.
//
//   drawing_bench [benchmark options]      throughput (MB/s) and peak memory
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "documents/JwwUnit.h"
#include "support/Func_2.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kVersion = 700;
constexpr int kBlockDefs = 200;

TEntJwwAttr Pen(int i) {
  TEntJwwAttr a;
  a.nPenStyle = static_cast<std::uint8_t>(1 + i % 9);
  a.nPenColor = static_cast<std::uint16_t>(i % 7 == 0 ? 101 + i % 256 : 1 + i % 9);
  a.nPenWidth = static_cast<std::uint16_t>(i % 50);
  a.nLayer = static_cast<std::uint16_t>(i % 16);
  a.nGLayer = static_cast<std::uint16_t>(i / 16 % 16);
  return a;
}

template <class T>
T& Add(TJwBody& d, RecordArray<T>& a, int kind) {
  d.EntNo.push_back({kind, static_cast<std::int32_t>(a.size())});
  return a.emplace_back();
}

void FillText(TEntJwwMoji& m, int i) {
  m.att = Pen(i);
  m.att.nPenStyle = 1;
  m.start_x = i;
  m.end_x = i + 10.0;
  m.dSizeX = m.dSizeY = 3.5;
  m.strFontName = u"ＭＳ ゴシック";
  m.str = u"平面図 " + IntToText(i) + u" 通り芯";
}

// One entity of each kind in turn, weighted like a floor plan: mostly lines.
void AddEntity(TJwwData& d, int i) {
  const double x = i * 0.5, y = i * 0.25;
  switch (i % 20) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7: {
      TEntJwwLine& l = Add(d, d.EntLine, kLine);
      l = {Pen(i), x, y, x + 100, y + 50};
      break;
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      TEntJwwEnko& e = Add(d, d.EntEnko, kEnko);
      e = {Pen(i), x, y, 25.0, 0.0, 3.14, 0.0, 1.0, 0};
      break;
    }
    case 12:
    case 13: {
      TEntJwwTen& t = Add(d, d.EntTen, kTen);
      t.att = Pen(i);
      t.att.nPenStyle = i % 4 == 0 ? 100 : 1;
      t.start_x = x;
      t.start_y = y;
      t.dBairitsu = 1.0;
      break;
    }
    case 14:
    case 15:
    case 16: FillText(Add(d, d.EntMoji, kMoji), i); break;
    case 17: {
      TEntJwwSunpo& s = Add(d, d.EntSunpo, kSunpo);
      s.att = Pen(i);
      s.Sen = {Pen(i), x, y, x + 100, y};
      FillText(s.Moji, i);
      s.bSxfMode = 1;
      s.Ho1 = s.Ho2 = s.Sen;
      for (TEntJwwTen* t : {&s.Te1, &s.Te2, &s.Kt1, &s.Kt2}) t->att = Pen(i);
      break;
    }
    case 18: {
      TEntJwwSolid& s = Add(d, d.EntSolid, kSolid);
      s.att = Pen(i);
      s.att.nPenColor = i % 3 == 0 ? 10 : 2;
      s.end_x = x;
      s.Color = 0x336699;
      break;
    }
    default: {
      TEntJwwBlock& b = Add(d, d.EntBlock, kBlock);
      b.att = Pen(i);
      b.DPKijunTen_x = x;
      b.dBairitsuX = b.dBairitsuY = 1.0;
      b.nNumber = static_cast<std::uint32_t>(i % kBlockDefs);
      break;
    }
  }
}

// Definitions of ten lines and a text each; every tenth nests the next one.
void AddBlockDefinitions(TJwwData& d) {
  for (int k = 0; k < kBlockDefs; ++k) {
    TEntJwwBlockDef& def = d.EntBlockDef.emplace_back();
    def.nNumber = static_cast<std::uint32_t>(k);
    def.strName = u"部品" + IntToText(k);
    for (int m = 0; m < 10; ++m) {
      def.mNo.push_back({kLine, static_cast<std::int32_t>(def.mLine.size())});
      def.mLine.push_back({Pen(m), 0, 0, m * 1.0, 10});
    }
    def.mNo.push_back({kMoji, 0});
    FillText(def.mMoji.emplace_back(), k);
    if (k % 10 == 0 && k + 1 < kBlockDefs) {
      def.mNo.push_back({kBlock, 0});
      TEntJwwBlock& b = def.mBlock.emplace_back();
      b.dBairitsuX = b.dBairitsuY = 1.0;
      b.nNumber = static_cast<std::uint32_t>(k + 1);
    }
    def.N = static_cast<std::int32_t>(def.mNo.size());
  }
}

fs::path MakeDrawing(const fs::path& dir, int entities) {
  TJwwData d;
  d.SizeHeaderTables();
  d.Enthd.jwVer = kVersion;
  d.Enthd.strMemo = u"合成図面";
  for (int i = 0; i < entities; ++i) AddEntity(d, i);
  AddBlockDefinitions(d);
  d.MakeBlockTree();
  d.SetFileOutOption(kOutUtf16);
  const fs::path p = dir / "synthetic.jww";
  if (!d.FileOut(FromPath(p), kVersion)) std::fprintf(stderr, "cannot write %s\n", p.c_str());
  return p;
}

struct Fixture {
  fs::path dir, drawing, copy, saved;
  std::uint64_t size = 0;
};

Fixture& TheFixture() {
  static Fixture f = [] {
    Fixture x;
    x.dir = fs::temp_directory_path() / ("lintorra-bench-" + std::to_string(::getpid()));
    fs::create_directories(x.dir);
    x.drawing = MakeDrawing(x.dir, 1'000'000);
    x.copy = x.dir / "copy.jww";
    x.saved = x.dir / "saved.jww";
    x.size = fs::file_size(x.drawing);
    return x;
  }();
  return f;
}

void PlainCopy(const fs::path& from, const fs::path& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
}

void BM_PlainCopy(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) PlainCopy(f.drawing, f.copy);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size));
}

void BM_Load(benchmark::State& state) {
  Fixture& f = TheFixture();
  TJwwData d;
  for (auto _ : state) {
    if (!d.FileIn(FromPath(f.drawing))) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size));
}

void BM_Save(benchmark::State& state) {
  Fixture& f = TheFixture();
  TJwwData d;
  d.FileIn(FromPath(f.drawing));
  d.SetFileOutOption(kOutUtf16);
  for (auto _ : state) {
    if (!d.FileOut(FromPath(f.saved), kVersion)) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size));
}

void BM_LoadAndSave(benchmark::State& state) {
  Fixture& f = TheFixture();
  TJwwData d;
  for (auto _ : state) {
    d.FileIn(FromPath(f.drawing));
    d.SetFileOutOption(kOutUtf16);
    if (!d.FileOut(FromPath(f.saved), kVersion)) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.size));
}

// Runs one load and save in a fresh process and returns its peak resident
// memory in bytes, so the figure holds nothing but the load and the save.
long PeakMemoryOfLoadAndSave(const char* self, const Fixture& f) {
  const std::string in = f.drawing.string(), out = f.saved.string();
  const char* argv[] = {self, "--load-save-once", in.c_str(), out.c_str(), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, self, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  struct rusage ru {};
  if (wait4(pid, &status, 0, &ru) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return ru.ru_maxrss * 1024L;
}

int LoadSaveOnce(const char* in, const char* out) {
  TJwwData d;
  if (!d.FileIn(FromUtf8(in))) return 1;
  d.SetFileOutOption(d.MojiEncode ? kOutUtf16 : 0);
  return d.FileOut(FromUtf8(out), d.Enthd.jwVer) ? 0 : 1;
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
  Fixture& f = TheFixture();
  std::printf("synthetic drawing: %.1f MB\n", f.size / 1e6);
  benchmark::RunSpecifiedBenchmarks();
  const long peak = PeakMemoryOfLoadAndSave("/proc/self/exe", f);
  std::printf("peak memory of one load and save: %.1f MB (%.2f x the file size)\n", peak / 1e6,
              static_cast<double>(peak) / static_cast<double>(f.size));
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(f.dir, ec);
  return 0;
}
