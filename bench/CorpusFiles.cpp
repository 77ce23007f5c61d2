#include "bench/CorpusFiles.h"

#include <filesystem>

#include "support/Func_2.h"

TCorpusFiles CorpusFiles(const char* Folder) {
  namespace fs = std::filesystem;
  TCorpusFiles Files;
  std::error_code Ec;
  for (fs::recursive_directory_iterator It(Folder, Ec), End; !Ec && It != End; It.increment(Ec)) {
    const std::u16string Ext = FileExtLower(FromPath(It->path()));
    if (!It->is_regular_file() || (Ext != u".jww" && Ext != u".jws")) continue;
    Files.Paths.push_back(FromPath(It->path()));
    Files.Bytes += It->file_size();
  }
  return Files;
}
