#include "tests/support/service.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

int PortFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    throw std::runtime_error(std::string(name) +
                             " is not set: run the tests through scripts/with-test-env");
  }
  char* end = nullptr;
  long port = std::strtol(value, &end, 10);
  if (*end != '\0' || port <= 0 || port > 65535) {
    throw std::runtime_error(std::string(name) + " is not a port: " + value);
  }
  return static_cast<int>(port);
}

struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  }
  ~WinsockUser() { WSACleanup(); }
  WinsockUser(const WinsockUser&) = delete;
  WinsockUser& operator=(const WinsockUser&) = delete;
};

// Owns one socket; closes it when the exchange ends, on every path.
class OwnedSocket {
 public:
  explicit OwnedSocket(SOCKET s) : socket_(s) {}
  ~OwnedSocket() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  OwnedSocket(const OwnedSocket&) = delete;
  OwnedSocket& operator=(const OwnedSocket&) = delete;
  SOCKET get() const { return socket_; }

 private:
  SOCKET socket_;
};

void SendAll(SOCKET s, std::string_view data) {
  while (!data.empty()) {
    int sent = send(s, data.data(), static_cast<int>(data.size()), 0);
    if (sent <= 0) throw std::runtime_error("sending to the service failed");
    data.remove_prefix(static_cast<size_t>(sent));
  }
}

}  // namespace

std::string RawExchange(int port, std::string_view request) {
  static WinsockUser winsock;
  OwnedSocket owner(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  SOCKET raw = owner.get();
  if (raw == INVALID_SOCKET) throw std::runtime_error("socket() failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(raw, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("cannot connect to the service on 127.0.0.1:" + std::to_string(port));
  }
  SendAll(raw, request);
  std::string reply;
  char buffer[65536];
  for (;;) {
    int got = recv(raw, buffer, sizeof buffer, 0);
    if (got < 0) throw std::runtime_error("reading from the service failed");
    if (got == 0) break;
    reply.append(buffer, static_cast<size_t>(got));
  }
  return reply;
}

int ServiceHttpsPort() { return PortFromEnvironment("TAVRIN_SERVICE_HTTPS_PORT"); }
int ServiceHttpPort() { return PortFromEnvironment("TAVRIN_SERVICE_HTTP_PORT"); }
int ServiceProxyAuthPort() { return PortFromEnvironment("TAVRIN_SERVICE_PROXY_AUTH_PORT"); }

std::string ServiceLinkHost() {
  const char* value = std::getenv("TAVRIN_SERVICE_LINK_HOST");
  if (value == nullptr || *value == '\0') {
    throw std::runtime_error("TAVRIN_SERVICE_LINK_HOST is not set: run the tests through scripts/with-test-env");
  }
  return value;
}

std::string ServiceHttpsUrl(std::string_view pathAndQuery) {
  return "https://localhost:" + std::to_string(ServiceHttpsPort()) + std::string(pathAndQuery);
}

std::string ServiceHttpUrl(std::string_view pathAndQuery) {
  return "http://127.0.0.1:" + std::to_string(ServiceHttpPort()) + std::string(pathAndQuery);
}

std::string UniqueTag() {
  // The process id keeps parallel test processes apart; the tick count keeps
  // apart runs against a service that lives on between them.
  static std::atomic<unsigned> counter{0};
  char tag[64];
  std::snprintf(tag, sizeof tag, "t%lxp%lxn%u", static_cast<unsigned long>(GetTickCount()),
                static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
  return tag;
}

std::string RawHttpGet(std::string_view pathAndQuery) {
  std::string request = "GET " + std::string(pathAndQuery) + " HTTP/1.0\r\nHost: 127.0.0.1:" +
                        std::to_string(ServiceHttpPort()) + "\r\n\r\n";
  std::string reply = RawExchange(ServiceHttpPort(), request);
  size_t headEnd = reply.find("\r\n\r\n");
  if (headEnd == std::string::npos) throw std::runtime_error("the service sent no complete head");
  return reply.substr(headEnd + 4);
}

std::vector<RecordedRequest> RecordedRequests(std::string_view tag) {
  std::string listing = RawHttpGet("/_requests?tag=" + PercentEncodeAll(tag));
  std::vector<RecordedRequest> requests;
  size_t pos = 0;
  while (pos < listing.size()) {
    const std::string_view intro = "REQUEST ";
    size_t lineEnd = listing.find("\r\n", pos);
    if (listing.compare(pos, intro.size(), intro) != 0 || lineEnd == std::string::npos) {
      throw std::runtime_error("unexpected /_requests listing");
    }
    size_t length = std::stoul(listing.substr(pos + intro.size(), lineEnd - pos - intro.size()));
    pos = lineEnd + 2;
    if (length > listing.size() - pos) throw std::runtime_error("truncated /_requests listing");
    std::string raw = listing.substr(pos, length);
    pos += length;

    RecordedRequest request;
    size_t headEnd = raw.find("\r\n\r\n");
    std::string head = raw.substr(0, headEnd == std::string::npos ? raw.size() : headEnd);
    request.body = headEnd == std::string::npos ? "" : raw.substr(headEnd + 4);
    size_t start = 0;
    for (bool first = true;; first = false) {
      size_t end = head.find("\r\n", start);
      std::string line = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (first) {
        request.requestLine = line;
      } else {
        request.headerLines.push_back(line);
      }
      if (end == std::string::npos) break;
      start = end + 2;
    }
    requests.push_back(std::move(request));
  }
  return requests;
}

std::string PercentEncodeAll(std::string_view bytes) {
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  const char* digits = "0123456789ABCDEF";
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    encoded += '%';
    encoded += digits[byte >> 4];
    encoded += digits[byte & 15];
  }
  return encoded;
}
