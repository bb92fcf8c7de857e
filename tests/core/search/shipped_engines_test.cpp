#include <gtest/gtest.h>

#include <filesystem>

#include "core/engines/EngineIndex.h"

using namespace quorvex;

namespace {

const std::filesystem::path kEngines = std::filesystem::path(QUORVEX_SOURCE_DIR) / "data" / "engines";

TEST(ShippedEngines, EveryCategoryHasAPictureNumberAndEveryEngineADefinition) {
  EngineIndex index;
  ASSERT_TRUE(index.Load(kEngines / EngineIndex::kFileName));
  const std::vector<EngineCategory> categories = index.Categories();
  ASSERT_FALSE(categories.empty());
  EXPECT_EQ(categories.front().Name, "Offline demo");

  for (const EngineCategory& category : categories) {
    ASSERT_TRUE(category.Picture.has_value()) << category.Name;
    const std::vector<std::string> entries = index.SearchEntries(category.Name);
    EXPECT_FALSE(entries.empty()) << category.Name;
    for (const std::string& entry : entries) {
      const size_t equals = entry.find('=');
      ASSERT_NE(equals, std::string::npos) << entry;
      EXPECT_TRUE(std::filesystem::is_regular_file(kEngines / entry.substr(equals + 1))) << entry;
    }
  }
}

}  // namespace
