// Why a check, load or save of a document failed, kept for the user: what
// went wrong, where reading stopped for a fault of the file's format, and
// the system's error number where the system refused. The readers stay
// tolerant; they only keep the first reason that ends a load.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

enum class TJwFault {
  None,
  CannotOpen,           // Value: the error number
  ReadFailed,           // Offset, Value: the error number
  NotOfFormat,          // Detail: "JWW", "JWS", "JWC" or "JWK"
  VersionNotSupported,  // Value: the version
  HeaderEndsEarly,      // Offset
  EntityListEndsEarly,  // Offset
  BlockListEndsEarly,   // Offset
  UnknownRecordType,    // Offset of its tag, Detail: the class name as read
  OutOfMemory,
  NotLoaded,           // a save of a document that no load filled
  ImageUnreadable,     // Detail: the image's file name
  CannotWrite,         // Value: the error number
  ReadBackDiffers,     // Offset: the first byte that differs, or where the reload stopped
  ReadBackUnreadable,  // Value: the error number
  SavedBytesChanged,   // the saved file reads back the same, but is not what was written
};

struct TJwError {
  TJwError() = default;
  TJwError(TJwFault Fault, std::uint64_t Offset = 0, std::int64_t Value = 0, std::string Detail = {})
      : Fault(Fault), Offset(Offset), Value(Value), Detail(std::move(Detail)) {}

  TJwFault Fault = TJwFault::None;
  std::uint64_t Offset = 0;
  std::int64_t Value = 0;
  std::string Detail;  // UTF-8

  explicit operator bool() const { return Fault != TJwFault::None; }
};

// The reason in English, e.g. "the entity list ends early at offset 48213";
// empty for no fault.
std::string Describe(const TJwError& E);

// The system's description of an error number in English, whatever the
// locale.
std::string SystemErrorText(std::int64_t Errno);

// What a document remembers of its last check, load or save: the reason
// when it failed, no fault when it succeeded. A reset of the document's
// content leaves it, so that the owner can still read it after clearing
// the document. Checks that do not change the document record it too.
class TJwLastError {
 public:
  const TJwError& LastError() const { return LastError_; }

 protected:
  void ClearError() const { LastError_ = {}; }
  // Records E and returns false, for the failing operation to return.
  bool Fail(TJwError E) const {
    LastError_ = std::move(E);
    return false;
  }

 private:
  mutable TJwError LastError_;
};
