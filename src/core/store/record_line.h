#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// The quoted line form of the records in AllKey.txt and the result files: every field in double quotes,
// fields separated by a single comma; read back with SplitCommaList.

// Appends a field (with its separating comma unless it is the first) written so that it reads back
// unchanged: a double quote inside is doubled, which the comma-list reading turns back into one.
void AppendVerbatimField(std::string& line, std::string_view text);

// Appends a title or summary, in which a double quote is written as a single quote.
void AppendTextField(std::string& line, std::string_view text);

// Appends a URL. Line feeds, carriage returns and NUL bytes are dropped: a browser ignores the first
// two inside an address, and any of them would cut the record's line.
void AppendUrlField(std::string& line, std::string_view url);

// A real as stored: "." as the separator. Files written under a locale with a decimal comma hold
// "45123,5"; such a text is read with the comma as the separator, so those files keep their dates.
double ParseStoredReal(std::string_view text);

}  // namespace quorvex
