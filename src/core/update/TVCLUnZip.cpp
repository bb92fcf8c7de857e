#include "core/update/TVCLUnZip.h"

#include <optional>

#include "core/common/folder_path.h"
#include "core/update/CentralDirectoryReader.h"
#include "core/update/DestinationTree.h"
#include "core/update/LocalHeaderScanner.h"
#include "core/update/PendingFile.h"
#include "core/update/ZipArchiveFile.h"
#include "core/update/entry_decoder.h"
#include "core/update/entry_paths.h"
#include "core/update/zip_exceptions.h"

namespace quorvex {
namespace {

// Where the entry's data begin: after its local header, whose name and extra field may differ in
// length from the central directory's.
uint64_t DataStart(const ZipArchiveFile& file, const TZipHeaderInfo& entry) {
  unsigned char bytes[kLocalHeaderSize];
  if (file.ReadAt(entry.LocalHeaderOffset, bytes, sizeof bytes) != sizeof bytes) throw EFatalUnzipError();
  TZipHeaderInfo local;
  const auto lengths = ParseLocalHeader(bytes, local);
  if (!lengths) throw EBadZipFile();
  return entry.LocalHeaderOffset + kLocalHeaderSize + lengths->Name + lengths->Extra;
}

std::string ShownName(const std::string& destDir, const EntryPath& path) {
  std::string name = WithTrailingSlash(destDir);
  for (const std::string& folder : path.Folders) name += folder + '/';
  return name + path.FileName;
}

}  // namespace

const char* SkipReasonText(TSkipReason reason) {
  switch (reason) {
    case TSkipReason::NoOverwrite:
      return "File exists";
    case TSkipReason::UnknownMethod:
      return "Unknown Compression Method";
    case TSkipReason::Encrypted:
      return "Encrypted";
    case TSkipReason::BadName:
      return "No usable file name";
    case TSkipReason::CreateError:
      return "Cannot write the file";
  }
  return "";
}

void TVCLUnZip::SetDestDir(std::string dir) {
  if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  destDir_ = std::move(dir);
}

int TVCLUnZip::UnZip() {
  cancel_ = false;
  selected_.clear();
  if (!DoAll) {
    for (const std::string& name : FilesList) selected_.insert(NormalizedEntryName(name));
  }
  const ZipArchiveFile file(ZipName);
  const auto end = FindEndCentral(file);
  if (!end) {
    if (IncompleteZipMode == TIncompleteZipMode::izAssumeMulti) throw EIncompleteZip();
    LocalHeaderScanner scanner(file);
    return ExtractEntries(
        file, [&scanner](TZipHeaderInfo& entry) { return scanner.Next(entry); }, true);
  }
  if (end->IsMultiDisk()) AskForFirstDisk(*end);
  CentralDirectoryReader reader(file, *end);
  return ExtractEntries(
      file, [&reader](TZipHeaderInfo& entry) { return reader.Next(entry); }, false);
}

// Only single-file archives are read: the end record of a set's last disk leads to a request for the
// disk the set starts on; declined, the extraction is canceled, and otherwise this file alone is still
// an incomplete archive.
void TVCLUnZip::AskForFirstDisk(const TEndCentral& end) const {
  const uint64_t disk = uint64_t{end.CentralDisk != end.ThisDisk ? end.CentralDisk : 0} + 1;
  const std::string prompt = "Please insert disk " + std::to_string(disk) + " of the multi-disk set.";
  if (!OnGetNextDisk || !OnGetNextDisk(disk, prompt)) throw EUserCanceled("User canceled loading new disk.");
  throw EIncompleteZip();
}

template <typename NextEntry>
int TVCLUnZip::ExtractEntries(const ZipArchiveFile& file, NextEntry&& next, bool scanned) {
  std::optional<DestinationTree> tree;  // made with the first selected entry
  TZipHeaderInfo entry;
  bool found = false;
  int extracted = 0;
  while (next(entry)) {
    found = true;
    if (cancel_) throw EUserCanceled();
    if (!IsSelected(entry)) continue;
    if (!tree) tree.emplace(destDir_);
    if (ExtractEntry(file, *tree, entry)) ++extracted;
  }
  if (scanned && !found) throw EBadZipFile();
  return extracted;
}

bool TVCLUnZip::IsSelected(const TZipHeaderInfo& entry) const {
  return DoAll || selected_.contains(NormalizedEntryName(entry.FileName));
}

bool TVCLUnZip::ExtractEntry(const ZipArchiveFile& file, DestinationTree& tree, const TZipHeaderInfo& entry) {
  const auto path = EntryDestination(entry.FileName, RootDir, RecreateDirs);
  if (!path) {
    Skip(entry, TSkipReason::BadName);
    return false;
  }
  if (path->FileName.empty()) {  // a folder entry: only its folders are made
    if (!path->Folders.empty() && tree.OpenFolder(path->Folders) < 0) Skip(entry, TSkipReason::CreateError);
    return false;
  }
  if (entry.Method != kMethodStored && entry.Method != kMethodDeflated) {
    Skip(entry, TSkipReason::UnknownMethod);
    return false;
  }
  if (entry.IsEncrypted()) {
    Skip(entry, TSkipReason::Encrypted);
    return false;
  }
  const int folder = tree.OpenFolder(path->Folders);
  if (folder < 0) {
    Skip(entry, TSkipReason::CreateError);
    return false;
  }
  const std::string fileName = ShownName(destDir_, *path);
  const auto existing = DestinationTree::Lookup(folder, path->FileName);
  if (existing != DestinationTree::Existing::None) {
    const bool replace = existing == DestinationTree::Existing::File && MayOverwrite(fileName);
    if (!replace) {
      Skip(entry, existing == DestinationTree::Existing::File ? TSkipReason::NoOverwrite : TSkipReason::CreateError);
      return false;
    }
  }

  const uint64_t dataStart = DataStart(file, entry);
  PendingFile out(folder, path->FileName);
  if (!out.IsOpen()) {
    Skip(entry, TSkipReason::CreateError);
    return false;
  }
  const DecodedData data = DecodeEntryData(
      file, dataStart, entry, [&out](const unsigned char* bytes, size_t length) { return out.Write(bytes, length); },
      cancel_);
  if (data.SinkFailed) {
    Skip(entry, TSkipReason::CreateError);
    return false;
  }
  if (!data.Intact(entry)) {
    if (OnBadCRC) OnBadCRC(entry, data.Crc32);
    return false;
  }
  const auto unixMode = RetainAttributes ? entry.UnixMode() : std::nullopt;
  if (!out.Commit(entry.ModTime(), unixMode, RetainAttributes && !unixMode && entry.IsDosReadOnly())) {
    Skip(entry, TSkipReason::CreateError);
    return false;
  }
  if (OnEndUnZip) OnEndUnZip(entry, fileName);
  return true;
}

bool TVCLUnZip::MayOverwrite(const std::string& fileName) const {
  switch (OverwriteMode) {
    case TUZOverwriteMode::Always:
      return true;
    case TUZOverwriteMode::Never:
      return false;
    case TUZOverwriteMode::Prompt:
      return OnPromptForOverwrite && OnPromptForOverwrite("Replace existing file " + fileName + "?", fileName);
  }
  return false;
}

void TVCLUnZip::Skip(const TZipHeaderInfo& entry, TSkipReason reason) const {
  if (OnSkippingFile) OnSkippingFile(entry, reason);
}

}  // namespace quorvex
