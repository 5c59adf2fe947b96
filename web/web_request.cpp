#include "web/web_request.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "web/charset_step.h"
#include "web/code_page.h"
#include "web/cookie_merge.h"
#include "web/platform.h"
#include "web/request_headers.h"
#include "web/request_target.h"
#include "web/response_headers.h"

namespace {

struct InternetCloser {
  void operator()(HINTERNET handle) const { platform::WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

// The failure texts, in code page 936.
Text FailureMessage(int code) {
  switch (code) {
    case 700: return "700 \xB5\xB1\xC7\xB0\xCF\xB5\xCD\xB3\xB2\xBB\xD6\xA7\xB3\xD6WinHttp\xB7\xFE\xCE\xF1!";  // 700 当前系统不支持WinHttp服务!
    case 701: return "701 \xBD\xE2\xCE\xF6URL\xB5\xD8\xD6\xB7\xCA\xA7\xB0\xDC!";  // 701 解析URL地址失败!
    case 702: return "702 \xB4\xB4\xBD\xA8WinHttp\xBB\xE1\xBB\xB0\xCA\xA7\xB0\xDC!";  // 702 创建WinHttp会话失败!
    case 703: return "703 \xB4\xB4\xBD\xA8WinHttp\xC1\xAC\xBD\xD3\xCA\xA7\xB0\xDC!";  // 703 创建WinHttp连接失败!
    case 704: return "704 \xB4\xB4\xBD\xA8WinHttp\xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC!";  // 704 创建WinHttp请求失败!
    case 705: return "705 \xC9\xE8\xD6\xC3\xB3\xAC\xCA\xB1\xCA\xB1\xBC\xE4\xCA\xA7\xB0\xDC!";  // 705 设置超时时间失败!
    case 707: return "707 \xC9\xE8\xD6\xC3\xB4\xFA\xC0\xED\xC6\xBE\xD6\xA4\xCA\xA7\xB0\xDC!";  // 707 设置代理凭证失败!
    case 708: return "708 \xBD\xFB\xD6\xB9\xD7\xD4\xB6\xAF\xC9\xE8\xD6\xC3" "Cookies\xCA\xA7\xB0\xDC!";  // 708 禁止自动设置Cookies失败!
    case 709: return "709 \xD6\xD8\xB6\xA8\xCF\xF2\xC9\xE8\xD6\xC3\xCA\xA7\xB0\xDC!";  // 709 重定向设置失败!
    case 710: return "710 \xC9\xE8\xD6\xC3\xD0\xAD\xD2\xE9\xCD\xB7\xCA\xA7\xB0\xDC!";  // 710 设置协议头失败!
    case 711: return "711 \xB7\xA2\xCB\xCD\xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC!";  // 711 发送请求失败!
    case 712: return "712 \xB7\xFE\xCE\xF1\xC6\xF7\xCE\xB4\xCF\xEC\xD3\xA6!";  // 712 服务器未响应!
    case 713: return "713 \xB6\xC1\xC8\xA1\xCA\xFD\xBE\xDD\xCA\xA7\xB0\xDC!";  // 713 读取数据失败!
    default: return {};
  }
}

// A UTF-16 string for WinHTTP: empty Bytes stand for the empty string, never null.
const wchar_t* WidePointer(const Bytes& wide) {
  return wide.empty() ? L"" : reinterpret_cast<const wchar_t*>(wide.data());
}

Bytes WideBytes(std::wstring_view wide) {
  return BytesFromMemory(wide.data(), static_cast<int>(std::min<size_t>(wide.size(), INT_MAX / 2) * 2));
}

bool SetDwordOption(HINTERNET request, DWORD option, DWORD value) {
  return platform::WinHttpSetOption(request, option, &value, sizeof value) != FALSE;
}

// Basic credentials for the server or the proxy. A name without a password,
// or a password without a name, sets nothing and counts as done.
bool SetBasicCredentials(HINTERNET request, DWORD target, const Text& userName, const Text& password) {
  if (TextLength(userName) < 1 || TextLength(password) < 1) return true;
  const Bytes wideName = AnsiToWide(userName);
  const Bytes widePassword = AnsiToWide(password);
  return platform::WinHttpSetCredentials(request, target, WINHTTP_AUTH_SCHEME_BASIC, WidePointer(wideName),
                                         WidePointer(widePassword), nullptr) != FALSE;
}

enum class Ending { Exit, Abort };

}  // namespace

Text WebRequest(const Text& url, const WebRequestOptions& o) {
  // Stage 1, entry.
  const bool autoMergeCookies = o.autoMergeCookies.value_or(true);
  // The charset step's working objects live for the whole call, whether or
  // not it gets that far: making them pairs a CoInitialize with the
  // CoUninitialize of their release on every way out, aborts included.
  CharsetStep charsetStep;

  // Declared in this order so that they close request, connection, session.
  InternetHandle session;
  InternetHandle connection;
  InternetHandle request;
  // One ProcessEvents call at the exit for each blocking stage that succeeded.
  int eventsOwed = 0;
  Text bodyText;

  const auto failWith = [&](int code) {
    if (o.statusText != nullptr) *o.statusText = FailureMessage(code);
    return Ending::Exit;
  };
  const auto abortWith = [&](int code) {
    if (o.statusText != nullptr) *o.statusText = FailureMessage(code);
    return Ending::Abort;
  };

  const Ending ending = [&]() -> Ending {
    // Stage 2, platform check.
    if (!platform::WinHttpCheckPlatform()) return failWith(700);
    ++eventsOwed;

    // Stage 3, URL parsing.
    const Bytes wideUrl = AnsiToWide(url);
    const DWORD urlUnits = wideUrl.empty() ? 0 : static_cast<DWORD>(wideUrl.size() / 2 - 1);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!platform::WinHttpCrackUrl(WidePointer(wideUrl), urlUnits, 0, &parts)) return failWith(701);
    const auto piece = [](const wchar_t* at, DWORD length) {
      return at == nullptr ? std::wstring_view() : std::wstring_view(at, length);
    };
    const RequestTarget target = MakeRequestTarget(
        std::wstring_view(WidePointer(wideUrl), urlUnits), piece(parts.lpszHostName, parts.dwHostNameLength),
        piece(parts.lpszUrlPath, parts.dwUrlPathLength), piece(parts.lpszExtraInfo, parts.dwExtraInfoLength));
    const Text hostName = WideToAnsi(WideBytes(target.host));
    const INTERNET_PORT port = parts.nPort;
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    ++eventsOwed;

    // Stage 4, session. The system's proxy configuration is never consulted.
    // The proxy goes to WinHTTP as given, for plain addresses too: Windows
    // would send them through the same proxy with the per-scheme form
    // "http=host:port", but Wine reads that form as a host named "http=host"
    // and every proxied request fails.
    const bool useProxy = TextLength(o.proxy) > 0;
    const Bytes proxyName = useProxy ? AnsiToWide(o.proxy) : Bytes();
    // No agent string here: the User-Agent travels in the header block.
    session.reset(platform::WinHttpOpen(
        nullptr, useProxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
        WidePointer(proxyName), WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failWith(702);
    ++eventsOwed;

    // Stage 5, connection.
    const Bytes wideHost = AnsiToWide(hostName);
    connection.reset(platform::WinHttpConnect(session.get(), WidePointer(wideHost), port, 0));
    if (!connection) return failWith(703);
    ++eventsOwed;

    // Stage 6, request handle.
    const Bytes verb = AnsiToWide(MethodVerb(o.method));
    request.reset(platform::WinHttpOpenRequest(connection.get(), WidePointer(verb),
                                               target.objectName.c_str(), nullptr, WINHTTP_NO_REFERER,
                                               WINHTTP_DEFAULT_ACCEPT_TYPES,
                                               secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return failWith(704);
    ++eventsOwed;

    // Stage 7, time-outs. The receive time-out alone does not bound the wait
    // for the response head on every system; the response option does.
    const int timeout = o.timeoutSeconds > 0 && o.timeoutSeconds <= INT_MAX / 1000
                            ? o.timeoutSeconds * 1000
                        : o.timeoutSeconds > 0 ? INT_MAX
                                               : 30000;
    if (!platform::WinHttpSetTimeouts(request.get(), timeout, timeout, timeout, timeout) ||
        !SetDwordOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT,
                        static_cast<DWORD>(timeout))) {
      return failWith(705);
    }
    ++eventsOwed;

    // Stage 8, credentials: only a complete pair is set.
    if (!SetBasicCredentials(request.get(), WINHTTP_AUTH_TARGET_SERVER, o.userName, o.password) ||
        !SetBasicCredentials(request.get(), WINHTTP_AUTH_TARGET_PROXY, o.proxyUserName, o.proxyPassword)) {
      return abortWith(707);
    }

    // Stage 9, cookie option. Without cookies WinHTTP keeps none of its own;
    // with them, option 79 value 1 (certificate revocation checking) is set.
    const DWORD cookieOption =
        o.cookies == nullptr ? WINHTTP_OPTION_DISABLE_FEATURE : WINHTTP_OPTION_ENABLE_FEATURE;
    if (!SetDwordOption(request.get(), cookieOption, 1)) return abortWith(708);

    // Stage 10, redirect option.
    if (o.noRedirect &&
        !SetDwordOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS)) {
      return abortWith(709);
    }

    // Stage 11, request headers.
    const Bytes headers =
        AnsiToWide(BuildRequestHeaders(o.extraHeaders, o.method, o.cookies != nullptr ? *o.cookies : Text()));
    const DWORD headerUnits = headers.empty() ? 0 : static_cast<DWORD>(BytesLength(headers) / 2 - 1);
    if (!platform::WinHttpAddRequestHeaders(request.get(), WidePointer(headers), headerUnits,
                                            static_cast<DWORD>(BitOr(0x20000000, 0x80000000)))) {
      return failWith(710);
    }
    ++eventsOwed;

    // Stage 12, sending.
    Bytes requestBody = TextToBytes(o.body);
    const DWORD bodyLength = static_cast<DWORD>(requestBody.size());
    if (!platform::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                      requestBody.empty() ? nullptr : requestBody.data(), bodyLength,
                                      bodyLength, 0)) {
      return failWith(711);
    }
    ++eventsOwed;

    // Stage 13, receiving.
    if (!platform::WinHttpReceiveResponse(request.get(), nullptr)) return failWith(712);
    ++eventsOwed;

    // Stage 14, the body, chunk by chunk as WinHTTP has it available.
    // The time-out bounds the whole body too, not only each read: a reply
    // that keeps dripping bytes, each well within the time-out, would
    // otherwise hold the thread, and with it the window, for ever. Reading
    // stops there as after a failed read.
    const ULONGLONG readDeadline = GetTickCount64() + static_cast<ULONGLONG>(timeout);
    Bytes body;
    Bytes chunk;
    for (;;) {
      if (GetTickCount64() > readDeadline) {
        if (o.statusText != nullptr) *o.statusText = FailureMessage(713);
        break;
      }
      DWORD available = 0;
      if (!platform::WinHttpQueryDataAvailable(request.get(), &available) || available < 1) break;
      const DWORD wanted = std::min<DWORD>(available, 1u << 24);
      if (chunk.size() < wanted) chunk = BlankBytes(static_cast<int>(wanted));
      DWORD read = 0;
      if (!platform::WinHttpReadData(request.get(), chunk.data(), wanted, &read)) {
        if (o.statusText != nullptr) *o.statusText = FailureMessage(713);
        break;
      }
      read = std::min(read, wanted);
      body = ConcatBytes(std::move(body), std::span<const unsigned char>(chunk.data(), read));
    }

    // Stage 15, the raw response head: one sizing query, one data query.
    DWORD headSize = 0;
    DWORD index = 0;
    platform::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF,
                                  WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &headSize,
                                  &index);
    if (headSize > INT_MAX) return Ending::Exit;
    Bytes head = BlankBytes(static_cast<int>(headSize));
    index = 0;
    if (!platform::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_RAW_HEADERS_CRLF,
                                       WINHTTP_HEADER_NAME_BY_INDEX,
                                       head.empty() ? nullptr : head.data(), &headSize, &index)) {
      return Ending::Exit;
    }

