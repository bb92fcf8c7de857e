// The shipped definitions against result pages as the engines served them (tests/fixtures/serp-real).
#include <gtest/gtest.h>

#include <cctype>

#include "core/common/ascii.h"
#include "core/engines/TEngineDefinition.h"
#include "core/net/entities.h"
#include "engine_test_support.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

struct Result {
  std::string url;
  std::string title;
  std::string summary;  // in expectations: the start of the summary
};

struct Extracted {
  std::vector<Result> results;
  std::string nextPageTarget;
};

// Titles and summaries as the search stores them for an engine that answers in UTF-8.
std::string Stored(const std::string& text) {
  return TrimControls(DecodeEntities(DecodeNumericReferences(SqueezeBlanks(text), TTextEncoding::Utf8)));
}

Extracted Extract(const std::string& engine, const std::string& file) {
  TEngineDefinition definition = test::DefinitionFromText(test::ReadEngine(engine), "k");
  const auto run = test::RunPage(definition, test::ReadFixture("serp-real/" + file + ".html"));
  EXPECT_FALSE(run.error) << run.error.value_or("");
  Extracted extracted{{}, run.nextPageTarget};
  for (const TRecord& record : run.records) {
    EXPECT_GE(record.size(), 4u);
    EXPECT_EQ(record.size() >= 4 ? record[3] : "", engine == "so360" ? "GB" : "ENG");
    extracted.results.push_back({record[0], Stored(record[1]), Stored(record[2])});
  }
  return extracted;
}

bool HasEntity(const std::string& text) {
  for (size_t amp = text.find('&'); amp != std::string::npos; amp = text.find('&', amp + 1)) {
    size_t end = amp + 1;
    while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) != 0 || text[end] == '#')) ++end;
    if (end > amp + 1 && end < text.size() && text[end] == ';') return true;
  }
  return false;
}

bool IsRedirect(const std::string& url) {
  for (const char* wrapper :
       {"bing.com/ck/a", "r.search.yahoo.com", "duckduckgo.com/l/", "duckduckgo.com/y.js", "so.com/link"}) {
    if (url.find(wrapper) != std::string::npos) return true;
  }
  return false;
}

// The address of the page after the first, built from the definition's own paging numbers.
std::string SecondPageUrl(const std::string& engine) {
  TEngineDefinition definition = test::DefinitionFromText(test::ReadEngine(engine), "k");
  return definition.BuildPageUrl(definition.FirstStart() + definition.Step(), definition.Step(), "").url;
}

struct RealPage {
  std::string engine;
  std::string file;  // in tests/fixtures/serp-real, without ".html"
  size_t count;
  Result first;
  Result last;
  int entities = 0;  // texts the page escaped twice, which so show an entity to its own users too
};

void PrintTo(const RealPage& page, std::ostream* out) { *out << page.file; }

