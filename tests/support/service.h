// Access to the local conversion service that scripts/with-test-env starts:
// its ports, addresses on it, plain-socket requests that bypass WinHTTP, and
// the requests it recorded. Every function throws std::runtime_error when the
// service is not there, so a test run outside the test environment fails
// loudly instead of talking to whatever listens on some port.
#pragma once

#include <string>
#include <string_view>
#include <vector>

int ServiceHttpsPort();
int ServiceHttpPort();
int ServiceProxyAuthPort();
// The host (with port) that the service writes into its short links.
std::string ServiceLinkHost();

// "https://localhost:P" + pathAndQuery: the certificate names localhost only.
std::string ServiceHttpsUrl(std::string_view pathAndQuery);
// "http://127.0.0.1:Q" + pathAndQuery.
std::string ServiceHttpUrl(std::string_view pathAndQuery);

// A tag unique to this call and this process, made of letters and digits, to
// find one test's requests among everything the service recorded.
std::string UniqueTag();

// An HTTP/1.0 GET over a plain socket to 127.0.0.1:Q; returns the body.
std::string RawHttpGet(std::string_view pathAndQuery);

// Sends request as given to 127.0.0.1:port over a plain socket and returns
// every byte received until the service closes (head and body).
std::string RawExchange(int port, std::string_view request);

struct RecordedRequest {
  std::string requestLine;
  std::vector<std::string> headerLines;  // as sent, in order, without CRLF
  std::string body;
};

// Every request the service received whose request line contains tag, in
// order of arrival.
std::vector<RecordedRequest> RecordedRequests(std::string_view tag);

// Every byte as %XX, for the values of /script queries.
std::string PercentEncodeAll(std::string_view bytes);
