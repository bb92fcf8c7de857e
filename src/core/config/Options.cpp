#include "core/config/Options.h"

#include "core/common/file_io.h"
#include "core/common/numbers.h"

namespace quorvex {

std::string OptionsTable::Value(std::string_view name) const {
  std::lock_guard lock(mutex_);
  return list_.Value(name);
}

void OptionsTable::SetValue(std::string_view name, std::string_view value) {
  std::lock_guard lock(mutex_);
  list_.SetValue(name, value);
}

std::vector<std::string> OptionsTable::Lines() const {
  std::lock_guard lock(mutex_);
  return list_.Lines();
}

void OptionsTable::SetLines(std::vector<std::string> lines) {
  std::lock_guard lock(mutex_);
  list_ = NameValueList(std::move(lines));
}

void OptionsTable::LoadFrom(const std::filesystem::path& file) {
  const auto text = ReadWholeFile(file);
  if (!text) return;
  std::lock_guard lock(mutex_);
  list_.SetText(*text);
}

bool OptionsTable::SaveTo(const std::filesystem::path& file) const {
  std::lock_guard saving(saveMutex_);
  std::string text;
  {
    std::lock_guard lock(mutex_);
    text = list_.ToText();
  }
  return WriteFileAtomically(file, text);
}

std::string OptionsTable::ProxyAddress() const {
  std::lock_guard lock(mutex_);
  if (list_.Value("EnableProxy") != "1") return {};
  return list_.Value("Proxy") + ":" + list_.Value("ProxyPort");
}

int OptionsTable::TimeOutSeconds(std::string_view name) const {
  const int seconds = ParseIntOr(Value(name), 60);
  return seconds < 0 ? 60 : seconds;
}

OptionsTable& Options() {
  static OptionsTable table;
  return table;
}

void LoadOptions() { Options().LoadFrom(kOptionFileName); }

bool SaveOptions() { return Options().SaveTo(kOptionFileName); }

}  // namespace quorvex
