#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/engines/TEngineDefinition.h"

namespace quorvex::test {

// A definition from its text (lines separated by LF), with "key=" + key in front as a search puts it.
TEngineDefinition DefinitionFromText(std::string_view text, const std::string& key = {});

// The text of the shipped definition data/engines/<name>.txt.
std::string ReadEngine(const std::string& name);

// What one page gave.
struct PageRun {
  std::vector<TRecord> records;  // the records this page added
  std::optional<std::string> error;
  std::string nextPageTarget;
};

// Runs one page (cut to its result area first) through the definition, as a search does with the
// first page: next-link text from the first start number and the step.
PageRun RunPage(TEngineDefinition& definition, std::string_view page, std::string_view pageUrl = {});

}  // namespace quorvex::test
