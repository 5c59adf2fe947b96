#include <gtest/gtest.h>

#include "app/picture_box.h"

namespace {

TEST(PictureRect, CentresSmallPicturesAndScalesLargeOnesByTheSmallerRatio) {
  struct Case {
    const char* name;
    int boxWidth, boxHeight, pictureWidth, pictureHeight;
    RECT want;
  };
  const Case cases[] = {
      {"the program icon in its box", 136, 136, 128, 128, {4, 4, 132, 132}},
      {"odd margin rounds down", 137, 136, 128, 128, {4, 4, 132, 132}},
      {"same size", 136, 136, 136, 136, {0, 0, 136, 136}},
      {"narrow picture", 136, 136, 20, 100, {58, 18, 78, 118}},
      {"twice too large", 136, 136, 272, 272, {0, 0, 136, 136}},
      {"too wide: width limits", 136, 136, 272, 68, {0, 51, 136, 85}},
      {"too tall: height limits", 136, 136, 34, 272, {59, 0, 76, 136}},
      {"larger on one axis only", 136, 136, 200, 100, {0, 34, 136, 102}},
      {"a sliver keeps one pixel", 136, 136, 10000, 1, {0, 67, 136, 68}},
      {"empty box", 0, 136, 128, 128, {0, 0, 0, 0}},
      {"empty picture", 136, 136, 0, 128, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RECT got = PictureRect(c.boxWidth, c.boxHeight, c.pictureWidth, c.pictureHeight);
    EXPECT_EQ(got.left, c.want.left);
    EXPECT_EQ(got.top, c.want.top);
    EXPECT_EQ(got.right, c.want.right);
    EXPECT_EQ(got.bottom, c.want.bottom);
  }
}

}  // namespace
