#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

class TOneKey;
class UnsavedFiles;

// The keyword records file, in the working folder.
inline constexpr const char* kAllKeyFileName = "AllKey.txt";

// Rewrites AllKey.txt with one line per record of keyList, then the result file of every modified
// record, which is then no longer modified. A file that cannot be written does not stop the others
// (its record stays modified) and is noted in unsaved when given. True when every file was written.
bool SaveKeyList(const std::vector<TOneKey*>& keyList, const std::filesystem::path& allKeyFile,
                 const std::filesystem::path& resultDir, const std::vector<std::string>& categoryNames,
                 UnsavedFiles* unsaved = nullptr);

// The records the keyword list shows for a tree node, in KeyList order: those whose Classify equals
// the node's text exactly, or all of them when no node is given.
std::vector<TOneKey*> KeysOfClassify(const std::vector<TOneKey*>& keyList, const std::optional<std::string>& classify);

}  // namespace quorvex
