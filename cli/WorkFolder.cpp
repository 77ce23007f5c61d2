#include "cli/WorkFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/Func_2.h"

TempWorkFolder::TempWorkFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "lintorra-XXXXXX").string();
  if (::mkdtemp(tmpl.data())) path_ = FromNativeName(tmpl) + PathDelimChar();
}

TempWorkFolder::~TempWorkFolder() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(ToPath(path_), ec);
}
