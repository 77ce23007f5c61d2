// The check after each save of a conversion: the saved file is loaded again
// and saved in memory, and the bytes must be those of the file. Saves are
// fixed points, so a difference means that the file on the disk is not what
// the conversion meant to write.
#pragma once

#include <cstdint>
#include <string_view>

#include "documents/JwError.h"

class TJwwData;
class TJwsData;

// Loads the file at Path into the empty document and compares a save of it,
// in the version it was saved in, with the file's bytes, and their digest
// with Written, that of the bytes the conversion's save wrote (the file
// could read back the same and still not be what was written: a changed
// coordinate); no fault when all agree. A JWW document extracts the file's
// images into its folder again (and they are written back from there); the
// caller clears it.
TJwError ReadBack(TJwwData& JWW, std::u16string_view Path, std::uint64_t Written);
TJwError ReadBack(TJwsData& JWS, std::u16string_view Path, std::uint64_t Written);
