#pragma once
// The environment options object: carries the settings of a browser
// environment from the program to the runtime. It stores values and hands
// back separate copies; it validates nothing.
//
// Every string it stores or hands out, and the array of scheme registrations
// it hands out, is a separate block from the task allocator, which the
// receiver frees with CoTaskMemFree. Tests may give the object another pair
// of allocation functions to exercise the paths where memory runs out.
#include <cstddef>

#include "com/RuntimeClass.h"
#include "webview/ICoreWebView2CustomSchemeRegistration.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"
#include "webview/ICoreWebView2EnvironmentOptions2.h"
#include "webview/ICoreWebView2EnvironmentOptions3.h"
#include "webview/ICoreWebView2EnvironmentOptions4.h"
#include "webview/ICoreWebView2EnvironmentOptions5.h"
#include "webview/ICoreWebView2EnvironmentOptions6.h"
#include "webview/ICoreWebView2EnvironmentOptions7.h"
#include "webview/ICoreWebView2EnvironmentOptions8.h"

class CoreWebView2EnvironmentOptions final
    : public RuntimeClass<ICoreWebView2EnvironmentOptions, ICoreWebView2EnvironmentOptions2,
                          ICoreWebView2EnvironmentOptions3, ICoreWebView2EnvironmentOptions4,
                          ICoreWebView2EnvironmentOptions5, ICoreWebView2EnvironmentOptions6,
                          ICoreWebView2EnvironmentOptions7, ICoreWebView2EnvironmentOptions8> {
 public:
  // The allocation functions for the blocks handed across the interfaces.
  struct Allocator {
    void* (*allocate)(std::size_t bytes);
    void (*free)(void* block);
  };
  static Allocator TaskAllocator();

  // The version a new object names as the runtime it is written for.
  static constexpr const char16_t* kDefaultTargetCompatibleBrowserVersion = u"130.0.2839.0";

  CoreWebView2EnvironmentOptions();
  explicit CoreWebView2EnvironmentOptions(Allocator allocator);

  // ICoreWebView2EnvironmentOptions
  HRESULT get_AdditionalBrowserArguments(LPWSTR* value) override;
  HRESULT put_AdditionalBrowserArguments(LPCWSTR value) override;
  HRESULT get_Language(LPWSTR* value) override;
  HRESULT put_Language(LPCWSTR value) override;
  HRESULT get_TargetCompatibleBrowserVersion(LPWSTR* value) override;
  HRESULT put_TargetCompatibleBrowserVersion(LPCWSTR value) override;
  HRESULT get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) override;
  HRESULT put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) override;
  // ICoreWebView2EnvironmentOptions2
  HRESULT get_ExclusiveUserDataFolderAccess(BOOL* value) override;
  HRESULT put_ExclusiveUserDataFolderAccess(BOOL value) override;
  // ICoreWebView2EnvironmentOptions3
  HRESULT get_IsCustomCrashReportingEnabled(BOOL* value) override;
  HRESULT put_IsCustomCrashReportingEnabled(BOOL value) override;
  // ICoreWebView2EnvironmentOptions4
  HRESULT GetCustomSchemeRegistrations(UINT32* count,
                                       ICoreWebView2CustomSchemeRegistration*** schemeRegistrations) override;
  HRESULT SetCustomSchemeRegistrations(UINT32 count,
                                       ICoreWebView2CustomSchemeRegistration** schemeRegistrations) override;
  // ICoreWebView2EnvironmentOptions5
  HRESULT get_EnableTrackingPrevention(BOOL* value) override;
  HRESULT put_EnableTrackingPrevention(BOOL value) override;
  // ICoreWebView2EnvironmentOptions6
  HRESULT get_AreBrowserExtensionsEnabled(BOOL* value) override;
  HRESULT put_AreBrowserExtensionsEnabled(BOOL value) override;
  // ICoreWebView2EnvironmentOptions7
  HRESULT get_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND* value) override;
  HRESULT put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND value) override;
  HRESULT get_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS* value) override;
  HRESULT put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS value) override;
  // ICoreWebView2EnvironmentOptions8
  HRESULT get_ScrollBarStyle(COREWEBVIEW2_SCROLLBAR_STYLE* value) override;
  HRESULT put_ScrollBarStyle(COREWEBVIEW2_SCROLLBAR_STYLE value) override;

 private:
  ~CoreWebView2EnvironmentOptions() override;

  char16_t* Duplicate(const char16_t* text) const;
  HRESULT GetString(const char16_t* stored, LPWSTR* value) const;
  HRESULT PutString(char16_t*& stored, LPCWSTR value);
  void ReleaseSchemeRegistrations();

  Allocator m_allocator;
  ICoreWebView2CustomSchemeRegistration** m_customSchemeRegistrations = nullptr;
  UINT32 m_customSchemeRegistrationsCount = 0;
  COREWEBVIEW2_RELEASE_CHANNELS m_releaseChannels = static_cast<COREWEBVIEW2_RELEASE_CHANNELS>(31);
  COREWEBVIEW2_CHANNEL_SEARCH_KIND m_channelSearchKind = COREWEBVIEW2_CHANNEL_SEARCH_KIND_MOST_STABLE;
  COREWEBVIEW2_SCROLLBAR_STYLE m_scrollBarStyle = COREWEBVIEW2_SCROLLBAR_STYLE_DEFAULT;
  char16_t* m_additionalBrowserArguments = nullptr;
  char16_t* m_language = nullptr;
  char16_t* m_targetCompatibleBrowserVersion = nullptr;
  BOOL m_allowSingleSignOnUsingOSPrimaryAccount = FALSE;
  BOOL m_exclusiveUserDataFolderAccess = FALSE;
  BOOL m_isCustomCrashReportingEnabled = FALSE;
  BOOL m_enableTrackingPrevention = TRUE;
  BOOL m_areBrowserExtensionsEnabled = FALSE;
};
