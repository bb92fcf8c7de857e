#pragma once
#include <filesystem>
#include <optional>

#include "core/common/name_value_list.h"
#include "core/view/list_look.h"

namespace quorvex {

enum class TWindowState { Normal = 0, Minimised = 1, Maximised = 2 };

// Config.txt, the main window's layout in the working folder: panel sizes and toggles, the chosen
// category and order, the search limits, the window's state and bounds, and the result list's look.
struct TLayoutConfig {
  static constexpr const char* kFileName = "Config.txt";

  std::optional<int> SelectedTreeKey;  // position of the selected node counted over all nodes
  std::optional<int> SelectedKey;      // row of the selected keyword
  int TreeHeight = 130;
  int TypeHeight = 110;
  int TreeWidth = 150;
  int KeywordHeight = 100;
  bool ShowKey = true;
  bool ShowTree = true;
  int Type = 0;
  int SortMethod = 0;
  int CountPerEngine = 30;
  int CountAll = 300;
  TWindowState WindowState = TWindowState::Maximised;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  TListLook Look;

  // Reads the entries over current, which holds the window's present state, bounds and look: a
  // missing or unreadable number takes its default, the state and bounds keep current's values, and
  // the bounds are read only when the state read is not maximised.
  static TLayoutConfig FromList(const NameValueList& list, const TLayoutConfig& current);
  // Every key in file order; the two selections only when they are set.
  NameValueList ToList() const;

  // Config.txt read over current; current as it is when the file is missing.
  static TLayoutConfig Load(const std::filesystem::path& file, const TLayoutConfig& current);
  bool Save(const std::filesystem::path& file) const;
};

}  // namespace quorvex
