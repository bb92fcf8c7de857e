#pragma once
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/name_value_list.h"

namespace quorvex {

// The options table behind option.txt. Workers read it (proxy, time-outs) and the engine update writes
// Last-Modified from its thread, so every access takes the table's lock.
class OptionsTable {
 public:
  std::string Value(std::string_view name) const;
  void SetValue(std::string_view name, std::string_view value);
  std::vector<std::string> Lines() const;
  void SetLines(std::vector<std::string> lines);

  // Replaces the table by the file's lines; a missing file leaves the table as it is.
  void LoadFrom(const std::filesystem::path& file);
  // Writes the table, one CR LF-ended line per entry, replacing the file atomically. Saves run one at
  // a time, each writing the table as it is when its turn comes, so the file a later save leaves is
  // never replaced by an earlier one.
  bool SaveTo(const std::filesystem::path& file) const;

  // "host:port" when EnableProxy is "1", otherwise empty (a direct connection).
  std::string ProxyAddress() const;
  // Seconds of a time-out option (SearchTimeOut, VerifyTimeOut, DownloadTimeOut): 60 when empty or
  // not a number, 0 for no limit.
  int TimeOutSeconds(std::string_view name) const;

 private:
  mutable std::mutex mutex_;
  mutable std::mutex saveMutex_;  // held for a whole save; mutex_ only while the table is read
  NameValueList list_;
};

// The program's one table.
OptionsTable& Options();

inline constexpr const char* kOptionFileName = "option.txt";

// option.txt in the working directory.
void LoadOptions();
bool SaveOptions();

}  // namespace quorvex
