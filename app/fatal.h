// The two conditions that end the program with a report: the main window
// cannot be created, and memory runs out.
#pragma once

// Shows the report in a message box and ends the process with exitCode.
[[noreturn]] void ReportFatal(const wchar_t* message, unsigned exitCode);

// Makes every failed allocation (operator new) end the program with a report
// instead of throwing into code that does not expect it.
void InstallOutOfMemoryReport();
