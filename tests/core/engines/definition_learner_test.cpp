// The learner on pages in another code page than the keyword's, and on pages made to exhaust it.
#include "core/engines/definition_learner.h"
#include "core/engines/saved_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine_test_support.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

bool Reports(const TLearnedDefinition& learned, const std::string& text) {
  for (const std::string& line : learned.report) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

// count result blocks holding keyword, each with a link to its own site, each followed by a link to
// extra (when not empty) whose text is "More".
std::string Results(int count, const std::string& keyword, const std::string& extra) {
  std::string page;
  for (int i = 0; i < count; ++i) {
    page += "<div class=\"result\"><h3><a href=\"https://site" + std::to_string(i) + ".example/\">" + keyword +
            " result</a></h3><p class=\"snip\">What the page about " + keyword + " says, long enough to count.</p>" +
            (extra.empty() ? "" : "<a href=\"" + extra + "\">More</a>") + "</div>\n";
  }
  return page;
}

}  // namespace

// The keyword is typed in UTF-8; a page holds it, and the address the page came from asks for it, as
// the page's charset writes it. GB and BIG5 pages are read as they are; a page of any other charset is
// read in UTF-8, and so is it by the definition, which names the charset.
TEST(DefinitionLearner, FindsTheKeywordAsThePagesCharsetWritesIt) {
  const struct {
    const char* page;
    const char* keyword;
    const char* url;
    const char* written;  // the definition's url= and code page lines
    size_t results;
    const char* first;  // address
    const char* text;   // in a title or summary, UTF-8
  } kPages[] = {
      {"serp/sogou-aql-1.html", "跨市场买卖", "http://www.sogou.com/web?query=%BF%E7%CA%D0%B3%A1%C2%F2%C2%F4",
       "url=http://www.sogou.com/web?query=$key$&page=$page$\nVersion=0\n", 5,
       "http://baike.china.alibaba.com/doc/history/view.html?eid=354042", ""},
      {"serp/sogou-aql-1-big5.html", "跨市場買賣", "http://www.sogou.com/web?query=%B8%F3%A5%AB%B3%F5%B6R%BD%E6",
       "url=http://www.sogou.com/web?query=$key$&page=$page$\nVersion=1\n", 5,
       "http://baike.china.alibaba.com/doc/history/view.html?eid=354042", ""},
      // Ten results, not the engine's home link beside them, which a search drops for its empty title.
      {"serp/naver-aql-1.html", "장외 발매소",
       "http://search.naver.com/search.naver?query=%C0%E5%BF%DC+%B9%DF%B8%C5%BC%D2",
       "url=http://search.naver.com/search.naver?query=$key$\nVersion=2\nCharset=euc-kr\n", 10,
       "http://www.snhorse.co.kr/news/new/9910-732.htm",
       "유종수의원의 질문과 답변"},
      {"serp/google-aql-2.html", "\" Stikfas \"", "http://www.google.com/search?q=%22+Stikfas+%22",
       "url=http://www.google.com/search?q=$key$&start=$page$\nVersion=2\nCharset=ISO-8859-1\n", 10,
       "http://www.stikfas.com/", "Stikfas Action Figures"},
  };
  for (const auto& page : kPages) {
    const TLearnedDefinition learned = LearnDefinition({test::ReadFixture(page.page), page.keyword, page.url});
    ASSERT_TRUE(learned.found) << page.page;
    EXPECT_TRUE(learned.definition.starts_with(page.written)) << learned.definition;
    ASSERT_EQ(learned.records.size(), page.results) << page.page;
    EXPECT_EQ(learned.records.front()[0], page.first);
    EXPECT_TRUE(std::any_of(learned.records.begin(), learned.records.end(), [&](const TRecord& record) {
      return (record[1] + record[2]).find(page.text) != std::string::npos;
    })) << page.page;
  }
  // A page that declares no charset, or one nobody knows, is read in the one its kept request names.
  std::string bare = test::ReadFixture(kPages[2].page);
  std::string unknown = bare;
  for (size_t at = bare.find("charset"); at != std::string::npos; at = bare.find("charset", at)) bare[at] = 'C';
  unknown.replace(unknown.find("=euc-kr"), 7, "=x-euc");
  for (const std::string& page : {bare, unknown}) {
    const TLearnedDefinition fromRequest = LearnDefinition({page, kPages[2].keyword, kPages[2].url, "euc-kr"});
    EXPECT_TRUE(fromRequest.definition.starts_with(kPages[2].written) && fromRequest.records.size() == 10)
        << fromRequest.definition;
  }
  // The declaration names the code page, not a "big5" in the title of a UTF-8 page.
  const TLearnedDefinition utf8 = LearnDefinition(
      {"<html><head><meta charset=\"utf-8\"><title>big5 table</title></head><body>" + Results(4, "big5 table", ""),
       "big5 table", "https://engine.example/s?q=big5+table"});
  ASSERT_TRUE(utf8.found);
  EXPECT_NE(utf8.definition.find("Charset=UTF-8\n"), std::string::npos) << utf8.definition;
}

