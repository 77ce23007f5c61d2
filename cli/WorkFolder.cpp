#include "cli/WorkFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/Func_2.h"

TempWorkFolder::TempWorkFolder() {
  std::string Tmpl = (std::filesystem::temp_directory_path() / "lintorra-XXXXXX").string();
  if (::mkdtemp(Tmpl.data())) Path_ = WithTrailingDelim(FromNativeName(Tmpl));
}

TempWorkFolder::~TempWorkFolder() {
  std::error_code Ec;
  if (!Path_.empty()) std::filesystem::remove_all(ToPath(Path_), Ec);
}
