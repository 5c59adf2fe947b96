#include "automation/outcome.h"

namespace {
thread_local AutomationOutcome lastOutcome;
}  // namespace

AutomationOutcome LastAutomationOutcome() { return lastOutcome; }

void RecordAutomationOutcome(HRESULT result) {
  lastOutcome.succeeded = SUCCEEDED(result);
  lastOutcome.result = result;
}
