// The outcome of the last automation operation on the calling thread. Every
// operation of ComObject records here whether it went through; callers see
// nothing of it except ComObject::SetProperty's result.
#pragma once

#include <windows.h>

struct AutomationOutcome {
  bool succeeded = false;
  // The first failing HRESULT of the operation, S_OK when it succeeded.
  HRESULT result = S_OK;
};

[[nodiscard]] AutomationOutcome LastAutomationOutcome();
void RecordAutomationOutcome(HRESULT result);
