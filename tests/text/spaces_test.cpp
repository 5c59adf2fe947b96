#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

struct SpacesCase {
  const char* name;
  std::string text;
  std::string trimmed;
  std::string removed;
};

TEST(Spaces, TrimAndRemove) {
  const std::string fs = gbk::kFullSpace;
  const std::string z = gbk::kZhong;
  const std::vector<SpacesCase> cases = {
      {"half-width at both ends", "  a b  ", "a b", "ab"},
      {"full-width at both ends", fs + "a" + fs + "b" + fs, "a" + fs + "b", "ab"},
      {"mixed spaces", " " + fs + " a " + fs, "a", "a"},
      {"three letters, one half-width and one full-width space", "a b" + fs + "c", "a b" + fs + "c",
       "abc"},
      {"tabs and line breaks are not spaces", "\t a\r\n ", "\t a\r\n", "\ta\r\n"},
      {"spaces only", "  " + fs + " ", "", ""},
      {"empty", "", "", ""},
      {"no spaces", "abc", "abc", "abc"},
      {"two-byte characters kept", " " + z + " " + z + " ", z + " " + z, z + z},
      // \xB0\xA1 is one character, so the \xA1\xA1 across it is no space.
      {"0xA1 0xA1 off a character boundary is no space", "\xB0\xA1\xA1x", "\xB0\xA1\xA1x",
       "\xB0\xA1\xA1x"},
      {"character ending in 0xA1 before a space", "\xB0\xA1" + fs, "\xB0\xA1", "\xB0\xA1"},
      {"lone lead byte removed instead of the spaces before it", " a \xB0", "a ", "a"},
      {"lone 0xA1 at the end", "a \xA1", "a ", "a"},
      {"spaces and a lone lead byte", "  \xB0", "", ""},
  };
  for (const SpacesCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Escaped(TrimSpaces(c.text)), Escaped(c.trimmed));
    EXPECT_EQ(Escaped(RemoveAllSpaces(c.text)), Escaped(c.removed));
  }
}

}  // namespace
