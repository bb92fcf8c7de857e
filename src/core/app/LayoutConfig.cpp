#include "core/app/LayoutConfig.h"

#include <algorithm>

#include <string>

#include "core/common/file_io.h"
#include "core/common/numbers.h"

namespace quorvex {
namespace {

int IntOr(const NameValueList& list, const char* name, int fallback) { return ParseIntOr(list.Value(name), fallback); }

std::optional<int> OptionalInt(const NameValueList& list, const char* name) {
  if (list.IndexOfName(name) < 0) return std::nullopt;
  return IntOr(list, name, 0);
}

TWindowState StateOr(const NameValueList& list, TWindowState fallback) {
  const int state = IntOr(list, "WindowState", static_cast<int>(fallback));
  if (state < 0 || state > 2) return fallback;
  return static_cast<TWindowState>(state);
}

}  // namespace

TLayoutConfig TLayoutConfig::FromList(const NameValueList& list, const TLayoutConfig& current) {
  TLayoutConfig config = current;
  const TLayoutConfig defaults;
  config.TreeHeight = IntOr(list, "tvKey", defaults.TreeHeight);
  config.TypeHeight = IntOr(list, "lvType", defaults.TypeHeight);
  config.TreeWidth = IntOr(list, "pnTree", defaults.TreeWidth);
  config.KeywordHeight = IntOr(list, "pnKeyword", defaults.KeywordHeight);
  config.ShowKey = list.Value("pnShowKey") != "0";
  config.ShowTree = list.Value("pnShowTree") != "0";
  config.SelectedTreeKey = OptionalInt(list, "SelectedTreeKey");
  config.SelectedKey = OptionalInt(list, "SelectedKey");
  config.Type = IntOr(list, "Type", defaults.Type);
  config.SortMethod = IntOr(list, "SortMethod", defaults.SortMethod);
  config.CountPerEngine = IntOr(list, "CountPerEngine", defaults.CountPerEngine);
  config.CountAll = IntOr(list, "CountAll", defaults.CountAll);
  config.WindowState = StateOr(list, current.WindowState);
  if (config.WindowState != TWindowState::Maximised) {
    config.Left = IntOr(list, "Left", current.Left);
    config.Top = IntOr(list, "Top", current.Top);
    config.Width = IntOr(list, "Width", current.Width);
    config.Height = IntOr(list, "Height", current.Height);
  }
  for (size_t i = 0; i < kFontKeys.size(); ++i)
    FontFromText(list.Value(kFontKeys[i]), config.Look.Fonts[i], kFontDefaults[i]);
  config.Look.SummaryLine = std::clamp(IntOr(list, "SummaryLine", defaults.Look.SummaryLine), 0, 5);
  config.Look.DisplayGrid = IntOr(list, "DisplayGrid", 1) != 0;
  config.Look.GridLine = static_cast<std::uint32_t>(
      ParseInt64Or(list.Value("GridLine"), static_cast<long long>(defaults.Look.GridLine)));
  return config;
}

NameValueList TLayoutConfig::ToList() const {
  NameValueList list;
  const auto put = [&list](const char* name, long long value) { list.Add(std::string(name) + "=" + std::to_string(value)); };
  if (SelectedTreeKey) put("SelectedTreeKey", *SelectedTreeKey);
  if (SelectedKey) put("SelectedKey", *SelectedKey);
  put("tvKey", TreeHeight);
  put("lvType", TypeHeight);
  put("pnTree", TreeWidth);
  put("pnKeyword", KeywordHeight);
  put("pnShowKey", ShowKey ? 1 : 0);
  put("pnShowTree", ShowTree ? 1 : 0);
  put("Type", Type);
  put("SortMethod", SortMethod);
  put("CountPerEngine", CountPerEngine);
  put("CountAll", CountAll);
  put("WindowState", static_cast<int>(WindowState));
  put("Left", Left);
  put("Top", Top);
  put("Width", Width);
  put("Height", Height);
  for (size_t i = 0; i < kFontKeys.size(); ++i) list.Add(std::string(kFontKeys[i]) + "=" + FontToText(Look.Fonts[i]));
  put("SummaryLine", Look.SummaryLine);
  put("DisplayGrid", Look.DisplayGrid ? 1 : 0);
  put("GridLine", Look.GridLine);
  return list;
}

TLayoutConfig TLayoutConfig::Load(const std::filesystem::path& file, const TLayoutConfig& current) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return current;
  NameValueList list;
  list.SetText(*text);
  return FromList(list, current);
}

bool TLayoutConfig::Save(const std::filesystem::path& file) const { return WriteFileAtomically(file, ToList().ToText()); }

}  // namespace quorvex
