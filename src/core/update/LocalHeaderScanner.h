#pragma once
#include <cstdint>

#include "core/update/ZipArchiveFile.h"
#include "core/update/zip_records.h"

namespace quorvex {

// Finds the entries of an archive without an end record by their local headers, front to back. An entry
// whose sizes follow its data (a data descriptor) is taken only when a signed descriptor whose compressed
// size matches is found before the next header; otherwise it is passed over.
class LocalHeaderScanner {
 public:
  explicit LocalHeaderScanner(const ZipArchiveFile& file) : file_(file), window_(file) {}

  bool Next(TZipHeaderInfo& info);

 private:
  enum class Found { None, LocalHeader, CentralHeader, DataDescriptor };
  // The first "PK" record signature of the kinds asked for at or after from.
  Found FindSignature(uint64_t from, bool descriptors, uint64_t& at);
  bool ReadDataDescriptor(uint64_t dataStart, TZipHeaderInfo& info);

  const ZipArchiveFile& file_;
  ArchiveWindow window_;
  uint64_t position_ = 0;
};

}  // namespace quorvex
