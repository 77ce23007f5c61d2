// Helpers shared by the tests: the real drawings, temporary folders and
// byte-level fixture building.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// Folder of the real Jw_cad drawings (env LINTORRA_CORPUS overrides);
// empty when absent.
std::filesystem::path CorpusDir();
// Every file below CorpusDir()/sub whose extension matches ext (lower-case,
// with the dot), sorted; empty when the folder is absent.
std::vector<std::filesystem::path> CorpusFiles(const std::string& sub, const std::string& ext);

#define SKIP_WITHOUT_CORPUS(files)                                      \
  do {                                                                  \
    if ((files).empty()) GTEST_SKIP() << "real drawings not available"; \
  } while (0)

// A fresh folder under the system temp folder, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::u16string u16() const;  // the path with a trailing separator
 private:
  std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& p);
void WriteFileBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes);
std::u16string U16(const std::filesystem::path& p);

// Runs a program to its end with its standard output and error captured in
// files of the scratch folder.
struct ProcessResult {
  int Exit = -1;  // also when the program could not be started
  std::string Out, Err;
};
ProcessResult RunProcess(const std::vector<std::string>& argv, const TempDir& scratch);

// Little-endian byte building for fixtures written from the format tables.
class ByteBuilder {
 public:
  ByteBuilder& u8(std::uint8_t v);
  ByteBuilder& u16(std::uint16_t v);
  ByteBuilder& u32(std::uint32_t v);
  ByteBuilder& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  ByteBuilder& f64(double v);
  ByteBuilder& raw(std::string_view s);
  ByteBuilder& raw(const std::vector<std::uint8_t>& b);
  ByteBuilder& fill(std::uint8_t v, std::size_t n);
  std::vector<std::uint8_t> bytes;
  std::size_t size() const { return bytes.size(); }
};

}  // namespace testsupport
