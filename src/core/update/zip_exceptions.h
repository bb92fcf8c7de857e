#pragma once
#include <stdexcept>
#include <string>

namespace quorvex {

// The extraction's failures. Each carries only its message; callers catch them by class.

// No end-of-central-directory record and no entry found by scanning, or a damaged directory.
class EBadZipFile : public std::runtime_error {
 public:
  EBadZipFile() : std::runtime_error("Not a valid zip file!") {}
};

// No end-of-central-directory record (or one disk of a multi-disk set) under izAssumeMulti.
class EIncompleteZip : public std::runtime_error {
 public:
  EIncompleteZip() : std::runtime_error("Incomplete Zip File") {}
};

// The archive ends inside an entry's data.
class EFatalUnzipError : public std::runtime_error {
 public:
  EFatalUnzipError() : std::runtime_error("Premature end of file reached") {}
};

// A cancel request during extraction, or a declined request for the next disk.
class EUserCanceled : public std::runtime_error {
 public:
  explicit EUserCanceled(const std::string& message = "User Aborted Operation") : std::runtime_error(message) {}
};

// An entry's decoded data would grow past its stated uncompressed size.
class EBiggerThanUncompressed : public std::runtime_error {
 public:
  EBiggerThanUncompressed() : std::runtime_error("File is larger than uncompressed size!") {}
};

}  // namespace quorvex
