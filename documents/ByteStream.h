// Byte-level input and output of the document files. The reader is bounded:
// it knows how many bytes are left, delivers short reads at the end instead
// of failing, and never blocks on anything but a regular file. The writer
// buffers, remembers the first failure and reports it when finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "support/FileIo.h"

class ByteReader {
 public:
  // Reads from memory that outlives the reader.
  explicit ByteReader(std::span<const std::uint8_t> Data);
  // Opens a regular file for reading; nullopt when it cannot be opened or is
  // not a regular file.
  static std::optional<ByteReader> OpenFile(std::u16string_view Path);

  ByteReader(ByteReader&&) noexcept;
  ByteReader& operator=(ByteReader&&) noexcept;
  ~ByteReader();

  // Delivers up to n bytes into dst and returns how many; fewer only at the
  // end of the data. Bytes of dst beyond those delivered are left as they were.
  std::size_t Read(void* Dst, std::size_t N) {
    if (static_cast<std::size_t>(End_ - Cur_) < N) return ReadAcross(Dst, N);
    // An empty read may come with no buffer at all, which memcpy must not get.
    if (N == 0) return 0;
    std::memcpy(Dst, Cur_, N);
    Cur_ += N;
    return N;
  }
  // The next n bytes in place, consumed, when the window in memory holds
  // them all; else an empty span and nothing consumed. The bytes stay valid
  // until the next read or skip.
  std::span<const std::uint8_t> TakeInWindow(std::size_t N) {
    if (static_cast<std::size_t>(End_ - Cur_) < N) return {};
    const std::uint8_t* P = Cur_;
    Cur_ += N;
    return {P, N};
  }
  std::size_t Skip(std::uint64_t N);
  template <class T>
  std::size_t Get(T& V) {
    return Read(&V, sizeof V);
  }

  std::uint64_t Position() const { return Consumed_ + static_cast<std::uint64_t>(Cur_ - Begin_); }
  std::uint64_t Remaining() const { return Total_ - Position(); }
  // The system's error number when reading the file failed, else 0; the
  // data then ends at the position where it failed.
  int ReadError() const { return ReadError_; }

 private:
  ByteReader() = default;
  bool Refill();
  std::size_t ReadAcross(void* Dst, std::size_t N);

  const std::uint8_t* Begin_ = nullptr;  // window of data in memory
  const std::uint8_t* Cur_ = nullptr;
  const std::uint8_t* End_ = nullptr;
  std::uint64_t Consumed_ = 0;  // bytes before the window
  std::uint64_t Total_ = 0;
  int ReadError_ = 0;
  FileHandle File_;
  std::unique_ptr<std::uint8_t[]> Buffer_;
};

class MemorySink : public ByteSink {
 public:
  bool Put(const std::uint8_t* Data, std::size_t N) override;
  std::vector<std::uint8_t> bytes;
};

class ByteWriter {
 public:
  explicit ByteWriter(ByteSink& Sink);
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;

  void Write(const void* Data, std::size_t N) {
    if (N > Buffer_.size() - Used_) return WriteAcross(Data, N);
    if (N == 0) return;
    std::memcpy(Buffer_.data() + Used_, Data, N);
    Used_ += N;
  }
  template <class T>
  void Put(T V) {
    Write(&V, sizeof V);
  }
  void Fill(std::uint8_t Value, std::size_t N);
  // Hands the buffered bytes to the sink; true when every byte written so far
  // reached it.
  bool Flush();
  bool Failed() const { return Failed_; }

 private:
  void WriteAcross(const void* Data, std::size_t N);

  ByteSink& Sink_;
  std::vector<std::uint8_t> Buffer_;
  std::size_t Used_ = 0;
  bool Failed_ = false;
};