// The next-page link's text is written so that it reads back whole ("More results" unquoted reads as
// "More", and the link followed would be whichever link says "More"; "Next &gt;" is read as the engine
// sees it); only the query item that counts pages becomes $page$, not one whose name ends as its name
// does, and counts from the first page when the page was the second; of the items with the keyword the
// first with a usual query name becomes $key$ and the others go, as a search fills in only one.
TEST(DefinitionLearner, PagingFollowsTheNextLinkTheLearnerSaw) {
  const struct {
    const char* link;
    const char* url;
    const char* written;
    bool ambiguous;  // several items hold the keyword
  } kPages[] = {
      {"<a href=\"/search?q=kw&amp;pos=1&amp;s=11\">More results</a>", "https://engine.example/search?q=kw&pos=1&s=1",
       "url=https://engine.example/search?q=$key$&pos=1&s=$page$\nVersion=2\nCharset=UTF-8\nScore=100\n"
       "Page=1,10,\"More results\"\n", false},
      {"<a href=\"/search?q=kw&amp;oq=kw&amp;start=20\"><span>Next &gt;</span></a>",
       "https://engine.example/search?q=kw&oq=kw&start=10",
       "url=https://engine.example/search?q=$key$&start=$page$\nVersion=2\nCharset=UTF-8\nScore=100\n"
       "Page=0,10,\"Next &gt;\"\n", true},
      // The usual name for the query takes the keyword, not an earlier item that happens to equal it.
      {"<a href=\"/search?t=kw&amp;q=kw&amp;start=20\">Next</a>", "https://engine.example/search?t=kw&q=kw&start=10",
       "url=https://engine.example/search?q=$key$&start=$page$\nVersion=2\nCharset=UTF-8\nScore=100\n"
       "Page=0,10,Next\n", true},
  };
  for (const auto& paging : kPages) {
    const std::string page = Results(4, "kw", "//engine.example/aclk?ad=1") + paging.link + "</body></html>";
    const TLearnedDefinition learned = LearnDefinition({page, "kw", paging.url});
    ASSERT_TRUE(learned.found);
    EXPECT_TRUE(learned.definition.starts_with(paging.written)) << learned.definition;
    EXPECT_EQ(Reports(learned, "query items: q= takes $key$"), paging.ambiguous);
    TEngineDefinition definition = test::DefinitionFromText(learned.definition, "kw");
    const std::string link = paging.link;
    EXPECT_EQ(test::RunPage(definition, page).nextPageTarget, link.substr(9, link.find("\">") - 9));
    const std::string other = test::DefinitionFromText(learned.definition, "zz").BuildPageUrl(1, 10, "").url;
    EXPECT_TRUE(other.find("q=zz&") != std::string::npos && other.find("kw") == std::string::npos &&
                other.find('$') == std::string::npos)
        << other;
  }
}

// Redirect markers count only at a query item's or path segment's start, and a link is replaced only by
// an address: links that merely hold "u=a1", "uddg=" or "/RU=" are results as they stand, wherever the
// definition was learned.
TEST(DefinitionLearner, OnlyWrappedLinksAreUnwrapped) {
  const std::string learnedFrom = Results(4, "kw", "");
  const TLearnedDefinition learned = LearnDefinition({learnedFrom, "kw", "https://www.engine.example/s?q=kw"});
  ASSERT_TRUE(learned.found);
  std::string page;
  const char* const kLinks[][2] = {
      {"https://shop.example/item?sku=a1234", "https://shop.example/item?sku=a1234"},
      {"https://cafe.example/?x=1&amp;menu=a1b2&amp;puddg=1", "https://cafe.example/?x=1&amp;menu=a1b2&amp;puddg=1"},
      {"https://docs.example/RU=intro/RK=2", "https://docs.example/RU=intro/RK=2"},
      {"https://other.example/url?q=https://q.example/", "https://other.example/url?q=https://q.example/"},
      {"https://www.engine.example/ck/a?p=1&amp;u=a1aHR0cHM6Ly9iLmV4YW1wbGUv&amp;n=1", "https://b.example/"},
      {"/l/?uddg=https%3A%2F%2Fd.example%2F&amp;r=1", "https://d.example/"},
      {"/url?q=https://g.example/&amp;sa=U", "https://g.example/"},
      {"https://www.engine.example/url?q=https://h.example/", "https://h.example/"}};
  for (const auto& link : kLinks)
    page += std::string("<div class=\"result\"><h3><a href=\"") + link[0] + "\">kw</a></h3></div>";
  TEngineDefinition definition = test::DefinitionFromText(learned.definition, "kw");
  const test::PageRun run = test::RunPage(definition, page + "<div class=\"result\"></div>", "https://www.engine.example/s?q=kw");
  ASSERT_EQ(run.records.size(), std::size(kLinks));
  for (size_t i = 0; i < std::size(kLinks); ++i) EXPECT_EQ(run.records[i][0], kLinks[i][1]);
}

