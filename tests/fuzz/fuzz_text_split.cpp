// SplitText, TrimSpaces, RemoveAllSpaces and CompareText on arbitrary bytes.
#include "fuzz_input.h"
#include "text/text.h"

static int Sign(int v) { return (v > 0) - (v < 0); }

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool limited = in.ConsumeBool();
  const int maxCount = FuzzInt(in);
  const std::string separator = FuzzText(in, 8);
  const std::string other = FuzzText(in, 64);
  const std::string text = FuzzText(in);

  // Without a limit nothing is dropped but a separator at the very end:
  // joining the pieces gives the text back.
  const TextArray pieces = SplitText(text, separator);
  if (!separator.empty()) {
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i) joined += separator;
      joined += pieces[i];
    }
    FUZZ_CHECK(joined == text || joined + separator == text);
  } else {
    FUZZ_CHECK(text.empty() ? pieces.empty() : pieces.size() == 1 && pieces[0] == text);
  }
  if (limited) {
    const TextArray some = SplitText(text, separator, maxCount);
    FUZZ_CHECK(static_cast<long long>(some.size()) <= (maxCount < 0 ? 0 : maxCount));
  }

  const Text trimmed = TrimSpaces(text);
  FUZZ_CHECK(text.find(trimmed) != std::string::npos);
  FUZZ_CHECK(TrimSpaces(trimmed).size() <= trimmed.size());
  FUZZ_CHECK(RemoveAllSpaces(text).size() <= text.size());

  for (bool caseSensitive : {false, true}) {
    FUZZ_CHECK(CompareText(text, text, caseSensitive) == 0);
    FUZZ_CHECK(Sign(CompareText(text, other, caseSensitive)) == -Sign(CompareText(other, text, caseSensitive)));
  }
  FUZZ_CHECK(TextEquals(text, other) == (text == other));
  return 0;
}
