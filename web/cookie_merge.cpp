#include "web/cookie_merge.h"

#include <algorithm>
#include <climits>
#include <string>
#include <functional>
#include <vector>

namespace {

constexpr std::string_view kDeletedMark = "=deleted";
constexpr std::string_view kCookieSeparator = "; ";

// The pieces SplitText gives, found the same way, as views into `text`:
// thousands of cookies then cost no copy each.
std::vector<std::string_view> SplitViews(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  while (pieceStart < text.size() && pieceStart < static_cast<std::size_t>(INT_MAX)) {
    const int at = FindText(text, separator, static_cast<int>(pieceStart) + 1);
    if (at == -1) break;
    const std::size_t found = static_cast<std::size_t>(at) - 1;
    pieces.push_back(text.substr(pieceStart, found - pieceStart));
    pieceStart = found + separator.size();
  }
  // A trailing separator leaves an empty rest, which makes no piece.
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

// A set of texts with no heap block per element (thousands of cookies would
// otherwise mean thousands of small allocations): open addressing over
// views whose bytes the caller keeps alive and in place.
class ViewSet {
 public:
  explicit ViewSet(std::size_t expected) {
    std::size_t capacity = 16;
    while (capacity < expected * 2) capacity *= 2;
    slots_.assign(capacity, kEmpty);
    keys_.reserve(expected);
  }

  // Adds `key` and gives true, or gives false when it is already there.
  bool Insert(std::string_view key) {
    if ((keys_.size() + 1) * 2 > slots_.size()) Grow();
    std::size_t slot = Home(key);
    while (slots_[slot] != kEmpty) {
      if (keys_[slots_[slot]] == key) return false;
      slot = (slot + 1) & (slots_.size() - 1);
    }
    slots_[slot] = keys_.size();
    keys_.push_back(key);
    return true;
  }

 private:
  static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

  std::size_t Home(std::string_view key) const {
    return std::hash<std::string_view>{}(key) & (slots_.size() - 1);
  }

  void Grow() {
    slots_.assign(slots_.size() * 2, kEmpty);
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      std::size_t slot = Home(keys_[i]);
      while (slots_[slot] != kEmpty) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = i;
    }
  }

  std::vector<std::size_t> slots_;
  std::vector<std::string_view> keys_;
};

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
  const std::vector<std::string_view> pieces = SplitViews(text, separator);
  // A set of the pieces kept so far gives the same answer as looking each
  // piece up in the list of earlier ones, without the quadratic cost.
  ViewSet seen(pieces.size());
  Text out;
  out.reserve(text.size() + separator.size());
  for (const std::string_view piece : pieces) {
    if (!seen.Insert(piece)) continue;
    out.append(piece);
    out.append(separator);
  }
  return TextLeft(out, TextLength(out) - TextLength(separator));
}

Text MergeCookies(Text& submitted, Text& received) {
  submitted = RemoveAllSpaces(submitted);
  received = RemoveAllSpaces(received);

  std::vector<std::string_view> merged = SplitViews(received, ";");
  const std::vector<std::string_view> submittedItems = SplitViews(submitted, ";");
  // Names of every item in `merged`, appended ones included: a submitted
  // item is taken only when no item before it, received or submitted, has
  // its name. Same answer as HasCookieName over the growing list.
  // The names live in `nameStore`, reserved up front so that they never
  // move while the set holds views of them.
  std::vector<Text> nameStore;
  nameStore.reserve(merged.size() + submittedItems.size());
  ViewSet names(merged.size() + submittedItems.size());
  for (const std::string_view item : merged) {
    nameStore.push_back(CookieName(item));
    names.Insert(nameStore.back());
  }
  for (const std::string_view item : submittedItems) {
    nameStore.push_back(CookieName(item));
    if (names.Insert(nameStore.back())) merged.push_back(item);
  }

  // A deleted item is left out here, after it has blocked the submitted
  // item of the same name above, so that cookie is gone altogether.
  Text joined;
  joined.reserve(submitted.size() + received.size() + kCookieSeparator.size() * merged.size());
  for (const std::string_view item : merged) {
    if (TextEquals(TextRight(item, 8), kDeletedMark)) continue;
    joined.append(item);
    joined.append(kCookieSeparator);
  }
  joined.resize(joined.size() - std::min(joined.size(), kCookieSeparator.size()));

  // `merged` views `submitted`: the new value is made before it is assigned.
  Text result = JoinDistinct(joined, kCookieSeparator);
  // Empty items at the very end (";;;" closing either text) survive the cut
  // above as one empty piece and would leave the text ending in a separator,
  // an empty cookie on the next request. An item never ends in "; " itself:
  // it holds no lone ";" and no spaces.
  while (result.ends_with(kCookieSeparator)) result.resize(result.size() - kCookieSeparator.size());
  submitted = result;
  return result;
}
