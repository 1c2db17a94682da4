#include "util/DebugOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>

#include "util/UniqueFd.h"

namespace {

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

DebugOutputSink& CurrentSink() {
  static DebugOutputSink sink;
  return sink;
}

void WriteToStandardError(std::string_view line) {
  while (!line.empty()) {
    const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    line.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

bool HasNonZeroTracerPid(std::string_view statusText) {
  constexpr std::string_view kField = "TracerPid:";
  std::size_t at = 0;
  while (at < statusText.size()) {
    const std::size_t end = std::min(statusText.find('\n', at), statusText.size());
    std::string_view line = statusText.substr(at, end - at);
    at = end + 1;
    if (line.substr(0, kField.size()) != kField) continue;
    line.remove_prefix(kField.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line.front() < '0' || line.front() > '9') return false;
    // Any digit other than a lone 0 names a tracer; leading zeros are not
    // written by the kernel, so "0" is the only untraced form.
    for (const char c : line) {
      if (c < '0' || c > '9') break;
      if (c != '0') return true;
    }
    return false;
  }
  return false;
}

bool IsDebuggerAttached() {
  UniqueFd status(::open("/proc/self/status", O_RDONLY | O_CLOEXEC));
  if (!status.IsValid()) return false;
  std::string text;
  char chunk[1024];
  for (;;) {
    const ssize_t got = ::read(status.Get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return HasNonZeroTracerPid(text);
}

bool IsDebugOutputEnabled() {
  const char* value = std::getenv(kDebugOutputVariable);
  if (value != nullptr && std::string_view(value) == "1") return true;
  return IsDebuggerAttached();
}

void WriteDebugLine(std::string_view text) {
  if (!IsDebugOutputEnabled()) return;
  std::string line(text);
  if (line.empty() || line.back() != '\n') line += '\n';
  std::lock_guard lock(SinkMutex());
  if (CurrentSink()) {
    CurrentSink()(line);
  } else {
    WriteToStandardError(line);
  }
}

DebugOutputSink SetDebugOutputSink(DebugOutputSink sink) {
  std::lock_guard lock(SinkMutex());
  return std::exchange(CurrentSink(), std::move(sink));
}
