#pragma once
// The AppStream metainfo of one shipped web application, which software
// centres read to list it: launched by the desktop entry named by the
// application id, named by the settings' title, with the summary and version
// the developer gives when bundling. AppStream wants a reverse domain name
// with a lowercase domain as the component id, which "QuillBrowser.<id>" is
// not, so the component is "local.quillbrowser.<browserID>".
#include <string>
#include <string_view>

class MetaInfo {
 public:
  // The metainfo document; `date` (YYYY-MM-DD) is the day of the release.
  static std::string Make(std::string_view title, std::string_view browserId, std::string_view version,
                          std::string_view summary, std::string_view date);

  // The component id: the browserID with the characters the desktop entry's
  // name replaces replaced the same way ("app" when it is empty).
  static std::string ComponentId(std::string_view browserId);

  // Text with the five XML special characters escaped; control characters
  // other than tab and line breaks, which XML cannot hold, are dropped.
  static std::string Escape(std::string_view text);
};
