#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvex {

// The archive opened for reading by position, so that no read depends on a shared file offset.
class ZipArchiveFile {
 public:
  // Throws std::runtime_error when the file cannot be opened or is not a regular file.
  explicit ZipArchiveFile(const std::string& path);
  ~ZipArchiveFile();
  ZipArchiveFile(const ZipArchiveFile&) = delete;
  ZipArchiveFile& operator=(const ZipArchiveFile&) = delete;

  uint64_t Size() const { return size_; }
  // Reads up to length bytes at offset; fewer only at the end of the file (0 beyond it).
  size_t ReadAt(uint64_t offset, void* buffer, size_t length) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// A fixed-size window over the archive for reading records one after another without a read per field.
class ArchiveWindow {
 public:
  static constexpr size_t kCapacity = size_t{256} * 1024;  // more than the largest record (46 + 3 * 65535)

  // A small archive gets a window of its own size.
  explicit ArchiveWindow(const ZipArchiveFile& file)
      : file_(file), buffer_(static_cast<size_t>(std::min<uint64_t>(kCapacity, file.Size()))) {}

  // The bytes [offset, offset + length), or nullptr when the file ends before them. The pointer stays
  // valid until the next call.
  const unsigned char* View(uint64_t offset, size_t length);

 private:
  const ZipArchiveFile& file_;
  std::vector<unsigned char> buffer_;
  uint64_t start_ = 0;
  size_t filled_ = 0;
};

}  // namespace quorvex
