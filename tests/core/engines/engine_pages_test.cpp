#include <gtest/gtest.h>

#include "core/engines/TEngineDefinition.h"
#include "engine_test_support.h"
#include "support/test_support.h"

using namespace quorvex;

namespace {

// A shipped engine definition against a real saved result page of that engine.
struct EnginePage {
  const char* engine;   // data/engines/<engine>.txt
  const char* page;     // tests/fixtures/serp/<page>.html
  const char* pageUrl;  // where the page came from
  size_t count;         // results on the page
  const char* url;      // the first result
  const char* title;    // its title, the first 40 bytes
  const char* summary;  // its summary, the first 24 bytes
};

void PrintTo(const EnginePage& page, std::ostream* out) { *out << page.page; }

const EnginePage kPages[] = {
    {"google", "google-sescraper-1", "https://www.google.com/search?q=test+keyword", 10, "https://keywordtool.io/",
     "Keyword Tool (FREE) \341\220\210 #1 Google Keywor", "Keyword Tool is #1 (FREE"},
    {"google", "google-googlescraper-1", "https://www.google.de/search?q=goo", 9,
     "http://www.youtube.com/watch?v=4BKtw5NEYkg", "Herrscht eine &quot;schwarze&quot; Intel",
     "(Black Goo) Dieses schwa"},
    {"google", "google-noresults-googlescraper-1", "https://www.google.de/search?q=x", 10,
     "http://en.wikipedia.org/wiki/Fair_dealing", "Fair dealing - Wikipedia, the free encyc",
     "Unlike the related Unite"},
    {"google", "google-basic-aql-1", "https://www.google.co.uk/search?q=finance&gbv=1", 9, "https://finance.yahoo.com/",
     "Yahoo Finance - Business Finance, Stock ", "At Yahoo Finance, you ge"},
    {"bing", "bing-aql-1", "http://www.bing.com/search?q=Obama+Speech", 10, "http://obamaspeeches.com/",
     "The Complete Text Transcripts of Over 10", "Over 100 speeches by Bar"},
    {"bing", "bing-googlescraper-1", "http://www.bing.com/search?q=hello", 9, "http://www.hellomagazine.com/",
     "Hello - Official Site", "HELLO! Online brings you"},
    {"bing", "bing-sescraper-1", "https://www.bing.com/search?q=test+keyword", 6,
     "https://support.smartbear.com/testcomplete/docs/keyword-testing/index.html",
     "Keyword Tests | TestComplete Documentati", "In keyword-driven tests,"},
    {"duckduckgo", "duckduckgo-html-googlescraper-1", "https://duckduckgo.com/html/?q=what+happened", 30,
     "http://whatreallyhappened.com/", "WHAT REALLY HAPPENED | The History The U", "Paid advertising at What"},
    {"duckduckgo", "duckduckgo-sescraper-1", "https://duckduckgo.com/?q=test+keyword", 10,
     "https://support.smartbear.com/testcomplete/docs/keyword-testing/index.html",
     "Keyword Tests | TestComplete Documentati", "Nov 21, 2019In keyword-d"},
    {"yahoo", "yahoo-googlescraper-1", "https://de.search.yahoo.com/search?p=snow", 10,
     "http://minecraft.gamepedia.com/Snow", "Snow - Minecraft Wiki", "Snow is also used to mak"},
    {"ask", "ask-aql-1", "http://www.ask.com/web?q=Cell+Biology", 10,
     "http://www.biology.arizona.edu/cell_bio/cell_bio.html", "Cell Biology", "Interactive tutorial for"},
    {"brave", "brave-aql-1", "https://search.brave.com/search?q=random+number+python", 20,
     "https://docs.python.org/3/library/random.html", "random \342\200\224 Generate pseudo-random number",
     "December 29, 2021 -\012    "},
    {"qwant", "qwant-aql-1", "https://www.qwant.com/?q=lemke+software+gmbh", 10, "https://www.lemkesoft.de/",
     "Lemke Software: Mac Fotobearbeitung, Mac", "Lemke Software GmbH Zum "},
    {"baidu", "baidu-googlescraper-1", "http://www.baidu.com/s?wd=number", 6,
     "http://www.baidu.com/"
     "link?url=9kiJ_-d4puaCg1C4ixbSa_Y-aVusSb1X-tXhsJqhU0SGapW5s2uZ9MeAV-P7lven_IfeGTS9cUMJpyPB0rcdFq",
     "number\347\232\204\347\274\251\345\206\231\343\200\202_\347\231\276\345\272\246\347\237\245\351\201\223",
     "\351\227\256\351\242\230\346\217\217\350\277\260: \350\246\201\345\216\237\345\233\240,"},
    {"sogou", "sogou-aql-1", "http://www.sogou.com/web?query=lof", 5,
     "http://baike.china.alibaba.com/doc/history/view.html?eid=354042",
     "lof\273\371\275\360,\310\347\262\251\312\261\326\367\314\342,"
     "\324\365\303\264\321\371\275\370\320\320\277\347\312\320\263\241\302\362\302\364,",
     "[\261\352\307\251\243\272\273\371\275\360\274\274\307\311 \273\371\275\360\310\353\303\305"},
    {"sogou", "sogou-aql-2", "http://www.sogou.com/web?query=x", 8,
     "http://news.chinaventure.com.cn/2/20120120/74654.shtml",
     "\317\343\351\332\273\372\271\271\264\264\312\274\310\313\260\262\265\302\302\263-\300\263\270\243\314\330:"
     "\241\260\316\322\311\303\263\244\327\366\277\325",
     "\260\262\265\302\302\263.\300\263\270\243\314\330\243\254\276\315\312\307\325\342\270\366\327"},
    {"sogou", "sogou-aql-3", "http://www.sogou.com/web?query=x", 6, "http://money.sohu.com/20120712/n348008776.shtml",
     "\271\314\266\250\312\325\322\346\300\340\320\305\315\320\312\325\322\346\327\337\312\306\267\326\273\257\305\344"
     "\326\303\277\311\322\300\261\310\300\375\321\241",
     "2012\304\3527\324\30212\310\325... \241\321\274\307\325\337 "},
    {"sogou", "sogou-aql-4", "https://www.sogou.com/sogou?insite=zhihu.com&query=x", 10,
     "https://www.sogou.com/link?url=hedJjaC291MBtMZVirtXo9hIF9Vn5uM75BV6pOIC4I0TGIoHl2PwYhurJil805I2reaVHN88tHY.",
     "\346\272\220\347\240\201\346\263\204\351\234\262_\347\203\255\351\227\250\345\233\236\347\255\224_"
     "\347\237\245\344\271\216",
     "\350\275\257\344\273\266\345\205\254\345\217\270\351\203\275\346\230\257\345\246\202\344\275\225"},
    {"so360", "so360-aql-1", "https://www.so.com/s?q=x", 6, "http://acc.tedu.cn/",
     "\344\274\232\350\256\241\345\237\271\350\256\255_"
     "\344\274\232\350\256\241\345\256\236\346\223\215\345\237\271\350\256\255_\344\274\232\350\256\241\345\237",
     "\344\274\232\350\256\241\345\237\271\350\256\255\345\210\260\350\276\276\345\206\205\344\274\232"},
    {"naver", "naver-aql-1", "http://search.naver.com/search.naver?query=x", 10,
     "http://www.snhorse.co.kr/news/new/9910-732.htm", "\301\246\270\361\276\370\300\275",
     "\260\346\270\266\241\244\260\346\267\373\300\345\277\334\271\337\270\305\274\322 \265\265\275"},
    {"yandex", "yandex-googlescraper-1", "https://yandex.ru/yandsearch?text=game", 10, "http://www.addictinggames.com/",
     "Games - Free Online Games at Addicting G", "A very large collection "},
};

class ShippedEngines : public testing::TestWithParam<EnginePage> {};

}  // namespace

