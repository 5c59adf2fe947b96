#include "tests/faults/fault_table.h"

#include <random>

#include "app/short_link.h"
#include "tests/support/service.h"

const Text kSendFailed = "711 \xB7\xA2\xCB\xCD\xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC!";  // 711 发送请求失败!
const Text kNoResponse = "712 \xB7\xFE\xCE\xF1\xC6\xF7\xCE\xB4\xCF\xEC\xD3\xA6!";  // 712 服务器未响应!

namespace {

using namespace std::chrono_literals;

constexpr char kFaultAddress[] = "http://fault.test/?";

// The service's reply holding the short link of `code`, as the program
// expects it: slashes escaped.
std::string LinkReply(const std::string& code) {
  std::string host = ServiceLinkHost();
  return "{\"code\":0,\"url\":\"https:\\/\\/" + host + "\\/" + code + "\"}";
}

// A scripted reply, as the long address that makes the service give it.
std::string Scripted(const std::string& tag, const std::string& params) {
  return kFaultAddress + ("tag=" + tag + "&" + params);
}

std::string WithBody(const std::string& params, const std::string& body) {
  return params + (params.empty() ? "" : "&") + "body=" + PercentEncodeAll(body);
}

// Bytes from a fixed seed, every value but zero, so each run sees the same body.
std::string RandomBytesWithoutZero(size_t count) {
  std::mt19937 generator(20260707);
  std::uniform_int_distribution<int> value(1, 255);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(value(generator));
  return bytes;
}

Bytes AsBytes(const std::string& bytes) { return Bytes(bytes.begin(), bytes.end()); }

// The row of a reply that arrives whole: 200, the body as sent.
void Delivered(FaultRow& row, const std::string& body, const Text& text) {
  row.status = "200 OK";
  row.bytes = AsBytes(body);
  row.result = text;
}

}  // namespace

std::vector<Fault> AllFaults() {
  return {Fault::ConnectionRefused,     Fault::UntrustedCertificate, Fault::UnresolvableHost,
          Fault::ClosedBeforeReply,     Fault::ClosedAfterStatusLine, Fault::ClosedMidBody,
          Fault::SlowerThanTimeOut,     Fault::EndlessDrip,          Fault::Body100MB,
          Fault::Head1MB,               Fault::RandomBodyWithoutZero, Fault::RandomBodyWithZero,
          Fault::UnknownMetaCharset,    Fault::InvalidUtf8};
}

std::string FaultName(Fault fault) {
  switch (fault) {
    case Fault::ConnectionRefused: return "ConnectionRefused";
    case Fault::UntrustedCertificate: return "UntrustedCertificate";
    case Fault::UnresolvableHost: return "UnresolvableHost";
    case Fault::ClosedBeforeReply: return "ClosedBeforeReply";
    case Fault::ClosedAfterStatusLine: return "ClosedAfterStatusLine";
    case Fault::ClosedMidBody: return "ClosedMidBody";
    case Fault::SlowerThanTimeOut: return "SlowerThanTimeOut";
    case Fault::EndlessDrip: return "EndlessDrip";
    case Fault::Body100MB: return "Body100MB";
    case Fault::Head1MB: return "Head1MB";
    case Fault::RandomBodyWithoutZero: return "RandomBodyWithoutZero";
    case Fault::RandomBodyWithZero: return "RandomBodyWithZero";
    case Fault::UnknownMetaCharset: return "UnknownMetaCharset";
    case Fault::InvalidUtf8: return "InvalidUtf8";
  }
  return "Unknown";
}

Text ConversionAddress(const std::string& host, const std::string& longAddress) {
  return ConcatText(RequestPrefix({host, ServiceLinkHost()}), EncodeLongAddress(longAddress));
}

