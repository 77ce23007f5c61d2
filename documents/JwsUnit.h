// The JWS figure document: a short fixed header followed by the same body as
// a JWW drawing, without an image section.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "documents/JwDocument.h"
#include "documents/JwFormat.h"

class TJwsData : public TJwDocument<TEntJwsHeader> {
 public:
  // The layer groups; a figure stores only their scales, the other fields
  // take fixed values on load.
  std::vector<TEntJwwLayerGroup> EntLgrp;
  std::vector<TEntJwwMojiType> EntMoj;  // a figure carries no text types

  TJwsData();

  void DataInit() override;
  // True for a JWS file of an accepted version; the document is not changed.
  bool FileCheck(std::u16string_view FName) const;
  bool SaveTo(ByteWriter& W, std::int32_t Ver) override;

  // The version a save writes for a requested one.
  static std::int32_t OutputVersion(std::int32_t Ver);

 protected:
  bool ReadHeader(ArchiveIn& In) override;
};
