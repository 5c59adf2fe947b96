#include "web/cookie_merge.h"

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_set>

namespace {

constexpr std::string_view kDeletedMark = "=deleted";
constexpr std::string_view kCookieSeparator = "; ";

}  // namespace

Text CookieName(std::string_view item) {
  const int at = FindText(item, "=");
  if (at == -1) return TrimSpaces(item);
  return TrimSpaces(TextLeft(item, at - 1));
}

bool HasCookieName(const TextArray& items, std::string_view name) {
  for (const Text& item : items) {
    if (TextEquals(CookieName(item), name)) return true;
  }
  return false;
}

int IndexOfText(const TextArray& items, std::string_view text) {
  for (std::size_t i = 0; i < items.size() && i < static_cast<std::size_t>(INT_MAX); ++i) {
    if (TextEquals(items[i], text)) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text JoinDistinct(std::string_view text, std::string_view separator) {
  const TextArray pieces = SplitText(text, separator);
  // A set of the pieces kept so far gives the same answer as looking each
  // piece up in the list of earlier ones, without the quadratic cost.
  std::unordered_set<std::string_view> seen;
  seen.reserve(pieces.size());
  Text out;
  out.reserve(text.size() + separator.size());
  for (const Text& piece : pieces) {
    if (!seen.insert(piece).second) continue;
    out.append(piece);
    out.append(separator);
  }
  return TextLeft(out, TextLength(out) - TextLength(separator));
}

Text MergeCookies(Text& submitted, Text& received) {
  submitted = RemoveAllSpaces(submitted);
  received = RemoveAllSpaces(received);

  TextArray merged = SplitText(received, ";");
  const TextArray submittedItems = SplitText(submitted, ";");
  // Names of every item in `merged`, appended ones included: a submitted
  // item is taken only when no item before it, received or submitted, has
  // its name. Same answer as HasCookieName over the growing list.
  std::unordered_set<Text> names;
  names.reserve(merged.size() + submittedItems.size());
  for (const Text& item : merged) names.insert(CookieName(item));
  for (const Text& item : submittedItems) {
    Text name = CookieName(item);
    if (names.contains(name)) continue;
    names.insert(std::move(name));
    merged.push_back(item);
  }

  // A deleted item is left out here, after it has blocked the submitted
  // item of the same name above, so that cookie is gone altogether.
  Text joined;
  joined.reserve(submitted.size() + received.size() + kCookieSeparator.size() * merged.size());
  for (const Text& item : merged) {
    if (TextEquals(TextRight(item, 8), kDeletedMark)) continue;
    joined.append(item);
    joined.append(kCookieSeparator);
  }
  joined.resize(joined.size() - std::min(joined.size(), kCookieSeparator.size()));

  submitted = JoinDistinct(joined, kCookieSeparator);
  return submitted;
}
