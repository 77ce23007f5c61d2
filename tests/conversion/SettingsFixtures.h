// Building INI and settings files byte by byte for the settings tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/TestSupport.h"

namespace settingsfixtures {

inline std::vector<std::uint8_t> Plain(std::string_view Text) { return {Text.begin(), Text.end()}; }

inline std::vector<std::uint8_t> Utf8Bom(std::string_view Text) { return Plain("\xEF\xBB\xBF" + std::string(Text)); }

inline std::vector<std::uint8_t> Utf16(std::u16string_view Text, bool BigEndian) {
  std::vector<std::uint8_t> B =
      BigEndian ? std::vector<std::uint8_t>{0xFE, 0xFF} : std::vector<std::uint8_t>{0xFF, 0xFE};
  for (char16_t C : Text) {
    const auto Lo = static_cast<std::uint8_t>(C & 0xFF), Hi = static_cast<std::uint8_t>(C >> 8);
    B.push_back(BigEndian ? Hi : Lo);
    B.push_back(BigEndian ? Lo : Hi);
  }
  return B;
}

// The lines of a written file split at CR LF; a lone CR or LF fails the test.
inline std::vector<std::string> CrLfLines(const std::vector<std::uint8_t>& Bytes) {
  std::string Text(Bytes.begin(), Bytes.end());
  EXPECT_EQ(Text.substr(0, 3), "\xEF\xBB\xBF");
  Text.erase(0, 3);
  std::vector<std::string> Lines;
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    const std::size_t End = Text.find("\r\n", Pos);
    if (End == std::string::npos) {
      ADD_FAILURE() << "last line without CR LF";
      break;
    }
    Lines.push_back(Text.substr(Pos, End - Pos));
    EXPECT_EQ(Lines.back().find_first_of("\r\n"), std::string::npos) << Lines.back();
    Pos = End + 2;
  }
  return Lines;
}

// The key (or header) of each line.
inline std::vector<std::string> KeysOf(const std::vector<std::string>& Lines) {
  std::vector<std::string> Keys;
  for (const std::string& L : Lines) Keys.push_back(L.substr(0, L.find('=')));
  return Keys;
}

inline void AddKeys(std::vector<std::string>& Keys, const std::string& Prefix, int First, int Last) {
  for (int N = First; N <= Last; ++N) Keys.push_back(Prefix + std::to_string(N));
}

inline void AddTableAndRowSections(std::vector<std::string>& Keys, bool WithSetBetween) {
  Keys.push_back("[JWW]");
  AddKeys(Keys, "C", 1, 322);
  AddKeys(Keys, "W", 1, 265);
  if (WithSetBetween) {
    Keys.push_back("[Set]");
    Keys.push_back("CVNO");
  }
  Keys.push_back("[JWW1]");
  for (int N = 1; N <= 10; ++N)
    for (const char* F : {"FL", "CN", "LN", "CL", "LT", "WD"}) Keys.push_back(F + std::to_string(N));
}

}  // namespace settingsfixtures
