#pragma once
#include <cstdint>
#include <string>

// Words for a processor exception code, as the error report shows them.
const char* FaultDescription(uint32_t exceptionCode);

// The message box text and the shorter clipboard text of the error report.
std::string ErrorReportBoxText(const char* description, int line);
std::string ErrorReportClipboardText(const char* description, int line);
