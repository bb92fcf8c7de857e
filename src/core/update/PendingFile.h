#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>

namespace quorvex {

// A file being extracted. It is written under a temporary name in its folder and renamed over the
// destination only when it is complete and intact, so that a damaged entry never destroys the file it
// would have replaced; until then the destination keeps its old contents.
class PendingFile {
 public:
  // Creates the temporary file in folderFd; IsOpen() tells whether that worked.
  PendingFile(int folderFd, std::string name);
  ~PendingFile();  // removes the temporary file unless it was committed
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  bool Write(const unsigned char* data, size_t length);

  // Gives the file its last-write time and permissions (unixMode: exactly these bits; readOnly: the
  // default bits less every write bit), then renames it to its name, replacing a file or symlink there.
  bool Commit(std::time_t modTime, std::optional<unsigned> unixMode, bool readOnly);

 private:
  bool SetAttributes(std::time_t modTime, std::optional<unsigned> unixMode, bool readOnly);
  void Discard();

  int folderFd_;
  std::string name_;
  std::string tempName_;
  int fd_ = -1;
};

}  // namespace quorvex
