// Config.txt on arbitrary bytes, fonts included: reading never fails, and what is written back reads
// back to the same layout.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/app/LayoutConfig.h"
#include "core/common/name_value_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorvex::NameValueList list;
  list.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
  const quorvex::TLayoutConfig current;
  const quorvex::TLayoutConfig read = quorvex::TLayoutConfig::FromList(list, current);
  const quorvex::NameValueList written = read.ToList();
  quorvex::NameValueList reread;
  reread.SetText(written.ToText());
  if (quorvex::TLayoutConfig::FromList(reread, current).ToList().Lines() != written.Lines()) std::abort();
  return 0;
}
