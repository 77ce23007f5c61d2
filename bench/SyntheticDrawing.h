// The large synthetic drawing of the benchmarks: a million entities of
// every kind, weighted like a floor plan, with nested block definitions.
#pragma once

#include <filesystem>

namespace synthetic {

inline constexpr int kVersion = 700;

// Writes the drawing of Entities entities into Dir and returns its path.
std::filesystem::path MakeDrawing(const std::filesystem::path& Dir, int Entities);

}  // namespace synthetic
