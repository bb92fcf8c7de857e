#include "core/net/url.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

std::string Parts(std::string_view url) {
  const UrlParts parts = SplitUrl(url);
  return parts.protocol + "|" + parts.host + "|" + parts.port + "|" + parts.path;
}

TEST(Url, SplitRootAndDirKeepTheSchemeSlashesOutOfThePath) {
  EXPECT_EQ(Parts("http://www.a.com:8080/x/y.htm?q=1"), "http|www.a.com|8080|/x/y.htm?q=1");
  EXPECT_EQ(Parts("a.com:81/p:q"), "http|a.com|81|/p:q");
  EXPECT_EQ(Parts("ftp://u@h:21:x/"), "ftp|u@h|21:x|/");
  EXPECT_EQ(Parts("a.com?x=http://b/"), "a.com?x=http|b||/");
  EXPECT_EQ(UrlRoot("http://a.com/dir/page.htm"), "http://a.com");
  EXPECT_EQ(UrlRoot("a.com/x/"), "a.com/x");

  EXPECT_EQ(UrlDir("http://a.com/dir/page.htm"), "http://a.com/dir/");
  EXPECT_EQ(UrlDir("http://a.com"), "http://a.com/");
  EXPECT_EQ(UrlDir(""), "/");
}

TEST(JoinUrl, ResolvesAgainstTheRootOrTheFolderOfThePage) {
  EXPECT_EQ(JoinUrl("http://a.com/dir/", "page.htm"), "http://a.com/dir/page.htm");
  EXPECT_EQ(JoinUrl("http://a.com", "page.htm"), "http://a.com/page.htm");
  EXPECT_EQ(JoinUrl("http://a.com/dir/index.htm", "/top.htm"), "http://a.com/top.htm");
  EXPECT_EQ(JoinUrl("http://a.com/dir/", "HTTPS://b.com/x"), "HTTPS://b.com/x");
  // Nothing else is resolved: fragments, queries, dot segments and other schemes are plain relative links.
  EXPECT_EQ(JoinUrl("http://a.com/d/p.htm", "../up.htm"), "http://a.com/d/../up.htm");
  EXPECT_EQ(JoinUrl("http://a.com/d/p.htm", "?page=2"), "http://a.com/d/?page=2");
}

TEST(SafeName, GivesOneHarmlessFolderName) {
  EXPECT_EQ(SafeName("http://a.com/x.asp?a=1;b=$2%20"), "http___a.com_x.asp_a_1_b__2_20");
  EXPECT_EQ(SafeName("\xB0\xD9 \\x*"), "\xB0\xD9 \\x*");
  // Names the file system treats specially never come out.
  EXPECT_EQ(SafeName(".."), "__");
  EXPECT_EQ(SafeName(std::string("..\0/etc", 7)), "..__etc");
  EXPECT_EQ(SafeName("..."), "...");
}

}  // namespace
}  // namespace quorvex
