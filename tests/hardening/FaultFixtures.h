// Helpers of the fault-injection tests: failing file-system steps, tmpfs
// mounts and looks into the destination folder.
#pragma once

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "documents/ByteStream.h"

namespace faultfixtures {

namespace fs = std::filesystem;

// Every name in the folder (a vanished folder has none).
inline std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

inline bool HoldsTemporaryFile(const fs::path& folder) {
  for (const std::string& n : Names(folder))
    if (n.find(".lintorra-") != std::string::npos) return true;
  return false;
}

// Fails the n-th file-system step of every save from now on, counting from
// 1; restores normal saving when it goes.
class FailingStep {
 public:
  explicit FailingStep(int n) : n_(n) {
    SetFileStepFaultHook([this](FileStep step) {
      if (++seen_ != n_) return 0;
      hit_ = true;
      return step == FileStep::Write ? ENOSPC : EIO;
    });
  }
  ~FailingStep() { SetFileStepFaultHook({}); }
  bool hit() const { return hit_; }

 private:
  int n_;
  int seen_ = 0;
  bool hit_ = false;
};

// A tmpfs mounted over a fresh folder; root may mount, elsewhere the test
// that needs one is skipped.
class Tmpfs {
 public:
  Tmpfs(const fs::path& at, unsigned long flags, const char* options) : at_(at) {
    fs::create_directories(at);
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", flags, options) == 0;
  }
  ~Tmpfs() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path at_;
  bool mounted_ = false;
};

}  // namespace faultfixtures
