#pragma once
#include "webview/ICoreWebView2Forward.h"

// One of the eight tables of the environment options object.
struct ICoreWebView2EnvironmentOptions7 : IUnknown {
  static constexpr IID kIid = MakeGuid("{C48D539F-E39F-441C-AE68-1F66E570BDC5}");
  using BaseInterface = IUnknown;

  virtual HRESULT get_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND* value) = 0;
  virtual HRESULT put_ChannelSearchKind(COREWEBVIEW2_CHANNEL_SEARCH_KIND value) = 0;
  virtual HRESULT get_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS* value) = 0;
  virtual HRESULT put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS value) = 0;
};
