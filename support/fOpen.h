// Opening a file with the program the desktop associates with it.
#pragma once

#include <string>

class TMisc {
 public:
  // Asks the desktop (xdg-open) to open the file sCommand. Returns at once;
  // whether a program was found is not reported.
  static void Open(const std::u16string& SCommand);
};
