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
  const char* env = std::getenv("LINTORRA_CORPUS");
  fs::path dir = env && *env ? fs::path(env) : fs::path(LINTORRA_CORPUS_DIR);
  std::error_code ec;
  return fs::is_directory(dir, ec) ? dir : fs::path();
}

std::vector<fs::path> CorpusFiles(const std::string& sub, const std::string& ext) {
  std::vector<fs::path> out;
  const fs::path root = CorpusDir();
  if (root.empty() || !fs::is_directory(root / sub)) return out;
  for (const auto& e : fs::recursive_directory_iterator(root / sub)) {
    if (!e.is_regular_file()) continue;
    std::string x = e.path().extension().string();
    std::transform(x.begin(), x.end(), x.begin(), [](unsigned char c) { return std::tolower(c); });
    if (x == ext) out.push_back(e.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

TempDir::TempDir() {
  static std::mt19937_64 rng{std::random_device{}()};
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    path_ = base / ("lintorra-test-" + std::to_string(rng()));
    std::error_code ec;
    if (fs::create_directory(path_, ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::u16string TempDir::u16() const { return U16(path_) + u'/'; }

std::vector<std::uint8_t> ReadFileBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::u16string U16(const fs::path& p) { return FromPath(p); }

ProcessResult RunProcess(const std::vector<std::string>& argv, const TempDir& scratch) {
  std::vector<std::string> args = argv;
  std::vector<char*> ptrs;
  for (std::string& a : args) ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  const std::string out = (scratch / "stdout").string(), err = (scratch / "stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ProcessResult r;
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, ptrs[0], &actions, nullptr, ptrs.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return r;
  int status = 0;
  waitpid(pid, &status, 0);
  r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  const auto o = ReadFileBytes(out), e = ReadFileBytes(err);
  r.Out.assign(o.begin(), o.end());
  r.Err.assign(e.begin(), e.end());
  return r;
}

ByteBuilder& ByteBuilder::u8(std::uint8_t v) {
  bytes.push_back(v);
  return *this;
}
ByteBuilder& ByteBuilder::u16(std::uint16_t v) {
  u8(v & 0xFF);
  return u8(v >> 8);
}
ByteBuilder& ByteBuilder::u32(std::uint32_t v) {
  u16(v & 0xFFFF);
  return u16(v >> 16);
}
ByteBuilder& ByteBuilder::f64(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, 8);
  u32(static_cast<std::uint32_t>(b));
  return u32(static_cast<std::uint32_t>(b >> 32));
}
ByteBuilder& ByteBuilder::raw(std::string_view s) {
  bytes.insert(bytes.end(), s.begin(), s.end());
  return *this;
}
ByteBuilder& ByteBuilder::raw(const std::vector<std::uint8_t>& b) {
  bytes.insert(bytes.end(), b.begin(), b.end());
  return *this;
}
ByteBuilder& ByteBuilder::fill(std::uint8_t v, std::size_t n) {
  bytes.insert(bytes.end(), n, v);
  return *this;
}

}  // namespace testsupport
