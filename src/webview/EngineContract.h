#pragma once
// Every interface of the engine contract, for code that uses many of them.
#include "com/IStream.h"
#include "webview/ICoreWebView2.h"
#include "webview/ICoreWebView2ContainsFullScreenElementChangedEventHandler.h"
#include "webview/ICoreWebView2Controller.h"
#include "webview/ICoreWebView2CreateCoreWebView2ControllerCompletedHandler.h"
#include "webview/ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler.h"
#include "webview/ICoreWebView2CustomSchemeRegistration.h"
#include "webview/ICoreWebView2DownloadOperation.h"
#include "webview/ICoreWebView2DownloadStartingEventArgs.h"
#include "webview/ICoreWebView2DownloadStartingEventHandler.h"
#include "webview/ICoreWebView2Environment.h"
#include "webview/ICoreWebView2EnvironmentOptions.h"
#include "webview/ICoreWebView2EnvironmentOptions2.h"
#include "webview/ICoreWebView2EnvironmentOptions3.h"
#include "webview/ICoreWebView2EnvironmentOptions4.h"
#include "webview/ICoreWebView2EnvironmentOptions5.h"
#include "webview/ICoreWebView2EnvironmentOptions6.h"
#include "webview/ICoreWebView2EnvironmentOptions7.h"
#include "webview/ICoreWebView2EnvironmentOptions8.h"
#include "webview/ICoreWebView2EnvironmentOptionsEdgeView.h"
#include "webview/ICoreWebView2NavigationStartingEventArgs.h"
#include "webview/ICoreWebView2NavigationStartingEventHandler.h"
#include "webview/ICoreWebView2NewWindowRequestedEventArgs.h"
#include "webview/ICoreWebView2NewWindowRequestedEventHandler.h"
#include "webview/ICoreWebView2Settings.h"
#include "webview/ICoreWebView2WebResourceRequest.h"
#include "webview/ICoreWebView2WebResourceRequestedEventArgs.h"
#include "webview/ICoreWebView2WebResourceRequestedEventHandler.h"
#include "webview/ICoreWebView2WebResourceResponse.h"
#include "webview/ICoreWebView2_2.h"
#include "webview/ICoreWebView2_22.h"
#include "webview/ICoreWebView2_4.h"

// The creation entry that a runtime's client library exports.
using CreateWebViewEnvironmentWithOptionsInternalFn = HRESULT (*)(
    int flag, UINT32 runtimeKind, LPCWSTR userDataFolder, ICoreWebView2EnvironmentOptions* environmentOptions,
    ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* environmentCreatedHandler);
inline constexpr const char* kCreateEnvironmentEntryName = "CreateWebViewEnvironmentWithOptionsInternal";
