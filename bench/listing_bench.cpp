// Building the file list of a folder of 10,000 drawings: the search a run
// makes, the search with each file's version and memo as the window shows
// them, and the window's own list (widgets included), against reading the
// first block of every file, measured in the same run. The goal: the
// window's list within half a second.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BaselineRatios.h"
#include "bench/FolderOfDrawings.h"
#include "conversion/IniFile.h"
#include "documents/FileInfo.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "documents/jwwtype.h"
#include "support/FileIo.h"
#include "support/Func_2.h"
#include "ui/AppPaths.h"
#include "ui/FileListOrder.h"
#include "ui/FileListView.h"
#include "ui/Unit1.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 10'000;
constexpr const char* kBaseline = "BM_ReadFirstBlocks";

struct Fixture {
  fs::path Dir, Folder;
  Fixture() {
    Dir = fs::temp_directory_path() / ("lintorra-listing-" + std::to_string(::getpid()));
    Folder = Dir / "drawings";
    MakeFolderOfDrawings(Folder, LINTORRA_CORPUS_DIR, Dir, kFiles, 200);
  }
  ~Fixture() {
    std::error_code Ec;
    fs::remove_all(Dir, Ec);
  }
};

Fixture& TheFixture() {
  static Fixture F;
  return F;
}

std::u16string FolderText() { return WithTrailingDelim(FromPath(TheFixture().Folder)); }

void Search() {
  FileListSearch(FolderText(), u"*");
  SortByName(FileList);
}

void BM_ReadFirstBlocks(benchmark::State& State) {
  std::uint8_t Block[4096];
  for (auto _ : State)
    for (const fs::directory_entry& E : fs::directory_iterator(TheFixture().Folder)) {
      const FileHandle F = OpenRegularFile(FromPath(E.path()));
      if (!F.Valid() || ReadFully(F.Get(), Block, sizeof Block) == 0) State.SkipWithError("read failed");
    }
}

void BM_Search(benchmark::State& State) {
  for (auto _ : State) {
    Search();
    if (FileListN != kFiles) State.SkipWithError("files missing");
    FileListClear();
  }
}

void BM_SearchWithVersionAndMemo(benchmark::State& State) {
  TJwwData Jww;
  TJwsData Jws;
  TJwcData Jwc;
  TJwkData Jwk;
  const std::u16string Folder = FolderText();
  for (auto _ : State) {
    Search();
    for (const TFileField& F : FileList) {
      std::u16string Version, Memo;
      FileInfoGet(Folder + F.name, Jww, Jws, Jwc, Jwk, Version, Memo);
    }
    FileListClear();
  }
}

// The window relists its folder when a file type is chosen again.
void BM_WindowList(benchmark::State& State) {
  const fs::path Home = TheFixture().Dir / "home";
  fs::create_directories(Home);
  const TAppPaths Paths = AppPathsFor(QString::fromStdString((Home / "lintorra").string()), QString());
  TIniState Ini;
  Ini.preFolder = FromPath(TheFixture().Folder);
  if (!SaveIni(Paths.IniFileName, Ini)) State.SkipWithError("no INI file");
  auto Form1 = std::make_unique<TForm1>(Paths);
  Form1->show();
  QApplication::processEvents();
  for (auto _ : State) {
    emit Form1->ComboBox1->activated(0);
    if (Form1->ListView1->rowCount() != kFiles) State.SkipWithError("files missing");
  }
}

}  // namespace

BENCHMARK(BM_ReadFirstBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWithVersionAndMemo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowList)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication App(argc, argv);
  JwwTypeInit();
  benchmark::Initialize(&argc, argv);
  TheFixture();
  std::printf("a folder of %d drawings\n", kFiles);
  PrintMachine();
  RatioReporter Reporter(::isatty(STDOUT_FILENO) != 0);
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  Reporter.PrintRatios(kBaseline, "reading the first 4 KiB of every file");
  benchmark::Shutdown();
  return 0;
}
