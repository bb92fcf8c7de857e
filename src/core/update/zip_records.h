#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// Signatures and fixed sizes of the ZIP format's records.
inline constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
inline constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
inline constexpr uint32_t kEndCentralSignature = 0x06054b50;
inline constexpr uint32_t kZip64EndCentralSignature = 0x06064b50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr uint32_t kDataDescriptorSignature = 0x08074b50;

inline constexpr size_t kLocalHeaderSize = 30;
inline constexpr size_t kCentralHeaderSize = 46;
inline constexpr size_t kEndCentralSize = 22;
inline constexpr size_t kZip64EndCentralSize = 56;
inline constexpr size_t kZip64LocatorSize = 20;

inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflated = 8;

// Little-endian fields; the caller guarantees the bytes are there.
inline uint16_t ReadLE16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadLE32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t ReadLE64(const unsigned char* p) {
  return static_cast<uint64_t>(ReadLE32(p)) | (static_cast<uint64_t>(ReadLE32(p + 4)) << 32);
}

// One entry of the central directory (or, when the archive is scanned, of a local header), with sizes
// and offset widened by a Zip64 extra field where there is one.
struct TZipHeaderInfo {
  uint16_t VersionMadeBy = 0;
  uint16_t Flags = 0;
  uint16_t Method = 0;
  uint16_t DosTime = 0;
  uint16_t DosDate = 0;
  uint32_t Crc32 = 0;
  uint64_t CompressedSize = 0;
  uint64_t UncompressedSize = 0;
  uint32_t DiskNumberStart = 0;
  uint32_t ExternalAttributes = 0;
  uint64_t LocalHeaderOffset = 0;
  std::string FileName;
  std::optional<std::time_t> UnixModTime;  // from an extended-timestamp extra field

  bool IsEncrypted() const { return (Flags & 0x0001) != 0; }
  bool HasDataDescriptor() const { return (Flags & 0x0008) != 0; }
  bool IsFolder() const;
  // The last-write time the extracted file gets.
  std::time_t ModTime() const;
  // Permission bits stored by a Unix archiver, if this entry has them.
  std::optional<unsigned> UnixMode() const;
  bool IsDosReadOnly() const { return (ExternalAttributes & 0x01) != 0; }
};

// The end-of-central-directory record, widened by the Zip64 end record when the archive has one.
struct TEndCentral {
  uint32_t ThisDisk = 0;
  uint32_t CentralDisk = 0;
  uint64_t EntriesOnDisk = 0;
  uint64_t TotalEntries = 0;
  uint64_t CentralSize = 0;
  uint64_t CentralOffset = 0;
  uint64_t Position = 0;  // where the record that follows the central directory starts

  // Only the disk numbers make a set: single archives whose two entry counts differ are read by
  // TotalEntries, as Info-ZIP's unzip reads them.
  bool IsMultiDisk() const { return ThisDisk != 0 || CentralDisk != 0; }
};

// Lengths of the variable parts that follow a header's fixed bytes, in this order.
struct RecordLengths {
  uint16_t Name = 0;
  uint16_t Extra = 0;
  uint16_t Comment = 0;  // central headers only
};

// Parse the fixed bytes (kLocalHeaderSize, kCentralHeaderSize) of a header into a fresh info; the name
// and the extra field are read separately. Nothing when the signature is wrong.
std::optional<RecordLengths> ParseLocalHeader(const unsigned char* bytes, TZipHeaderInfo& info);
std::optional<RecordLengths> ParseCentralHeader(const unsigned char* bytes, TZipHeaderInfo& info);

// Applies the Zip64 and extended-timestamp extra fields. In a local header both Zip64 sizes are present
// whenever the field is; in a central header only those whose 32-bit field is 0xFFFFFFFF.
void ApplyExtraFields(std::string_view extra, TZipHeaderInfo& info, bool localHeader);

// MS-DOS date and time, read as local time.
std::time_t DosDateTimeToTime(uint16_t dosDate, uint16_t dosTime);

}  // namespace quorvex
