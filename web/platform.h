// The platform functions of the web access subsystem, each bound by library
// file name and function name on its first call (see bound_function.h). The
// headers are included for the types and constants only; nothing here needs
// an import library.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <winhttp.h>

#include "web/bound_function.h"

namespace platform {

inline constexpr char kWinHttp[] = "Winhttp.dll";
inline constexpr char kOle32[] = "ole32.dll";
inline constexpr char kKernel32[] = "kernel32.dll";

#define TAVRIN_BIND(library, name) \
  inline BoundFunction<decltype(&::name)> name { library, #name }

TAVRIN_BIND(kWinHttp, WinHttpCheckPlatform);
TAVRIN_BIND(kWinHttp, WinHttpCrackUrl);
TAVRIN_BIND(kWinHttp, WinHttpOpen);
TAVRIN_BIND(kWinHttp, WinHttpConnect);
TAVRIN_BIND(kWinHttp, WinHttpOpenRequest);
TAVRIN_BIND(kWinHttp, WinHttpSetTimeouts);
TAVRIN_BIND(kWinHttp, WinHttpSetCredentials);
TAVRIN_BIND(kWinHttp, WinHttpCloseHandle);
TAVRIN_BIND(kWinHttp, WinHttpSetOption);
TAVRIN_BIND(kWinHttp, WinHttpAddRequestHeaders);
TAVRIN_BIND(kWinHttp, WinHttpSendRequest);
TAVRIN_BIND(kWinHttp, WinHttpReceiveResponse);
TAVRIN_BIND(kWinHttp, WinHttpQueryDataAvailable);
TAVRIN_BIND(kWinHttp, WinHttpReadData);
TAVRIN_BIND(kWinHttp, WinHttpQueryHeaders);
TAVRIN_BIND(kOle32, CoInitialize);
TAVRIN_BIND(kOle32, CoUninitialize);
TAVRIN_BIND(kKernel32, MultiByteToWideChar);
TAVRIN_BIND(kKernel32, WideCharToMultiByte);

#undef TAVRIN_BIND

}  // namespace platform
