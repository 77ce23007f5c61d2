// A drawing with known pens for the census and dry-run tests, built byte by
// byte from the format tables, and the census it must give.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "conversion/DryRun.h"
#include "conversion/PenCensus.h"
#include "documents/JwwFixture.h"

namespace censusfix {

// Version Ver (3.51 or 4.20): the entity list holds three lines (two of one
// pen), an arc, a point and a style-100 point, a text, a dimension with its
// parts, a solid of its own colour and one of colour 8, and an insert of
// definition 5. Definition 5 (kept) holds a line, a solid of its own colour
// and an insert of 9; 7 (dropped) a line, an arc and a dimension; 9 (kept,
// used only by 5) a point. Text types have the colours 1 ... 9, 2; the
// dimension setting is 1234.
jwfix::ByteVec CensusDrawing(std::int32_t Ver);

// Its census, row by row in key order; the SXF parts of the dimensions only
// from 4.20 on.
std::vector<TPenCount> ExpectedCensus(std::int32_t Ver);

// The census of a saved file as a dry run foresees it: the source's census
// without the members of dropped definitions, each transition's records
// moved from their pen before to their pen after (added parts only added).
TPenCensus AppliedTo(const TPenCensus& Source, const TTransitionTally& T);

// Every file and folder below Dir (relative path, size, modification time),
// sorted: equal listings mean nothing was written, replaced or removed.
std::vector<std::string> Listing(const std::filesystem::path& Dir);

}  // namespace censusfix
