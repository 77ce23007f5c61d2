// The JWW drawing document: header, header tables, body and bound images.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "documents/JwDocument.h"
#include "documents/JwFormat.h"

class TJwwData : public TJwDocument<TEntJwwHeader> {
 public:
  // The header tables; a header read sizes them to the lengths of
  // JwFormat.h.
  std::vector<TEntJwwLayerGroup> EntLgrp;
  std::vector<TEntJwwLayer> EntLay;  // layer l of group g at g * kLayersPerGroup + l
  std::vector<TEntJwwColorNo> EntCol;
  std::vector<TEntJwwLineTypeNo> EntLtp1;
  std::vector<TEntJwwRandomLineNo> EntLtp2;
  std::vector<TEntJwwLineTypeNo> EntLtp3;
  std::vector<TEntJwwColorExNo> EntColS;     // SXF colours
  std::vector<TEntJwwLineTypeExNo> EntLtpS;  // SXF line types
  std::vector<TEntJwwMojiType> EntMoj;       // text types

  TJwwData();

  void DataInit() override;
  // Sizes the header tables to their fixed lengths, zero-filled.
  void SizeHeaderTables();
  // True when every header table has its fixed length.
  bool HeaderTablesSized() const;

  // True for a JWW file of an accepted version; the document is not changed.
  bool FileCheck(std::u16string_view FName) const;
  // Also false when an image could not be copied into the file.
  bool SaveTo(ByteWriter& W, std::int32_t Ver) override;

  void BindImageDeleteGzFile() const;
  void BindImageDeleteNonGzFile() const;

 protected:
  bool ReadHeader(ArchiveIn& In) override;
  // The signature and the version that begin the file, read into Id and
  // Ver; no fault when both are there and the version is accepted.
  static TJwError ReadStart(ByteReader& R, std::u16string& Id, std::int32_t& Ver);
  // The image section, from version 7.00 on.
  void ReadTail(ArchiveIn& In) override;

 private:
  void WriteHeader(ArchiveOut& Out, std::int32_t Ver) const;
  bool WriteImages(ArchiveOut& Out);
  void MarkReferencedImages();
};

// The owner's clear-down: removes the files the last load extracted and
// empties the document.
void JwwDataFree(TJwwData& JWW);
