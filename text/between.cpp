#include <algorithm>
#include <climits>
#include <cstdint>

#include "text/text.h"

namespace {

// "#引号" in code page 936: lets a caller write a double quote into a marker.
constexpr std::string_view kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

}  // namespace

Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
  const Text leftMarker = ReplaceText(left, kQuotePlaceholder, "\"", 1, -1, true);
  const Text rightMarker = ReplaceText(right, kQuotePlaceholder, "\"", 1, -1, true);
  const int leftAt = FindText(text, leftMarker, start, ignoreCase);
  if (leftAt == -1) return {};
  const std::int64_t after = std::int64_t{leftAt} + TextLength(leftMarker);
  if (after > INT_MAX) return {};
  const int contentAt = static_cast<int>(after);
  const int rightAt = FindText(text, rightMarker, contentAt, ignoreCase);
  if (rightAt == -1) return {};
  // An empty right marker is "found" at position 1, before the content: empty result.
  return TextMid(text, contentAt, rightAt - contentAt);
}
