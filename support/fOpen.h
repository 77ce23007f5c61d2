// Opening a file with the program the desktop associates with it.
#pragma once

#include <functional>
#include <string>

class TMisc {
 public:
  // Asks the desktop (xdg-open) to open the file sCommand and returns at
  // once. Done, when given, learns whether a program opened the file: it is
  // called on a background thread when xdg-open has ended (true for its
  // success), or at once with false when xdg-open could not be started.
  static void Open(const std::u16string& SCommand, std::function<void(bool Opened)> Done = {});
};
