// The cutting and byte-buffer operations with arbitrary counts and positions.
#include <algorithm>

#include "fuzz_input.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int a = FuzzInt(in);
  const int b = FuzzInt(in);
  const std::string raw = in.ConsumeRandomLengthString(512);
  const Bytes bytes(raw.begin(), raw.end());
  const std::string text = BytesToText(bytes);
  const long long length = static_cast<long long>(text.size());

  FUZZ_CHECK(text.find('\0') == std::string::npos);
  FUZZ_CHECK(raw.compare(0, text.size(), text) == 0);

  const long long keep = std::clamp<long long>(a, 0, length);
  FUZZ_CHECK(TextLeft(text, a) == text.substr(0, keep));
  FUZZ_CHECK(TextRight(text, a) == text.substr(length - keep));
  const Text mid = TextMid(text, a, b);
  if (a < 1 || a > length || b < 1) {
    FUZZ_CHECK(mid.empty());
  } else {
    FUZZ_CHECK(mid == text.substr(a - 1, std::min<long long>(b, length - (a - 1))));
  }

  const long long byteLength = BytesLength(bytes);
  FUZZ_CHECK(byteLength == static_cast<long long>(raw.size()));
  const Bytes left = BytesLeft(bytes, a);
  FUZZ_CHECK(std::equal(left.begin(), left.end(), bytes.begin()) &&
             static_cast<long long>(left.size()) == std::clamp<long long>(a, 0, byteLength));
  const Bytes middle = BytesMid(bytes, a, b);
  const long long from = std::clamp<long long>(static_cast<long long>(a) - 1, 0, byteLength);
  FUZZ_CHECK(static_cast<long long>(middle.size()) == std::clamp<long long>(b, 0, byteLength - from));
  FUZZ_CHECK(std::equal(middle.begin(), middle.end(), bytes.begin() + from));
  FUZZ_CHECK(BytesToText(TextToBytes(text)) == text);
  FUZZ_CHECK(ConcatBytes(Bytes(bytes), bytes).size() == 2 * bytes.size());
  FUZZ_CHECK(static_cast<long long>(BlankBytes(std::min(a, 4096)).size()) == std::clamp(a, 0, 4096));
  return 0;
}
