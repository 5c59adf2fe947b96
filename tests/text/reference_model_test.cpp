// The searching operations use a fast automaton with a look-back boundary
// check. Here they are compared, on many small random texts, with a literal
// step-by-step reading of their rules: scan from the start offset, compare at
// the position, else step one character (two bytes for a byte >= 0x80).
#include <random>

#include <gtest/gtest.h>

#include "tests/text/gbk.h"

namespace {

bool BytesMatch(std::string_view text, std::size_t at, std::string_view search, bool fold) {
  for (std::size_t k = 0; k < search.size(); ++k) {
    unsigned char a = static_cast<unsigned char>(text[at + k]);
    unsigned char b = static_cast<unsigned char>(search[k]);
    if (fold) {
      if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a + 32);
      if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b + 32);
    }
    if (a != b) return false;
  }
  return true;
}

std::size_t Step(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]) >= 0x80 ? 2 : 1;
}

int ModelFind(std::string_view text, std::string_view search, int start, bool fold) {
  std::size_t pos = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (pos >= text.size()) return -1;
  if (search.empty()) return 1;
  while (text.size() - pos >= search.size()) {
    if (BytesMatch(text, pos, search, fold)) return static_cast<int>(pos + 1);
    pos += Step(text, pos);
    if (pos >= text.size()) break;
  }
  return -1;
}

Text ModelReplace(std::string_view text, std::string_view search, std::string_view replacement,
                  int start, int count, bool caseSensitive) {
  std::size_t pos = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (text.empty() || search.empty() || pos >= text.size() || count == 0) return Text(text);
  Text out(text.substr(0, pos));
  while (pos < text.size() && text.size() - pos >= search.size() && count != 0) {
    if (BytesMatch(text, pos, search, !caseSensitive)) {
      out += replacement;
      pos += search.size();
      if (count > 0) --count;
      continue;
    }
    const std::size_t step = Step(text, pos);
    if (pos + step > text.size()) return out;  // lone lead byte: dropped
    out += text.substr(pos, step);
    pos += step;
  }
  if (pos < text.size()) out += text.substr(pos);
  return out;
}

TextArray ModelSplit(std::string_view text, std::string_view separator, int maxCount) {
  TextArray out;
  if (maxCount <= 0 || text.empty()) return out;
  if (separator.empty()) return {Text(text)};
  std::size_t pos = 0;
  std::size_t pieceStart = 0;
  while (pos < text.size() && text.size() - pos >= separator.size()) {
    if (BytesMatch(text, pos, separator, false)) {
      out.emplace_back(text.substr(pieceStart, pos - pieceStart));
      pos += separator.size();
      pieceStart = pos;
      if (static_cast<int>(out.size()) == maxCount) return out;
      continue;
    }
    pos += Step(text, pos);
  }
  if (pieceStart < text.size()) out.emplace_back(text.substr(pieceStart));
  return out;
}

std::string RandomText(std::mt19937& random, std::size_t maxLength) {
  static const char kAlphabet[] = {'a', 'A', 'b', ';', ' ', '\xB0', '\xA1', '\xD0'};
  std::string out(random() % (maxLength + 1), ' ');
  for (char& c : out) c = kAlphabet[random() % sizeof kAlphabet];
  return out;
}

TEST(ReferenceModel, SearchReplaceAndSplitAgreeOnRandomTexts) {
  std::mt19937 random(936);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomText(random, 14);
    // Searches are often cut out of the text itself, so that matches happen.
    std::string search = RandomText(random, 3);
    if (round % 2 == 0 && !text.empty()) {
      const std::size_t at = random() % text.size();
      search = text.substr(at, 1 + random() % 3);
    }
    const int start = static_cast<int>(random() % 18) - 2;
    const int count = static_cast<int>(random() % 5) - 1;
    const bool flag = random() % 2 == 0;
    SCOPED_TRACE("text=" + Escaped(text) + " search=" + Escaped(search) +
                 " start=" + std::to_string(start) + " count=" + std::to_string(count) +
                 " flag=" + std::to_string(flag));
    ASSERT_EQ(FindText(text, search, start, flag), ModelFind(text, search, start, flag));
    ASSERT_EQ(Escaped(ReplaceText(text, search, "<>", start, count, flag)),
              Escaped(ModelReplace(text, search, "<>", start, count, flag)));
    ASSERT_EQ(SplitText(text, search, count < 0 ? std::nullopt : std::optional<int>(count + 1)),
              ModelSplit(text, search, count < 0 ? INT_MAX : count + 1));
  }
}

}  // namespace