// A definition that reads too few of the blocks it was learned from would give an engine that finds
// nothing: links relative to the scheme ("//host/path"), which a U rule joins to the page's root.
TEST(DefinitionLearner, ADefinitionThatDoesNotReadItsOwnPageIsNotWritten) {
  std::string page;
  for (int i = 0; i < 5; ++i) {
    page += "<div class=\"result\"><h3><a href=\"//site" + std::to_string(i) + ".example/page\">kw title</a></h3>" +
            "<p class=\"snip\">A summary of the result about kw that is long enough to count.</p></div>";
  }
  const TLearnedDefinition learned = LearnDefinition({page, "kw", "https://engine.example/s?q=kw"});
  EXPECT_FALSE(learned.found);
  EXPECT_TRUE(learned.definition.empty());
  EXPECT_TRUE(Reports(learned, "none written"));
}

// Result links relative to the page (here redirects through the engine that hide their target) are
// made absolute against the page's address and kept.
TEST(DefinitionLearner, RelativeResultLinksAreMadeAbsolute) {
  const TLearnedDefinition learned = LearnDefinition(
      {test::ReadFixture("serp/sogou-aql-4.html"), "源代码泄露",
       "https://www.sogou.com/sogou?query=%E6%BA%90%E4%BB%A3%E7%A0%81%E6%B3%84%E9%9C%B2&insite=zhihu.com"});
  ASSERT_GE(learned.records.size(), 9u);
  for (const TRecord& record : learned.records)
    EXPECT_TRUE(record[0].starts_with("https://www.sogou.com/link?url=")) << record[0];
}

// A page of 200,000 results is read only as far as the learner's bound, and markup nested 100,000 deep
// (closed or left open) is weighed without a recursion it controls; a saved page is read only from a
// regular file and only to its bound.
TEST(DefinitionLearner, HostilePagesAreLearnedOrRefusedWithinBounds) {
  std::string repeated;
  for (int i = 0; i < 200000; ++i) {
    repeated += "<div class=\"r\"><a href=\"http://s" + std::to_string(i) + ".example/\">kw " + std::to_string(i) +
                "</a> text</div>";
  }
  const TLearnedDefinition many = LearnDefinition({repeated, "kw", "http://engine.example/?q=kw"});
  EXPECT_TRUE(many.found);
  EXPECT_TRUE(Reports(many, "only those are read"));

  std::string open;
  std::string closed;
  for (int i = 0; i < 100000; ++i) open += "<div class=\"d\"><span class=\"s\">";
  closed = open + "<a href=\"http://a.example/\">kw</a>";
  for (int i = 0; i < 100000; ++i) closed += "</span></div>";
  EXPECT_FALSE(LearnDefinition({open + "<a href=\"http://a.example/\">kw</a>", "kw", ""}).found);
  EXPECT_FALSE(LearnDefinition({closed, "kw", ""}).found);

  test::TempDir dir;
  std::filesystem::resize_file(dir.Write("big.html", "<p>"), kMaxSavedPageBytes + 5);
  std::string problem;
  const std::optional<TSavedPage> big = ReadSavedPage(dir / "big.html", problem);
  ASSERT_TRUE(big);
  EXPECT_TRUE(big->cut && big->bytes.size() == kMaxSavedPageBytes && big->bytes.starts_with("<p>"));
  EXPECT_FALSE(ReadSavedPage("/dev/zero", problem));
  EXPECT_FALSE(ReadSavedPage(dir.Path(), problem));
}
