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

TEntJwwAttr Pen(int I) {
  TEntJwwAttr A;
  A.nPenStyle = static_cast<std::uint8_t>(1 + I % 9);
  A.nPenColor = static_cast<std::uint16_t>(I % 7 == 0 ? 101 + I % 256 : 1 + I % 9);
  A.nPenWidth = static_cast<std::uint16_t>(I % 50);
  A.nLayer = static_cast<std::uint16_t>(I % 16);
  A.nGLayer = static_cast<std::uint16_t>(I / 16 % 16);
  return A;
}

template <class T>
T& Add(TJwBody& D, RecordArray<T>& A, int Kind) {
  D.EntNo.push_back({Kind, static_cast<std::int32_t>(A.size())});
  return A.emplace_back();
}

void FillText(TEntJwwMoji& M, int I) {
  M.att = Pen(I);
  M.att.nPenStyle = 1;
  M.start_x = I;
  M.end_x = I + 10.0;
  M.dSizeX = M.dSizeY = 3.5;
  M.strFontName = u"ＭＳ ゴシック";
  M.str = u"平面図 " + IntToText(I) + u" 通り芯";
}

// One entity of each kind in turn, weighted like a floor plan: mostly lines.
void AddEntity(TJwwData& D, int I) {
  const double X = I * 0.5, Y = I * 0.25;
  switch (I % 20) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7: {
      TEntJwwLine& L = Add(D, D.EntLine, kLine);
      L = {Pen(I), X, Y, X + 100, Y + 50};
      break;
    }
    case 8:
    case 9:
    case 10:
    case 11: {
      TEntJwwEnko& E = Add(D, D.EntEnko, kEnko);
      E = {Pen(I), X, Y, 25.0, 0.0, 3.14, 0.0, 1.0, 0};
      break;
    }
    case 12:
    case 13: {
      TEntJwwTen& T = Add(D, D.EntTen, kTen);
      T.att = Pen(I);
      T.att.nPenStyle = I % 4 == 0 ? 100 : 1;
      T.start_x = X;
      T.start_y = Y;
      T.dBairitsu = 1.0;
      break;
    }
    case 14:
    case 15:
    case 16: FillText(Add(D, D.EntMoji, kMoji), I); break;
    case 17: {
      TEntJwwSunpo& S = Add(D, D.EntSunpo, kSunpo);
      S.att = Pen(I);
      S.Sen = {Pen(I), X, Y, X + 100, Y};
      FillText(S.Moji, I);
      S.bSxfMode = 1;
      S.Ho1 = S.Ho2 = S.Sen;
      for (TEntJwwTen* T : {&S.Te1, &S.Te2, &S.Kt1, &S.Kt2}) T->att = Pen(I);
      break;
    }
    case 18: {
      TEntJwwSolid& S = Add(D, D.EntSolid, kSolid);
      S.att = Pen(I);
      S.att.nPenColor = I % 3 == 0 ? 10 : 2;
      S.end_x = X;
      S.Color = 0x336699;
      break;
    }
    default: {
      TEntJwwBlock& B = Add(D, D.EntBlock, kBlock);
      B.att = Pen(I);
      B.DPKijunTen_x = X;
      B.dBairitsuX = B.dBairitsuY = 1.0;
      B.nNumber = static_cast<std::uint32_t>(I % kBlockDefs);
      break;
    }
  }
}

// Definitions of ten lines and a text each; every tenth nests the next one.
void AddBlockDefinitions(TJwwData& D) {
  for (int K = 0; K < kBlockDefs; ++K) {
    TEntJwwBlockDef& Def = D.EntBlockDef.emplace_back();
    Def.nNumber = static_cast<std::uint32_t>(K);
    Def.strName = u"部品" + IntToText(K);
    for (int M = 0; M < 10; ++M) {
      Def.mNo.push_back({kLine, static_cast<std::int32_t>(Def.mLine.size())});
      Def.mLine.push_back({Pen(M), 0, 0, M * 1.0, 10});
    }
    Def.mNo.push_back({kMoji, 0});
    FillText(Def.mMoji.emplace_back(), K);
    if (K % 10 == 0 && K + 1 < kBlockDefs) {
      Def.mNo.push_back({kBlock, 0});
      TEntJwwBlock& B = Def.mBlock.emplace_back();
      B.dBairitsuX = B.dBairitsuY = 1.0;
      B.nNumber = static_cast<std::uint32_t>(K + 1);
    }
    Def.N = static_cast<std::int32_t>(Def.mNo.size());
  }
}

fs::path MakeDrawing(const fs::path& Dir, int Entities) {
  TJwwData D;
  D.SizeHeaderTables();
  D.Enthd.jwVer = kVersion;
  D.Enthd.strMemo = u"合成図面";
  for (int I = 0; I < Entities; ++I) AddEntity(D, I);
  AddBlockDefinitions(D);
  D.MakeBlockTree();
  D.SetFileOutOption(kOutUtf16);
  const fs::path P = Dir / "synthetic.jww";
  if (!D.FileOut(FromPath(P), kVersion)) std::fprintf(stderr, "cannot write %s\n", P.c_str());
  return P;
}

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
  const std::string In = F.drawing.string(), Out = F.saved.string();
  const char* Argv[] = {Self, "--load-save-once", In.c_str(), Out.c_str(), nullptr};
  pid_t Pid;
  if (posix_spawn(&Pid, Self, nullptr, nullptr, const_cast<char**>(Argv), environ) != 0) return -1;
  int Status = 0;
  struct rusage Ru {};
  if (wait4(Pid, &Status, 0, &Ru) < 0 || !WIFEXITED(Status) || WEXITSTATUS(Status) != 0) return -1;
  return Ru.ru_maxrss * 1024L;
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
