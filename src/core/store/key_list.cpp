#include "core/store/key_list.h"

#include "core/common/file_io.h"
#include "core/common/unsaved_files.h"
#include "core/store/TOneKey.h"

namespace quorvex {

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the two paths have different names and roles
bool SaveKeyList(const std::vector<TOneKey*>& keyList, const std::filesystem::path& allKeyFile,
                 const std::filesystem::path& resultDir, const std::vector<std::string>& categoryNames,
                 UnsavedFiles* unsaved) {
  UnsavedFiles failed;
  std::string text;
  for (const TOneKey* key : keyList) {
    text += key->ToLine(categoryNames);
    text += "\r\n";
  }
  failed.Note(WriteFileAtomically(allKeyFile, text), allKeyFile);
  for (TOneKey* key : keyList) {
    if (!key->Modified) continue;
    if (failed.Note(key->SaveResults(resultDir), key->ResultFile(resultDir))) key->Modified = false;
  }
  if (unsaved) unsaved->Add(failed.Files());
  return failed.Empty();
}

std::vector<TOneKey*> KeysOfClassify(const std::vector<TOneKey*>& keyList, const std::optional<std::string>& classify) {
  std::vector<TOneKey*> keys;
  for (TOneKey* key : keyList) {
    if (!classify || key->Classify == *classify) keys.push_back(key);
  }
  return keys;
}

}  // namespace quorvex