FaultRow MakeFaultRow(Fault fault) {
  FaultRow row;
  row.tag = UniqueTag();
  row.host = TAVRIN_FAULT_SERVICE_HOST;
  row.programPath = TAVRIN_UNDER_TEST_EXE;
  row.shows = "https://" + ServiceLinkHost() + "/";
  switch (fault) {
    case Fault::ConnectionRefused:
      // Nothing listens on port 1 of loopback.
      row.host = TAVRIN_FAULT_REFUSED_HOST;
      row.programPath = TAVRIN_REFUSED_EXE;
      row.longAddress = "http://example.com/" + row.tag;
      row.fails = true;
      row.status = kSendFailed;
      break;
    case Fault::UntrustedCertificate:
      // The service's certificate names localhost only; reached by its
      // address, the name in the certificate does not match.
      row.host = TAVRIN_FAULT_UNTRUSTED_HOST;
      row.programPath = TAVRIN_UNTRUSTED_EXE;
      row.longAddress = "http://example.com/" + row.tag;
      row.fails = true;
      row.status = kSendFailed;
      break;
    case Fault::UnresolvableHost:
      // A 64-byte label: the resolver refuses the name before anything is sent.
      row.host = TAVRIN_FAULT_UNRESOLVABLE_HOST;
      row.programPath = TAVRIN_UNRESOLVABLE_EXE;
      row.longAddress = "http://example.com/" + row.tag;
      row.fails = true;
      row.status = kSendFailed;
      break;
    case Fault::ClosedBeforeReply:
      row.longAddress = Scripted(row.tag, "close=before");
      row.fails = true;
      row.status = kNoResponse;
      break;
    case Fault::ClosedAfterStatusLine:
      // WinHTTP (Wine 8) takes the status line alone for a whole reply
      // without headers or body: no failure, nothing to show.
      row.longAddress = Scripted(row.tag, WithBody("close=after_status", LinkReply("afterstatus")));
      Delivered(row, "", "");
      row.headComplete = false;
      break;
    case Fault::ClosedMidBody: {
      // Half of the body arrives: the link's closing quote is in the lost half.
      // A close (not a reset) inside the body is not reported over TLS: the
      // half that came counts as the whole reply.
      const std::string body = LinkReply("midbody");
      row.longAddress = Scripted(row.tag, WithBody("close=mid_body", body));
      Delivered(row, body.substr(0, body.size() / 2), body.substr(0, body.size() / 2));
      break;
    }
    case Fault::SlowerThanTimeOut:
      // Later than the program's 30 s, and than the 2 s given to WebRequest.
      row.longAddress = Scripted(row.tag, WithBody("delay=33", LinkReply("late")));
      row.requestTimeout = 2;
      row.fails = true;
      row.status = kNoResponse;
      row.windowLimit = 45s;
      break;
    case Fault::EndlessDrip:
      // A byte every 0.25 s, each well within any time-out, for ever: the
      // time-out ends the body (the program's 30 s, the 1 s given to
      // WebRequest), and what dripped in holds no link.
      row.longAddress = Scripted(row.tag, "drip=0.25&body=x");
      row.requestTimeout = 1;
      row.windowLimit = 45s;
      break;
    case Fault::Body100MB: {
      constexpr size_t kSize = 100u << 20;
      row.longAddress = Scripted(row.tag, "body=x&repeat=" + std::to_string(kSize));
      Delivered(row, std::string(kSize, 'x'), std::string(kSize, 'x'));
      row.windowLimit = 60s;
      break;
    }
    case Fault::Head1MB: {
      const std::string body = LinkReply("bighead");
      row.longAddress = Scripted(row.tag, WithBody("padheaders=1048576", body));
      Delivered(row, body, body);
      row.shows += "bighead";
      break;
    }
    case Fault::RandomBodyWithoutZero: {
      const std::string body = RandomBytesWithoutZero(2048);
      row.longAddress = Scripted(row.tag, WithBody("", body));
      Delivered(row, body, body);
      break;
    }
    case Fault::RandomBodyWithZero: {
      std::string body = RandomBytesWithoutZero(2048);
      body[700] = '\0';
      body[1500] = '\0';
      row.longAddress = Scripted(row.tag, WithBody("", body));
      Delivered(row, body, body.substr(0, 700));
      break;
    }
    case Fault::UnknownMetaCharset: {
      // A name no decoder knows: the page keeps its text.
      const std::string body = "<html><head><meta charset=\"x-tavrin-unknown\"></head><body>" +
                               LinkReply("unknownset") + "</body></html>";
      row.longAddress = Scripted(row.tag, WithBody("header=Content-Type: text/html", body));
      Delivered(row, body, body);
      row.shows += "unknownset";
      break;
    }
    case Fault::InvalidUtf8: {
      // Valid UTF-8 ("中" is D6 D0 in code page 936) around byte sequences
      // that are not UTF-8: a bad continuation, a byte that never occurs, a
      // sequence cut short. Each bad sequence becomes a "?".
      const std::string head = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                               "</head><body>";
      const std::string body = head + LinkReply("utf8code") + " \xE4\xB8\xAD \xC3\x28 \xFF \xE4\xB8 end";
      row.longAddress =
          Scripted(row.tag, WithBody("header=Content-Type: text/html; charset=utf-8", body));
      Delivered(row, body, head + LinkReply("utf8code") + " \xD6\xD0 ?( ? ? end");
      row.shows += "utf8code";
      break;
    }
  }
  return row;
}
