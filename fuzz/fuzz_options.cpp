// option.txt and the sponsor index on arbitrary bytes: the proxy address, time-outs and values read
// without fault, a value set reads back as set, and a sponsor draw always picks an existing line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/config/Options.h"
#include "core/common/name_value_list.h"
#include "core/sponsor/sponsor_index.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  quorvex::OptionsTable table;
  table.SetLines(quorvex::SplitLines(text));
  (void)table.ProxyAddress();
  for (const char* name : {"SearchTimeOut", "VerifyTimeOut", "DownloadTimeOut"}) Check(table.TimeOutSeconds(name) >= 0);
  for (const std::string& line : table.Lines()) {
    const std::string name(quorvex::NameValueList::NameOf(line));
    if (name.empty() || line.find('=') == std::string::npos) continue;
    table.SetValue(name, "1");
    Check(table.Value(name) == "1");
  }

  if (const auto lines = quorvex::ParseSponsorIndex(text)) {
    for (const double draw : {0.0, 0.5, 0.999999}) {
      if (const auto chosen = quorvex::ChooseSponsorLine(*lines, draw)) Check(*chosen < lines->size());
    }
  }
  return 0;
}
