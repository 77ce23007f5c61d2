#include "documents/JwError.h"

#include <cstring>

namespace {

std::string At(std::uint64_t Offset) { return " at offset " + std::to_string(Offset); }

}  // namespace

std::string SystemErrorText(std::int64_t Errno) {
  const char* Text = Errno > 0 && Errno < 4096 ? ::strerrordesc_np(static_cast<int>(Errno)) : nullptr;
  return Text ? Text : "error " + std::to_string(Errno);
}

std::string Describe(const TJwError& E) {
  switch (E.Fault) {
    case TJwFault::None: return {};
    case TJwFault::CannotOpen: return "cannot open the file: " + SystemErrorText(E.Value);
    case TJwFault::ReadFailed: return "cannot read the file" + At(E.Offset) + ": " + SystemErrorText(E.Value);
    case TJwFault::NotOfFormat: return "not a " + E.Detail + " file";
    case TJwFault::VersionNotSupported: return "version " + std::to_string(E.Value) + " is not supported";
    case TJwFault::HeaderEndsEarly: return "the header ends early" + At(E.Offset);
    case TJwFault::EntityListEndsEarly: return "the entity list ends early" + At(E.Offset);
    case TJwFault::BlockListEndsEarly: return "the block definitions end early" + At(E.Offset);
    case TJwFault::UnknownRecordType: return "an unknown record type \"" + E.Detail + "\"" + At(E.Offset);
    case TJwFault::OutOfMemory: return "not enough memory";
    case TJwFault::NotLoaded: return "the document was not loaded whole";
    case TJwFault::ImageUnreadable: return "the bound image \"" + E.Detail + "\" cannot be read";
    case TJwFault::CannotWrite: return "cannot write the destination: " + SystemErrorText(E.Value);
    case TJwFault::ReadBackDiffers:
      return "the saved file does not read back the same (from offset " + std::to_string(E.Offset) + ")";
    case TJwFault::ReadBackUnreadable: return "cannot read the saved file back: " + SystemErrorText(E.Value);
    case TJwFault::SavedBytesChanged: return "the saved file does not hold the bytes that were written";
  }
  return {};
}
