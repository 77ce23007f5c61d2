#include "bench/SyncedCopy.h"

#include <unistd.h>

#include <cstdint>

#include "support/FileIo.h"
#include "support/Func_2.h"

bool SyncedCopy(const std::filesystem::path& From, const std::filesystem::path& To) {
  const FileHandle In = OpenRegularFile(FromPath(From));
  FileHandle Out = CreateRegularFile(FromPath(To));
  if (!In.Valid() || !Out.Valid()) return false;
  const TCopyResult R = CopyBytes(
      UINT64_MAX, [&](std::uint8_t* B, std::size_t N) { return ReadFully(In.Get(), B, N); },
      [&](const std::uint8_t* B, std::size_t N) { return WriteFully(Out.Get(), B, N); });
  return !R.Failed && ::fsync(Out.Get()) == 0 && Out.Close();
}
