#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "core/update/ZipArchiveFile.h"
#include "core/update/zip_records.h"

namespace quorvex {

// Input is read, and stored data copied, in blocks of this size.
inline constexpr size_t kZipBlockSize = 16000;

// Receives decoded bytes in order; false stops the decoding (the destination cannot take more).
using DecodedDataSink = std::function<bool(const unsigned char* data, size_t length)>;

struct DecodedData {
  uint32_t Crc32 = 0;           // of everything handed to the sink
  uint64_t Size = 0;            // bytes handed to the sink
  bool StreamComplete = false;  // the data ended where the method says it ends
  bool SinkFailed = false;

  // Whether the entry came out whole and as stored.
  bool Intact(const TZipHeaderInfo& entry) const {
    return StreamComplete && !SinkFailed && Size == entry.UncompressedSize && Crc32 == entry.Crc32;
  }
};

// Decodes the entry's data (method 0 or 8) starting at dataStart with fixed-size buffers, whatever the
// entry's size. Throws EBiggerThanUncompressed before the output would pass the entry's stated
// uncompressed size, EFatalUnzipError when the archive ends inside the data, EUserCanceled when cancel
// becomes true. Damaged Deflate data ends the decoding with StreamComplete false.
DecodedData DecodeEntryData(const ZipArchiveFile& file, uint64_t dataStart, const TZipHeaderInfo& entry,
                            const DecodedDataSink& sink, const std::atomic<bool>& cancel);

}  // namespace quorvex
