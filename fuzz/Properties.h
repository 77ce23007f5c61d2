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

inline Input AsBytes(const std::string& S) { return {reinterpret_cast<const std::uint8_t*>(S.data()), S.size()}; }

// ---- Drawings: JWW and JWS ----
//
// A document that loads (or whose header at least loads) is saved; the saved
// bytes must load completely, and saving the reloaded document must give the
// same bytes again: a save is a fixed point. Each input is saved either at
// its own version or at another one, with output options, all picked from
// the input's length, so the writer runs on every odd document the reader
// accepts, raised and lowered.

// The image list is read but no file is extracted: a fuzzer writes nothing.
inline void Prepare(TJwwData& Doc) { Doc.BindImageExr = true; }
inline void Prepare(TJwsData&) {}

template <class TDoc>
bool Load(TDoc& Doc, Input Bytes) {
  Prepare(Doc);
  ByteReader R(Bytes);
  return Doc.LoadFrom(R);
}

template <class TDoc>
bool Save(TDoc& Doc, std::int32_t Ver, std::int32_t Options, std::vector<std::uint8_t>& Out) {
  Doc.SetFileOutOption(Options);
  MemorySink Sink;
  ByteWriter W(Sink);
  const bool Ok = Doc.SaveTo(W, Ver);
  Out = std::move(Sink.bytes);
  return Ok;
}

template <class TDoc>
std::string SaveIsFixedPoint(TDoc& Doc, std::int32_t Ver, std::int32_t Options) {
  std::vector<std::uint8_t> First, Second;
  if (!Save(Doc, Ver, Options, First)) return "the save of a loaded document failed";
  TDoc Again;
  if (!Load(Again, First)) return "a saved document does not load completely";
  if (!Save(Again, Again.Enthd.jwVer, Options, Second)) return "the save of a reloaded document failed";
  if (First != Second) {
    std::size_t At = 0;
    while (At < First.size() && At < Second.size() && First[At] == Second[At]) ++At;
    return "a second save differs from the first at byte " + std::to_string(At);
  }
  return {};
}

template <class TDoc>
std::string DocumentRoundTrip(Input Bytes, std::span<const std::int32_t> OtherVersions) {
  TDoc Doc;
  if (!Load(Doc, Bytes)) {
    TDoc Probe;
    Prepare(Probe);
    ByteReader R(Bytes);
    if (!Probe.HeaderFrom(R)) return {};
  }
  // The conversion writes UTF-16 strings exactly when the file held some;
  // the other bits flip with the length.
  const std::size_t Pick = Bytes.size();
  std::int32_t Options = Doc.MojiEncode ? kOutUtf16 : 0;
  if (Pick & 1) Options ^= kOutUtf16;
  if (Pick & 2) Options |= kOutImageNoTemp;
  if (Pick & 4) Options |= kOutImageNameOnly;
  const std::size_t Choice = (Pick / 8) % (OtherVersions.size() + 1);
  const std::int32_t Ver = Choice < OtherVersions.size() ? OtherVersions[Choice] : Doc.Enthd.jwVer;
  return SaveIsFixedPoint(Doc, Ver, Options);
}

inline std::string JwwRoundTrip(Input Bytes) {
  static constexpr std::int32_t kVersions[] = {220, 230, 300, 351, 420, 600, 700};
  return DocumentRoundTrip<TJwwData>(Bytes, kVersions);
}

inline std::string JwsRoundTrip(Input Bytes) {
  static constexpr std::int32_t kVersions[] = {230, 300, 351, 420, 600, 700};
  return DocumentRoundTrip<TJwsData>(Bytes, kVersions);
}

// ---- Headers of all four kinds, as the file list reads them ----

template <class TDoc>
void ReadHeaderOf(Input Bytes) {
  TDoc Doc;
  ByteReader R(Bytes);
  Doc.HeaderFrom(R);
}

inline std::string HeadersRead(Input Bytes) {
  ReadHeaderOf<TJwwData>(Bytes);
  ReadHeaderOf<TJwsData>(Bytes);
  ReadHeaderOf<TJwcData>(Bytes);
  ReadHeaderOf<TJwkData>(Bytes);
  return {};
}

// ---- The INI file and the settings files ----
//
// Whatever a file holds is read; writing what was read and reading that back
// gives the same bytes.

inline std::string IniRoundTrip(Input Bytes) {
  const std::string First = IniFileBytes(IniFromText(DecodeSettingsText(Bytes)));
  const std::string Second = IniFileBytes(IniFromText(DecodeSettingsText(AsBytes(First))));
  return First == Second ? std::string() : "a second SaveIni differs from the first";
}

// The dialog's open button (TSettingsDialogModel::OpenFile without the file
// system), then its save button.
inline std::string OpenAndSave(Input Bytes, int Page) {
  TConvSettings S;
  S.ConvMode = Page;
  ApplySettingsText(DecodeSettingsText(Bytes), S);
  TSettingsDialogModel Dialog;
  Dialog.FillFrom(S);
  return SettingsFileBytes(Dialog.ToSettings());
}

inline std::string SettingsFileRoundTrip(Input Bytes) {
  const int Page = static_cast<int>(Bytes.size() & 1);
  const std::string First = OpenAndSave(Bytes, Page);
  if (OpenAndSave(AsBytes(First), Page) != First) return "a second settings-file save differs from the first";
  TConvSettings S;
  ApplySettingsText(DecodeSettingsText(Bytes), S);
  TSettingsDialogModel Dialog;
  Dialog.FillFrom(S);
  Dialog.CheckInput();
  return {};
}

}  // namespace fuzzprops
