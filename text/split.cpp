#include <algorithm>
#include <optional>

#include "text/scan.h"
#include "text/text.h"

TextArray SplitText(std::string_view text, std::string_view separator, std::optional<int> maxCount) {
  TextArray pieces;
  if (maxCount && *maxCount <= 0) return pieces;  // a negative maxCount counts as 0
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }

  const text_scan::Searcher searcher(separator, false);
  // Counting first is cheap next to making the pieces, and spares moving
  // every piece made so far each time the array grows.
  std::size_t expected = 1;
  for (std::size_t at = searcher.FindFrom(text, 0); at != text_scan::kNone;
       at = searcher.FindFrom(text, at + searcher.size())) {
    ++expected;
  }
  if (maxCount) expected = std::min(expected, static_cast<std::size_t>(*maxCount));
  pieces.reserve(expected);

  std::size_t pieceStart = 0;
  while (true) {
    const std::size_t at = searcher.FindFrom(text, pieceStart);
    if (at == text_scan::kNone) break;
    pieces.emplace_back(text.substr(pieceStart, at - pieceStart));
    pieceStart = at + searcher.size();
    // With the limit reached the rest of the text is dropped, not appended.
    if (maxCount && pieces.size() >= static_cast<std::size_t>(*maxCount)) return pieces;
  }
  // A trailing separator leaves an empty rest, which makes no element.
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}
