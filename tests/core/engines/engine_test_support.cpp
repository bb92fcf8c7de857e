#include "engine_test_support.h"

#include <gtest/gtest.h>

#include "core/common/file_io.h"
#include "core/common/name_value_list.h"
#include "core/net/THtmlParser.h"

namespace quorvex::test {

TEngineDefinition DefinitionFromText(std::string_view text, const std::string& key) {
  TEngineDefinition definition;
  definition.LoadDefinition(SplitLines(text));
  definition.SetKey(key);
  return definition;
}

std::string ReadEngine(const std::string& name) {
  const auto text = ReadWholeFile(std::string(QUORVEX_SOURCE_DIR) + "/data/engines/" + name + ".txt");
  EXPECT_TRUE(text.has_value()) << name;
  return text.value_or(std::string());
}

PageRun RunPage(TEngineDefinition& definition, std::string_view page, std::string_view pageUrl) {
  const size_t keptBefore = definition.KeptRecords().size();
  THtmlParser parser;
  PageRun run;
  run.error = definition.ExtractPage(parser, std::string(definition.CutResultArea(page)), pageUrl,
                                     definition.NextLinkText(definition.FirstStart(), definition.Step()));
  const std::vector<TRecord>& kept = definition.KeptRecords();
  run.records.assign(kept.begin() + static_cast<std::ptrdiff_t>(keptBefore), kept.end());
  run.nextPageTarget = definition.NextPageTarget();
  return run;
}

}  // namespace quorvex::test
