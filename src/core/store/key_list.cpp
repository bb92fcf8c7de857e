#include "core/store/key_list.h"

#include "core/common/file_io.h"
#include "core/store/TOneKey.h"

namespace quorvex {

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the two paths have different names and roles
bool SaveKeyList(const std::vector<TOneKey*>& keyList, const std::filesystem::path& allKeyFile,
                 const std::filesystem::path& resultDir, const std::vector<std::string>& categoryNames) {
  std::string text;
  for (const TOneKey* key : keyList) {
    text += key->ToLine(categoryNames);
    text += "\r\n";
  }
  bool allWritten = WriteFileAtomically(allKeyFile, text);
  for (TOneKey* key : keyList) {
    if (!key->Modified) continue;
    if (key->SaveResults(resultDir)) {
      key->Modified = false;
    } else {
      allWritten = false;
    }
  }
  return allWritten;
}

std::vector<TOneKey*> KeysOfClassify(const std::vector<TOneKey*>& keyList, const std::optional<std::string>& classify) {
  std::vector<TOneKey*> keys;
  for (TOneKey* key : keyList) {
    if (!classify || key->Classify == *classify) keys.push_back(key);
  }
  return keys;
}

}  // namespace quorvex
