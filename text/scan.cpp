#include "text/scan.h"

#include <cstring>

namespace text_scan {

bool CharBoundaries::IsBoundary(std::size_t at) {
  if (at == known) return true;
  // Walk back over the run of bytes >= 0x80 that ends just before `at`. Its
  // start is a boundary (the scan start, or the byte after a byte below
  // 0x80), and inside the run every character is two bytes.
  std::size_t runStart = at;
  while (runStart > known && IsLeadByte(static_cast<unsigned char>(text[runStart - 1]))) --runStart;
  const bool boundary = (at - runStart) % 2 == 0;
  known = boundary ? at : at + 1;
  return boundary;
}

Searcher::Searcher(std::string_view pattern, bool foldCase)
    : pattern_(pattern.begin(), pattern.end()), border_(pattern.size(), 0), foldCase_(foldCase) {
  if (foldCase_) {
    for (unsigned char& c : pattern_) c = FoldAscii(c);
  }
  std::uint32_t k = 0;
  for (std::size_t i = 1; i < pattern_.size(); ++i) {
    while (k > 0 && pattern_[i] != pattern_[k]) k = border_[k - 1];
    if (pattern_[i] == pattern_[k]) ++k;
    border_[i] = k;
  }
}

std::size_t Searcher::NextCandidate(const unsigned char* bytes, std::size_t from,
                                    std::size_t end) const {
  const unsigned char first = pattern_[0];
  if (!foldCase_ || first < 'a' || first > 'z') {
    const void* hit = std::memchr(bytes + from, first, end - from);
    return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - bytes) : kNone;
  }
  for (std::size_t i = from; i < end; ++i) {
    if ((bytes[i] | 0x20) == first) return i;  // 'A'|0x20 == 'a'; no other byte maps onto a letter
  }
  return kNone;
}

std::size_t Searcher::FindFrom(std::string_view text, std::size_t from) const {
  const std::size_t m = pattern_.size();
  const std::size_t n = text.size();
  if (m == 0 || from >= n || n - from < m) return kNone;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t candidateEnd = n - m + 1;  // a match must start below this
  CharBoundaries boundaries{text, from};

  std::size_t i = from;      // next byte to feed to the automaton
  std::uint32_t matched = 0;  // pattern bytes matched so far, ending at i
  while (i < n) {
    if (matched == 0) {
      if (i >= candidateEnd) return kNone;
      i = NextCandidate(bytes, i, candidateEnd);
      if (i == kNone) return kNone;
      matched = 1;
      ++i;
    } else {
      const unsigned char c = foldCase_ ? FoldAscii(bytes[i]) : bytes[i];
      while (matched > 0 && c != pattern_[matched]) matched = border_[matched - 1];
      if (c == pattern_[matched]) ++matched;
      ++i;
    }
    if (matched == m) {
      const std::size_t start = i - m;
      if (boundaries.IsBoundary(start)) return start;
      matched = border_[m - 1];
    }
  }
  return kNone;
}

}  // namespace text_scan
