#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/update/zip_records.h"

namespace quorvex {

class ZipArchiveFile;
class DestinationTree;

enum class TUZOverwriteMode { Prompt, Always, Never };
enum class TIncompleteZipMode { izAssumeMulti, izAssumeBad };

// Why an entry was passed over.
enum class TSkipReason {
  NoOverwrite,    // the destination exists and may not be replaced
  UnknownMethod,  // neither stored nor Deflate
  Encrypted,      // no password is ever given
  BadName,        // the entry's name leaves no file name to write
  CreateError,    // the folder or the file could not be made or written
};

// The text for a skip reason ("Unknown Compression Method" for UnknownMethod).
const char* SkipReasonText(TSkipReason reason);

// Captions of the questions and messages the events stand for, for a window that answers them.
inline constexpr const char* kOverwritePromptCaption = "File Exists Alert";
inline constexpr const char* kZipErrorCaption = "Zip Error";

// Extracts a ZIP archive (stored and Deflate entries) into a folder. It runs in worker threads and never
// shows anything: where a question would be asked, an event is raised, and without a handler the safe
// answer is taken (keep the existing file, skip the entry, cancel).
class TVCLUnZip {
 public:
  // question is "Replace existing file " + name + "?"; true replaces the file.
  using TPromptForOverwriteEvent = std::function<bool(const std::string& question, const std::string& fileName)>;
  using TSkippingFileEvent = std::function<void(const TZipHeaderInfo& entry, TSkipReason reason)>;
  using TBadCRCEvent = std::function<void(const TZipHeaderInfo& entry, uint32_t actualCrc)>;
  using TEndUnZipEvent = std::function<void(const TZipHeaderInfo& entry, const std::string& fileName)>;
  // prompt is "Please insert disk " + disk + " of the multi-disk set."; false cancels.
  using TGetNextDiskEvent = std::function<bool(uint64_t disk, const std::string& prompt)>;

  std::string ZipName;
  std::string RootDir;
  bool RecreateDirs = false;
  TUZOverwriteMode OverwriteMode = TUZOverwriteMode::Prompt;
  bool DoAll = false;
  std::vector<std::string> FilesList;  // entry names extracted when DoAll is false
  TIncompleteZipMode IncompleteZipMode = TIncompleteZipMode::izAssumeMulti;
  bool RetainAttributes = true;

  TPromptForOverwriteEvent OnPromptForOverwrite;
  TSkippingFileEvent OnSkippingFile;
  TBadCRCEvent OnBadCRC;
  TEndUnZipEvent OnEndUnZip;
  TGetNextDiskEvent OnGetNextDisk;

  // The destination folder; one trailing "/" is removed. Empty means the working folder.
  const std::string& DestDir() const { return destDir_; }
  void SetDestDir(std::string dir);

  // Extracts the selected entries in central-directory order and returns how many files were written.
  // Throws the exceptions of zip_exceptions.h for format errors (files already written stay), and
  // std::runtime_error when the archive cannot be opened or the destination folder cannot be made.
  int UnZip();

  // Makes a running UnZip stop with EUserCanceled at its next block. Callable from any thread.
  void Cancel() { cancel_ = true; }

 private:
  template <typename NextEntry>
  int ExtractEntries(const ZipArchiveFile& file, NextEntry&& next, bool scanned);
  bool IsSelected(const TZipHeaderInfo& entry) const;
  bool ExtractEntry(const ZipArchiveFile& file, DestinationTree& tree, const TZipHeaderInfo& entry);
  bool MayOverwrite(const std::string& fileName) const;
  void Skip(const TZipHeaderInfo& entry, TSkipReason reason) const;
  [[noreturn]] void AskForFirstDisk(const TEndCentral& end) const;

  std::string destDir_;
  std::unordered_set<std::string> selected_;
  std::atomic<bool> cancel_{false};
};

}  // namespace quorvex
