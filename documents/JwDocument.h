// The load and save drivers shared by the JWW and JWS documents; each
// document supplies its header and what follows the body.
#pragma once

#include <cstdint>
#include <string_view>

#include "documents/JwBody.h"

template <class Header>
class TJwDocument : public TJwBody {
 public:
  Header Enthd;

  virtual ~TJwDocument() = default;

  // Sets every field to its reset value; the image folder and flags stay.
  virtual void DataInit() = 0;
  void DataFree() { DataInit(); }

  // Reads only the header; the document then holds no entities.
  bool FileHeaderIn(std::u16string_view FName);
  // Loads the whole file; false when it could not be read completely (the
  // document then holds what was read).
  bool FileIn(std::u16string_view FName);
  // Saves to FName in output version Ver; a failed save leaves no file.
  bool FileOut(std::u16string_view FName, std::int32_t Ver);

  // The same steps on a stream that is already open.
  bool HeaderFrom(ByteReader& R);
  bool LoadFrom(ByteReader& R);
  // Writes the whole file; false when the document was never loaded or a
  // write failed.
  virtual bool SaveTo(ByteWriter& W, std::int32_t Ver) = 0;

 protected:
  virtual bool ReadHeader(ArchiveIn& In) = 0;
  // What follows the block definitions; nothing unless the format says so.
  virtual void ReadTail(ArchiveIn&) {}
};