TEST_P(ShippedEngines, CutTheResultsOutOfTheirSavedPage) {
  const EnginePage& expected = GetParam();
  TEngineDefinition definition = test::DefinitionFromText(test::ReadEngine(expected.engine), "keyword");
  EXPECT_TRUE(definition.BuildPageUrl(definition.FirstStart(), definition.Step(), "").isHttp);

  const auto run =
      test::RunPage(definition, test::ReadFixture(std::string("serp/") + expected.page + ".html"), expected.pageUrl);
  EXPECT_FALSE(run.error);
  ASSERT_EQ(run.records.size(), expected.count);
  const TRecord& first = run.records.front();
  ASSERT_EQ(first.size() >= 4, true);
  EXPECT_EQ(first[0], expected.url);
  EXPECT_EQ(first[1].substr(0, 40), expected.title);
  EXPECT_EQ(first[2].substr(0, 24), expected.summary);
  for (const TRecord& record : run.records) {
    EXPECT_EQ(record[0].substr(0, 4), "http") << record[0];
    EXPECT_FALSE(record[1].empty()) << record[0];
    EXPECT_TRUE(record[3] == "ENG" || record[3] == "GB") << record[3];
  }
}

INSTANTIATE_TEST_SUITE_P(Serp, ShippedEngines, testing::ValuesIn(kPages));

