// The charset step: on a 1 MB UTF-8 page, and on a small reply (the
// conversion command's case) against the whole WebRequest round trip.
// Run inside scripts/with-test-env: build/wine-run build/bench/charset_bench.exe
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/service.h"
#include "web/charset_step.h"
#include "web/web_request.h"
#include "bench/report.h"

namespace {

// Median seconds of `runs` calls of f.
template <class F>
double MedianSeconds(int runs, F&& f) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A 1 KB block that starts with the declaration, then Chinese (three UTF-8
// bytes a character) and ASCII; the page is the block kBlocks times, so the
// service can stream it from a short query.
constexpr int kBlocks = 1024;
std::string Block(std::string_view charset) {
  std::string block = ConcatText("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=", charset, "\">");
  while (block.size() + 14 <= 1024) block += "\xE4\xB8\xAD\xE6\x96\x87 text, ";
  return block + std::string(1024 - block.size(), ' ');
}
std::string Page(std::string_view charset) {
  std::string page;
  for (int i = 0; i < kBlocks; ++i) page += Block(charset);
  return page;
}

Bytes AsBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The step with its working objects made and released, as in one WebRequest
// call, which hands over its body text without a copy.
double StepSeconds(const std::string& page, int runs, size_t* resultSize) {
  const Bytes body = AsBytes(page);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Text bodyText = BytesToText(body);
    const auto start = std::chrono::steady_clock::now();
    {
      CharsetStep step;
      *resultSize = ConvertBodyCharset(step, std::move(bodyText), body).size();
    }
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  // As the program's start-up does: the step's own CoInitialize then nests.
  OleInitialize(nullptr);
  // 1 MB page, the step alone.
  size_t size = 0;
  const std::string utf8Page = Page("utf-8");
  const double decoded = StepSeconds(utf8Page, 15, &size);
  std::printf("step, 1 MB UTF-8 page, decoded:        %8.2f ms  (%zu bytes in, %zu out, %.0f MB/s)\n",
              decoded * 1e3, utf8Page.size(), size, utf8Page.size() / decoded / 1e6);
  const std::string localPage = Page("gbk");
  const double passed = StepSeconds(localPage, 15, &size);
  std::printf("step, 1 MB page declared gbk (search): %8.2f ms\n", passed * 1e3);

  // 1 MB page through WebRequest, declared utf-8 against declared gbk.
  const auto fetch = [](std::string_view charset) {
    const std::string url = ServiceHttpUrl(ConcatText("/script?tag=bench&body=", PercentEncodeAll(Block(charset)),
                                                      "&repeat=", std::to_string(kBlocks)));
    return MedianSeconds(9, [&] { (void)WebRequest(url); });
  };
  const double fetchedUtf8 = fetch("utf-8");
  const double fetchedLocal = fetch("gbk");
  std::printf("WebRequest, 1 MB page, utf-8 / gbk:    %8.2f / %.2f ms\n", fetchedUtf8 * 1e3, fetchedLocal * 1e3);

  // The conversion command's reply: small, no declaration.
  const std::string reply = "{\"code\":0,\"url\":\"https:\\/\\/localhost:8443\\/Ab3dE\"}";
  const double small = StepSeconds(reply, 201, &size);
  const std::string url = ServiceHttpUrl(ConcatText("/script?tag=bench&body=", PercentEncodeAll(reply)));
  const double roundTrip = MedianSeconds(101, [&] { (void)WebRequest(url); });
  std::printf("step, small reply:                     %8.3f ms\n", small * 1e3);
  std::printf("WebRequest, small reply over HTTP:     %8.3f ms  (the step is %.1f%% of it; without it about %.3f ms)\n",
              roundTrip * 1e3, 100.0 * small / roundTrip, (roundTrip - small) * 1e3);
  ReportRow("WebRequest with / without the charset step, small reply (time)", roundTrip / (roundTrip - small),
            "(none)");
  ReportRow("charset step, 1 MB UTF-8 page (ms)", decoded * 1e3, "(none)");
  OleUninitialize();
  return 0;
}
