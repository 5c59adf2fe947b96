// Byte text in code page 936 and raw byte buffers, with the operations the
// rest of the program uses on them.
//
// Positions are 1-based and in bytes; a search that finds nothing gives -1.
// Operations that "step by characters" take a byte of 0x80 or above together
// with the byte after it as one two-byte character. No operation throws,
// reads out of bounds or loops forever: out-of-range counts and positions
// are clamped or give the empty result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

// Bytes in code page 936 without zero bytes. Absent and empty are the same value.
using Text = std::string;
// A length-counted buffer of any byte values.
using Bytes = std::vector<unsigned char>;
// An ordered list of Text; callers number its elements from 1.
using TextArray = std::vector<Text>;

[[nodiscard]] int TextLength(std::string_view text);
// Example: TextLeft("ab", 5) == "ab"; TextLeft("ab", 0) == "".
[[nodiscard]] Text TextLeft(std::string_view text, int count);
[[nodiscard]] Text TextRight(std::string_view text, int count);
// Example: TextMid("abc", 0, 2) == "" (a start below 1 is not moved to 1).
[[nodiscard]] Text TextMid(std::string_view text, int start, int count);
// Example: FindText("0123456789", "", 5) == 1; FindText("", "") == -1.
[[nodiscard]] int FindText(std::string_view text, std::string_view search, int start = 1,
                           bool ignoreCase = false);
// count < 0 means every occurrence; count 0 returns the text unchanged.
// Example: ReplaceText("aaaa", "aa", "a", 1, -1, true) == "aa".
[[nodiscard]] Text ReplaceText(std::string_view text, std::string_view search,
                               std::string_view replacement = {}, int start = 1,
                               int count = -1, bool caseSensitive = false);
// maxCount omitted means no limit; a negative maxCount counts as 0.
// Example: SplitText("a;;b", ";") == {"a", "", "b"}; SplitText("a;b;", ";") == {"a", "b"}.
[[nodiscard]] TextArray SplitText(std::string_view text, std::string_view separator,
                                  std::optional<int> maxCount = std::nullopt);
// Spaces are 0x20 and the full-width 0xA1 0xA1 on a character boundary.
[[nodiscard]] Text TrimSpaces(std::string_view text);
[[nodiscard]] Text RemoveAllSpaces(std::string_view text);
[[nodiscard]] int CompareText(std::string_view a, std::string_view b, bool caseSensitive = false);
[[nodiscard]] bool TextEquals(std::string_view a, std::string_view b);
// "#引号" in either marker stands for a double quote.
// Example: TextBetween("x=\"1\"", "=#引号", "#引号") == "1".
[[nodiscard]] Text TextBetween(std::string_view text, std::string_view left,
                               std::string_view right, int start = 1, bool ignoreCase = false);

// Concatenation. Passing an rvalue Text or Bytes as the first argument
// appends to its buffer in place, so that growing a value chunk by chunk
// (value = ConcatText(std::move(value), chunk)) costs amortised linear time.
template <class First, class... Parts>
  requires std::is_convertible_v<const First&, std::string_view>
[[nodiscard]] Text ConcatText(First&& first, const Parts&... rest) {
  Text out;
  if constexpr (std::is_same_v<First, Text>) {
    out = std::move(first);  // an rvalue Text: keep its buffer and its spare capacity
  } else {
    const std::string_view head(first);
    out.reserve(head.size() + (std::string_view(rest).size() + ... + 0));
    out.assign(head);
  }
  (out.append(std::string_view(rest)), ...);
  return out;
}

[[nodiscard]] Bytes TextToBytes(std::string_view text);
// The bytes up to, not including, the first zero byte.
[[nodiscard]] Text BytesToText(const Bytes& bytes);
[[nodiscard]] int BytesLength(const Bytes& bytes);
[[nodiscard]] Bytes BytesLeft(const Bytes& bytes, int count);
// Example: BytesMid(b, 0, 2) starts at the first byte.
[[nodiscard]] Bytes BytesMid(const Bytes& bytes, int start, int count);
[[nodiscard]] Bytes BlankBytes(int count);
[[nodiscard]] Bytes BytesFromMemory(const void* address, int length);

template <class... Parts>
[[nodiscard]] Bytes ConcatBytes(Bytes&& first, const Parts&... rest) {
  Bytes out = std::move(first);
  (out.insert(out.end(), rest.begin(), rest.end()), ...);
  return out;
}
template <class... Parts>
[[nodiscard]] Bytes ConcatBytes(const Bytes& first, const Parts&... rest) {
  Bytes out;
  out.reserve(first.size() + (rest.size() + ... + 0));
  out.assign(first.begin(), first.end());
  (out.insert(out.end(), rest.begin(), rest.end()), ...);
  return out;
}

template <class... Ints>
[[nodiscard]] constexpr std::int32_t BitOr(std::int32_t first, Ints... rest) {
  return (first | ... | static_cast<std::int32_t>(rest));
}

// Dispatches the window messages already waiting for the calling thread and
// returns when the queue is empty or the next message is WM_QUIT, which is
// left for the main message loop. Lives in its own file: the only operation
// here that touches the platform.
void ProcessEvents();
