#include "runtime/defaults/PageConsole.h"

#include <unistd.h>

#include <cstdlib>

#include "runtime/loopback/RequestTrace.h"
#include "util/DebugOutput.h"

namespace {

// The engine's enumerations, as the web extension passes them on. The view
// process's headers do not declare them, so their values are spelled here.
enum Source : unsigned { kJavaScript = 0, kNetwork = 1, kConsoleApi = 2, kSecurity = 3, kOther = 4 };
enum Level : unsigned { kInfo = 0, kLog = 1, kWarning = 2, kError = 3, kDebug = 4 };

std::string_view LevelName(unsigned level) {
  switch (level) {
    case kInfo: return "info";
    case kLog: return "log";
    case kWarning: return "warn";
    case kError: return "error";
    case kDebug: return "debug";
    default: return "other";
  }
}

std::string_view SourceName(unsigned source) {
  switch (source) {
    case kJavaScript: return "javascript";
    case kNetwork: return "network";
    case kConsoleApi: return "console";
    case kSecurity: return "security";
    default: return "engine";
  }
}

}  // namespace

bool PageConsole::Read(GVariant* parameters, const LoopbackAddress& address, Message* message) {
  if (!parameters || !g_variant_is_of_type(parameters, G_VARIANT_TYPE(kParametersType))) return false;
  const char* text = nullptr;
  const char* source = nullptr;
  g_variant_get(parameters, "(uu&s&su)", &message->source, &message->level, &text, &source, &message->line);
  message->text = text;
  message->address = address.ToFileUri(source);
  return true;
}

bool PageConsole::IsUncaughtError(const Message& message) {
  return message.source == kJavaScript && message.level == kError;
}

std::string PageConsole::FormatLine(const Message& message) {
  std::string line = "page ";
  if (IsUncaughtError(message)) {
    line += "uncaught error";
  } else {
    line.append(SourceName(message.source)).append(".").append(LevelName(message.level));
  }
  // A message from no script (the engine's own) has no address.
  line += ' ';
  line += message.address.empty() ? "-" : message.address;
  if (message.line) line += ":" + std::to_string(message.line);
  return line + ": " + message.text;
}

void PageConsole::Report(const Message& message) {
  if (IsUncaughtError(message))
    RequestTrace::Instance().Event("page-error", message.address.empty() ? "-" : message.address,
                                   {{"line", std::to_string(message.line)}, {"message", message.text}});
  const char* debug = std::getenv(kDebugOutputVariable);
  if (!debug || std::string_view(debug) != "1") return;
  // The whole line in one write where the descriptor takes it, so that other
  // writers' output does not cut into it.
  const std::string line = FormatLine(message) + "\n";
  for (std::size_t done = 0; done < line.size();) {
    const ssize_t n = ::write(STDERR_FILENO, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
}
