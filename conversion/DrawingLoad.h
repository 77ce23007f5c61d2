// Loading a drawing or figure only to look at it: the census and the dry run
// read a file as the batch run does (the format its extension names, the
// format check, the whole load) with documents of their own that extract no
// bound image, so looking writes nothing anywhere.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "documents/JwError.h"

class TJwwData;
class TJwsData;

// Why a file was not looked at, or what a save of it would not do.
enum class TFileProblem {
  None,
  NotDrawing,     // the extension is neither ".jww" nor ".jws"
  Unreadable,     // the file cannot be opened for reading
  NotRecognised,  // not a JWW or JWS file of an accepted version
  Incomplete,     // the file could not be read whole
  NotSaved,       // the converted document could not be saved (or read back)
};

// The reason of a problem in words: the one place that says why a file did
// not load, in English for the command line and in Japanese for the window.
std::string FileProblemText(TFileProblem P);
std::u16string FileProblemCaption(TFileProblem P);

class TDrawingLoader {
 public:
  TDrawingLoader();
  ~TDrawingLoader();
  TDrawingLoader(const TDrawingLoader&) = delete;
  TDrawingLoader& operator=(const TDrawingLoader&) = delete;

  // Loads Path as a JWW drawing or a JWS figure by its extension, after the
  // format check. The document of that kind holds the file afterwards (a
  // partial load is cleared again); the other one is empty.
  TFileProblem Load(std::u16string_view Path);
  // Why the last load failed, in the document's words; no fault after one
  // that succeeded or a file of another extension.
  const TJwError& LastError() const { return LastError_; }
  // True when the last load that succeeded was a drawing.
  bool IsJww() const { return IsJww_; }
  TJwwData& Jww() { return *Jww_; }
  TJwsData& Jws() { return *Jws_; }
  const TJwwData& Jww() const { return *Jww_; }
  const TJwsData& Jws() const { return *Jws_; }
  // Calls F with the loaded document (TJwwData& or TJwsData&).
  template <class F>
  decltype(auto) Visit(F&& Fn) {
    return IsJww_ ? Fn(*Jww_) : Fn(*Jws_);
  }
  template <class F>
  decltype(auto) Visit(F&& Fn) const {
    return IsJww_ ? Fn(std::as_const(*Jww_)) : Fn(std::as_const(*Jws_));
  }
  void Clear();

 private:
  std::unique_ptr<TJwwData> Jww_;
  std::unique_ptr<TJwsData> Jws_;
  bool IsJww_ = false;
  TJwError LastError_;
};
