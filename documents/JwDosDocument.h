// What the document classes of the DOS-era files (JWC drawings, JWK figures)
// share: a file is recognised by the signature it begins with, and its header
// is a fixed number of 200-byte records, a record of texts first. The drawing
// itself is never read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "documents/ByteStream.h"
#include "documents/JwError.h"
#include "documents/JwFormat.h"
#include "documents/JwcRecords.h"

template <class Header>
class TJwDosDocument : public TJwLastError {
 public:
  Header Enthd;

  virtual ~TJwDosDocument() = default;

  virtual void DataInit() = 0;
  virtual void DataFree() { DataInit(); }

  // Each of these records in LastError why it failed.
  //
  // Does the file begin with the signature? The document is not changed.
  bool FileCheck(std::u16string_view FName) const;
  // Resets, then reads the header into Enthd; true when all of it was read.
  bool FileHeaderIn(std::u16string_view FName);
  // The same on a stream that is already open.
  bool HeaderFrom(ByteReader& R);

 protected:
  // FormatName names the format in a reason ("JWC").
  TJwDosDocument(const TJwSignature& Signature, const char* FormatName, int HeaderRecords)
      : Signature_(Signature), FormatName_(FormatName), HeaderRecords_(HeaderRecords) {}
  TJwDosDocument(const TJwDosDocument&) = delete;
  TJwDosDocument& operator=(const TJwDosDocument&) = delete;

  // Reads the header records in order; false when one is missing.
  virtual bool ReadHeader(jwcrecords::RecordReader& In) = 0;
  // The record of texts: jwID, comment1 and comment2.
  bool ReadTitle(jwcrecords::RecordReader& In);
  // The next record of comma-separated numbers, split into N fields of para.
  bool ReadNumbers(jwcrecords::RecordReader& In, int N);
  void SplitPara(const std::u16string& Text, int N);

 private:
  const TJwSignature& Signature_;
  const char* FormatName_;
  int HeaderRecords_;
};
