#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// One class of the keyword tree, in tree order (a node, its children, then its next sibling).
struct TKeyTreeNode {
  int Level = 0;    // 0 for a top-level node
  int Parent = -1;  // position of the parent node, -1 for a top-level node
  std::string Text;
  bool operator==(const TKeyTreeNode&) const = default;
};

// KeyTree.txt read: the nodes read, and the message of the first line whose level jumps by more than
// one (the nodes before it are kept).
struct TKeyTreeLoad {
  std::vector<TKeyTreeNode> Nodes;
  std::optional<std::string> Error;
};

inline constexpr const char* kKeyTreeFileName = "KeyTree.txt";

// The tree used when KeyTree.txt is missing.
std::vector<TKeyTreeNode> DefaultKeyTree();

// Each line's level is its count of leading blanks and TABs, the rest its text.
TKeyTreeLoad ParseKeyTree(std::string_view text);
// One line per node: a TAB per level, then the text, CR LF-ended.
std::string KeyTreeText(const std::vector<TKeyTreeNode>& nodes);

// Nothing when the file is missing (the default tree stays).
std::optional<TKeyTreeLoad> LoadKeyTree(const std::filesystem::path& file);
bool SaveKeyTree(const std::filesystem::path& file, const std::vector<TKeyTreeNode>& nodes);

// The picture of the node at position of count nodes after a load: 0 for the first, 2 for the last,
// 1 for the others.
int NodePicture(size_t position, size_t count);
// The picture of a node added as a sibling, and of one added as a child (the tree's default).
inline constexpr int kAddedClassPicture = 1;
inline constexpr int kAddedSubClassPicture = 0;
inline constexpr const char* kNewClassText = "New Classify";

// Whether the node at position may be deleted: not one of the first two top-level nodes.
bool ClassDeletable(const std::vector<TKeyTreeNode>& nodes, size_t position);

}  // namespace quorvex
