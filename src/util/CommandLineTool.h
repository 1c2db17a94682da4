#pragma once
#include <string>

// How the program's small command-line helpers end: a failure is one line
// "<name>: <message>" on standard error and an exit status the caller
// chooses; an exception that escapes the helper's work (running out of
// memory, say) is reported the same way with status 1 rather than ending
// the process with a trace.
class CommandLineTool {
 public:
  using RunFunction = int (*)(int argc, char** argv);

  explicit constexpr CommandLineTool(const char* name) : m_name(name) {}

  const char* Name() const { return m_name; }

  // Prints the failure line and returns `status`, so that callers can write
  // `return tool.Fail(2, "...")`.
  int Fail(int status, const std::string& message) const;

  // Runs `run` with the command line and returns its status.
  int Main(RunFunction run, int argc, char** argv) const;

 private:
  const char* m_name;
};
