#include "settings/LoadSettings.h"

#include <boost/json/parse.hpp>
#include <boost/json/value.hpp>

#include <string>
#include <utility>

#include "com/HResult.h"
#include "util/ReadFileToString.h"
#include "util/Strings.h"

namespace {

std::u16string ToText(const boost::json::string& value) {
  return Utf8ToWide(std::string_view(value.data(), value.size()));
}

void ApplyShellExecuteExt(const boost::json::array& elements, Settings& settings) {
  for (const auto& element : elements) {
    if (const auto* text = element.if_string()) settings.shellExecuteExt.push_back(ToText(*text));
  }
}

void ApplySaveAsExt(const boost::json::array& elements, Settings& settings) {
  for (const auto& element : elements) {
    const auto* fields = element.if_object();
    if (fields == nullptr) continue;
    SaveAsEntry entry;
    for (const auto& field : *fields) {
      const std::string_view key = field.key();
      if (key == "name") {
        if (const auto* text = field.value().if_string()) entry.name = ToText(*text);
      } else if (key == "ext") {
        if (const auto* text = field.value().if_string()) entry.ext = ToText(*text);
      } else if (key == "open") {
        if (const auto* flag = field.value().if_bool()) entry.open = *flag;
      }
    }
    if (!entry.ext.empty()) settings.saveAsExt.push_back(std::move(entry));
  }
}

void ApplyOpenBy(const boost::json::array& elements, Settings& settings) {
  for (const auto& element : elements) {
    const auto* fields = element.if_object();
    if (fields == nullptr) continue;
    OpenByEntry entry;
    for (const auto& field : *fields) {
      const std::string_view key = field.key();
      if (key == "ext") {
        if (const auto* text = field.value().if_string()) entry.ext = ToText(*text);
      } else if (key == "app") {
        if (const auto* text = field.value().if_string()) entry.app = ToText(*text);
      }
    }
    if (!entry.ext.empty() && !entry.app.empty()) settings.openBy.push_back(std::move(entry));
  }
}

void ApplyRoot(const boost::json::object& root, Settings& settings) {
  for (const auto& pair : root) {
    const std::string_view key = pair.key();
    const boost::json::value& value = pair.value();
    if (key == "title") {
      if (const auto* text = value.if_string()) settings.title = ToText(*text);
    } else if (key == "shellExecuteExt") {
      if (const auto* elements = value.if_array()) ApplyShellExecuteExt(*elements, settings);
    } else if (key == "saveAsExt") {
      if (const auto* elements = value.if_array()) ApplySaveAsExt(*elements, settings);
    } else if (key == "openBy") {
      if (const auto* elements = value.if_array()) ApplyOpenBy(*elements, settings);
    } else if (key == "browserID") {
      if (const auto* text = value.if_string()) settings.browserID = ToText(*text);
    } else if (key == "toolBar") {
      // Only the integer kind counts: true, 1.0 and numbers beyond the
      // signed 64-bit range leave the field as it was.
      if (const auto* number = value.if_int64()) settings.toolBar = *number == 1 ? 1 : 0;
    } else if (key == "startPage") {
      if (const auto* text = value.if_string()) settings.startPage = ToText(*text);
    }
  }
}

}  // namespace

HRESULT ApplySettingsText(std::string_view text, Settings& settings) {
  // The parser reports every fault (syntax, invalid UTF-8, nesting deeper
  // than 32, exhausted memory) by throwing; none of that may leave this
  // function. Applying the values can only fail by running out of memory,
  // which is reported the same way.
  try {
    const boost::json::value root = boost::json::parse(boost::json::string_view(text.data(), text.size()));
    if (const auto* object = root.if_object()) {
      // The values go into a copy first so that a failure half-way leaves
      // the caller's record exactly as it was.
      Settings updated = settings;
      ApplyRoot(*object, updated);
      settings = std::move(updated);
    }
  } catch (...) {
    return E_FAIL;
  }
  return S_OK;
}

HRESULT LoadSettings(Settings& settings) {
  std::string text;
  if (const HRESULT hr = ReadFileToString(kSettingsFileName, text); FAILED(hr)) return hr;
  return ApplySettingsText(text, settings);
}
