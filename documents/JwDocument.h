// The load and save drivers shared by the JWW and JWS documents; each
// document supplies its header and what follows the body.
#pragma once

#include <cstdint>
#include <string_view>

#include "documents/JwBody.h"
#include "documents/JwError.h"

template <class Header>
class TJwDocument : public TJwBody, public TJwLastError {
 public:
  Header Enthd;

  virtual ~TJwDocument() = default;

  // Sets every field to its reset value; the image folder and flags stay.
  virtual void DataInit() = 0;
  void DataFree() { DataInit(); }

  // Each of these records in LastError why it failed.
  //
  // Reads only the header; the document then holds no entities.
  bool FileHeaderIn(std::u16string_view FName);
  // Loads the whole file; false when it could not be read completely (the
  // document then holds what was read).
  bool FileIn(std::u16string_view FName);
  // Saves to FName in output version Ver; a failed save leaves no file.
  bool FileOut(std::u16string_view FName, std::int32_t Ver);
  // With On, FileOut keeps the digest (support/StreamDigest.h) of the bytes
  // it hands to its file, for a read-back to compare; off, a save costs no
  // digest.
  void SetSaveDigest(bool On) { SaveDigest_ = On; }
  // The digest of the last FileOut that succeeded with the digest on; kept
  // through resets.
  std::uint64_t SavedDigest() const { return SavedDigest_; }

  // The same steps on a stream that is already open.
  bool HeaderFrom(ByteReader& R);
  bool LoadFrom(ByteReader& R);
  // Writes the whole file; false when the document was never loaded or a
  // write failed.
  virtual bool SaveTo(ByteWriter& W, std::int32_t Ver) = 0;

 protected:
  // False, with the reason recorded, when the header cannot be read.
  virtual bool ReadHeader(ArchiveIn& In) = 0;
  // What follows the block definitions; nothing unless the format says so.
  virtual void ReadTail(ArchiveIn&) {}

 private:
  bool SaveDigest_ = false;
  std::uint64_t SavedDigest_ = 0;
};
