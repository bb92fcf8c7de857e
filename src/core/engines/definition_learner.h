#pragma once
#include <string>
#include <vector>

#include "core/engines/record_fields.h"

namespace quorvex {

// What a definition is learned from: one saved result page, the keyword it was searched for (UTF-8) and,
// when known, the address it came from.
struct TLearnInput {
  std::string page;
  std::string keyword;
  std::string url;      // empty: the definition gets no url= line the user can search with
  std::string charset = {};  // the page's when it declares none (a kept page's request tells it); "" UTF-8
};

struct TLearnedDefinition {
  bool found = false;               // a repeating result block was found and a definition written
  std::string definition;           // the definition file's text, LF-ended lines
  std::vector<std::string> report;  // what was chosen and why, what could not be decided
  std::vector<TRecord> records;     // what the written definition extracts from the page itself, with an
                                    // address and a title
  bool keyed = false;  // url= carries $key$; when it does not, the user is to give an address with the keyword
};

// Finds the block that repeats once per result (the same tag and class word, three times or more,
// each holding an outbound link with text and a word of the keyword), the title link and the summary
// element in it, and writes a definition in the engine folder's format that reads such pages: a
// template keyed on class words, rules that unwrap the redirect shapes its links show, and the paging
// the page's next link shows.
TLearnedDefinition LearnDefinition(const TLearnInput& input);

}  // namespace quorvex
