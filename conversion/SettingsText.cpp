#include "conversion/SettingsText.h"

#include <vector>

#include "support/FileIo.h"
#include "support/Func_2.h"

namespace {

bool StartsWith(std::span<const std::uint8_t> B, std::initializer_list<std::uint8_t> Mark) {
  return B.size() >= Mark.size() && std::equal(Mark.begin(), Mark.end(), B.begin());
}

std::u16string DecodeUtf16BigEndian(std::span<const std::uint8_t> B) {
  std::vector<std::uint8_t> Swapped(B.begin(), B.end());
  for (std::size_t I = 0; I + 1 < Swapped.size(); I += 2) std::swap(Swapped[I], Swapped[I + 1]);
  return Utf16BytesToText(Swapped);
}

}  // namespace

std::u16string DecodeSettingsText(std::span<const std::uint8_t> Bytes) {
  if (StartsWith(Bytes, {0xEF, 0xBB, 0xBF})) {
    const auto Rest = Bytes.subspan(3);
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(Rest.data()), Rest.size()));
  }
  if (StartsWith(Bytes, {0xFF, 0xFE})) return Utf16BytesToText(Bytes.subspan(2));
  if (StartsWith(Bytes, {0xFE, 0xFF})) return DecodeUtf16BigEndian(Bytes.subspan(2));
  return AnsiBytesToText(Bytes);
}

std::optional<std::u16string> ReadSettingsText(std::u16string_view FileName) {
  struct stat Info {};
  const FileHandle F = OpenRegularFile(FileName, &Info);
  if (!F.Valid() || static_cast<std::uintmax_t>(Info.st_size) > kMaxSettingsTextBytes) return std::nullopt;
  std::vector<std::uint8_t> B(static_cast<std::size_t>(Info.st_size));
  if (ReadFully(F.Get(), B.data(), B.size()) != static_cast<std::ptrdiff_t>(B.size())) return std::nullopt;
  return DecodeSettingsText(B);
}

void ForEachKeyLine(std::u16string_view Text, std::span<const std::u16string_view> Headers,
                    std::u16string_view FirstSection, const std::function<void(const TKeyLine&)>& Apply) {
  std::u16string_view Section = FirstSection;
  std::size_t Pos = 0;
  while (Pos < Text.size()) {
    const std::size_t End = std::min(Text.find_first_of(u"\r\n", Pos), Text.size());
    const std::u16string_view Line = Text.substr(Pos, End - Pos);
    Pos = End + (Text.substr(End, 2) == u"\r\n" ? 2 : 1);
    if (Line.empty()) continue;
    if (std::find(Headers.begin(), Headers.end(), Line) != Headers.end()) {
      Section = Line;
      continue;
    }
    // A line without "=" (an unknown header among them) has an empty key,
    // which matches nothing.
    const std::size_t Eq = Line.find(u'=');
    if (Eq != std::u16string_view::npos) Apply({Section, Line.substr(0, Eq), Line.substr(Eq + 1)});
  }
}

TSettingsTextWriter::TSettingsTextWriter() : Bytes_("\xEF\xBB\xBF") {}

void TSettingsTextWriter::Line(std::u16string_view Text) {
  Bytes_ += ToUtf8(Text);
  Bytes_ += "\r\n";
}

void TSettingsTextWriter::Key(std::u16string_view Key, std::int32_t Value) { this->Key(Key, IntToText(Value)); }

void TSettingsTextWriter::Key(std::u16string_view Key, std::u16string_view Value) {
  const bool Breaks = Value.find_first_of(u"\r\n") != std::u16string_view::npos;
  Line(std::u16string(Key) + u"=" + std::u16string(Breaks ? std::u16string_view{} : Value));
}

bool WriteSettingsText(std::u16string_view FileName, const TSettingsTextWriter& Writer) {
  const std::string& Bytes = Writer.Bytes();
  return WriteFileReplacing(
      FileName,
      [&](ByteSink& Sink) { return Sink.Put(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()); },
      OnFailure::KeepDestination);
}
