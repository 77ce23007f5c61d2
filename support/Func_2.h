// Small string, number, byte-array, path and file-system helpers shared by
// the documents, the conversion and the windows. Strings are UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// ---- Strings (positions and lengths count UTF-16 code units, 0-based) ----
std::u16string TextUpper(std::u16string_view S);
std::u16string TextLower(std::u16string_view S);
std::u16string TextCopyPart(std::u16string_view S, int Start, int Count);

// Removes every character below U+0020.
std::u16string StripControlChars(std::u16string_view S);
std::u16string StripControlChars(std::u16string&& S);  // in place
// Drops the line-break markers "^m" and "\n" and control characters; a
// non-empty text that would come out empty becomes a single space.
std::u16string CleanOutText(std::u16string_view S);
// True when CleanOutText leaves S as it is: no control character, no marker.
bool IsCleanText(std::u16string_view S);
// Removes blanks (U+0020, U+3000) and control characters.
std::u16string StripBlanks(std::u16string_view S);

// ---- Numbers and truth values ----
std::u16string IntToText(long long N);
std::int32_t TextToInt(std::u16string_view S);
// TextToInt that tells a text which is no 32-bit integer from one reading 0.
std::optional<std::int32_t> TryTextToInt(std::u16string_view S);
long double TextToReal(std::u16string_view S);
bool TextToBool(std::u16string_view S);
std::u16string BoolToText(bool B);
bool DoubleIsFinite(double X);

// ---- Byte arrays and code pages (the code page is 932, Shift_JIS) ----
// Conversions never fail: bytes that do not decode become U+FFFD, characters
// the code page lacks become "?".
Bytes TextToAnsiBytes(std::u16string_view S);
// TextToAnsiBytes cut at a character boundary so that it holds at most
// MaxBytes bytes (a double-byte character is never split).
Bytes TextToAnsiBytesLimited(std::u16string_view S, std::size_t MaxBytes);
std::u16string AnsiBytesToText(std::span<const std::uint8_t> B);
std::u16string Utf16BytesToText(std::span<const std::uint8_t> B);

// ---- UTF-8 bridge to the Linux file system and terminals ----
// Texts for people (terminals, JSON, INI files): what is not valid becomes
// U+FFFD.
std::string ToUtf8(std::u16string_view S);
std::u16string FromUtf8(std::string_view S);
// File names, which Linux keeps as bytes: each byte that is not part of valid
// UTF-8 (a Shift_JIS name from an old archive) is held as U+DC80..U+DCFF and
// written back as the same byte, so every listed name opens its file.
std::string ToNativeName(std::u16string_view S);
std::u16string FromNativeName(std::string_view S);
std::filesystem::path ToPath(std::u16string_view S);
std::u16string FromPath(const std::filesystem::path& P);

// ---- File names and paths ("/" is the separator; "\" and ":" also end a
// folder part, as in the names the drawings come with) ----
char16_t PathDelimChar();
// Folder and Name joined by one separator: none is added after a folder that
// ends with one (the root "/"), and an empty Folder stands for the root.
std::u16string PathJoin(std::u16string_view Folder, std::u16string_view Name);
// Folder ending with a separator, as the folder search and the documents'
// working folder expect it (PathJoin with an empty name).
std::u16string WithTrailingDelim(std::u16string_view Folder);
std::u16string FileNameOnly(std::u16string_view Path);
std::u16string FileExtLower(std::u16string_view Path);
std::u16string FileExtChange(std::u16string_view Path, std::u16string_view Ext);

// ---- File system (all follow links; failures show only in the result) ----
// A regular file: FIFOs and devices do not count, so nothing that could
// block is ever taken for a drawing.
bool IsFile(std::u16string_view Path);
// A regular file, or a name the system cannot look up (too long, a folder
// that may not be searched): before a file is replaced, a file that cannot
// be seen must not pass for a missing one.
bool FileMayExist(std::u16string_view Path);
bool IsFolder(std::u16string_view Path);
// Creates the folder (made absolute) and any missing parents; true when it
// exists afterwards.
bool FolderCreate(std::u16string_view Path);
// Removes the folder only when it is empty.
bool FolderRemove(std::u16string_view Path);
// Deletes a file (never a folder).
bool FileDeleteQuiet(std::u16string_view Path);
// Reads up to MaxBytes from the start of the regular file at Path (fewer
// when the file is shorter). False when Path is not a regular file or cannot
// be read; never blocks on a FIFO or device.
bool ReadFileHead(std::u16string_view Path, std::size_t MaxBytes, Bytes& Data);

struct TFileField {
  std::u16string name;
  std::int32_t size = 0;
  std::u16string date;  // "yyyy/mm/dd", local time
  std::u16string time;  // "hh:nn:ss"
  bool dirf = false;
};

extern std::vector<TFileField> FileList;
extern std::int32_t FileListN;

// Lists the regular files of Folder (which ends with a separator) whose
// names match Pattern, in directory order. "*" matches any run of
// characters, "?" one; letters match without regard to case.
void FileListSearch(std::u16string_view Folder, std::u16string_view Pattern);
void FileListClear();

// Copies Source to Dest and gives the copy the access and modification times
// of Source. False when no complete copy was made (a partial one is
// removed). Both must be regular files (Dest may be missing); a link at
// Dest, or Dest being Source itself, is refused.
bool FileCopyKeepTime(std::u16string_view Source, std::u16string_view Dest);
