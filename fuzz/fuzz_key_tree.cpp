// KeyTree.txt on arbitrary bytes: every node's parent comes before it and sits one level up, and a tree
// written back reads back to the same nodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/store/KeyTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quorvex::TKeyTreeLoad load = quorvex::ParseKeyTree(std::string_view(reinterpret_cast<const char*>(data), size));
  for (size_t i = 0; i < load.Nodes.size(); ++i) {
    const quorvex::TKeyTreeNode& node = load.Nodes[i];
    if (node.Level == 0 ? node.Parent != -1
                        : node.Parent < 0 || static_cast<size_t>(node.Parent) >= i ||
                              load.Nodes[static_cast<size_t>(node.Parent)].Level != node.Level - 1) {
      std::abort();
    }
    (void)quorvex::ClassDeletable(load.Nodes, i);
  }
  const quorvex::TKeyTreeLoad again = quorvex::ParseKeyTree(quorvex::KeyTreeText(load.Nodes));
  if (again.Error || again.Nodes != load.Nodes) std::abort();
  return 0;
}
