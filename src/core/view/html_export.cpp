#include "core/view/html_export.h"

#include <algorithm>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/common/utf8.h"
#include "core/store/TOneKey.h"
#include "core/view/keyword_hits.h"
#include "core/view/score_text.h"

namespace quorvex {
namespace {

constexpr const char* kPageTitle = "Result created by Quorvex";

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

std::string Formatted(const std::tm& when, const char* format) {
  std::ostringstream out;
  out.imbue(UserLocale());
  out << std::put_time(&when, format);
  return out.str();
}

// The link keeps the address's own bytes: those a page may not hold as they are go percent-encoded.
std::string PercentEncodedHighBytes(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || byte <= 0x20) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string KeywordDateText(double date) {
  const std::time_t when = TimeFromDateTime(date);
  std::tm local{};
  localtime_r(&when, &local);
  std::string text = Formatted(local, "%x");
  if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0) text += " " + Formatted(local, "%X");
  return text;
}

std::string ExportHtml(const TOneKey& key, const std::vector<std::string>& words) {
  // The keyword is kept in GB while results come in GB or UTF-8: the page is written in UTF-8 alone,
  // and says so, so that a browser shows every line of it right.
  const auto text = [](std::string_view bytes) { return EscapeHtml(Utf8Keyword(bytes)); };
  // The words in the page's encoding too: a GB word could match inside a UTF-8 character.
  std::vector<std::string> utf8Words;
  for (const std::string& word : words) {
    std::string utf8 = Utf8Keyword(word);
    if (std::find(utf8Words.begin(), utf8Words.end(), utf8) == utf8Words.end()) utf8Words.push_back(std::move(utf8));
  }
  const auto marked = [&utf8Words](std::string_view bytes) {
    return HighlightHtml(Utf8Keyword(bytes), utf8Words, EscapeHtml);
  };
  const std::string crlf = "\r\n";
  std::string page;
  page += "<html>" + crlf;
  page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">" + crlf;
  page += std::string("<title>") + kPageTitle + "</title>" + crlf;
  page += "<body>" + crlf;
  page += std::string("<font face=Tahoma><font color=FF0000>") + kPageTitle + "</font><br>" + crlf;
  page += "Keyword:" + text(key.Keyword) + "<br>" + crlf;
  page += "Total:" + std::to_string(key.View.size()) + "<br>" + crlf;
  page += "Found date:" + text(KeywordDateText(key.Date)) + "<br>" + crlf;
  int number = 0;
  for (const TOneResult* result : key.View) {
    const std::string url = text(result->Url);
    page += "<br><font color=804000><B><I>" + std::to_string(++number) + "</I></B></font>.<a href=\"" +
            EscapeHtml(PercentEncodedHighBytes(result->Url)) + "\">" +
            marked(result->Title) + "</a> - " + crlf;
    page += marked(result->Summary) + "<br>" + crlf;
    page += "<i>" + url + "</i> <font color=004000 size=-1>" + text(result->Engines) + " " +
            ScoreText(result->Score) + "</font><br>" + crlf;
  }
  page += "<br>" + crlf;
  page += std::string("<font color=FF0000>Welcome to the homepage</font> <a href=") + kHomePageAddress + ">" +
          kHomePageAddress + "</a><br>" + crlf;
  page += "</body>" + crlf;
  page += "</html>" + crlf;
  return page;
}

bool WriteExportHtml(const TOneKey& key, const std::vector<std::string>& words, const std::filesystem::path& file) {
  return WriteFileAtomically(file, ExportHtml(key, words));
}

}  // namespace quorvex
