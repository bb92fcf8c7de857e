#pragma once
#include <cstdint>
#include <optional>

#include "core/update/ZipArchiveFile.h"
#include "core/update/zip_records.h"

namespace quorvex {

// Searches the end-of-central-directory record from the end of the file (it may be followed by a
// comment or junk) and widens it with the Zip64 end record when a locator precedes it. Nothing when the
// file has no end record.
std::optional<TEndCentral> FindEndCentral(const ZipArchiveFile& file);

// Walks the central directory one entry at a time, so that memory does not grow with the entry count.
class CentralDirectoryReader {
 public:
  // Throws EBadZipFile when the directory does not begin with a central header, neither where the end
  // record says nor where it must be if bytes were put in front of the archive.
  CentralDirectoryReader(const ZipArchiveFile& file, const TEndCentral& end);

  // The next entry, its local header offset already corrected for bytes in front of the archive; false
  // after the last one. Throws EBadZipFile for a damaged entry.
  bool Next(TZipHeaderInfo& info);

 private:
  ArchiveWindow window_;
  uint64_t position_ = 0;
  uint64_t remaining_ = 0;
  uint64_t bias_ = 0;
};

}  // namespace quorvex
