#include "tools/bundle/DesktopEntry.h"

#include "util/Strings.h"

std::string DesktopEntry::Escape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      // Only a leading space would be lost when the value is read.
      case ' ': out += i == 0 ? "\\s" : " "; break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
    }
  }
  return out;
}

std::string DesktopEntry::FileName(std::string_view browserId) {
  // Wayland shells find a window's launcher by "<application id>.desktop",
  // so the name is the window's id; a browserID that is not a plain name
  // (a slash above all) cannot become part of a file name as it stands.
  std::string name = "QuillBrowser.";
  for (const char c : browserId) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                       c == '-' || c == '.';
    name += plain ? c : '_';
  }
  return name + ".desktop";
}

std::optional<std::string> DesktopEntry::Make(std::string_view title, std::string_view browserId,
                                              std::string_view workingDirectory, std::string_view iconName) {
  if (workingDirectory.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  // Desktops read an entry's values as UTF-8 and drop a value (or the whole
  // entry) that is not, so a folder whose name is not UTF-8 cannot be named.
  if (!IsValidUtf8(workingDirectory)) return std::nullopt;
  // A title of nothing but spaces or control characters would leave the
  // entry without a name, which desktops refuse.
  bool visible = false;
  for (const char c : title) visible = visible || (static_cast<unsigned char>(c) > 0x20 && c != 0x7F);
  const std::string name = visible ? Escape(title) : std::string("Vellumview");
  std::string entry = "[Desktop Entry]\n";
  entry += "Type=Application\n";
  entry += "Version=1.4\n";
  entry += "Name=" + name + "\n";
  entry += "Exec=vellumview\n";
  entry += "Path=" + Escape(workingDirectory) + "\n";
  entry += "Icon=" + Escape(iconName) + "\n";
  entry += "Terminal=false\n";
  entry += "Categories=Network;\n";
  entry += "StartupNotify=true\n";
  entry += "StartupWMClass=" + Escape("QuillBrowser." + std::string(browserId)) + "\n";
  return entry;
}
