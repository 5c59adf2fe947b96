// BuildRequestHeaders on arbitrary caller lines, methods and cookies.
#include "fuzz_input.h"
#include "web/request_headers.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const int method = FuzzInt(in);
  const std::string cookies = FuzzText(in, 64);
  const std::string extra = FuzzText(in, 1024);

  const Text block = BuildRequestHeaders(extra, method, cookies);

  FUZZ_CHECK(block.size() >= 2 && block.compare(block.size() - 2, 2, "\r\n") == 0);
  // Every default header is named somewhere in the block.
  for (const char* name : {"User-Agent: ", "Accept: ", "Accept-Encoding: ", "Accept-Language: ",
                           "Cache-Control: "}) {
    FUZZ_CHECK(FindText(block, name, 1, true) != -1);
  }
  if (method == 1) FUZZ_CHECK(FindText(block, "Content-Type:", 1, false) != -1);
  if (extra.empty()) FUZZ_CHECK(block.compare(0, 12, "User-Agent: ") == 0);
  FUZZ_CHECK(!MethodVerb(method).empty());
  return 0;
}
