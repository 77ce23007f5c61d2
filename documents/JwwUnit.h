// The JWW drawing document: header, header tables, body and bound images.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "documents/JwDocument.h"

class TJwwData : public TJwDocument<TEntJwwHeader> {
 public:
  std::vector<TEntJwwLayerGroup> EntLgrp;    // 16 groups
  std::vector<TEntJwwLayer> EntLay;          // 256: layer l of group g at g * 16 + l
  std::vector<TEntJwwColorNo> EntCol;        // 10
  std::vector<TEntJwwLineTypeNo> EntLtp1;    // 8
  std::vector<TEntJwwRandomLineNo> EntLtp2;  // 5
  std::vector<TEntJwwLineTypeNo> EntLtp3;    // 4
  std::vector<TEntJwwColorExNo> EntColS;     // 257 SXF colours
  std::vector<TEntJwwLineTypeExNo> EntLtpS;  // 33 SXF line types
  std::vector<TEntJwwMojiType> EntMoj;       // 10 text types

  TJwwData();

  void DataInit() override;
  // Sizes the header tables to their fixed lengths, zero-filled.
  void SizeHeaderTables();

  // True for a JWW file of an accepted version; the document is not changed.
  bool FileCheck(std::u16string_view FName) const;
  // Also false when an image could not be copied into the file.
  bool SaveTo(ByteWriter& W, std::int32_t Ver) override;

  void BindImageDeleteGzFile() const;
  void BindImageDeleteNonGzFile() const;

 protected:
  bool ReadHeader(ArchiveIn& In) override;
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
