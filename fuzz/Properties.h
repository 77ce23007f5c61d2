// The properties the fuzz targets check, one per reader, shared with the
// regression tests that replay what the fuzzers found. Each returns an
// empty string when the input passed, otherwise what went wrong. Crashes,
// sanitizer reports, excess memory and time are findings of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "conversion/IniFile.h"
#include "conversion/SettingsDialogModel.h"
#include "conversion/SettingsFile.h"
#include "conversion/SettingsText.h"
#include "documents/ByteStream.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace fuzzprops {

using Input = std::span<const std::uint8_t>;

inline Input AsBytes(const std::string& s) { return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}; }

// ---- Drawings: JWW and JWS ----
//
// A document that loads (or whose header at least loads) is saved; the saved
// bytes must load completely, and saving the reloaded document must give the
// same bytes again: a save is a fixed point. Each input is saved either at
// its own version or at another one, with output options, all picked from
// the input's length, so the writer runs on every odd document the reader
// accepts, raised and lowered.

// The image list is read but no file is extracted: a fuzzer writes nothing.
inline void Prepare(TJwwData& doc) { doc.BindImageExr = true; }
inline void Prepare(TJwsData&) {}

template <class Doc>
bool Load(Doc& doc, Input bytes) {
  Prepare(doc);
  ByteReader r(bytes);
  return doc.LoadFrom(r);
}

template <class Doc>
bool Save(Doc& doc, std::int32_t ver, std::int32_t options, std::vector<std::uint8_t>& out) {
  doc.SetFileOutOption(options);
  MemorySink sink;
  ByteWriter w(sink);
  const bool ok = doc.SaveTo(w, ver);
  out = std::move(sink.bytes);
  return ok;
}

template <class Doc>
std::string SaveIsFixedPoint(Doc& doc, std::int32_t ver, std::int32_t options) {
  std::vector<std::uint8_t> first, second;
  if (!Save(doc, ver, options, first)) return "the save of a loaded document failed";
  Doc again;
  if (!Load(again, first)) return "a saved document does not load completely";
  if (!Save(again, again.Enthd.jwVer, options, second)) return "the save of a reloaded document failed";
  if (first != second) {
    std::size_t at = 0;
    while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
    return "a second save differs from the first at byte " + std::to_string(at);
  }
  return {};
}

template <class Doc>
std::string DocumentRoundTrip(Input input, std::span<const std::int32_t> otherVersions) {
  Doc doc;
  if (!Load(doc, input)) {
    Doc probe;
    Prepare(probe);
    ByteReader r(input);
    if (!probe.HeaderFrom(r)) return {};
  }
  // The conversion writes UTF-16 strings exactly when the file held some;
  // the other bits flip with the length.
  const std::size_t pick = input.size();
  std::int32_t options = doc.MojiEncode ? kOutUtf16 : 0;
  if (pick & 1) options ^= kOutUtf16;
  if (pick & 2) options |= kOutImageNoTemp;
  if (pick & 4) options |= kOutImageNameOnly;
  const std::size_t choice = (pick / 8) % (otherVersions.size() + 1);
  const std::int32_t ver = choice < otherVersions.size() ? otherVersions[choice] : doc.Enthd.jwVer;
  return SaveIsFixedPoint(doc, ver, options);
}

inline std::string JwwRoundTrip(Input input) {
  static constexpr std::int32_t kVersions[] = {220, 230, 300, 351, 420, 600, 700};
  return DocumentRoundTrip<TJwwData>(input, kVersions);
}

inline std::string JwsRoundTrip(Input input) {
  static constexpr std::int32_t kVersions[] = {230, 300, 351, 420, 600, 700};
  return DocumentRoundTrip<TJwsData>(input, kVersions);
}

// ---- Headers of all four kinds, as the file list reads them ----

inline std::string HeadersRead(Input input) {
  {
    TJwwData jww;
    ByteReader r(input);
    jww.HeaderFrom(r);
  }
  {
    TJwsData jws;
    ByteReader r(input);
    jws.HeaderFrom(r);
  }
  TJwcData jwc;
  jwc.HeaderFrom(input);
  TJwkData jwk;
  jwk.HeaderFrom(input);
  return {};
}

// ---- The INI file and the settings files ----
//
// Whatever a file holds is read; writing what was read and reading that back
// gives the same bytes.

inline std::string IniRoundTrip(Input input) {
  const std::string first = IniFileBytes(IniFromText(DecodeSettingsText(input)));
  const std::string second = IniFileBytes(IniFromText(DecodeSettingsText(AsBytes(first))));
  return first == second ? std::string() : "a second SaveIni differs from the first";
}

// The dialog's open button (TSettingsDialogModel::OpenFile without the file
// system), then its save button.
inline std::string OpenAndSave(Input bytes, int page) {
  TConvSettings s;
  s.ConvMode = page;
  ApplySettingsText(DecodeSettingsText(bytes), s);
  TSettingsDialogModel dialog;
  dialog.FillFrom(s);
  return SettingsFileBytes(dialog.ToSettings());
}

inline std::string SettingsFileRoundTrip(Input input) {
  const int page = static_cast<int>(input.size() & 1);
  const std::string first = OpenAndSave(input, page);
  if (OpenAndSave(AsBytes(first), page) != first) return "a second settings-file save differs from the first";
  TConvSettings s;
  ApplySettingsText(DecodeSettingsText(input), s);
  TSettingsDialogModel dialog;
  dialog.FillFrom(s);
  dialog.CheckInput();
  return {};
}

}  // namespace fuzzprops
