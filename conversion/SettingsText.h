// The line-based text form shared by the INI file and the settings files:
// sections in square brackets and key=value lines.
//
// Writing: UTF-8 with a byte-order mark, every line ending in CR LF, written
// to a temporary file beside the target and renamed over it, so a crash never
// leaves half a file. Reading: the byte-order mark picks UTF-8, UTF-16 LE or
// UTF-16 BE; without one the text is code page 932. Lines end at CR LF, CR or
// LF; empty lines are skipped.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Larger files are refused (the real ones have some 20 KB): a hand-edited or
// hostile file must not make the reader allocate without bound.
inline constexpr std::uintmax_t kMaxSettingsTextBytes = std::uintmax_t{16} << 20;

std::u16string DecodeSettingsText(std::span<const std::uint8_t> Bytes);

// The whole file decoded; nothing when it is missing, not a regular file,
// unreadable or larger than kMaxSettingsTextBytes.
std::optional<std::u16string> ReadSettingsText(std::u16string_view FileName);

struct TKeyLine {
  std::u16string_view Section;  // the header in effect, brackets included
  std::u16string_view Key;      // the text before the first "="
  std::u16string_view Value;    // everything after it, untrimmed
};

// Calls Apply for every key line of Text in order. A line equal to one of
// Headers (exactly) switches the section; FirstSection is in effect before
// the first header. Lines without "=" (headers the reader does not know
// among them) are skipped: their key would be empty and match nothing.
void ForEachKeyLine(std::u16string_view Text, std::span<const std::u16string_view> Headers,
                    std::u16string_view FirstSection, const std::function<void(const TKeyLine&)>& Apply);

// Collects the lines of a file in the text form.
class TSettingsTextWriter {
 public:
  TSettingsTextWriter();
  void Line(std::u16string_view Text);
  void Key(std::u16string_view Key, std::int32_t Value);
  // A value holding a line break cannot be stored in this form; it is written
  // empty rather than letting its second line read back as a key of its own.
  void Key(std::u16string_view Key, std::u16string_view Value);
  const std::string& Bytes() const { return Bytes_; }

 private:
  std::string Bytes_;
};

// Writes the collected lines atomically. False when the file could not be
// written whole; the target is then as it was before.
bool WriteSettingsText(std::u16string_view FileName, const TSettingsTextWriter& Writer);
