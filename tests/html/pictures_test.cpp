#include "html/pictures.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace glossator {
namespace {

struct Expected {
  std::string_view file_name;
  int width;
  int height;
  bool ball;  // a ball must have a transparent background
};

// The run writes these files in this order; the pages name them.
constexpr Expected kExpected[] = {
    {"constructors.gif", 214, 45, false}, {"methods.gif", 156, 52, false},
    {"property.gif", 174, 53, false},     {"functions.gif", 6, 6, true},
    {"functions_big.gif", 12, 12, true},  {"private.gif", 6, 6, true},
    {"private_big.gif", 12, 12, true},    {"protected.gif", 6, 6, true},
    {"protected_big.gif", 12, 12, true},  {"public.gif", 6, 6, true},
    {"public_big.gif", 12, 12, true},
};

int Word(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

// What walking a GIF's blocks finds; nullopt when the blocks run past the end or hold an
// unknown introducer, which is how a truncated or mangled embedding shows.
struct GifLayout {
  int width = 0;
  int height = 0;
  bool transparent = false;  // a Graphic Control Extension with its transparency flag set
  int images = 0;
};

std::optional<GifLayout> Walk(std::string_view gif) {
  if (gif.size() < 13) return std::nullopt;
  GifLayout layout{Word(gif, 6), Word(gif, 8)};
  auto table_size = [](std::uint8_t packed) {
    return (packed & 0x80) ? std::size_t{3} << ((packed & 0x07) + 1) : 0;
  };
  std::size_t at = 13 + table_size(gif[10]);
  // Skips a chain of sub-blocks (length byte, data) up to its empty terminator.
  auto skip_sub_blocks = [&]() {
    while (at < gif.size() && gif[at] != 0) at += 1 + static_cast<std::uint8_t>(gif[at]);
    return at++ < gif.size();
  };
  while (at < gif.size()) {
    const auto introducer = static_cast<std::uint8_t>(gif[at]);
    if (introducer == 0x3B) return at + 1 == gif.size() ? std::optional(layout) : std::nullopt;
    if (introducer == 0x21 && at + 2 < gif.size()) {
      if (static_cast<std::uint8_t>(gif[at + 1]) == 0xF9 && at + 3 < gif.size()) {
        layout.transparent = layout.transparent || (gif[at + 3] & 0x01);
      }
      at += 2;
      if (!skip_sub_blocks()) return std::nullopt;
    } else if (introducer == 0x2C && at + 10 < gif.size()) {
      ++layout.images;
      at += 10 + table_size(gif[at + 9]) + 1;  // descriptor, local table, LZW code size
      if (!skip_sub_blocks()) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;  // no trailer
}

TEST(PicturesTest, Pictures_ListsTheElevenFilesInWritingOrder) {
  const auto& pictures = Pictures();
  ASSERT_EQ(pictures.size(), std::size(kExpected));
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    EXPECT_EQ(pictures[i].file_name, kExpected[i].file_name) << "position " << i;
  }
}

TEST(PicturesTest, Pictures_AreWholeGif89aFilesOfTheirSize) {
  const auto& pictures = Pictures();
  ASSERT_EQ(pictures.size(), std::size(kExpected));
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const Expected& expected = kExpected[i];
    const std::string_view bytes = pictures[i].bytes;
    EXPECT_EQ(bytes.substr(0, 6), "GIF89a") << expected.file_name;
    const std::optional<GifLayout> layout = Walk(bytes);
    ASSERT_TRUE(layout.has_value()) << expected.file_name << ": broken block structure";
    EXPECT_EQ(layout->width, expected.width) << expected.file_name;
    EXPECT_EQ(layout->height, expected.height) << expected.file_name;
    EXPECT_EQ(layout->images, 1) << expected.file_name;
    if (expected.ball) {
      EXPECT_TRUE(layout->transparent) << expected.file_name;
    }
  }
}

// The program must carry exactly the committed files, not a stale or half-converted copy.
TEST(PicturesTest, Pictures_MatchTheFilesInResources) {
  for (const Picture& picture : Pictures()) {
    const std::string path =
        std::string(GLOSSATOR_SOURCE_DIR) + "/resources/pictures/" + std::string(picture.file_name);
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::ostringstream contents;
    contents << in.rdbuf();
    EXPECT_TRUE(contents.str() == picture.bytes) << path;
  }
}

// The walker must reject what a broken embedding would produce, or the test above proves little.
TEST(PicturesTest, Walk_RejectsTruncatedAndPaddedFiles) {
  const std::string_view gif = Pictures().front().bytes;
  ASSERT_TRUE(Walk(gif).has_value());
  EXPECT_FALSE(Walk(gif.substr(0, gif.size() - 1)).has_value());
  EXPECT_FALSE(Walk(gif.substr(0, gif.size() / 2)).has_value());
  EXPECT_FALSE(Walk(std::string(gif) + '\0').has_value());
}

}  // namespace
}  // namespace glossator
