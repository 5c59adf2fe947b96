// FindText, ReplaceText and TextBetween on arbitrary bytes.
#include <cstring>

#include "fuzz_input.h"
#include "text/text.h"

static bool MatchesAt(const std::string& text, int position, const std::string& search, bool fold) {
  if (position < 1 || static_cast<std::size_t>(position - 1) + search.size() > text.size()) return false;
  for (std::size_t i = 0; i < search.size(); ++i) {
    auto a = static_cast<unsigned char>(text[position - 1 + i]);
    auto b = static_cast<unsigned char>(search[i]);
    if (fold) {
      if (a >= 'A' && a <= 'Z') a += 32;
      if (b >= 'A' && b <= 'Z') b += 32;
    }
    if (a != b) return false;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool fold = in.ConsumeBool();
  const int start = FuzzInt(in);
  const int count = FuzzInt(in);
  const std::string search = FuzzText(in, 16);
  const std::string replacement = FuzzText(in, 16);
  const std::string text = FuzzText(in);

  const int found = FindText(text, search, start, fold);
  FUZZ_CHECK(found == -1 || (found >= 1 && found <= TextLength(text)));
  if (found != -1 && !search.empty()) {
    FUZZ_CHECK(MatchesAt(text, found, search, fold));
    FUZZ_CHECK(found >= start);
  }

  // Count 0 and an empty search both leave the text as it is.
  FUZZ_CHECK(ReplaceText(text, search, replacement, start, 0, !fold) == text);
  FUZZ_CHECK(ReplaceText(text, "", replacement, start, count, !fold) == text);
  const Text replaced = ReplaceText(text, search, replacement, start, count, !fold);
  if (replacement.empty()) FUZZ_CHECK(replaced.size() <= text.size());

  const Text between = TextBetween(text, search, replacement, start, fold);
  FUZZ_CHECK(between.empty() || text.find(between) != std::string::npos);
  return 0;
}
