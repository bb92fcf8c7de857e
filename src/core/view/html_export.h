#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class TOneKey;

// The product's home page, named in the export's footer and the About box.
inline constexpr const char* kHomePageAddress = "https://www.quorvex.org/";
inline constexpr const char* kExportFileName = "Key.html";

// <, >, & and " as entities: page texts go into the export as text, never as markup.
std::string EscapeHtml(std::string_view text);

// The keyword's date as the export shows it: the short date in the user's locale, then a blank and the
// long time unless the time is midnight.
std::string KeywordDateText(double date);

// The HTML page of the key's view (filtered and ordered as the list shows it), lines ended with CR LF,
// in UTF-8 (GB texts converted) with every text escaped; words are the list's highlight words.
std::string ExportHtml(const TOneKey& key, const std::vector<std::string>& words);

// Writes the page to file, replacing it. False when it cannot be written completely.
bool WriteExportHtml(const TOneKey& key, const std::vector<std::string>& words, const std::filesystem::path& file);

}  // namespace quorvex
