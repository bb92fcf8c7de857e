#include "core/update/LocalHeaderScanner.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace quorvex {
namespace {

constexpr size_t kScanChunk = size_t{64} * 1024;
constexpr size_t kDescriptorSize = 16;       // signature, CRC, two 32-bit sizes
constexpr size_t kZip64DescriptorSize = 24;  // signature, CRC, two 64-bit sizes

}  // namespace

LocalHeaderScanner::Found LocalHeaderScanner::FindSignature(uint64_t from, bool descriptors, uint64_t& at) {
  const uint64_t size = file_.Size();
  while (from < size && size - from >= 4) {
    const size_t length = static_cast<size_t>(std::min<uint64_t>(kScanChunk, size - from));
    const unsigned char* bytes = window_.View(from, length);
    if (bytes == nullptr) return Found::None;
    for (size_t i = 0; i + 4 <= length; ++i) {
      const void* hit = std::memchr(bytes + i, 'P', length - 3 - i);
      if (hit == nullptr) break;
      i = static_cast<size_t>(static_cast<const unsigned char*>(hit) - bytes);
      const uint32_t signature = ReadLE32(bytes + i);
      at = from + i;
      if (signature == kLocalHeaderSignature) return Found::LocalHeader;
      if (signature == kCentralHeaderSignature) return Found::CentralHeader;
      if (descriptors && signature == kDataDescriptorSignature) return Found::DataDescriptor;
    }
    from += length - 3;
  }
  return Found::None;
}

bool LocalHeaderScanner::ReadDataDescriptor(uint64_t dataStart, TZipHeaderInfo& info) {
  uint64_t at = dataStart;
  while (FindSignature(at, true, at) == Found::DataDescriptor) {
    const uint64_t dataLength = at - dataStart;
    // The sizes are 64-bit in a Zip64 entry's descriptor: the one whose compressed size fits is it.
    for (const bool wide : {true, false}) {
      const size_t size = wide ? kZip64DescriptorSize : kDescriptorSize;
      const unsigned char* d = window_.View(at, size);
      if (d == nullptr || (wide ? ReadLE64(d + 8) : ReadLE32(d + 8)) != dataLength) continue;
      info.Crc32 = ReadLE32(d + 4);
      info.CompressedSize = dataLength;
      info.UncompressedSize = wide ? ReadLE64(d + 16) : ReadLE32(d + 12);
      position_ = at + size;
      return true;
    }
    ++at;
  }
  return false;
}

bool LocalHeaderScanner::Next(TZipHeaderInfo& info) {
  uint64_t at = 0;
  while (FindSignature(position_, false, at) != Found::None) {
    position_ = at + 4;
    const unsigned char* fixed = window_.View(at, kLocalHeaderSize);
    const auto lengths = fixed ? ParseLocalHeader(fixed, info) : std::nullopt;
    if (!lengths) continue;  // a central header, or a local header cut off by the end of the file
    info.LocalHeaderOffset = at;
    const size_t variable = size_t{lengths->Name} + lengths->Extra;
    const unsigned char* rest = window_.View(at + kLocalHeaderSize, variable);
    if (rest == nullptr) return false;
    const auto* text = reinterpret_cast<const char*>(rest);
    info.FileName.assign(text, lengths->Name);
    ApplyExtraFields(std::string_view(text + lengths->Name, lengths->Extra), info, true);
    const uint64_t dataStart = at + kLocalHeaderSize + variable;
    if (info.HasDataDescriptor()) {
      if (ReadDataDescriptor(dataStart, info)) return true;
      continue;
    }
    position_ = std::max(position_, std::min(file_.Size(), dataStart + std::min(info.CompressedSize, file_.Size())));
    return true;
  }
  return false;
}

}  // namespace quorvex