const RealPage kRealPages[] = {
    {"duckduckgo", "ddg-html-2026-02-27-client-side-graph-database", 10,
     {"https://github.com/nxpatterns/gitnexus", "GitHub - nxpatterns/gitnexus: GitNexus: The Zero-Server Code ...",
      "GitNexus: The Zero-Server"},
     {"https://rathorji.in/p/Client-Side_GraphQL_with_TypeScript", "Client-Side GraphQL with TypeScript - rathorji.in",
      "In this tutorial, we explored"}},
    // 2026: every address is a tracking link carrying the real one in base64url.
    {"bing", "wsm-2026-04-http-bing-javascript-tutorial", 10,
     {"https://www.w3schools.com/Js/", "JavaScript Tutorial - W3Schools", "Learn JavaScript The Programming"},
     {"https://support.w3schools.com/hc/en-gb/articles/4410407881489-Tutorial-Learn-JavaScript",
      "Tutorial: Learn JavaScript - W3Schools.com", "JavaScript is the world's most"}},
    // 2022: direct links; middle dots, blanks and registered signs written as numeric references.
    {"bing", "aql-20220630-bing-intel-i7-chip", 10,
     {"https://www.intel.com/content/www/us/en/products/details/processors/core/i7.html",
      "Intel\u00AE Core\u2122 i7 Processors", "Intel\u00AE Extreme Tuning Utility"},
     {"https://www.ebuyer.com/store/Components/cat/Processors-Intel",
      "Intel Processors | Intel Core i3, i5, i7 & i9 CPUs | Ebuyer.com", "An Intel Core i7 is better"}},
    {"bing", "aql-20220511-bing-blockbench-github", 10,
     {"https://github.com/JannisX11/blockbench", "GitHub - JannisX11/blockbench: Blockbench - A low poly 3D \u2026",
      "Blockbench is a free"},
     {"https://tlmwiki.cfpa.team/zh/blockbench.html", "Blockbench \u63D2\u4EF6\u4ECB\u7ECD | Touhou Little Maid Wiki",
      "Blockbench"}},
    // 2022: h3 > a holding breadcrumb spans before the title; the title attribute is the whole title.
    {"yahoo", "aql-20220116-yahoo-mark-schlissel-wife", 7,
     {"https://celebsaga.com/mark-schlissel-wife-monica-schwebs-was-university-of-michigan-president-fired-details-to-"
      "know/",
      "Mark Schlissel Wife Monica Schwebs, Salary & Net Worth 2022 -Was He Fired?", "19 hours ago"},
     {"https://dailysportgame.com/news/did-mark-schlissel-have-an-extramarital-affair-with-his-girlfriend-wife-monica-"
      "schlissel-and-118-page-email-details/",
      "Did Mark Schlissel have an extramarital affair with his girlfriend ...", "16/1/2022"}},
    {"yahoo", "wsm-2026-04-yahoo-javascript-tutorial", 7,
     {"https://www.w3schools.com/Js/", "JavaScript Tutorial - W3Schools", "Well organized"},
     {"https://www.codecademy.com/learn/introduction-to-javascript", "Learn JavaScript - Codecademy",
      "Begin your web development"}},
    {"mojeek", "wsm-2026-04-mojeek-javascript-tutorial", 10,
     {"https://javascript.info/", "The Modern JavaScript Tutorial", "The Modern JavaScript"},
     {"https://smartwebby.com/DHTML/", "Javascript/DHTML Tutorials", "Web Design Tutorials > Dreamweaver"}},
    // 2022: class values ending in blanks; 2026: hashed class names beside the meaningful one.
    {"brave", "aql-20221016-brave-copyq", 15,
     {"https://hluk.github.io/CopyQ/", "CopyQ", "CopyQ is advanced clipboard manager"},
     {"https://itsfoss.com/copyq-clipboard-manager/",
      "CopyQ Clipboard Manager for Keeping a Track of Clipboard History", "May 14, 2020 - Ever been"}},
    {"brave", "wsm-2026-04-brave-javascript-tutorial", 20,
     {"https://www.w3schools.com/js/", "JavaScript Tutorial", "JavaScript is easy to learn."},
     {"https://www.simplilearn.com/tutorials/javascript-tutorial", "JavaScript Tutorial: Learn JavaScript from Scratch",
      "December 1, 2025 - This"}},
    {"ecosia", "aql-20220620-ecosia-git-create-pull-request", 7,
     {"https://careerkarma.com/blog/git-pull-request/", "Git Pull Request: How to Create a Pull Request - Career Karma",
      "Congratulations, you\u2019ve"},
     {"https://docs.microsoft.com/en-us/azure/devops/repos/git/pull-requests",
      "Create a pull request to review and merge code - Azure Repos", "Create a PR from the"}},
    {"ecosia", "wsm-2026-04-ecosia-javascript-tutorial", 10,
     {"https://www.w3schools.com/js/", "JavaScript Tutorial - W3Schools", "Well organized"},
     {"https://www.tutorialspoint.com/javascript/index.htm", "JavaScript Tutorial - TutorialsPoint",
      "This JavaScript tutorial"}},
    {"qwant", "aql-20221015-qwant-fredrik-lundberg", 10,
     {"https://www.forbes.com/profile/fredrik-lundberg/", "Fredrik Lundberg - Forbes",
      "Fredrik Lundberg is CEO and chairman"},
     {"https://nordictrustee.com/about/", "About \u2013 Nordic Trustee", "Fredrik Lundberg EVP"},
     1},
    {"qwant", "aql-20220709-qwant-obs-keyframe-interval", 10,
     {"https://tipsforefficiency.com/obs-keyframe-interval/", "Obs keyframe interval - Tips For Efficiency",
      "The keyframe interval value"},
     {"https://restream.io/integrations/obs-studio/the-best-obs-settings-for-streaming/",
      "Best Live Streaming Settings for OBS Studio | Restream Integrations", "Another important"}},
    // so360 hides the target behind its redirect; a result without data-mdurl keeps its own link.
    {"so360", "aql-20220905-360-si-chuan-fa-sheng-6-8ji-di-zhen", 8,
     {"https://k.sina.com.cn/article_1703540563_6589f7530190184jx.html",
      "四川发生6.8级地震,余震不断,已致7人遇难!网友:汶川后震感最强的...", "5小时前-9月"},
     {"https://www.360kuai.com/pc/9dd97c11dbab7fd3a?cota=3&kuai_so=1&sign=360_57c3bbd1&refer_scene=so_1",
      "四川泸定发生6.8级地震中国石油全力抗震救灾", "5小时前-本文"}},
    {"startpage", "wsm-2026-04-http-startpage-javascript-tutorial", 10,
     {"https://www.w3schools.com/js/", "JavaScript Tutorial - W3Schools", "Well organized"},
     {"https://www.geeksforgeeks.org/javascript/javascript-tutorial/", "JavaScript Tutorial - GeeksforGeeks",
      "13 Mar 2026 ... JavaScript"}},
};

