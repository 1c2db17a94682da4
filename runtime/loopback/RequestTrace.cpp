#include "runtime/loopback/RequestTrace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

RequestTrace& RequestTrace::Instance() {
  static RequestTrace trace([] {
    const char* path = std::getenv("VELLUMVIEW_TRACE");
    return std::string(path ? path : "");
  }());
  return trace;
}

RequestTrace::RequestTrace(const std::string& path) {
  if (!path.empty()) m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

RequestTrace::~RequestTrace() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string RequestTrace::Escape(std::string_view text) {
  if (text.empty()) return "-";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case ' ': out += "\\s"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c; break;
    }
  }
  return out;
}

std::string RequestTrace::FormatEvent(std::string_view name, std::string_view uri, std::initializer_list<Field> fields,
                                      std::int64_t micros) {
  std::string line = "event " + std::string(name) + " " + Escape(uri);
  for (const auto& [key, value] : fields) line += " " + std::string(key) + "=" + Escape(value);
  line += " t=" + std::to_string(micros) + "\n";
  return line;
}

std::string RequestTrace::FormatRequest(std::string_view uri, int context, int status, std::string_view reason,
                                        std::string_view source, std::string_view headers, std::int64_t micros) {
  return "request " + Escape(uri) + " context=" + std::to_string(context) + " status=" + std::to_string(status) +
         " reason=" + Escape(reason) + " source=" + std::string(source) + " t=" + std::to_string(micros) +
         " headers=" + Escape(headers) + "\n";
}

void RequestTrace::Event(std::string_view name, std::string_view uri, std::initializer_list<Field> fields) {
  if (!IsEnabled()) return;
  WriteLine(FormatEvent(name, uri, fields, NowMicros()));
}

void RequestTrace::Request(std::string_view uri, int context, int status, std::string_view reason,
                           std::string_view source, std::string_view headers) {
  if (!IsEnabled()) return;
  WriteLine(FormatRequest(uri, context, status, reason, source, headers, NowMicros()));
}

std::int64_t RequestTrace::NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void RequestTrace::WriteLine(const std::string& line) {
  // One write per line on a descriptor opened for appending, so each line
  // reaches the file whole and at once, even with several writers.
  std::lock_guard lock(m_mutex);
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(m_fd, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}
