#include "platform/linux/RegistryStore.h"

#include <optional>

#include "util/ReadFileToString.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// UTF-8 to UTF-16 that tells an invalid text apart from an empty one, so that
// a line with broken bytes is skipped instead of storing an empty value.
std::optional<std::u16string> Decode(std::string_view utf8) {
  if (utf8.empty()) return std::u16string();
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  std::u16string wide = Utf8ToWide(utf8);
  if (wide.empty()) return std::nullopt;
  return wide;
}

// Reads a quoted text at the start of `rest` and removes it from `rest`. The
// escapes \\ and \" are the only ones; anything else after a backslash, or a
// missing closing quote, fails.
std::optional<std::string> TakeQuoted(std::string_view& rest) {
  if (rest.empty() || rest.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < rest.size(); ++i) {
    const char c = rest[i];
    if (c == '"') {
      rest.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\') {
      if (i + 1 >= rest.size()) return std::nullopt;
      const char next = rest[i + 1];
      if (next != '\\' && next != '"') return std::nullopt;
      out += next;
      ++i;
      continue;
    }
    out += c;
  }
  return std::nullopt;
}

std::optional<DWORD> ParseDword(std::string_view hex) {
  if (hex.empty() || hex.size() > 8) return std::nullopt;
  DWORD value = 0;
  for (const char c : hex) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = (value << 4) | static_cast<DWORD>(digit);
  }
  return value;
}

}  // namespace

std::u16string RegistryStore::Fold(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return folded;
}

std::u16string RegistryStore::NormalizeKey(std::u16string_view key) {
  std::u16string out;
  for (const char16_t c : key) {
    if (c == u'\\' && (out.empty() || out.back() == u'\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == u'\\') out.pop_back();
  return Fold(out);
}

RegistryStore RegistryStore::Parse(std::string_view text, RegistryHive hive) {
  RegistryStore store;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool inSection = false;
  std::u16string section;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    store.ParseLine(line, hive, inSection, section);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return store;
}

void RegistryStore::ParseLine(std::string_view line, RegistryHive hive, bool& inSection, std::u16string& section) {
  line = Trim(line);
  if (line.empty() || line.front() == ';') return;

  if (line.front() == '[') {
    // Whatever the section line holds, values that follow it belong to it
    // only if it names a key of this hive; otherwise they are skipped.
    inSection = false;
    if (line.back() != ']') return;
    std::string_view path = line.substr(1, line.size() - 2);
    if (path.empty() || path.front() == '-') return;
    const std::size_t slash = path.find('\\');
    const std::string_view root = path.substr(0, slash);
    const bool rootMatches = hive == RegistryHive::LocalMachine
                                 ? EqualsIgnoringCase(root, "HKEY_LOCAL_MACHINE") || EqualsIgnoringCase(root, "HKLM")
                                 : EqualsIgnoringCase(root, "HKEY_CURRENT_USER") || EqualsIgnoringCase(root, "HKCU");
    if (!rootMatches) return;
    const std::string_view below = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    const auto decoded = Decode(below);
    if (!decoded) return;
    section = NormalizeKey(*decoded);
    m_keys[section];
    // The keys above a section exist too.
    std::u16string prefix = section;
    m_existing.insert(prefix);
    for (std::size_t at = prefix.rfind(u'\\'); at != std::u16string::npos; at = prefix.rfind(u'\\')) {
      prefix.resize(at);
      m_existing.insert(prefix);
    }
    inSection = true;
    return;
  }

  if (!inSection) return;

  std::string_view rest = line;
  std::string name;
  if (rest.front() == '@') {
    rest.remove_prefix(1);
  } else {
    auto quoted = TakeQuoted(rest);
    if (!quoted) return;
    name = std::move(*quoted);
  }
  rest = Trim(rest);
  if (rest.empty() || rest.front() != '=') return;
  rest = Trim(rest.substr(1));

  RegistryValue value;
  if (!rest.empty() && rest.front() == '"') {
    auto text = TakeQuoted(rest);
    if (!text || !Trim(rest).empty()) return;
    auto decoded = Decode(*text);
    if (!decoded) return;
    value.type = REG_SZ;
    value.text = std::move(*decoded);
  } else if (rest.size() > 6 && EqualsIgnoringCase(rest.substr(0, 6), "dword:")) {
    const auto number = ParseDword(rest.substr(6));
    if (!number) return;
    value.type = REG_DWORD;
    value.number = *number;
  } else {
    return;
  }
  const auto decodedName = Decode(name);
  if (!decodedName) return;
  m_keys[section][Fold(*decodedName)] = std::move(value);
}

RegistryStore RegistryStore::Load(const std::u16string& path, RegistryHive hive) {
  std::string text;
  if (path.empty() || FAILED(ReadFileToString(path, text, kMaximumFileSize))) return RegistryStore();
  return Parse(text, hive);
}

std::u16string RegistryStore::StorePath(RegistryHive hive, const std::function<const char*(const char*)>& getenv) {
  const auto variable = [&getenv](const char* name) -> std::string {
    const char* value = getenv(name);
    return value ? std::string(value) : std::string();
  };
  if (hive == RegistryHive::LocalMachine) {
    const std::string overridden = variable("VELLUMVIEW_MACHINE_REGISTRY");
    return Utf8ToWide(overridden.empty() ? std::string("/etc/vellumview/registry.reg") : overridden);
  }
  const std::string overridden = variable("VELLUMVIEW_USER_REGISTRY");
  if (!overridden.empty()) return Utf8ToWide(overridden);
  std::string config = variable("XDG_CONFIG_HOME");
  // The base-directory rules ignore a relative XDG_CONFIG_HOME.
  if (config.empty() || config.front() != '/') {
    const std::string home = variable("HOME");
    if (home.empty()) return std::u16string();
    config = home + "/.config";
  }
  return Utf8ToWide(config + "/vellumview/registry.reg");
}

bool RegistryStore::KeyExists(std::u16string_view key) const {
  const std::u16string wanted = NormalizeKey(key);
  return wanted.empty() || m_existing.contains(wanted);
}

HRESULT RegistryStore::ReadValue(std::u16string_view key, std::u16string_view name, RegistryValue* value) const {
  if (!value) return E_POINTER;
  const HRESULT notFound = HResultFromWin32(ERROR_FILE_NOT_FOUND);
  const auto keyIt = m_keys.find(NormalizeKey(key));
  if (keyIt == m_keys.end()) return notFound;
  const auto valueIt = keyIt->second.find(Fold(name));
  if (valueIt == keyIt->second.end()) return notFound;
  *value = valueIt->second;
  return S_OK;
}

std::size_t RegistryStore::ValueCount() const {
  std::size_t count = 0;
  for (const auto& [key, values] : m_keys) count += values.size();
  return count;
}