TEST(ShippedEngines, NextPageLinksAreFoundWhereThePageHasOne) {
  TEngineDefinition google = test::DefinitionFromText(test::ReadEngine("google"), "test keyword");
  EXPECT_EQ(test::RunPage(google, test::ReadFixture("serp/google-sescraper-1.html")).nextPageTarget.substr(0, 27),
            "/search?q=test+keyword&amp;");
  TEngineDefinition baidu = test::DefinitionFromText(test::ReadEngine("baidu"), "number");
  EXPECT_EQ(test::RunPage(baidu, test::ReadFixture("serp/baidu-googlescraper-1.html")).nextPageTarget.substr(0, 22),
            "/s?wd=number&pn=10&oq=");
}

TEST(ShippedEngines, RedirectLinksAreUnwrappedAndDirectLinksKeptAsTheyStand) {
  // A wrapped address keeps its own encoded "&" and "%"; a direct link is never decoded or cut; an
  // advert's link, which carries no address of its own, is dropped.
  const std::string page =
      "<div class=\"links_main links_deep result__body\"><a class=\"result__a\" "
      "href=\"//duckduckgo.com/l/?uddg=https%3A%2F%2Fa.example.org%2Fq%3Fx%3D1%2525%26y%3D2&amp;rut=9f\">A</a>"
      "<a class=\"result__snippet\">a</a></div>"
      "<div class=\"links_main links_deep result__body\"><a class=\"result__a\" "
      "href=\"https://duckduckgo.com/y.js?ad_domain=ads.example.net&amp;u3=https%3A%2F%2Fads.example.net\">Ad</a>"
      "<a class=\"result__snippet\">ad</a></div>"
      "<div class=\"links_main links_deep result__body\"><a class=\"result__a\" "
      "href=\"http://b.example.com/a%20b?c=d&e=f+g\">B</a><a class=\"result__snippet\">b</a></div><p>";
  TEngineDefinition duckduckgo = test::DefinitionFromText(test::ReadEngine("duckduckgo"), "x");
  const auto run = test::RunPage(duckduckgo, page);
  ASSERT_EQ(run.records.size(), 2u);
  EXPECT_EQ(run.records[0][0], "https://a.example.org/q?x=1%25&y=2");
  EXPECT_EQ(run.records[1][0], "http://b.example.com/a%20b?c=d&e=f+g");
}
