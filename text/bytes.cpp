#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "text/text.h"

Bytes TextToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

// Also reads a text out of a buffer that a system call filled.
Text BytesToText(const Bytes& bytes) {
  const auto zero = std::find(bytes.begin(), bytes.end(), 0);
  return Text(bytes.begin(), zero);
}

int BytesLength(const Bytes& bytes) {
  return static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
}

Bytes BytesLeft(const Bytes& bytes, int count) {
  if (count < 1) return {};
  const std::size_t keep = std::min(bytes.size(), static_cast<std::size_t>(count));
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
}

// Unlike TextMid, a start below 1 begins at the first byte.
Bytes BytesMid(const Bytes& bytes, int start, int count) {
  const auto length = static_cast<std::int64_t>(bytes.size());
  const std::int64_t offset = std::clamp<std::int64_t>(std::int64_t{start} - 1, 0, length);
  const std::int64_t take = std::min<std::int64_t>(std::max(count, 0), length - offset);
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + take));
}

Bytes BlankBytes(int count) {
  if (count <= 0) return {};
  return Bytes(static_cast<std::size_t>(count), 0);
}

Bytes BytesFromMemory(const void* address, int length) {
  if (address == nullptr || length <= 0) return {};
  const auto* first = static_cast<const unsigned char*>(address);
  return Bytes(first, first + length);
}
