// A private working folder for images extracted while a drawing is loaded;
// removed with the object.
#pragma once

#include <string>

class TempWorkFolder {
 public:
  TempWorkFolder();
  ~TempWorkFolder();
  TempWorkFolder(const TempWorkFolder&) = delete;
  TempWorkFolder& operator=(const TempWorkFolder&) = delete;
  bool ok() const { return !Path_.empty(); }
  // The folder with a trailing separator, as the documents expect it.
  const std::u16string& path() const { return Path_; }

 private:
  std::u16string Path_;
};
