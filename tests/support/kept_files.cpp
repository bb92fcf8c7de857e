#include "support/kept_files.h"

#include "core/common/file_io.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"
#include "core/store/save_scheduler.h"

namespace quorvex::test {
namespace {

const std::filesystem::path kResultDir = "SearchResult";
const std::filesystem::path kIndexFile = std::filesystem::path("Engines1") / EngineIndex::kFileName;

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  return text;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): which version, then how many
void AddResults(TOneKey& key, int version, int count) {
  for (int n = 0; n < count; ++n) {
    const std::string url = "http://v" + std::to_string(version) + ".example/" + key.Keyword + "/" + std::to_string(n);
    TOneResult& result = key.Results.Add(TResultList::KeyOf(url), TOneResult{});
    result.Url = url;
    result.Title = "Title " + std::to_string(n) + " of version " + std::to_string(version);
    result.Summary = std::string(static_cast<size_t>(40 + n), 's');
    result.Engines = "Bing;Brave";
    result.Score = n * 10 + version;
    result.Found = 45000.5 + n;
  }
  key.ResultCount = count;
}

}  // namespace

KeptFiles::KeptFiles(int version) {
  index_.Load(std::filesystem::path(QUORVEX_SOURCE_DIR) / "data" / "engines" / EngineIndex::kFileName);
  if (version == 1) {
    for (const std::string& category : index_.CategoryNames()) {
      for (const EngineRow& row : index_.Engines(category)) index_.SetChecked(row.Line, !row.Checked);
    }
  }
  int position = 0;
  for (const char* keyword : {"alpha", "beta", "gamma", "delta"}) {
    TOneKey& key = app_.AddKey(std::make_unique<TOneKey>(keyword, 45000.25 + position, position % 4, 1));
    key.Classify = version == 0 ? "Software" : "Music";
    key.Extra1 = version * 7 + position;
    key.Loaded = true;
    AddResults(key, version, 20 + 15 * version + 7 * position);
    ++position;
  }
  tree_ = DefaultKeyTree();
  if (version == 1) {
    for (TKeyTreeNode& node : tree_) node.Text += " (B)";
    layout_.TreeHeight = 200;
  }
  options_.SetLines(version == 0 ? std::vector<std::string>{"EnableProxy=0", "DEngines=1"}
                                 : std::vector<std::string>{"EnableProxy=1", "Proxy=127.0.0.1", "ProxyPort=8080",
                                                            "DEngines=0", "SearchTimeOut=30"});
}

UnsavedFiles KeptFiles::Save(const std::filesystem::path& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(folder / kResultDir, ignored);
  std::filesystem::create_directories(folder / kIndexFile.parent_path(), ignored);
  for (TOneKey* key : app_.KeyList) key->Modified = true;
  SaveScheduler saver({&app_.KeyList, folder / kAllKeyFileName, folder / kResultDir,
                       [this] { return index_.CategoryNames(); },
                       [this, &folder] { return SaveKeyTree(folder / kKeyTreeFileName, tree_); }});
  UnsavedFiles unsaved;
  saver.SaveAll(SaveScheduler::Clock::now(), &unsaved);
  unsaved.Note(layout_.Save(folder / TLayoutConfig::kFileName), TLayoutConfig::kFileName);
  unsaved.Note(options_.SaveTo(folder / kOptionFileName), kOptionFileName);
  unsaved.Note(index_.Save(folder / kIndexFile), kIndexFile);
  return unsaved;
}

std::map<std::string, std::string> ReadKeptFiles(const std::filesystem::path& folder) {
  std::map<std::string, std::string> read;
  EngineIndex index;
  if (index.Load(folder / kIndexFile)) read[kIndexFile.string()] = Joined(index.Lines());
  const std::vector<std::string> categories = index.CategoryNames();

  AppState app;
  if (LoadKeyList(app, folder / kAllKeyFileName, categories)) {
    std::string& lines = read[kAllKeyFileName];
    for (TOneKey* key : app.KeyList) {
      lines += key->ToLine(categories) + '\n';
      if (!key->LoadResults(folder / kResultDir)) continue;
      std::string& results = read[(kResultDir / key->ResultFile({}).filename()).string()];
      for (size_t i = 0; i < key->Results.Count(); ++i) results += key->Results[i].ToLine() + '\n';
    }
  }
  if (const auto tree = LoadKeyTree(folder / kKeyTreeFileName))
    read[kKeyTreeFileName] = KeyTreeText(tree->Nodes) + tree->Error.value_or("");
  if (ReadWholeFile(folder / TLayoutConfig::kFileName))
    read[TLayoutConfig::kFileName] = TLayoutConfig::Load(folder / TLayoutConfig::kFileName, {}).ToList().ToText();
  if (ReadWholeFile(folder / kOptionFileName)) {
    OptionsTable options;
    options.LoadFrom(folder / kOptionFileName);
    read[kOptionFileName] = Joined(options.Lines());
  }
  return read;
}

}  // namespace quorvex::test
