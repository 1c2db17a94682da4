#pragma once
// The program's debug output: single lines for a developer, written only when
// someone is looking. The failure log and the runtime loader share this one
// switch and this one sink.
#include <functional>
#include <string_view>

// The environment variable that switches debug output on without a debugger.
inline constexpr const char* kDebugOutputVariable = "VELLUMVIEW_DEBUG_OUTPUT";

// True while a debugger (any tracer) is attached to the process, or when the
// environment variable VELLUMVIEW_DEBUG_OUTPUT is exactly "1". Asked afresh on
// every call, so attaching a debugger later takes effect at once.
bool IsDebugOutputEnabled();

// True when the process is being traced: the TracerPid line of
// /proc/self/status names a process other than 0.
bool IsDebuggerAttached();

// Reads the TracerPid field out of the text of a /proc/<pid>/status file.
// A missing or malformed field counts as "not traced".
bool HasNonZeroTracerPid(std::string_view statusText);

// Writes `text` as one line to the debug sink when debug output is enabled,
// adding the line feed if the text does not end with one.
void WriteDebugLine(std::string_view text);

// Receives every line written; the default writes it to standard error.
using DebugOutputSink = std::function<void(std::string_view line)>;

// Replaces the sink and returns the previous one; an empty sink restores the
// default. Tests use it to capture the lines.
DebugOutputSink SetDebugOutputSink(DebugOutputSink sink);
