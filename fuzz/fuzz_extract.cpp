// An engine definition and result pages, both arbitrary bytes: loading, building the request, cutting the
// result area and extracting two pages in a row never fail, records found stay within the field limit, the
// head record stays first, and the keyword encoding reads back. The definition's bytes read as a marker
// file too: the reason given for the first page is always one of the three kinds. The request an engine's
// header keys (Cookie, Agent, Lang) make has one header block, however hostile their values.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/common/name_value_list.h"
#include "core/engines/TEngineDefinition.h"
#include "core/engines/page_markers.h"
#include "core/engines/query_text.h"
#include "core/net/THtmlParser.h"
#include "core/net/TSHttp.h"
#include "core/net/http_message.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void ExtractOnePage(quorvex::TEngineDefinition& definition, quorvex::THtmlParser& parser, const std::string& body,
                    int start) {
  const std::string_view area = definition.CutResultArea(body);
  Check(area.empty() || (area.data() >= body.data() && area.data() + area.size() <= body.data() + body.size()));
  const auto request = definition.BuildPageUrl(start, definition.Step(), definition.NextPageTarget());
  definition.ExtractPage(parser, std::string(area), request.url, request.nextLinkText);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string key = input.ConsumeRandomLengthString(32);
  const std::string definitionText = input.ConsumeRandomLengthString(4096);
  const std::string firstPage = input.ConsumeRandomLengthString(1 << 16);
  const std::string secondPage = input.ConsumeRemainingBytesAsString();

  Check(quorvex::DecodeQuery(quorvex::EncodeQuery(key)) == key);

  std::vector<std::string> lines = quorvex::SplitLines(definitionText);
  lines.insert(lines.begin(), "key=" + key);
  quorvex::TEngineDefinition definition;
  definition.LoadDefinition(lines);
  const quorvex::TRecord head = definition.HeadRecord();

  const std::string cookie = definition.HeaderValue("Cookie");
  const std::string agent = definition.HeaderValue("Agent");
  const std::string language = definition.HeaderValue("Lang");
  const std::string request = quorvex::BuildRequestText(
      quorvex::TSHttp::kGet, definition.BuildPageUrl(definition.FirstStart(), definition.Step(), "").url,
      {"host", cookie, "", agent, language});
  Check(request.find("\r\n\r\n") + 4 == request.size());

  quorvex::THtmlParser parser;
  ExtractOnePage(definition, parser, firstPage, definition.FirstStart());
  ExtractOnePage(definition, parser, secondPage, definition.FirstStart() + definition.Step());

  const std::string reason = quorvex::EmptyPageReason(firstPage, quorvex::ParseMarkers(definitionText));
  Check(reason.rfind("blocked: ", 0) == 0 || reason.rfind("no results: ", 0) == 0 ||
        reason.rfind("no record matched: page of ", 0) == 0);

  const auto& kept = definition.KeptRecords();
  Check(!kept.empty() && kept.front() == head);
  for (size_t i = 1; i < kept.size(); ++i) Check(kept[i].size() <= static_cast<size_t>(quorvex::kMaxRecordFields));
  return 0;
}
