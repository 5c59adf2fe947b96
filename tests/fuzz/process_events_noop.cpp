// The native build has no message queue: ProcessEvents has nothing to do.
#include "text/text.h"

void ProcessEvents() {}
