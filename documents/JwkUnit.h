// JWK figures of the DOS generation of Jw_cad: recognised and their header
// read for the file list; the figure itself is never read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "documents/JwDosDocument.h"
#include "documents/jwctype.h"

// The header: a record of texts as in a JWC file, then one record of nine
// comma-separated numbers.
struct TEntJwkHeader {
  std::u16string jwID;      // record 1, bytes 0-39; the first 20 are the signature
  std::u16string comment1;  // record 1, bytes 40-71
  std::u16string comment2;  // record 1, bytes 72-103
  // Record 2 (points come before texts here, unlike a JWC header).
  std::int32_t lineCount = 0, arcCount = 0, tenCount = 0, mojiCount = 0;
  float org_x = 0, org_y = 0, dispScale = 1.0f;
  std::int32_t strSpace = 0;
  float scale = 1.0f;  // 1e-14 or less reads as 1.0
  // Fields of record 2 while it is parsed; empty otherwise.
  std::vector<std::u16string> para;
};

class TJwkData : public TJwDosDocument<TEntJwkHeader> {
 public:
  // Entries of the text-type table; types 1 to 10 take the JWC defaults.
  static constexpr int kMojiTypes = 12;

  TJwkData();

  void DataInit() override;
  // Also empties the text-type table.
  void DataFree() override;

  std::int32_t lineN = 0, arcN = 0, tenN = 0, mojiN = 0;
  std::vector<TEntJwcLine> EntLine;
  std::vector<TEntJwcArc2> EntArc;
  std::vector<TEntJwcTen> EntTen;
  std::vector<TEntJwcMoji2> EntMoji;
  std::vector<TEntJwcMojiType> EntMjtp;

 protected:
  bool ReadHeader(jwcrecords::RecordReader& In) override;
};
