#include "loader/CoreWebView2EnvironmentOptions.h"

#include <cstring>
#include <string>

#include "com/CoTaskMem.h"

namespace {

template <typename T>
HRESULT GetScalar(T stored, T* value) {
  if (!value) return E_POINTER;
  *value = stored;
  return S_OK;
}

}  // namespace

CoreWebView2EnvironmentOptions::Allocator CoreWebView2EnvironmentOptions::TaskAllocator() {
  return {&CoTaskMemAlloc, &CoTaskMemFree};
}

CoreWebView2EnvironmentOptions::CoreWebView2EnvironmentOptions() : CoreWebView2EnvironmentOptions(TaskAllocator()) {}

CoreWebView2EnvironmentOptions::CoreWebView2EnvironmentOptions(Allocator allocator) : m_allocator(allocator) {
  m_targetCompatibleBrowserVersion = Duplicate(kDefaultTargetCompatibleBrowserVersion);
}

CoreWebView2EnvironmentOptions::~CoreWebView2EnvironmentOptions() {
  ReleaseSchemeRegistrations();
  m_allocator.free(m_targetCompatibleBrowserVersion);
  m_allocator.free(m_language);
  m_allocator.free(m_additionalBrowserArguments);
}

char16_t* CoreWebView2EnvironmentOptions::Duplicate(const char16_t* text) const {
  const std::size_t length = std::char_traits<char16_t>::length(text);
  auto* copy = static_cast<char16_t*>(m_allocator.allocate((length + 1) * sizeof(char16_t)));
  if (!copy) return nullptr;
  std::memcpy(copy, text, (length + 1) * sizeof(char16_t));
  return copy;
}

