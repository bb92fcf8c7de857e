#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

// The whole file as bytes, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);
// There, or cannot be told (no permission on the folder, a disk error), as opposed to missing: a file
// that could not be read but may exist must not be written over as if it were new.
bool MayExist(const std::filesystem::path& path);

// Writes bytes to a temporary file in the same folder, flushes it and renames it over path, so that a
// crash or a full disk never leaves a half-written file. Returns false (old file untouched, no
// temporary file left) on failure, with errno telling why.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// "FILE could not be written: REASON", the reason told by error (an errno value).
std::string NotWrittenMessage(const std::filesystem::path& file, int error);

// Removes the temporary files that WriteFileAtomically left in folder when its process was killed
// mid-write; those of a process still running (another copy saving now) stay.
void RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

}  // namespace quorvex
