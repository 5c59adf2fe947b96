// Platform functions bound by library file name and function name on their
// first call, instead of being linked when the program is built: the program
// then starts on any system and reports by name what is missing there.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

// Called when a library cannot be loaded or does not export a function.
// The program's handler reports the library file and the function and ends
// the process; it does not return.
using BindingFailureHandler = void (*)(const char* library, const char* function);

// The handler in effect. The default one shows a message box naming both and
// ends the process. Tests install a handler that records and returns.
// Returns the previous handler.
BindingFailureHandler SetBindingFailureHandler(BindingFailureHandler handler);

// The report the default handler shows, as UTF-16 text.
[[nodiscard]] std::wstring BindingFailureReport(const char* library, const char* function);

// Loads `library` and looks up `function`. On failure calls the handler and,
// should the handler return, gives null.
[[nodiscard]] FARPROC BindPlatformFunction(const char* library, const char* function);

// One platform function, bound on first use and remembered for the process.
// FunctionPointer is the function's pointer type, for example
// decltype(&::WinHttpOpen); the header declaring it needs no import library.
template <class FunctionPointer>
class BoundFunction;

template <class Result, class... Args>
class BoundFunction<Result(WINAPI*)(Args...)> {
 public:
  using FunctionPointer = Result(WINAPI*)(Args...);

  constexpr BoundFunction(const char* library, const char* function)
      : library_(library), function_(function) {}
  BoundFunction(const BoundFunction&) = delete;
  BoundFunction& operator=(const BoundFunction&) = delete;

  // The function's address, or null when binding failed and the failure
  // handler returned (only a test's handler does).
  [[nodiscard]] FunctionPointer Resolve() const {
    FARPROC address = address_.load(std::memory_order_acquire);
    if (address == nullptr) {
      // Two threads binding at once both get the same address: no lock needed.
      address = BindPlatformFunction(library_, function_);
      if (address == nullptr) return nullptr;
      address_.store(address, std::memory_order_release);
    }
    return reinterpret_cast<FunctionPointer>(reinterpret_cast<void*>(address));
  }

  // The exact parameter types, so that NULL-style constants convert as they
  // would in a direct call.
  Result operator()(Args... args) const {
    const FunctionPointer function = Resolve();
    // Only a returning failure handler gets here with null; never call through it.
    if (function == nullptr) ExitProcess(3);
    return function(args...);
  }

  [[nodiscard]] const char* Library() const { return library_; }
  [[nodiscard]] const char* Function() const { return function_; }

 private:
  const char* library_;
  const char* function_;
  mutable std::atomic<FARPROC> address_{nullptr};
};
