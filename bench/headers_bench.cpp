// Times reading a response head and merging its cookies: a 1 MB head with
// 20,000 Set-Cookie lines against a tenth of it, with as many submitted
// cookies, half of them with names the head sets. Linear work gives a ratio
// of about 10.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "text/text.h"
#include "web/cookie_merge.h"
#include "web/response_headers.h"
#include "bench/report.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile std::size_t g_sink;  // keeps results alive so no call is optimised away

// About 52 bytes a line: 20,000 lines make a 1 MB head.
Text MakeHead(int cookies) {
  Text head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n";
  char line[96];
  for (int i = 0; i < cookies; ++i) {
    std::snprintf(line, sizeof line, "Set-Cookie: c%05d=%024d; path=/\r\n", i, i * 7);
    head += line;
  }
  head += "Location: /next\r\n\r\n";
  return head;
}

// Every other submitted cookie has a name the head sets; a few are repeated.
Text MakeSubmitted(int cookies) {
  Text submitted;
  char item[64];
  for (int i = 0; i < cookies; ++i) {
    std::snprintf(item, sizeof item, "c%05d=s%d; ", i % 2 == 0 ? i : cookies + i, i % 97);
    submitted += item;
  }
  return submitted;
}

struct Result {
  double seconds;       // parse and merge
  double mergeSeconds;  // the merge alone
  std::size_t headBytes;
};

struct Workload {
  Text head;
  Text submitted;
};

// `repeat` parses and merges in a row, timed together; the figure is the
// time of one. The best of the rounds counts, since the machine is shared.
void TimeRounds(const Workload& work, int repeat, Result& best) {
  double total = 0;
  double merge = 0;
  for (int i = 0; i < repeat; ++i) {
    Text status, returned, target, submitted = work.submitted;
    const auto start = Clock::now();
    ParseResponseHeaders(work.head, status, returned, target);
    const auto parsed = Clock::now();
    const Text merged = MergeCookies(submitted, returned);
    const auto end = Clock::now();
    g_sink = merged.size() + status.size() + target.size();
    total += std::chrono::duration<double>(end - start).count();
    merge += std::chrono::duration<double>(end - parsed).count();
  }
  best.seconds = std::min(best.seconds, total / repeat);
  best.mergeSeconds = std::min(best.mergeSeconds, merge / repeat);
  best.headBytes = work.head.size();
}

}  // namespace

int main() {
  const Workload smallWork{MakeHead(2000), MakeSubmitted(2000)};
  const Workload largeWork{MakeHead(20000), MakeSubmitted(20000)};
  Result small{1e9, 1e9, 0};
  Result large{1e9, 1e9, 0};
  // Rounds alternate between the sizes so that both meet the same load; a
  // small round does the same amount of work as a large one.
  for (int round = 0; round < 7; ++round) {
    TimeRounds(smallWork, 10, small);
    TimeRounds(largeWork, 1, large);
  }
  // Most of the parse time is ProcessEvents, called once per header line.
  std::printf("parse + merge, %zu-byte head, 2,000 Set-Cookie lines:  %.4f s (merge %.4f s)\n",
              small.headBytes, small.seconds, small.mergeSeconds);
  std::printf("parse + merge, %zu-byte head, 20,000 Set-Cookie lines: %.4f s (merge %.4f s)\n",
              large.headBytes, large.seconds, large.mergeSeconds);
  const double ratio = large.seconds / small.seconds;
  std::printf("ratio: %.2f (at most 11 expected)\n", ratio);
  ReportRow("head parsing + cookie merging, 20,000 / 2,000 Set-Cookie lines (time)", ratio, "<= 11");
  return ratio <= 11.0 ? 0 : 1;
}
