// MergeCookies and its helpers on arbitrary cookie texts.
#include <set>

#include "fuzz_input.h"
#include "web/cookie_merge.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  Text submitted = FuzzText(in, 1024);
  Text received = FuzzText(in, 1024);
  const Text receivedOnEntry = received;

  const Text merged = MergeCookies(submitted, received);

  FUZZ_CHECK(submitted == merged);
  FUZZ_CHECK(received == RemoveAllSpaces(receivedOnEntry));
  FUZZ_CHECK(merged.size() < 2 || merged.compare(merged.size() - 2, 2, "; ") != 0);
  // No item twice.
  std::set<std::string> items;
  for (const Text& item : SplitText(merged, "; ")) FUZZ_CHECK(items.insert(item).second);
  // Nothing the server deleted survives.
  for (const Text& item : items) FUZZ_CHECK(TextRight(item, 8) != "=deleted");

  const Text joined = JoinDistinct(receivedOnEntry, ";");
  FUZZ_CHECK(joined.size() <= receivedOnEntry.size());
  return 0;
}
