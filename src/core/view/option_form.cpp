#include "core/view/option_form.h"

#include "core/config/Options.h"

namespace quorvex {
namespace {

std::string TimeOutText(const OptionsTable& options, const char* name) {
  std::string value = options.Value(name);
  return value.empty() ? "60" : value;
}

const char* Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

TOptionForm OptionFormFrom(const OptionsTable& options) {
  TOptionForm form;
  form.UseProxy = options.Value("EnableProxy") == "1";
  form.Proxy = options.Value("Proxy");
  form.ProxyPort = options.Value("ProxyPort");
  form.NewWindow = options.Value("NewWindow") == "1";
  form.DownloadEnginesManually = options.Value("DEngines") == "1";
  form.SearchTimeOut = TimeOutText(options, "SearchTimeOut");
  form.VerifyTimeOut = TimeOutText(options, "VerifyTimeOut");
  form.DownloadTimeOut = TimeOutText(options, "DownloadTimeOut");
  return form;
}

void StoreOptionForm(const TOptionForm& form, OptionsTable& options) {
  options.SetValue("EnableProxy", Flag(form.UseProxy));
  if (form.UseProxy) {
    options.SetValue("Proxy", form.Proxy);
    options.SetValue("ProxyPort", form.ProxyPort);
  }
  options.SetValue("NewWindow", Flag(form.NewWindow));
  options.SetValue("DEngines", Flag(form.DownloadEnginesManually));
  options.SetValue("SearchTimeOut", form.SearchTimeOut);
  options.SetValue("VerifyTimeOut", form.VerifyTimeOut);
  options.SetValue("DownloadTimeOut", form.DownloadTimeOut);
}

}  // namespace quorvex
