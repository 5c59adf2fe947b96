#include "text/scan.h"
#include "text/text.h"

namespace {

// One character as a number: a two-byte character ranks after every
// one-byte one. Without case sensitivity only the one-byte letters A to Z
// fold; a two-byte character is never a letter here, so its second byte is
// compared as it is.
unsigned CharValue(std::string_view text, std::size_t at, std::size_t size, bool caseSensitive) {
  const auto first = static_cast<unsigned char>(text[at]);
  if (size == 2) return 0x10000u | (unsigned{first} << 8) | static_cast<unsigned char>(text[at + 1]);
  return caseSensitive ? first : text_scan::FoldAscii(first);
}

}  // namespace

int CompareText(std::string_view a, std::string_view b, bool caseSensitive) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t sizeA = text_scan::CharSize(a, i);
    const std::size_t sizeB = text_scan::CharSize(b, j);
    const unsigned valueA = CharValue(a, i, sizeA, caseSensitive);
    const unsigned valueB = CharValue(b, j, sizeB, caseSensitive);
    if (valueA != valueB) return valueA < valueB ? -1 : 1;
    i += sizeA;
    j += sizeB;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool TextEquals(std::string_view a, std::string_view b) { return a == b; }
