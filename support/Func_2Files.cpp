// File-system helpers: existence checks, folders, deletion, the folder
// search and the copy that keeps the file times.
//
// Only regular files are ever opened, and always without blocking, so a FIFO
// or a device that happens to carry a drawing's name can never stall the
// program.
#include "support/Func_2.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <cwctype>
#include <limits>
#include <memory>
#include <utility>

#include "support/FileIo.h"

std::vector<TFileField> FileList;
std::int32_t FileListN = 0;

namespace {

bool StatPath(std::u16string_view Path, struct stat& St) {
  return !Path.empty() && ::stat(ToPath(Path).c_str(), &St) == 0;
}

// Letters compare without regard to case, ASCII ones in every locale.
char16_t FoldCase(char16_t C) {
  if (C < 0x80) return C >= u'a' && C <= u'z' ? static_cast<char16_t>(C - 0x20) : C;
  if (C >= 0xD800 && C <= 0xDFFF) return C;
  const std::wint_t U = std::towupper(C);
  return U <= 0xFFFF ? static_cast<char16_t>(U) : C;
}

// "*" matches any run of characters, "?" exactly one. Backtracks only to
// the last "*", so the cost stays bounded by |Pattern| * |Name|.
bool WildcardMatch(std::u16string_view Pattern, std::u16string_view Name) {
  constexpr std::size_t kNone = std::u16string_view::npos;
  std::size_t P = 0, N = 0, StarP = kNone, StarN = 0;
  while (N < Name.size()) {
    if (P < Pattern.size() && Pattern[P] == u'*') {
      StarP = P++;
      StarN = N;
    } else if (P < Pattern.size() && (Pattern[P] == u'?' || FoldCase(Pattern[P]) == FoldCase(Name[N]))) {
      ++P;
      ++N;
    } else if (StarP != kNone) {
      P = StarP + 1;
      N = ++StarN;
    } else {
      return false;
    }
  }
  while (P < Pattern.size() && Pattern[P] == u'*') ++P;
  return P == Pattern.size();
}

std::u16string FormatThree(const char* Format, int A, int B, int C) {
  char Text[40];
  const int N = std::snprintf(Text, sizeof Text, Format, A, B, C);
  return std::u16string(Text, Text + std::max(0, std::min(N, static_cast<int>(sizeof Text) - 1)));
}

TFileField MakeFileField(std::u16string Name, const struct stat& Info) {
  TFileField F;
  F.name = std::move(Name);
  F.size = static_cast<std::int32_t>(static_cast<std::uint32_t>(Info.st_size));
  std::tm T{};
  const std::time_t Written = Info.st_mtime;
  if (::localtime_r(&Written, &T)) {
    F.date = FormatThree("%04d/%02d/%02d", T.tm_year + 1900, T.tm_mon + 1, T.tm_mday);
    F.time = FormatThree("%02d:%02d:%02d", T.tm_hour, T.tm_min, T.tm_sec);
  }
  return F;
}

}  // namespace

bool IsFile(std::u16string_view Path) {
  struct stat St;
  return StatPath(Path, St) && S_ISREG(St.st_mode);
}

bool FileMayExist(std::u16string_view Path) {
  if (Path.empty()) return false;
  struct stat St;
  if (::stat(ToPath(Path).c_str(), &St) == 0) return S_ISREG(St.st_mode);
  return errno != ENOENT && errno != ENOTDIR;
}

bool IsFolder(std::u16string_view Path) {
  struct stat St;
  return StatPath(Path, St) && S_ISDIR(St.st_mode);
}

bool FolderCreate(std::u16string_view Path) {
  if (Path.empty()) return false;
  std::error_code Ec;
  const std::filesystem::path Absolute = std::filesystem::absolute(ToPath(Path), Ec);
  if (Ec) return false;
  std::filesystem::create_directories(Absolute, Ec);
  return std::filesystem::is_directory(Absolute, Ec);
}

bool FolderRemove(std::u16string_view Path) { return !Path.empty() && ::rmdir(ToPath(Path).c_str()) == 0; }

bool FileDeleteQuiet(std::u16string_view Path) { return !Path.empty() && ::unlink(ToPath(Path).c_str()) == 0; }

bool ReadFileHead(std::u16string_view Path, std::size_t MaxBytes, Bytes& Data) {
  const FileHandle F = OpenRegularFile(Path);
  Data.clear();
  if (!F.Valid()) return false;
  Data.resize(MaxBytes);
  const std::ptrdiff_t N = ReadFully(F.Get(), Data.data(), Data.size());
  Data.resize(N < 0 ? 0 : static_cast<std::size_t>(N));
  return N >= 0;
}

void FileListClear() {
  FileList.clear();
  FileList.shrink_to_fit();
  FileListN = 0;
}

void FileListSearch(std::u16string_view Folder, std::u16string_view Pattern) {
  FileListClear();
  if (Folder.empty()) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> Dir(::opendir(ToPath(Folder).c_str()), ::closedir);
  if (!Dir) return;
  while (const dirent* Entry = ::readdir(Dir.get())) {
    std::u16string Name = FromNativeName(Entry->d_name);
    if (Name == u"." || Name == u".." || !WildcardMatch(Pattern, Name)) continue;
    // Follows links; folders, FIFOs, devices and dangling links are left out.
    struct stat Info;
    if (::fstatat(::dirfd(Dir.get()), Entry->d_name, &Info, 0) != 0 || !S_ISREG(Info.st_mode)) continue;
    FileList.push_back(MakeFileField(std::move(Name), Info));
  }
  FileList.shrink_to_fit();
  FileListN = static_cast<std::int32_t>(FileList.size());
}

bool FileCopyKeepTime(std::u16string_view Source, std::u16string_view Dest) {
  struct stat Src;
  const FileHandle In = OpenRegularFile(Source, &Src);
  if (!In.Valid() || Dest.empty()) return false;
  // Replace only a regular file, and never the source itself (truncating it
  // would lose it).
  struct stat Old;
  if (::lstat(ToPath(Dest).c_str(), &Old) == 0 &&
      (!S_ISREG(Old.st_mode) || (Old.st_dev == Src.st_dev && Old.st_ino == Src.st_ino)))
    return false;
  // A link planted at Dest must not redirect the write elsewhere.
  FileHandle Out = CreateRegularFile(Dest);
  if (!Out.Valid()) return false;
  const TCopyResult Copied = CopyBytes(
      std::numeric_limits<std::uint64_t>::max(),
      [&](std::uint8_t* P, std::size_t N) { return ReadFully(In.Get(), P, N); },
      [&](const std::uint8_t* P, std::size_t N) { return WriteFully(Out.Get(), P, N); });
  bool Complete = !Copied.Failed;
  if (Complete) {
    const timespec Times[2] = {Src.st_atim, Src.st_mtim};
    ::futimens(Out.Get(), Times);  // a copy without its times is still a complete copy
  }
  Complete = Out.Close() && Complete;
  if (!Complete) FileDeleteQuiet(Dest);
  return Complete;
}
