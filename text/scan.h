// Character stepping and pattern search shared by the text operations.
// Internal to text/: callers use text.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace text_scan {

inline constexpr std::size_t kNone = std::string_view::npos;

inline bool IsLeadByte(unsigned char c) { return c >= 0x80; }

// Bytes in the character that starts at `at`: 2 for a lead byte that has a
// byte after it, else 1 (a lone lead byte at the end counts as 1 here).
inline std::size_t CharSize(std::string_view text, std::size_t at) {
  return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// Only A to Z fold; every other byte, including bytes >= 0x80, stays as it is.
inline unsigned char FoldAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Answers "does a character start here?" for rising offsets, counting
// characters from a fixed scan start. Bytes below 0x80 are never lead bytes,
// so the offset after one is always a boundary; only runs of bytes >= 0x80
// need their length looked at. Every byte is looked at most once over all
// queries, which keeps a whole scan linear.
struct CharBoundaries {
  std::string_view text;
  std::size_t known;  // a boundary at or before the next offset asked about

  // `at` must be >= the offset of the previous query and < text.size().
  bool IsBoundary(std::size_t at);
};

// The first occurrence of a pattern that begins on a character boundary
// counted from a scan start, found in linear time: a prefix automaton (so
// repeated partial matches cost nothing extra) that jumps with memchr to the
// next byte equal to the pattern's first byte whenever nothing is matched.
class Searcher {
 public:
  Searcher(std::string_view pattern, bool foldCase);

  // Offset of the first match at or after `from` that begins on a character
  // boundary counted from `from` and fits before the end of `text`, or kNone.
  // `from` itself is taken as a boundary even when it is the second byte of
  // a character. The pattern must not be empty.
  std::size_t FindFrom(std::string_view text, std::size_t from) const;

  std::size_t size() const { return pattern_.size(); }

 private:
  std::size_t NextCandidate(const unsigned char* bytes, std::size_t from, std::size_t end) const;

  std::vector<unsigned char> pattern_;  // folded when foldCase
  std::vector<std::uint32_t> border_;   // border_[k]: longest proper border of pattern_[0..k]
  bool foldCase_;
};

}  // namespace text_scan
