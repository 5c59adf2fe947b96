// A message-only window that counts the probe messages dispatched to it: a
// test posts one before a call and sees whether, and when, the call let the
// thread's queued window messages through.
#pragma once

#include <windows.h>

#include <functional>

class MessageProbe {
 public:
  MessageProbe();
  ~MessageProbe();
  MessageProbe(const MessageProbe&) = delete;
  MessageProbe& operator=(const MessageProbe&) = delete;

  // False when the window could not be made.
  [[nodiscard]] bool ok() const { return window_ != nullptr; }
  // Queues one probe message.
  void Post() const;
  // Probes dispatched so far.
  [[nodiscard]] int dispatched() const { return dispatched_; }

  // Runs once for each dispatched probe, when set.
  std::function<void()> onDispatch;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  int dispatched_ = 0;
};
