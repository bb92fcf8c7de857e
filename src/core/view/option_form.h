#pragma once
#include <string>

namespace quorvex {

class OptionsTable;

// What the options dialog shows: its controls' states, filled from the options once when the dialog
// is made and kept between showings whether or not they were stored.
struct TOptionForm {
  bool UseProxy = false;
  std::string Proxy;
  std::string ProxyPort;
  bool NewWindow = false;
  bool DownloadEnginesManually = false;
  std::string SearchTimeOut;
  std::string VerifyTimeOut;
  std::string DownloadTimeOut;
};

// The controls as the options set them; an empty time-out shows "60".
TOptionForm OptionFormFrom(const OptionsTable& options);

// Stores the controls (OK): the proxy texts only while the proxy is used, flags as "1" / "0", texts as
// typed; an empty text removes its key.
void StoreOptionForm(const TOptionForm& form, OptionsTable& options);

}  // namespace quorvex
