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
  explicit ByteReader(std::span<const std::uint8_t> data);
  // Opens a regular file for reading; nullopt when it cannot be opened or is
  // not a regular file.
  static std::optional<ByteReader> OpenFile(std::u16string_view path);

  ByteReader(ByteReader&&) noexcept;
  ByteReader& operator=(ByteReader&&) noexcept;
  ~ByteReader();

  // Delivers up to n bytes into dst and returns how many; fewer only at the
  // end of the data. Bytes of dst beyond those delivered are left as they were.
  std::size_t Read(void* dst, std::size_t n);
  std::size_t Skip(std::uint64_t n);
  template <class T>
  std::size_t Get(T& v) {
    return Read(&v, sizeof v);
  }

  std::uint64_t Position() const { return consumed_ + static_cast<std::uint64_t>(cur_ - begin_); }
  std::uint64_t Remaining() const { return total_ - Position(); }

 private:
  ByteReader() = default;
  bool Refill();

  const std::uint8_t* begin_ = nullptr;  // window of data in memory
  const std::uint8_t* cur_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  std::uint64_t consumed_ = 0;  // bytes before the window
  std::uint64_t total_ = 0;
  int fd_ = -1;
  std::unique_ptr<std::uint8_t[]> buffer_;
};

// Where a writer's bytes go. Put returns false when the bytes could not all
// be stored.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Put(const std::uint8_t* data, std::size_t n) = 0;
};

// A file opened for writing; Put writes through at once.
class FileSink : public ByteSink {
 public:
  // Creates the file, truncating a regular file of that name and never
  // following a link; nullptr when that fails.
  static std::unique_ptr<FileSink> Create(std::u16string_view path);
  explicit FileSink(int fd);  // takes over an open descriptor
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool Put(const std::uint8_t* data, std::size_t n) override;
  // True when the file was open and closed cleanly.
  bool Close();

 private:
  int fd_;
};

class MemorySink : public ByteSink {
 public:
  bool Put(const std::uint8_t* data, std::size_t n) override;
  std::vector<std::uint8_t> bytes;
};

class ByteWriter {
 public:
  explicit ByteWriter(ByteSink& sink);
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;

  void Write(const void* data, std::size_t n);
  template <class T>
  void Put(T v) {
    Write(&v, sizeof v);
  }
  void Fill(std::uint8_t value, std::size_t n);
  // Hands the buffered bytes to the sink; true when every byte written so far
  // reached it.
  bool Flush();
  bool Failed() const { return failed_; }

 private:
  ByteSink& sink_;
  std::vector<std::uint8_t> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
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
bool WriteFileReplacing(std::u16string_view path, const std::function<bool(ByteWriter&)>& body,
                        OnFailure onFailure = OnFailure::DeleteDestination);

// Fault injection for tests: the file-system steps of WriteFileReplacing
// (Write also stands for every write of a FileSink).
enum class FileStep { Create, Write, Sync, Close, Rename };
// When set, the hook is asked before every step and returns 0 to let it run
// or an errno value to make it fail with that error. An empty hook clears it.
void SetFileStepFaultHook(std::function<int(FileStep)> hook);
