// The drawings and figures of a folder of real files, for the benchmarks that
// measure them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TCorpusFiles {
  std::vector<std::u16string> Paths;  // every .jww and .jws file below the folder
  std::uint64_t Bytes = 0;            // their sizes added up
};

// Empty when the folder is absent.
TCorpusFiles CorpusFiles(const char* Folder);
