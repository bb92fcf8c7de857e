#include "core/store/KeyTree.h"

#include "core/common/file_io.h"
#include "core/common/name_value_list.h"

namespace quorvex {

std::vector<TKeyTreeNode> DefaultKeyTree() {
  std::vector<TKeyTreeNode> nodes = {{0, -1, "All Classify"}};
  for (const char* child : {"Software", "Hardware", "Entertainment", "Article", "Sports", "Music"})
    nodes.push_back({1, 0, child});
  nodes.push_back({0, -1, "Rubish"});
  return nodes;
}

TKeyTreeLoad ParseKeyTree(std::string_view text) {
  TKeyTreeLoad load;
  std::vector<TKeyTreeNode>& nodes = load.Nodes;
  for (const std::string& line : SplitLines(text)) {
    size_t indent = 0;
    while (indent < line.size() && (line[indent] == ' ' || line[indent] == '\t')) ++indent;
    const int level = static_cast<int>(indent);
    std::string nodeText = line.substr(indent);
    if (nodes.empty()) {
      nodes.push_back({0, -1, std::move(nodeText)});
      continue;
    }
    int previous = static_cast<int>(nodes.size()) - 1;
    if (level > nodes[previous].Level + 1) {
      load.Error = "Invalid level (" + std::to_string(level) + ") for item \"" + nodeText + "\"";
      break;
    }
    if (level == nodes[previous].Level + 1) {
      nodes.push_back({level, previous, std::move(nodeText)});
      continue;
    }
    // A sibling of the previous node or of one of its ancestors.
    while (nodes[previous].Level > level) previous = nodes[previous].Parent;
    nodes.push_back({nodes[previous].Level, nodes[previous].Parent, std::move(nodeText)});
  }
  return load;
}

std::string KeyTreeText(const std::vector<TKeyTreeNode>& nodes) {
  std::string text;
  for (const TKeyTreeNode& node : nodes) {
    text.append(static_cast<size_t>(node.Level), '\t');
    text += node.Text;
    text += "\r\n";
  }
  return text;
}

std::optional<TKeyTreeLoad> LoadKeyTree(const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return std::nullopt;
  return ParseKeyTree(*text);
}

bool SaveKeyTree(const std::filesystem::path& file, const std::vector<TKeyTreeNode>& nodes) {
  return WriteFileAtomically(file, KeyTreeText(nodes));
}

int NodePicture(size_t position, size_t count) {
  if (position + 1 == count) return 2;
  return position == 0 ? 0 : 1;
}

bool ClassDeletable(const std::vector<TKeyTreeNode>& nodes, size_t position) {
  if (position >= nodes.size()) return false;
  if (nodes[position].Level != 0) return true;
  int topLevelIndex = 0;
  for (size_t i = 0; i < position; ++i)
    if (nodes[i].Level == 0) ++topLevelIndex;
  return topLevelIndex >= 2;
}

}  // namespace quorvex
