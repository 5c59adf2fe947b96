#include "text/scan.h"
#include "text/text.h"

Text ReplaceText(std::string_view text, std::string_view search, std::string_view replacement,
                 int start, int count, bool caseSensitive) {
  const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (text.empty() || search.empty() || from >= text.size() || count == 0) return Text(text);

  const text_scan::Searcher searcher(search, !caseSensitive);
  Text out;
  out.reserve(text.size());
  out.append(text.substr(0, from));
  std::size_t pos = from;  // the scan restarts here after each match: emitted text is never rescanned
  int remaining = count;   // negative: no limit
  while (remaining != 0) {
    const std::size_t at = searcher.FindFrom(text, pos);
    if (at == text_scan::kNone) break;
    out.append(text.substr(pos, at - pos));
    out.append(replacement);
    pos = at + searcher.size();
    if (remaining > 0) --remaining;
  }

  // A one-byte search is compared at every character up to the end, so the
  // scan reaches a lone lead byte there; like every character stepper here
  // it drops it. A longer search stops short of it and copies it.
  std::size_t end = text.size();
  if (remaining != 0 && searcher.size() == 1 && pos < end &&
      text_scan::IsLeadByte(static_cast<unsigned char>(text.back()))) {
    text_scan::CharBoundaries boundaries{text, pos};
    if (boundaries.IsBoundary(end - 1)) --end;
  }
  out.append(text.substr(pos, end - pos));
  return out;
}
