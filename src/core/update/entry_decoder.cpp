#include "core/update/entry_decoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>

#include "core/update/zip_exceptions.h"

namespace quorvex {
namespace {

constexpr size_t kInflateOutputSize = size_t{64} * 1024;

// Reads the entry's compressed bytes block by block.
class CompressedInput {
 public:
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): a range, start before length
  CompressedInput(const ZipArchiveFile& file, uint64_t start, uint64_t length)
      : file_(file), position_(start), remaining_(length) {}

  bool Empty() const { return remaining_ == 0; }

  // The next block; throws EFatalUnzipError when the archive ends before it.
  size_t Next(unsigned char* buffer) {
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kZipBlockSize, remaining_));
    if (file_.ReadAt(position_, buffer, length) != length) throw EFatalUnzipError();
    position_ += length;
    remaining_ -= length;
    return length;
  }

 private:
  const ZipArchiveFile& file_;
  uint64_t position_;
  uint64_t remaining_;
};

// Checks the stated size, then hands the bytes on and adds them to the CRC.
class Output {
 public:
  Output(const TZipHeaderInfo& entry, const DecodedDataSink& sink, const std::atomic<bool>& cancel)
      : limit_(entry.UncompressedSize), sink_(sink), cancel_(cancel) {}

  // False when the sink refused the bytes.
  bool Emit(const unsigned char* data, size_t length) {
    if (cancel_.load(std::memory_order_relaxed)) throw EUserCanceled();
    if (length == 0) return true;
    if (length > limit_ - result_.Size) throw EBiggerThanUncompressed();
    result_.Crc32 = static_cast<uint32_t>(crc32_z(result_.Crc32, data, length));
    result_.Size += length;
    if (sink_(data, length)) return true;
    result_.SinkFailed = true;
    return false;
  }

  DecodedData& Result() { return result_; }

 private:
  uint64_t limit_;
  const DecodedDataSink& sink_;
  const std::atomic<bool>& cancel_;
  DecodedData result_;
};

void CopyStored(CompressedInput& input, Output& output) {
  std::array<unsigned char, kZipBlockSize> block;
  while (!input.Empty()) {
    const size_t length = input.Next(block.data());
    if (!output.Emit(block.data(), length)) return;
  }
  output.Result().StreamComplete = true;
}

struct InflateStream {
  z_stream stream{};
  bool ready = false;
  InflateStream() { ready = inflateInit2(&stream, -MAX_WBITS) == Z_OK; }
  ~InflateStream() {
    if (ready) inflateEnd(&stream);
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
};

void Inflate(CompressedInput& input, Output& output) {
  InflateStream inflater;
  if (!inflater.ready) return;
  z_stream& stream = inflater.stream;
  std::array<unsigned char, kZipBlockSize> block;
  std::array<unsigned char, kInflateOutputSize> decoded;
  for (;;) {
    if (stream.avail_in == 0 && !input.Empty()) {
      stream.avail_in = static_cast<uInt>(input.Next(block.data()));
      stream.next_in = block.data();
    }
    stream.next_out = decoded.data();
    stream.avail_out = static_cast<uInt>(decoded.size());
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (!output.Emit(decoded.data(), decoded.size() - stream.avail_out)) return;
    if (status == Z_STREAM_END) {
      output.Result().StreamComplete = true;
      return;
    }
    // Anything but progress means damaged data or data that ends before the stream does.
    if (status != Z_OK) return;
  }
}

}  // namespace

DecodedData DecodeEntryData(const ZipArchiveFile& file, uint64_t dataStart, const TZipHeaderInfo& entry,
                            const DecodedDataSink& sink, const std::atomic<bool>& cancel) {
  CompressedInput input(file, dataStart, entry.CompressedSize);
  Output output(entry, sink, cancel);
  if (entry.Method == kMethodDeflated) {
    Inflate(input, output);
  } else {
    CopyStored(input, output);
  }
  return output.Result();
}

}  // namespace quorvex
