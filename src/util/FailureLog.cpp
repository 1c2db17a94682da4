#include "util/FailureLog.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "com/HResult.h"
#include "util/DebugOutput.h"
#include "util/Strings.h"

namespace {

// Process-wide and lock-free, so that handlers on any thread can count
// without a store that could itself fail.
std::atomic<int> g_failureCount{0};

struct MessageText {
  std::uint32_t hr;
  std::string_view text;
};

constexpr MessageText kMessageTexts[] = {
    {0x80004001u, "Not implemented"},
    {0x80004002u, "No such interface supported"},
    {0x80004003u, "Invalid pointer"},
    {0x80004004u, "Operation aborted"},
    {0x80004005u, "Unspecified error"},
    {0x8000FFFFu, "Catastrophic failure"},
    {0x80070002u, "The system cannot find the file specified."},
    {0x80070003u, "The system cannot find the path specified."},
    {0x80070005u, "Access is denied."},
    {0x8007000Eu, "Not enough memory resources are available to complete this operation."},
    {0x80070026u, "Reached the end of the file."},
    {0x80070057u, "The parameter is incorrect."},
    {0x8007007Bu, "The filename, directory name, or volume label syntax is incorrect."},
    {0x800700DFu, "The file size exceeds the limit allowed and cannot be saved."},
    {0x800401E4u, "Invalid syntax"},
};

std::string FormatAddress(const void* address) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%016" PRIXPTR, reinterpret_cast<std::uintptr_t>(address));
  return buffer;
}

}  // namespace

std::string_view FailureMessageText(HRESULT hr) {
  for (const auto& entry : kMessageTexts) {
    if (entry.hr == static_cast<std::uint32_t>(hr)) return entry.text;
  }
  return {};
}

std::string ModuleNameForAddress(const void* address) {
  Dl_info info{};
  if (address != nullptr && ::dladdr(address, &info) != 0 && info.dli_fname != nullptr && *info.dli_fname != '\0') {
    std::string_view name(info.dli_fname);
    if (const auto slash = name.rfind('/'); slash != std::string_view::npos) name.remove_prefix(slash + 1);
    if (!name.empty()) return std::string(name);
  }
  return program_invocation_short_name;
}

std::string FormatFailureLine(const FailureRecord& record, int failureCount, unsigned long threadId) {
  const std::string module = ModuleNameForAddress(record.returnAddress);
  std::string line;
  char buffer[64];

  if (record.file != nullptr) {
    line += record.file;
    std::snprintf(buffer, sizeof buffer, "(%u)\\", record.line);
    line += buffer;
  }
  line += module;
  line += '!';
  line += FormatAddress(record.returnAddress);
  line += ": ";

  if (record.callerAddress != nullptr) {
    line += "(caller: ";
    line += FormatAddress(record.callerAddress);
    line += ") ";
  }

  std::snprintf(buffer, sizeof buffer, "ReturnHr(%d) tid(%lx) %08" PRIX32 " ", failureCount, threadId,
                static_cast<std::uint32_t>(record.hr));
  line += buffer;
  line += FailureMessageText(record.hr);

  if (!record.message.empty() || record.callContext != nullptr || record.function != nullptr) {
    line += "    ";
    if (!record.message.empty()) {
      line += "Msg:[";
      line += WideToUtf8(record.message);
      line += "] ";
    }
    if (record.callContext != nullptr) {
      line += "CallContext:[";
      line += record.callContext;
      line += "] ";
    }
    if (record.function != nullptr && record.code != nullptr) {
      line += '[';
      line += record.function;
      line += '(';
      line += record.code;
      line += ")]";
    } else if (record.function != nullptr) {
      line += '[';
      line += record.function;
      line += ']';
    }
  }
  line += '\n';
  return line;
}

HRESULT ReportFailure(const FailureRecord& record) {
  // A success code here means a caller treats success as failure; carrying
  // on would hide that fault, so the process ends where it can be seen.
  if (SUCCEEDED(record.hr)) std::abort();
  const int count = g_failureCount.fetch_add(1, std::memory_order_relaxed) + 1;
  if (IsDebugOutputEnabled()) {
    WriteDebugLine(FormatFailureLine(record, count, static_cast<unsigned long>(::gettid())));
  }
  return record.hr;
}

__attribute__((noinline)) HRESULT LogFailure(HRESULT hr, const char* file, unsigned line, const char* function,
                                             std::u16string_view message) {
  FailureRecord record;
  record.hr = hr;
  record.file = file;
  record.line = line;
  record.function = function;
  record.message = message;
  record.returnAddress = __builtin_return_address(0);
  return ReportFailure(record);
}

int FailureCount() { return g_failureCount.load(std::memory_order_relaxed); }
