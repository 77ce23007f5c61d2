#include "bench/FolderOfDrawings.h"

#include <cstdio>

#include "bench/CorpusFiles.h"
#include "bench/SyntheticDrawing.h"
#include "support/Func_2.h"

namespace fs = std::filesystem;

TFolderOfDrawings MakeFolderOfDrawings(const fs::path& Folder, const char* CorpusFolder, const fs::path& Scratch,
                                       int Count, int SyntheticEntities) {
  std::vector<fs::path> From;
  for (const std::u16string& P : CorpusFiles(CorpusFolder).Paths) From.push_back(ToPath(P));
  if (From.empty()) From.push_back(synthetic::MakeDrawing(Scratch, SyntheticEntities));
  fs::create_directories(Folder);
  TFolderOfDrawings Made;
  char Name[32];
  for (int I = 0; I < Count; ++I) {
    const fs::path& Src = From[static_cast<std::size_t>(I) % From.size()];
    std::snprintf(Name, sizeof Name, "d%05d", I);
    const fs::path To = Folder / (Name + Src.extension().string());
    std::error_code Ec;
    fs::create_hard_link(Src, To, Ec);
    if (Ec) fs::copy_file(Src, To);
    Made.Names.push_back(FromPath(To.filename()));
    Made.Bytes += fs::file_size(To);
  }
  return Made;
}
