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
#include "documents/JwError.h"

class TJwBody;
class TJwwData;
class TJwsData;

// How one file went.
enum class TConvOutcome {
  Converted,       // the destination holds the converted file
  NotRecognised,   // the source is not a JWW or JWS file of an accepted version
  LoadFailed,      // the source could not be read whole; nothing written
  SaveFailed,      // the save failed; no destination file remains
  ReadBackFailed,  // the saved file did not read back the same; it was removed
};

// The outcome with the document's reason when the file was not converted.
struct TConvResult {
  TConvOutcome Outcome = TConvOutcome::Converted;
  TJwError Error;
};

// What is done after each save. A save is a fixed point: the saved file
// must load whole and save to the same bytes again, so any difference is a
// fault of this program or of the disk, found before the user relies on the
// file.
enum class TSaveCheck {
  ReadBack,  // read the saved file back; remove it when it differs
  None,
};

// The version a conversion saves a document of version Ver in: 3.51 for
// VerRaise 1, 4.20 for VerRaise 2, never lower than Ver.
std::int32_t RaisedVersion(std::int32_t Ver, std::int32_t VerRaise);

// The pen changes of each mode on a loaded document, without load or save.
// The document's version, raised beforehand, decides whether the SXF parts
// of dimensions change.
void ApplyIndividual(TJwwData& JWW, const TConvSettings& S);
void ApplyIndividual(TJwsData& JWS, const TConvSettings& S);  // entities only
void ApplyCombination(TJwBody& Doc, const TConvSettings& S);

// What a conversion with these settings would save, done to a loaded
// document in memory: the version raised, then the active mode's pen
// changes. False, with the document unchanged, when the run would refuse
// the settings (the combination mode without an enabled row).
bool ConvertInMemory(TJwwData& JWW, TConvSettings S);
bool ConvertInMemory(TJwsData& JWS, TConvSettings S);

// The header rules of the individual conversion. A text type's colour takes
// its mapped colour only when that is a standard one (1..9).
std::int32_t MapMojiTypeColor(const TConvSettings& S, std::int32_t Color);
// The digit of a dimension setting value at Place (1, 10 or 100), of the
// signed value with division truncating toward zero: -9 ... 9.
std::int32_t SunpouColorDigit(std::int64_t Value, std::int32_t Place);
// The dimension setting holds a standard colour in each of its units, tens
// and hundreds digits (of the signed value, division truncating toward
// zero); each digit whose colour maps to a standard one takes it, the other
// digits stay.
std::int32_t MapSunpouColorDigits(const TConvSettings& S, std::int32_t Value);

// The string form a conversion saves a document in: UTF-16 when the loaded
// file held a UTF-16 string.
void ChooseOutputForm(TJwBody& Doc);

// Load, raise, change, save, check the save, clear. The document is empty
// afterwards, the JWW one cleared with JwwDataFree (its extracted images
// deleted).
TConvResult ConvJwwIndividual(TJwwData& JWW, const TConvSettings& S, std::u16string_view Source,
                              std::u16string_view Destination, TSaveCheck Check = TSaveCheck::ReadBack);
TConvResult ConvJwsIndividual(TJwsData& JWS, const TConvSettings& S, std::u16string_view Source,
                              std::u16string_view Destination, TSaveCheck Check = TSaveCheck::ReadBack);
TConvResult ConvJwwCombination(TJwwData& JWW, const TConvSettings& S, std::u16string_view Source,
                               std::u16string_view Destination, TSaveCheck Check = TSaveCheck::ReadBack);
TConvResult ConvJwsCombination(TJwsData& JWS, const TConvSettings& S, std::u16string_view Source,
                               std::u16string_view Destination, TSaveCheck Check = TSaveCheck::ReadBack);
