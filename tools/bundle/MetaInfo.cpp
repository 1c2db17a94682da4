#include "tools/bundle/MetaInfo.h"

#include "tools/bundle/DesktopEntry.h"

std::string MetaInfo::ComponentId(std::string_view browserId) {
  if (browserId.empty()) return "local.quillbrowser.app";
  // The entry's name without "QuillBrowser." and ".desktop".
  const std::string entry = DesktopEntry::FileName(browserId);
  return "local.quillbrowser." + entry.substr(13, entry.size() - 13 - 8);
}

std::string MetaInfo::Escape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

std::string MetaInfo::Make(std::string_view title, std::string_view browserId, std::string_view version,
                           std::string_view summary, std::string_view date) {
  // A title of nothing visible would leave the component without a name,
  // which the validators refuse; the desktop entry falls back the same way.
  bool visible = false;
  for (const char c : title) visible = visible || (static_cast<unsigned char>(c) > 0x20 && c != 0x7F);
  const std::string name = visible ? Escape(title) : std::string("Vellumview");
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += "<component type=\"desktop-application\">\n";
  xml += "  <id>" + Escape(ComponentId(browserId)) + "</id>\n";
  xml += "  <metadata_license>FSFAP</metadata_license>\n";
  xml += "  <name>" + name + "</name>\n";
  xml += "  <summary>" + Escape(summary) + "</summary>\n";
  xml += "  <description>\n    <p>" + name + ": " + Escape(summary) +
         ". It runs in its own window, from files installed on this computer.</p>\n  </description>\n";
  xml += "  <launchable type=\"desktop-id\">" + Escape(DesktopEntry::FileName(browserId)) + "</launchable>\n";
  xml += "  <categories>\n    <category>Network</category>\n  </categories>\n";
  xml += "  <releases>\n    <release version=\"" + Escape(version) + "\" date=\"" + Escape(date) + "\"/>\n  </releases>\n";
  xml += "</component>\n";
  return xml;
}
