// A folder of many drawings for the benchmarks of lists and runs: hard links
// to the real files, repeated (copies when the folder lies on another file
// system); without them, links to one synthetic drawing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TFolderOfDrawings {
  std::vector<std::u16string> Names;  // "d00000.jww" upward, in name order
  std::uint64_t Bytes = 0;            // their sizes added up
};

// Fills Folder with Count files from the real ones in CorpusFolder, or from
// a synthetic drawing of SyntheticEntities entities made in Scratch.
TFolderOfDrawings MakeFolderOfDrawings(const std::filesystem::path& Folder, const char* CorpusFolder,
                                       const std::filesystem::path& Scratch, int Count, int SyntheticEntities);
