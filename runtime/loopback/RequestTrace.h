#pragma once
// The runtime's trace: when the environment variable VELLUMVIEW_TRACE names a
// file, one line is appended to it for every request the runtime serves or
// passes on and for every event it raises. Tests and benchmarks read it.
//
// Line formats (fields separated by one space, each line ended by "\n"):
//   event <name> <uri> [key=value ...] t=<microseconds>
//   request <uri> context=<n> status=<code> reason=<text> source=<program|engine> t=<microseconds> headers=<block>
// <uri> is the file:// form for local content ("-" when there is none);
// text fields are escaped so that a line never contains a space, tab or line
// feed of its own: "\" -> "\\", space -> "\s", tab -> "\t", CR -> "\r",
// LF -> "\n". <block> is the header block delivered, escaped the same way.
// t is a monotonic clock in microseconds, comparable within one run.
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

class RequestTrace {
 public:
  using Field = std::pair<std::string_view, std::string>;

  // The process-wide trace, opened on first use from VELLUMVIEW_TRACE.
  static RequestTrace& Instance();

  // A trace writing to the given path (empty: writes nothing). For tests.
  explicit RequestTrace(const std::string& path);
  ~RequestTrace();
  RequestTrace(const RequestTrace&) = delete;
  RequestTrace& operator=(const RequestTrace&) = delete;

  bool IsEnabled() const { return m_fd >= 0; }

  void Event(std::string_view name, std::string_view uri, std::initializer_list<Field> fields = {});
  void Request(std::string_view uri, int context, int status, std::string_view reason, std::string_view source,
               std::string_view headers);

  // The pieces, exposed for tests.
  static std::string Escape(std::string_view text);
  static std::string FormatEvent(std::string_view name, std::string_view uri, std::initializer_list<Field> fields,
                                 std::int64_t micros);
  static std::string FormatRequest(std::string_view uri, int context, int status, std::string_view reason,
                                   std::string_view source, std::string_view headers, std::int64_t micros);

 private:
  static std::int64_t NowMicros();
  void WriteLine(const std::string& line);

  int m_fd = -1;
  std::mutex m_mutex;
};
