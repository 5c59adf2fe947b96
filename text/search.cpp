#include "text/scan.h"
#include "text/text.h"

// Matches begin only on character boundaries counted from the start offset,
// so an ASCII search never matches the second byte of a two-byte character.
int FindText(std::string_view text, std::string_view search, int start, bool ignoreCase) {
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= text.size()) return -1;
  if (search.empty()) return 1;  // position 1 whatever the start: callers rely on it
  const std::size_t at = text_scan::Searcher(search, ignoreCase).FindFrom(text, from);
  return at == text_scan::kNone ? -1 : static_cast<int>(at + 1);
}
