#include "support/FolderTree.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "support/Func_2.h"

namespace fs = std::filesystem;

namespace {

// The names of Folder's subfolders in name order; links are not folders here.
std::vector<std::u16string> SubfolderNames(const fs::path& Folder) {
  std::vector<std::u16string> Names;
  std::error_code Ec;
  for (fs::directory_iterator It(Folder, Ec), End; !Ec && It != End; It.increment(Ec))
    if (It->is_directory(Ec) && !It->is_symlink(Ec)) Names.push_back(FromPath(It->path().filename()));
  std::sort(Names.begin(), Names.end());
  return Names;
}

bool SameFolder(const fs::path& A, const fs::path& B) {
  std::error_code Ec;
  return fs::equivalent(A, B, Ec);
}

void Walk(const fs::path& Root, const std::u16string& Relative, const fs::path& Exclude,
          std::vector<std::u16string>& Paths) {
  for (const std::u16string& Name : SubfolderNames(Root / ToPath(Relative))) {
    const std::u16string Sub = Relative.empty() ? Name : PathJoin(Relative, Name);
    if (!Exclude.empty() && SameFolder(Root / ToPath(Sub), Exclude)) continue;
    Paths.push_back(Sub);
    Walk(Root, Sub, Exclude, Paths);
  }
}

}  // namespace

std::vector<std::u16string> SubfolderPaths(std::u16string_view Root, std::u16string_view Exclude) {
  std::vector<std::u16string> Paths;
  Walk(ToPath(Root), {}, Exclude.empty() ? fs::path() : ToPath(Exclude), Paths);
  return Paths;
}

bool MakeFolderBelow(std::u16string_view Root, std::u16string_view Relative) {
  fs::path Folder = ToPath(Root);
  for (const fs::path& Part : ToPath(Relative)) {
    if (Part == "." || Part == ".." || Part.has_root_path()) return false;
    Folder /= Part;
    std::error_code Ec;
    const fs::file_status S = fs::symlink_status(Folder, Ec);
    if (S.type() == fs::file_type::not_found) {
      if (!fs::create_directory(Folder, Ec) && !fs::is_directory(fs::symlink_status(Folder, Ec))) return false;
    } else if (S.type() != fs::file_type::directory) {
      return false;
    }
  }
  return true;
}

bool FolderWithin(std::u16string_view Inner, std::u16string_view Outer) {
  std::error_code Ec;
  const fs::path O = fs::canonical(ToPath(Outer), Ec);
  if (Ec) return false;
  for (fs::path P = fs::canonical(ToPath(Inner), Ec); !Ec && !P.empty(); P = P.parent_path()) {
    if (SameFolder(P, O)) return true;
    if (P == P.parent_path()) break;
  }
  return false;
}
