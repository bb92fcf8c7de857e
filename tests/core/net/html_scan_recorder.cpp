#include "html_scan_recorder.h"

namespace quorvex::test {

std::string ScanEvents(THtmlParser& parser, std::string_view html, bool rebuild) {
  std::string events;
  parser.OnHtmlTag = [&events](THtmlParser&, std::string& name, NameValueList& param, size_t) {
    events += '<' + name;
    for (const std::string& entry : param.Lines()) events += '|' + entry;
    events += '>';
  };
  parser.OnHtmlText = [&events](THtmlParser&, std::string& text) { events += '[' + text + ']'; };
  parser.Content = html;
  parser.SaveChange = rebuild;
  parser.Parse();
  return events;
}

std::string ScanEvents(std::string_view html) {
  THtmlParser parser;
  return ScanEvents(parser, html);
}

std::string Rebuilt(std::string_view html) {
  THtmlParser parser;
  parser.Content = html;
  parser.SaveChange = true;
  parser.Parse();
  return parser.Content;
}

}  // namespace quorvex::test
