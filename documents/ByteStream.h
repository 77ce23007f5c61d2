// Byte-level input and output of the document files. The reader is bounded:
// it knows how many bytes are left, delivers short reads at the end instead
// of failing, and never blocks on anything but a regular file. The writer
// buffers, remembers the first failure and reports it when finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

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
  std::size_t Read(void* Dst, std::size_t N);
  std::size_t Skip(std::uint64_t N);
  template <class T>
  std::size_t Get(T& V) {
    return Read(&V, sizeof V);
  }

  std::uint64_t Position() const { return Consumed_ + static_cast<std::uint64_t>(Cur_ - Begin_); }
  std::uint64_t Remaining() const { return Total_ - Position(); }

 private:
  ByteReader() = default;
  bool Refill();

  const std::uint8_t* Begin_ = nullptr;  // window of data in memory
  const std::uint8_t* Cur_ = nullptr;
  const std::uint8_t* End_ = nullptr;
  std::uint64_t Consumed_ = 0;  // bytes before the window
  std::uint64_t Total_ = 0;
  int Fd_ = -1;
  std::unique_ptr<std::uint8_t[]> Buffer_;
};

// Where a writer's bytes go. Put returns false when the bytes could not all
// be stored.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Put(const std::uint8_t* Data, std::size_t N) = 0;
};

// A file opened for writing; Put writes through at once.
class FileSink : public ByteSink {
 public:
  // Creates the file, truncating a regular file of that name and never
  // following a link; nullptr when that fails.
  static std::unique_ptr<FileSink> Create(std::u16string_view Path);
  explicit FileSink(int Fd);  // takes over an open descriptor
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool Put(const std::uint8_t* Data, std::size_t N) override;
  // True when the file was open and closed cleanly.
  bool Close();

 private:
  int Fd_;
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

  void Write(const void* Data, std::size_t N);
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
  ByteSink& Sink_;
  std::vector<std::uint8_t> Buffer_;
  std::size_t Used_ = 0;
  bool Failed_ = false;
};

// What WriteFileReplacing does with an older file at the destination when
// the write fails.
enum class OnFailure {
  DeleteDestination,  // no file of that name remains (a document save)
  KeepDestination,    // the older file stays as it was
};

// Writes a file through a hidden temporary file ".<name>.lintorra-*.tmp" in
// the same folder, flushed to the disk and then renamed over the
// destination, so the destination never holds a half-written file; a
// replaced file's permissions are kept. The body writes the content and
// returns false to give up. On any failure the
// temporary file is removed, the destination treated as onFailure says, and
// the result is false. The folder is held open throughout: if it is renamed
// or removed meanwhile, nothing is left behind in it.
bool WriteFileReplacing(std::u16string_view Path, const std::function<bool(ByteWriter&)>& Body,
                        OnFailure OnFailure = OnFailure::DeleteDestination);

// Fault injection for tests: the file-system steps of WriteFileReplacing
// (Write also stands for every write of a FileSink).
enum class FileStep { Create, Write, Sync, Close, Rename };
// When set, the hook is asked before every step and returns 0 to let it run
// or an errno value to make it fail with that error. An empty hook clears it.
void SetFileStepFaultHook(std::function<int(FileStep)> Hook);