class RealPages : public testing::TestWithParam<RealPage> {};

void ExpectSame(const Result& got, const Result& expected) {
  EXPECT_EQ(got.url, expected.url);
  EXPECT_EQ(got.title, expected.title);
  EXPECT_EQ(got.summary.substr(0, expected.summary.size()), expected.summary) << got.summary;
}

}  // namespace

// Every result has a real address and a title, no text keeps an entity (but those the page escaped
// twice); the first and the last are the page's.
TEST_P(RealPages, GiveEveryResultOfThePage) {
  const RealPage& page = GetParam();
  const Extracted got = Extract(page.engine, page.file);
  ASSERT_EQ(got.results.size(), page.count);
  int entities = 0;
  for (const Result& result : got.results) {
    EXPECT_EQ(result.url.substr(0, 4), "http") << result.url;
    EXPECT_FALSE(IsRedirect(result.url)) << result.url;
    EXPECT_FALSE(result.title.empty()) << result.url;
    entities += static_cast<int>(HasEntity(result.title)) + static_cast<int>(HasEntity(result.summary));
  }
  EXPECT_EQ(entities, page.entities);
  ExpectSame(got.results.front(), page.first);
  ExpectSame(got.results.back(), page.last);
}

INSTANTIATE_TEST_SUITE_P(Serp, RealPages, testing::ValuesIn(kRealPages));

TEST(RealPagesDetails, NextPagesSummariesAndEmptyPages) {
  EXPECT_EQ(Extract("bing", "wsm-2026-04-http-bing-javascript-tutorial").nextPageTarget.substr(0, 39),
            "/search?q=javascript+tutorial&amp;FPIG=");
  EXPECT_NE(Extract("yahoo", "aql-20220116-yahoo-mark-schlissel-wife").nextPageTarget.find("b=10"), std::string::npos);
  EXPECT_EQ(Extract("so360", "aql-20220905-360-si-chuan-fa-sheng-6-8ji-di-zhen").nextPageTarget.substr(0, 6), "/s?q=%");
  // The pages' own next forms ask for these.
  EXPECT_EQ(SecondPageUrl("duckduckgo"), "https://html.duckduckgo.com/html/?q=k&s=10");
  EXPECT_EQ(SecondPageUrl("mojeek"), "https://www.mojeek.com/search?q=k&s=11");
  EXPECT_EQ(SecondPageUrl("startpage"), "https://www.startpage.com/sp/search?query=k&cat=web&page=2");

  EXPECT_EQ(Extract("bing", "aql-20220511-bing-blockbench-github").results.at(1).summary.rfind("Feb 05, 2022\u00B7 Animated", 0), 0u);
  EXPECT_TRUE(Extract("bing", "aql-20220406-bing-clay-andrews").results.empty());  // "no results"
  // A result without a summary leaves the next one its own.
  const auto mojeek = Extract("mojeek", "wsm-2026-04-mojeek-javascript-tutorial").results;
  ASSERT_GE(mojeek.size(), 3u);
  EXPECT_EQ(mojeek[1].summary, "");
  EXPECT_EQ(mojeek[2].url, "https://www.w3schools.com/");
  EXPECT_EQ(mojeek[2].summary.substr(0, 13), "HTML Tutorial");
  // A result whose picture comes before its text still gets the text.
  const auto so360 = Extract("so360", "aql-20220905-360-si-chuan-fa-sheng-6-8ji-di-zhen").results;
  ASSERT_GE(so360.size(), 5u);
  EXPECT_NE(so360[4].summary.find("欧阳奋强"), std::string::npos);
}
