#include "core/update/CentralDirectoryReader.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/update/zip_exceptions.h"

namespace quorvex {
namespace {

constexpr size_t kMaxCommentLength = 0xFFFF;

TEndCentral ParseEndCentral(const unsigned char* p, uint64_t position) {
  TEndCentral end;
  end.ThisDisk = ReadLE16(p + 4);
  end.CentralDisk = ReadLE16(p + 6);
  end.EntriesOnDisk = ReadLE16(p + 8);
  end.TotalEntries = ReadLE16(p + 10);
  end.CentralSize = ReadLE32(p + 12);
  end.CentralOffset = ReadLE32(p + 16);
  end.Position = position;
  return end;
}

bool ReadZip64EndAt(const ZipArchiveFile& file, uint64_t position, TEndCentral& end) {
  unsigned char p[kZip64EndCentralSize];
  if (file.ReadAt(position, p, sizeof p) != sizeof p || ReadLE32(p) != kZip64EndCentralSignature) return false;
  end.ThisDisk = ReadLE32(p + 16);
  end.CentralDisk = ReadLE32(p + 20);
  end.EntriesOnDisk = ReadLE64(p + 24);
  end.TotalEntries = ReadLE64(p + 32);
  end.CentralSize = ReadLE64(p + 40);
  end.CentralOffset = ReadLE64(p + 48);
  end.Position = position;
  return true;
}

// A Zip64 locator right before the end record points to the Zip64 end record; when bytes were put in
// front of the archive the stated offset is off, and the record is looked for right before the locator.
void WidenWithZip64(const ZipArchiveFile& file, TEndCentral& end) {
  if (end.Position < kZip64LocatorSize) return;
  const uint64_t locatorPosition = end.Position - kZip64LocatorSize;
  unsigned char locator[kZip64LocatorSize];
  if (file.ReadAt(locatorPosition, locator, sizeof locator) != sizeof locator) return;
  if (ReadLE32(locator) != kZip64LocatorSignature) return;
  if (ReadZip64EndAt(file, ReadLE64(locator + 8), end)) return;
  if (locatorPosition >= kZip64EndCentralSize) ReadZip64EndAt(file, locatorPosition - kZip64EndCentralSize, end);
}

bool HasCentralSignatureAt(const ZipArchiveFile& file, uint64_t position) {
  unsigned char signature[4];
  return file.ReadAt(position, signature, sizeof signature) == sizeof signature &&
         ReadLE32(signature) == kCentralHeaderSignature;
}

}  // namespace

std::optional<TEndCentral> FindEndCentral(const ZipArchiveFile& file) {
  const uint64_t size = file.Size();
  if (size < kEndCentralSize) return std::nullopt;
  const size_t tailLength = static_cast<size_t>(std::min<uint64_t>(size, kEndCentralSize + kMaxCommentLength));
  const uint64_t tailStart = size - tailLength;
  std::vector<unsigned char> tail(tailLength);
  if (file.ReadAt(tailStart, tail.data(), tailLength) != tailLength) return std::nullopt;

  for (size_t i = tailLength - kEndCentralSize + 1; i-- > 0;) {
    const unsigned char* p = tail.data() + i;
    if (ReadLE32(p) != kEndCentralSignature) continue;
    if (i + kEndCentralSize + ReadLE16(p + 20) > tailLength) continue;  // its comment would run past the end
    TEndCentral end = ParseEndCentral(p, tailStart + i);
    WidenWithZip64(file, end);
    return end;
  }
  return std::nullopt;
}

CentralDirectoryReader::CentralDirectoryReader(const ZipArchiveFile& file, const TEndCentral& end)
    : window_(file), remaining_(end.TotalEntries) {
  if (remaining_ == 0) return;
  if (HasCentralSignatureAt(file, end.CentralOffset)) {
    position_ = end.CentralOffset;
    return;
  }
  // Bytes in front of the archive (a self-extractor stub, junk) shift everything by the same amount:
  // the directory then ends right where the end record starts.
  if (end.CentralSize <= end.Position) {
    const uint64_t actual = end.Position - end.CentralSize;
    if (actual > end.CentralOffset && HasCentralSignatureAt(file, actual)) {
      position_ = actual;
      bias_ = actual - end.CentralOffset;
      return;
    }
  }
  throw EBadZipFile();
}

bool CentralDirectoryReader::Next(TZipHeaderInfo& info) {
  if (remaining_ == 0) return false;
  const unsigned char* fixed = window_.View(position_, kCentralHeaderSize);
  if (fixed == nullptr) throw EBadZipFile();
  const auto lengths = ParseCentralHeader(fixed, info);
  if (!lengths) throw EBadZipFile();
  const size_t variable = size_t{lengths->Name} + lengths->Extra + lengths->Comment;
  const unsigned char* rest = window_.View(position_ + kCentralHeaderSize, variable);
  if (rest == nullptr) throw EBadZipFile();
  const auto* text = reinterpret_cast<const char*>(rest);
  info.FileName.assign(text, lengths->Name);
  ApplyExtraFields(std::string_view(text + lengths->Name, lengths->Extra), info, false);
  info.LocalHeaderOffset += bias_;
  position_ += kCentralHeaderSize + variable;
  --remaining_;
  return true;
}

}  // namespace quorvex
