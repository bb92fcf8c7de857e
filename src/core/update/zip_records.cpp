#include "core/update/zip_records.h"

#include <algorithm>

namespace quorvex {
namespace {

constexpr uint16_t kZip64ExtraId = 0x0001;
constexpr uint16_t kTimestampExtraId = 0x5455;
constexpr uint8_t kHostUnix = 3;

const unsigned char* Bytes(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }

void ApplyZip64(std::string_view data, TZipHeaderInfo& info, bool localHeader) {
  // Each widened value is present only when its 32-bit field overflowed (both sizes always in a local
  // header), in this order; a field too short for what it should hold is ignored from there on.
  const auto take = [&data](uint64_t& value) {
    if (data.size() < 8) return;
    value = ReadLE64(Bytes(data));
    data.remove_prefix(8);
  };
  if (localHeader || info.UncompressedSize == 0xFFFFFFFF) take(info.UncompressedSize);
  if (localHeader || info.CompressedSize == 0xFFFFFFFF) take(info.CompressedSize);
  if (localHeader) return;
  if (info.LocalHeaderOffset == 0xFFFFFFFF) take(info.LocalHeaderOffset);
  if (info.DiskNumberStart == 0xFFFF && data.size() >= 4) info.DiskNumberStart = ReadLE32(Bytes(data));
}

void ApplyTimestamp(std::string_view data, TZipHeaderInfo& info) {
  if (data.size() < 5 || (static_cast<unsigned char>(data[0]) & 0x01) == 0) return;
  info.UnixModTime = static_cast<std::time_t>(static_cast<int32_t>(ReadLE32(Bytes(data.substr(1)))));
}

// The fields local and central headers share, from "version needed to extract" to the extra length.
RecordLengths ReadSharedFields(const unsigned char* p, TZipHeaderInfo& info) {
  info.Flags = ReadLE16(p + 2);
  info.Method = ReadLE16(p + 4);
  info.DosTime = ReadLE16(p + 6);
  info.DosDate = ReadLE16(p + 8);
  info.Crc32 = ReadLE32(p + 10);
  info.CompressedSize = ReadLE32(p + 14);
  info.UncompressedSize = ReadLE32(p + 18);
  return RecordLengths{ReadLE16(p + 22), ReadLE16(p + 24), 0};
}

}  // namespace

bool TZipHeaderInfo::IsFolder() const {
  return !FileName.empty() && (FileName.back() == '/' || FileName.back() == '\\');
}

std::time_t TZipHeaderInfo::ModTime() const { return UnixModTime ? *UnixModTime : DosDateTimeToTime(DosDate, DosTime); }

std::optional<unsigned> TZipHeaderInfo::UnixMode() const {
  const unsigned mode = ExternalAttributes >> 16;
  if ((VersionMadeBy >> 8) != kHostUnix || mode == 0) return std::nullopt;
  // Only the permission bits: an entry never becomes a link, a device or a set-id program.
  return mode & 0777u;
}

std::optional<RecordLengths> ParseLocalHeader(const unsigned char* bytes, TZipHeaderInfo& info) {
  if (ReadLE32(bytes) != kLocalHeaderSignature) return std::nullopt;
  info = TZipHeaderInfo();
  return ReadSharedFields(bytes + 4, info);
}

std::optional<RecordLengths> ParseCentralHeader(const unsigned char* bytes, TZipHeaderInfo& info) {
  if (ReadLE32(bytes) != kCentralHeaderSignature) return std::nullopt;
  info = TZipHeaderInfo();
  info.VersionMadeBy = ReadLE16(bytes + 4);
  RecordLengths lengths = ReadSharedFields(bytes + 6, info);
  lengths.Comment = ReadLE16(bytes + 32);
  info.DiskNumberStart = ReadLE16(bytes + 34);
  info.ExternalAttributes = ReadLE32(bytes + 38);
  info.LocalHeaderOffset = ReadLE32(bytes + 42);
  return lengths;
}

void ApplyExtraFields(std::string_view extra, TZipHeaderInfo& info, bool localHeader) {
  while (extra.size() >= 4) {
    const uint16_t id = ReadLE16(Bytes(extra));
    const size_t length = ReadLE16(Bytes(extra) + 2);
    extra.remove_prefix(4);
    if (length > extra.size()) return;
    const std::string_view data = extra.substr(0, length);
    if (id == kZip64ExtraId) ApplyZip64(data, info, localHeader);
    if (id == kTimestampExtraId) ApplyTimestamp(data, info);
    extra.remove_prefix(length);
  }
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): date before time, as in the headers
std::time_t DosDateTimeToTime(uint16_t dosDate, uint16_t dosTime) {
  std::tm parts{};
  parts.tm_year = ((dosDate >> 9) & 0x7F) + 80;
  // An unset date (all zero) reads as the day before 1980-01-01, as other extractors read it.
  parts.tm_mon = std::max(1, (dosDate >> 5) & 0x0F) - 1;
  parts.tm_mday = dosDate & 0x1F;
  parts.tm_hour = (dosTime >> 11) & 0x1F;
  parts.tm_min = (dosTime >> 5) & 0x3F;
  parts.tm_sec = (dosTime & 0x1F) * 2;
  parts.tm_isdst = -1;
  return std::mktime(&parts);
}

}  // namespace quorvex