// A copy that cannot be made leaves a null behind and reports that memory
// ran out; the code is fixed rather than taken from errno, which a failing
// allocator need not set, so a failure is never reported as success.
HRESULT CoreWebView2EnvironmentOptions::GetString(const char16_t* stored, LPWSTR* value) const {
  if (!value) return E_POINTER;
  *value = nullptr;
  if (!stored) return S_OK;
  *value = Duplicate(stored);
  return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT CoreWebView2EnvironmentOptions::PutString(char16_t*& stored, LPCWSTR value) {
  m_allocator.free(stored);
  stored = nullptr;
  if (!value) return S_OK;
  stored = Duplicate(value);
  return stored ? S_OK : E_OUTOFMEMORY;
}

void CoreWebView2EnvironmentOptions::ReleaseSchemeRegistrations() {
  for (UINT32 i = 0; i < m_customSchemeRegistrationsCount; ++i)
    if (m_customSchemeRegistrations[i]) m_customSchemeRegistrations[i]->Release();
  m_allocator.free(m_customSchemeRegistrations);
  m_customSchemeRegistrations = nullptr;
  m_customSchemeRegistrationsCount = 0;
}

HRESULT CoreWebView2EnvironmentOptions::get_AdditionalBrowserArguments(LPWSTR* value) {
  return GetString(m_additionalBrowserArguments, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_AdditionalBrowserArguments(LPCWSTR value) {
  return PutString(m_additionalBrowserArguments, value);
}
HRESULT CoreWebView2EnvironmentOptions::get_Language(LPWSTR* value) { return GetString(m_language, value); }
HRESULT CoreWebView2EnvironmentOptions::put_Language(LPCWSTR value) { return PutString(m_language, value); }
HRESULT CoreWebView2EnvironmentOptions::get_TargetCompatibleBrowserVersion(LPWSTR* value) {
  return GetString(m_targetCompatibleBrowserVersion, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_TargetCompatibleBrowserVersion(LPCWSTR value) {
  return PutString(m_targetCompatibleBrowserVersion, value);
}
HRESULT CoreWebView2EnvironmentOptions::get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) {
  return GetScalar(m_allowSingleSignOnUsingOSPrimaryAccount, allow);
}
HRESULT CoreWebView2EnvironmentOptions::put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) {
  m_allowSingleSignOnUsingOSPrimaryAccount = allow;
  return S_OK;
}
HRESULT CoreWebView2EnvironmentOptions::get_ExclusiveUserDataFolderAccess(BOOL* value) {
  return GetScalar(m_exclusiveUserDataFolderAccess, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_ExclusiveUserDataFolderAccess(BOOL value) {
  m_exclusiveUserDataFolderAccess = value;
  return S_OK;
}
HRESULT CoreWebView2EnvironmentOptions::get_IsCustomCrashReportingEnabled(BOOL* value) {
  return GetScalar(m_isCustomCrashReportingEnabled, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_IsCustomCrashReportingEnabled(BOOL value) {
  m_isCustomCrashReportingEnabled = value;
  return S_OK;
}

HRESULT CoreWebView2EnvironmentOptions::GetCustomSchemeRegistrations(
    UINT32* count, ICoreWebView2CustomSchemeRegistration*** schemeRegistrations) {
  if (!count || !schemeRegistrations) return E_POINTER;
  *count = 0;
  *schemeRegistrations = nullptr;
  if (m_customSchemeRegistrationsCount == 0) return S_OK;
  auto** copy = static_cast<ICoreWebView2CustomSchemeRegistration**>(
      m_allocator.allocate(sizeof(ICoreWebView2CustomSchemeRegistration*) * m_customSchemeRegistrationsCount));
  if (!copy) return E_OUTOFMEMORY;
  for (UINT32 i = 0; i < m_customSchemeRegistrationsCount; ++i) {
    copy[i] = m_customSchemeRegistrations[i];
    if (copy[i]) copy[i]->AddRef();
  }
  *schemeRegistrations = copy;
  *count = m_customSchemeRegistrationsCount;
  return S_OK;
}

HRESULT CoreWebView2EnvironmentOptions::SetCustomSchemeRegistrations(
    UINT32 count, ICoreWebView2CustomSchemeRegistration** schemeRegistrations) {
  if (count > 0 && !schemeRegistrations) return E_POINTER;
  // Take the new references before letting the old ones go, so that setting
  // the same registrations again never drops one to zero on the way.
  ICoreWebView2CustomSchemeRegistration** copy = nullptr;
  if (count > 0) {
    copy = static_cast<ICoreWebView2CustomSchemeRegistration**>(
        m_allocator.allocate(sizeof(ICoreWebView2CustomSchemeRegistration*) * std::size_t{count}));
    if (!copy) {
      // The previous registrations are gone either way; the object is left
      // empty rather than half-filled, and the failure says why.
      ReleaseSchemeRegistrations();
      return E_OUTOFMEMORY;
    }
    for (UINT32 i = 0; i < count; ++i) {
      copy[i] = schemeRegistrations[i];
      if (copy[i]) copy[i]->AddRef();
    }
  }
  ReleaseSchemeRegistrations();
  m_customSchemeRegistrations = copy;
  m_customSchemeRegistrationsCount = count;
  return S_OK;
}

HRESULT CoreWebView2EnvironmentOptions::get_EnableTrackingPrevention(BOOL* value) {
  return GetScalar(m_enableTrackingPrevention, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_EnableTrackingPrevention(BOOL value) {
  m_enableTrackingPrevention = value;
  return S_OK;
}
HRESULT CoreWebView2EnvironmentOptions::get_AreBrowserExtensionsEnabled(BOOL* value) {
  return GetScalar(m_areBrowserExtensionsEnabled, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_AreBrowserExtensionsEnabled(BOOL value) {
  m_areBrowserExtensionsEnabled = value;
  return S_OK;
}
HRESULT CoreWebView2EnvironmentOptions::get_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND* value) {
  return GetScalar(m_channelSearchKind, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND value) {
  m_channelSearchKind = value;
  return S_OK;
}
HRESULT CoreWebView2EnvironmentOptions::get_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS* value) {
  return GetScalar(m_releaseChannels, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS value) {
  m_releaseChannels = value;
  return S_OK;
}
HRESULT CoreWebView2EnvironmentOptions::get_ScrollBarStyle(COREWEBVIEW2_SCROLLBAR_STYLE* value) {
  return GetScalar(m_scrollBarStyle, value);
}
HRESULT CoreWebView2EnvironmentOptions::put_ScrollBarStyle(COREWEBVIEW2_SCROLLBAR_STYLE value) {
  m_scrollBarStyle = value;
  return S_OK;
}
