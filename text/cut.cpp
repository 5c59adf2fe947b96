// Length and cutting by byte counts. Counts are in bytes, so a cut may split
// a two-byte character; that is what callers expect of these.
#include <algorithm>
#include <climits>

#include "text/text.h"

int TextLength(std::string_view text) {
  return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
}

Text TextLeft(std::string_view text, int count) {
  if (count <= 0) return {};
  return Text(text.substr(0, static_cast<std::size_t>(count)));
}

Text TextRight(std::string_view text, int count) {
  if (count <= 0) return {};
  const std::size_t keep = std::min(text.size(), static_cast<std::size_t>(count));
  return Text(text.substr(text.size() - keep));
}

// Example: TextMid("abc", 0, 2) == "": a start below 1 is not moved to 1.
Text TextMid(std::string_view text, int start, int count) {
  if (start < 1 || count <= 0) return {};
  const std::size_t offset = static_cast<std::size_t>(start) - 1;
  if (offset >= text.size()) return {};
  return Text(text.substr(offset, static_cast<std::size_t>(count)));
}
