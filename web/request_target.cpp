#include "web/request_target.h"

RequestTarget MakeRequestTarget(std::wstring_view url, std::wstring_view crackedHost,
                                std::wstring_view crackedPath, std::wstring_view crackedExtra) {
  RequestTarget target;
  // A host never holds '?' or '#': what follows them belongs to the query.
  target.host = std::wstring(crackedHost.substr(0, crackedHost.find_first_of(L"?#")));

  const size_t schemeEnd = url.find(L"://");
  const size_t authorityStart = schemeEnd == std::wstring_view::npos ? 0 : schemeEnd + 3;
  const size_t authorityEnd = url.find_first_of(L"/?#", authorityStart);
  const bool addressHasPath =
      authorityEnd != std::wstring_view::npos && url[authorityEnd] == L'/';

  if (addressHasPath && !crackedPath.empty()) {
    target.objectName = std::wstring(crackedPath) + std::wstring(crackedExtra);
  } else if (authorityEnd != std::wstring_view::npos && url[authorityEnd] == L'?') {
    target.objectName = L"/" + std::wstring(url.substr(authorityEnd));
  } else {
    // No path and no query (a fragment alone is not sent).
    target.objectName = L"/";
  }
  return target;
}
