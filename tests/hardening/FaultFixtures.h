// Helpers of the fault-injection tests: failing file-system steps, tmpfs
// mounts and looks into the destination folder.
#pragma once

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FileIo.h"

namespace faultfixtures {

namespace fs = std::filesystem;

// Every name in the folder (a vanished folder has none).
inline std::vector<std::string> Names(const fs::path& Folder) {
  std::vector<std::string> Names;
  std::error_code Ec;
  for (fs::directory_iterator It(Folder, Ec), End; !Ec && It != End; It.increment(Ec))
    Names.push_back(It->path().filename().string());
  std::sort(Names.begin(), Names.end());
  return Names;
}

inline bool HoldsTemporaryFile(const fs::path& Folder) {
  for (const std::string& N : Names(Folder))
    if (N.find(".lintorra-") != std::string::npos) return true;
  return false;
}

// Fails the n-th file-system step of every save from now on, counting from
// 1; restores normal saving when it goes.
class FailingStep {
 public:
  explicit FailingStep(int N) : N_(N) {
    SetFileStepFaultHook([this](FileStep Step) {
      if (++Seen_ != N_) return 0;
      Hit_ = true;
      return Step == FileStep::Write ? ENOSPC : EIO;
    });
  }
  ~FailingStep() { SetFileStepFaultHook({}); }
  bool hit() const { return Hit_; }

 private:
  int N_;
  int Seen_ = 0;
  bool Hit_ = false;
};

// A tmpfs mounted over a fresh folder; root may mount, elsewhere the test
// that needs one is skipped.
class Tmpfs {
 public:
  Tmpfs(const fs::path& At, unsigned long Flags, const char* Options) : At_(At) {
    fs::create_directories(At);
    Mounted_ = ::mount("tmpfs", At.c_str(), "tmpfs", Flags, Options) == 0;
  }
  ~Tmpfs() {
    if (Mounted_) ::umount2(At_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return Mounted_; }

 private:
  fs::path At_;
  bool Mounted_ = false;
};

}  // namespace faultfixtures
