// The baseline of the benchmarks that write files: what
// `dd if=From of=To bs=64K conv=fsync` does, the bytes copied into the
// truncated destination, synced once at the end.
#pragma once

#include <filesystem>

bool SyncedCopy(const std::filesystem::path& From, const std::filesystem::path& To);
