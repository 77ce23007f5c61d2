// The two conversion modes on the main window's document objects: load the
// source, raise the format version when the settings need it, change the
// pens in memory, save to the destination, clear the document.
//
// The pens change only through the pen maps (PenMaps.h), so every pen the
// conversion writes is a valid pen number whatever the tables hold.
#pragma once

#include <cstdint>
#include <string_view>

#include "conversion/ConvSettings.h"

class TJwwData;
class TJwsData;

// How one file went. The window shows none of it; the command line and the
// tests read it.
enum class TConvOutcome {
  Converted,      // the destination holds the converted file
  NotRecognised,  // the source is not a JWW or JWS file of an accepted version
  LoadFailed,     // the source could not be read whole; nothing written
  SaveFailed,     // the save failed; no destination file remains
};

// The version a conversion saves a document of version Ver in: 3.51 for
// VerRaise 1, 4.20 for VerRaise 2, never lower than Ver.
std::int32_t RaisedVersion(std::int32_t Ver, std::int32_t VerRaise);

// The pen changes of each mode on a loaded document, without load or save.
// The document's version, raised beforehand, decides whether the SXF parts
// of dimensions change.
void ApplyIndividual(TJwwData& JWW, const TConvSettings& S);
void ApplyIndividual(TJwsData& JWS, const TConvSettings& S);
void ApplyCombination(TJwwData& JWW, const TConvSettings& S);
void ApplyCombination(TJwsData& JWS, const TConvSettings& S);

// Load, raise, change, save, clear. The document is empty afterwards, the
// JWW one cleared with JwwDataFree (its extracted images deleted).
TConvOutcome ConvJwwIndividual(TJwwData& JWW, const TConvSettings& S, std::u16string_view Source,
                               std::u16string_view Destination);
TConvOutcome ConvJwsIndividual(TJwsData& JWS, const TConvSettings& S, std::u16string_view Source,
                               std::u16string_view Destination);
TConvOutcome ConvJwwCombination(TJwwData& JWW, const TConvSettings& S, std::u16string_view Source,
                                std::u16string_view Destination);
TConvOutcome ConvJwsCombination(TJwsData& JWS, const TConvSettings& S, std::u16string_view Source,
                                std::u16string_view Destination);
