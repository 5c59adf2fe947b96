// A space is 0x20 or the full-width space 0xA1 0xA1 where it starts on a
// character boundary. Tabs and line breaks are not spaces.
#include "text/scan.h"
#include "text/text.h"

namespace {

// Bytes taken by the space that starts at `at`, or 0 when none starts there.
std::size_t SpaceSize(std::string_view text, std::size_t at) {
  if (text[at] == ' ') return 1;
  if (text[at] == '\xA1' && at + 1 < text.size() && text[at + 1] == '\xA1') return 2;
  return 0;
}

bool IsLoneLeadByte(std::string_view text, std::size_t at) {
  return at + 1 == text.size() && text_scan::IsLeadByte(static_cast<unsigned char>(text[at]));
}

}  // namespace

// Example: TrimSpaces(" a \xB0") == "a ": a lone lead byte at the end is
// removed instead of the spaces before it.
Text TrimSpaces(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t space = SpaceSize(text, at);
    if (space == 0) break;
    at += space;
  }
  const std::size_t begin = at;
  std::size_t end = begin;  // end of the last character that is not a space
  while (at < text.size()) {
    if (IsLoneLeadByte(text, at)) return Text(text.substr(begin, at - begin));
    const std::size_t space = SpaceSize(text, at);
    at += space != 0 ? space : text_scan::CharSize(text, at);
    if (space == 0) end = at;
  }
  return Text(text.substr(begin, end - begin));
}

Text RemoveAllSpaces(std::string_view text) {
  Text out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsLoneLeadByte(text, at)) break;  // dropped
    const std::size_t space = SpaceSize(text, at);
    if (space != 0) {
      at += space;
      continue;
    }
    // Copy the run of characters up to the next space in one go.
    const std::size_t runStart = at;
    do {
      at += text_scan::CharSize(text, at);
    } while (at < text.size() && !IsLoneLeadByte(text, at) && SpaceSize(text, at) == 0);
    out.append(text.substr(runStart, at - runStart));
  }
  return out;
}
