#include "runtime/engine/ProcessorCount.h"

#include <sched.h>
#include <unistd.h>

unsigned ProcessorCount::Allowed() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return static_cast<unsigned>(CPU_COUNT(&set));
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<unsigned>(online) : 1;
}

std::string ProcessorCount::PageScript(unsigned count) {
  // The getter replaces the engine's own on the prototype, where the page
  // looks it up, and stays configurable as the engine's is.
  return "Object.defineProperty(Navigator.prototype, 'hardwareConcurrency', {get() { return " + std::to_string(count) +
         "; }, enumerable: true, configurable: true});";
}

void ProcessorCount::Install(WebKitWebView* view) {
  WebKitUserScript* script =
      webkit_user_script_new(PageScript(Allowed()).c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                             WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
  webkit_user_content_manager_add_script(webkit_web_view_get_user_content_manager(view), script);
  webkit_user_script_unref(script);
}
