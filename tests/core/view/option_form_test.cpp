#include "core/view/option_form.h"

#include <gtest/gtest.h>

#include "core/app/Options.h"

using namespace quorvex;

TEST(OptionForm, StoringRules) {
  OptionsTable options;
  options.SetLines({"EnableProxy=1", "Proxy=proxy.lan", "ProxyPort=3128", "SearchTimeOut=30", "Other=x"});
  TOptionForm form = OptionFormFrom(options);
  EXPECT_TRUE(form.UseProxy);
  EXPECT_EQ(form.Proxy, "proxy.lan");
  EXPECT_EQ(form.SearchTimeOut, "30");
  EXPECT_EQ(form.VerifyTimeOut, "60");

  // Proxy off keeps the proxy lines; an emptied time-out removes its line; texts are stored as typed.
  form.UseProxy = false;
  form.Proxy = "changed";
  form.SearchTimeOut.clear();
  form.VerifyTimeOut = "abc";
  form.NewWindow = true;
  StoreOptionForm(form, options);
  EXPECT_EQ(options.Lines(),
            (std::vector<std::string>{"EnableProxy=0", "Proxy=proxy.lan", "ProxyPort=3128", "Other=x", "NewWindow=1",
                                      "DEngines=0", "VerifyTimeOut=abc", "DownloadTimeOut=60"}));
  EXPECT_EQ(OptionFormFrom(options).SearchTimeOut, "60");

  form.UseProxy = true;
  form.ProxyPort.clear();
  StoreOptionForm(form, options);
  EXPECT_EQ(options.Value("Proxy"), "changed");
  EXPECT_EQ(options.Value("EnableProxy"), "1");
  EXPECT_EQ(options.Value("ProxyPort"), "");
}
