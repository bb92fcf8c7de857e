#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "core/common/file_io.h"
#include "core/engines/EngineIndex.h"

using namespace quorvex;

namespace {

const std::filesystem::path kEngines = std::filesystem::path(QUORVEX_SOURCE_DIR) / "data" / "engines";

std::int32_t LittleEndian32(const std::string& bytes, size_t at) {
  std::uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return static_cast<std::int32_t>(value);
}

TEST(ShippedEngines, EveryCategoryHasAPictureAndEveryEngineADefinition) {
  EngineIndex index;
  ASSERT_TRUE(index.Load(kEngines / EngineIndex::kFileName));
  const std::vector<EngineCategory> categories = index.Categories();
  ASSERT_FALSE(categories.empty());
  EXPECT_EQ(categories.front().Name, "Offline demo");

  const std::string bitmap = ReadWholeFile(kEngines / "icon.bmp").value_or("");
  ASSERT_GE(bitmap.size(), 54u);
  ASSERT_EQ(bitmap.substr(0, 2), "BM");
  const std::int32_t width = LittleEndian32(bitmap, 18);
  ASSERT_EQ(width, 17);
  const int tiles = LittleEndian32(bitmap, 22) / width;

  for (const EngineCategory& category : categories) {
    ASSERT_TRUE(category.Picture.has_value()) << category.Name;
    EXPECT_GE(*category.Picture, 1) << category.Name;
    EXPECT_LE(*category.Picture, tiles) << category.Name;
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
