#include "runtime/installer/RegistryStoreEditor.h"

#include <vector>

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// The key as the reader compares it: runs of backslashes count as one,
// trailing ones are dropped and ASCII letters are folded.
std::string NormalizeKey(std::string_view key) {
  std::string out;
  for (const char c : key) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += Upper(c);
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

bool RootMatches(std::string_view root, RegistryHive hive) {
  return hive == RegistryHive::LocalMachine
             ? SameIgnoringCase(root, "HKEY_LOCAL_MACHINE") || SameIgnoringCase(root, "HKLM")
             : SameIgnoringCase(root, "HKEY_CURRENT_USER") || SameIgnoringCase(root, "HKCU");
}

// Whether a trimmed section line names `wantedKey` (already normalized).
bool SectionNames(std::string_view line, RegistryHive hive, const std::string& wantedKey) {
  if (line.size() < 2 || line.back() != ']') return false;
  const std::string_view path = line.substr(1, line.size() - 2);
  if (path.empty() || path.front() == '-') return false;
  const std::size_t slash = path.find('\\');
  if (!RootMatches(path.substr(0, slash), hive)) return false;
  const std::string_view below = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  return NormalizeKey(below) == wantedKey;
}

// Whether a trimmed line inside a section sets the value `name`: its quoted
// name (with the reader's two escapes) equals `name` ignoring case and an
// '=' follows.
bool SetsValue(std::string_view line, std::string_view name) {
  std::string found;
  std::size_t i = 0;
  if (!line.empty() && line.front() == '@') {
    i = 1;
  } else {
    if (line.empty() || line.front() != '"') return false;
    for (i = 1;; ++i) {
      if (i >= line.size()) return false;
      const char c = line[i];
      if (c == '"') {
        ++i;
        break;
      }
      if (c == '\\') {
        if (i + 1 >= line.size() || (line[i + 1] != '\\' && line[i + 1] != '"')) return false;
        found += line[++i];
        continue;
      }
      found += c;
    }
  }
  const std::string_view rest = Trim(line.substr(i));
  return !rest.empty() && rest.front() == '=' && SameIgnoringCase(found, name);
}

bool CarriesOnOneLine(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

std::string RegistryStoreEditor::Quote(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::optional<std::string> RegistryStoreEditor::SetText(std::string_view storeText, RegistryHive hive,
                                                        std::string_view key, std::string_view name,
                                                        std::string_view value) {
  if (!CarriesOnOneLine(key) || !CarriesOnOneLine(name) || !CarriesOnOneLine(value)) return std::nullopt;
  if (key.find(']') != std::string_view::npos) return std::nullopt;

  const std::string wantedKey = NormalizeKey(key);
  const std::string valueLine = (name.empty() ? std::string("@") : Quote(name)) + "=" + Quote(value);
  const std::string root = hive == RegistryHive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";

  std::string out;
  std::string_view text = storeText;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    out += text.substr(0, 3);
    text.remove_prefix(3);
  }
  // New lines follow the file's own line ends.
  const std::size_t firstEnd = text.find('\n');
  const std::string newline = firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r'
                                  ? "\r\n"
                                  : "\n";

  if (Trim(text).empty() && text.find('\n') == std::string_view::npos) {
    out += std::string(kHeader) + newline + newline + "[" + root + "\\" + std::string(key) + "]" + newline +
           valueLine + newline;
    return out;
  }

  bool inWantedSection = false;
  bool written = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = end == std::string_view::npos ? text : text.substr(0, end + 1);
    text.remove_prefix(line.size());
    const std::string_view trimmed = Trim(line.substr(0, line.size() - (line.back() == '\n' ? 1 : 0)));

    if (!trimmed.empty() && trimmed.front() == '[') {
      inWantedSection = SectionNames(trimmed, hive, wantedKey);
      out += line;
      if (inWantedSection && !written) {
        if (out.back() != '\n') out += newline;
        out += valueLine + newline;
        written = true;
      }
      continue;
    }
    if (inWantedSection && SetsValue(trimmed, name)) continue;
    out += line;
  }
  if (!written) {
    if (!out.empty() && out.back() != '\n') out += newline;
    out += newline + "[" + root + "\\" + std::string(key) + "]" + newline + valueLine + newline;
  }
  return out;
}
