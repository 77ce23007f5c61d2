#include "common/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "support/Func_2.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

extern char** environ;

namespace fs = std::filesystem;

namespace testsupport {

fs::path CorpusDir() {
  const char* Env = std::getenv("LINTORRA_CORPUS");
  fs::path Dir = Env && *Env ? fs::path(Env) : fs::path(LINTORRA_CORPUS_DIR);
  std::error_code Ec;
  return fs::is_directory(Dir, Ec) ? Dir : fs::path();
}

std::vector<fs::path> CorpusFiles(const std::string& Sub, const std::string& Ext) {
  std::vector<fs::path> Out;
  const fs::path Root = CorpusDir();
  if (Root.empty() || !fs::is_directory(Root / Sub)) return Out;
  for (const auto& E : fs::recursive_directory_iterator(Root / Sub)) {
    if (!E.is_regular_file()) continue;
    std::string X = E.path().extension().string();
    std::transform(X.begin(), X.end(), X.begin(), [](unsigned char C) { return std::tolower(C); });
    if (X == Ext) Out.push_back(E.path());
  }
  std::sort(Out.begin(), Out.end());
  return Out;
}

TempDir::TempDir() {
  static std::mt19937_64 Rng{std::random_device{}()};
  const fs::path Base = fs::temp_directory_path();
  for (;;) {
    Path_ = Base / ("lintorra-test-" + std::to_string(Rng()));
    std::error_code Ec;
    if (fs::create_directory(Path_, Ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code Ec;
  fs::remove_all(Path_, Ec);
}

std::u16string TempDir::u16() const { return U16(Path_) + u'/'; }

std::vector<std::uint8_t> ReadFileBytes(const fs::path& P) {
  std::ifstream In(P, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(In), {});
}

void WriteFileBytes(const fs::path& P, const std::vector<std::uint8_t>& Bytes) {
  std::ofstream Out(P, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

std::u16string U16(const fs::path& P) { return FromPath(P); }

ProcessResult RunProcess(const std::vector<std::string>& Argv, const TempDir& Scratch) {
  std::vector<std::string> Args = Argv;
  std::vector<char*> Ptrs;
  for (std::string& A : Args) Ptrs.push_back(A.data());
  Ptrs.push_back(nullptr);
  const std::string Out = (Scratch / "stdout").string(), Err = (Scratch / "stderr").string();
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, 1, Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&Actions, 2, Err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ProcessResult R;
  pid_t Pid = 0;
  const int Rc = posix_spawn(&Pid, Ptrs[0], &Actions, nullptr, Ptrs.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  if (Rc != 0) return R;
  int Status = 0;
  waitpid(Pid, &Status, 0);
  R.Exit = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  const auto O = ReadFileBytes(Out), E = ReadFileBytes(Err);
  R.Out.assign(O.begin(), O.end());
  R.Err.assign(E.begin(), E.end());
  return R;
}

ByteBuilder& ByteBuilder::u8(std::uint8_t V) {
  bytes.push_back(V);
  return *this;
}
ByteBuilder& ByteBuilder::u16(std::uint16_t V) {
  u8(V & 0xFF);
  return u8(V >> 8);
}
ByteBuilder& ByteBuilder::u32(std::uint32_t V) {
  u16(V & 0xFFFF);
  return u16(V >> 16);
}
ByteBuilder& ByteBuilder::f64(double V) {
  std::uint64_t B;
  std::memcpy(&B, &V, 8);
  u32(static_cast<std::uint32_t>(B));
  return u32(static_cast<std::uint32_t>(B >> 32));
}
ByteBuilder& ByteBuilder::raw(std::string_view S) {
  bytes.insert(bytes.end(), S.begin(), S.end());
  return *this;
}
ByteBuilder& ByteBuilder::raw(const std::vector<std::uint8_t>& B) {
  bytes.insert(bytes.end(), B.begin(), B.end());
  return *this;
}
ByteBuilder& ByteBuilder::fill(std::uint8_t V, std::size_t N) {
  bytes.insert(bytes.end(), N, V);
  return *this;
}

}  // namespace testsupport
