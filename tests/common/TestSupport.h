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
std::vector<std::filesystem::path> CorpusFiles(const std::string& Sub, const std::string& Ext);

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
  const std::filesystem::path& path() const { return Path_; }
  std::filesystem::path operator/(const std::string& Name) const { return Path_ / Name; }
  std::u16string u16() const;  // the path with a trailing separator
 private:
  std::filesystem::path Path_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& P);
void WriteFileBytes(const std::filesystem::path& P, const std::vector<std::uint8_t>& Bytes);
std::u16string U16(const std::filesystem::path& P);

// Runs a program to its end with its standard output and error captured in
// files of the scratch folder.
struct ProcessResult {
  int Exit = -1;  // also when the program could not be started
  std::string Out, Err;
};
ProcessResult RunProcess(const std::vector<std::string>& Argv, const TempDir& Scratch);

// Little-endian byte building for fixtures written from the format tables.
class ByteBuilder {
 public:
  ByteBuilder& u8(std::uint8_t V);
  ByteBuilder& u16(std::uint16_t V);
  ByteBuilder& u32(std::uint32_t V);
  ByteBuilder& i32(std::int32_t V) { return u32(static_cast<std::uint32_t>(V)); }
  ByteBuilder& f64(double V);
  ByteBuilder& raw(std::string_view S);
  ByteBuilder& raw(const std::vector<std::uint8_t>& B);
  ByteBuilder& fill(std::uint8_t V, std::size_t N);
  std::vector<std::uint8_t> bytes;
  std::size_t size() const { return bytes.size(); }
};

}  // namespace testsupport
