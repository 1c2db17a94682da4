#pragma once
// The failure log: a failed call inside an event handler is written as one
// debug-output line and counted, and its HRESULT goes back to the caller.
//
// The line is built from these pieces in order:
//   "<file>(<line>)\<module>!<address>: "   or "<module>!<address>: " without a file
//   "(caller: <address>) "                  when the caller is known
//   "ReturnHr(<count>) tid(<tid>) <HR> <text>"
//   then, if a message, call context or function is known, four spaces and
//   "Msg:[<message>] ", "CallContext:[<context>] " and
//   "[<function>(<code>)]\n" or "[<function>]\n" as they apply.
// The line always ends with a line feed. Addresses are printed as sixteen
// upper-case hexadecimal digits, the thread id in lower-case hexadecimal, the
// HRESULT as eight upper-case hexadecimal digits, and <text> is the message
// text for the HRESULT (empty for codes the program does not know).
#include <string>
#include <string_view>

#include "com/Types.h"
#include "util/FailureRecord.h"

// Builds the line for a record, given the count and thread id to print.
std::string FormatFailureLine(const FailureRecord& record, int failureCount, unsigned long threadId);

// The short English text for the HRESULTs the program reports; empty for
// others.
std::string_view FailureMessageText(HRESULT hr);

// The name of the module (executable or shared library) that holds the
// address; the program's own name when it cannot be found.
std::string ModuleNameForAddress(const void* address);

// Counts the failure, writes its line when debug output is enabled, and
// returns record.hr. Reporting a success code is a programming error that
// would hide a fault, so it ends the process at once.
HRESULT ReportFailure(const FailureRecord& record);

// The usual entry point: reports a returned failure, recording the caller's
// address as the return address, and hands the HRESULT back so that a
// handler can write `return LogFailure(hr, "View", __LINE__, __func__);`.
HRESULT LogFailure(HRESULT hr, const char* file, unsigned line, const char* function,
                   std::u16string_view message = {});

// The number of failures reported in this process so far.
int FailureCount();