    // Stage 16, response outputs.
    const Text responseHeaders = WideToAnsi(head);
    if (o.responseHeaders != nullptr) *o.responseHeaders = responseHeaders;
    // The head gives the status (replacing a 713 left by a failed read), the
    // server's cookies and the redirect target. Outputs the caller did not
    // ask for are worked out on local copies and dropped.
    Text statusText;
    Text returnedCookies = o.returnedCookies != nullptr ? *o.returnedCookies : Text();
    Text redirectTarget = o.redirectTarget != nullptr ? *o.redirectTarget : Text();
    ParseResponseHeaders(responseHeaders, statusText, returnedCookies, redirectTarget);
    if (autoMergeCookies && o.cookies != nullptr) {
      // Afterwards the caller's cookies and returnedCookies hold the same merged text.
      returnedCookies = MergeCookies(*o.cookies, returnedCookies);
    }
    if (o.statusText != nullptr) *o.statusText = std::move(statusText);
    if (o.returnedCookies != nullptr) *o.returnedCookies = std::move(returnedCookies);
    if (o.redirectTarget != nullptr) *o.redirectTarget = std::move(redirectTarget);
    if (o.responseBytes != nullptr) *o.responseBytes = body;

    // Stage 17, body text: up to the first zero byte.
    // The charset step then decodes it again from the character set that
    // the page declares, given the complete body bytes.
    bodyText = ConvertBodyCharset(charsetStep, BytesToText(body), body);
    return Ending::Exit;
  }();

  if (ending == Ending::Abort) return {};  // handles close on the way out; no events

  // Stage 18, exit.
  for (int i = 0; i < eventsOwed; ++i) ProcessEvents();
  request.reset();
  connection.reset();
  session.reset();
  return bodyText;
}
