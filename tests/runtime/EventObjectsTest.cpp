// The value objects handed to the program: strings are separate CoTaskMem
// copies, interfaces come with a reference, flags read back as set.
#include <gtest/gtest.h>

#include "DownloadOperation.h"
#include "DownloadStartingEventArgs.h"
#include "EventHandlerList.h"
#include "NavigationStartingEventArgs.h"
#include "NewWindowRequestedEventArgs.h"
#include "WebResourceRequest.h"
#include "WebResourceRequestedEventArgs.h"
#include "WebResourceResponse.h"
#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "webview/ICoreWebView2NewWindowRequestedEventHandler.h"

namespace {

std::u16string TakeString(LPWSTR raw) {
  CoTaskMemString owned(raw);
  return std::u16string(View(owned));
}

TEST(EventObjects, NavigationStartingGivesACopyOfTheAddressAndRecordsCancel) {
  ComPtr<NavigationStartingEventArgs> args = MakeComObject<NavigationStartingEventArgs>(u"file:///a/b.html");
  LPWSTR first = nullptr;
  LPWSTR second = nullptr;
  ASSERT_EQ(args->get_Uri(&first), S_OK);
  ASSERT_EQ(args->get_Uri(&second), S_OK);
  EXPECT_NE(first, second) << "each call hands out its own copy";
  EXPECT_EQ(TakeString(first), u"file:///a/b.html");
  TakeString(second);
  EXPECT_FALSE(args->IsCancelled());
  args->put_Cancel(TRUE);
  EXPECT_TRUE(args->IsCancelled());
  args->put_Cancel(FALSE);
  EXPECT_FALSE(args->IsCancelled());
  EXPECT_EQ(args->get_Uri(nullptr), E_POINTER);
}

TEST(EventObjects, NewWindowRequestRecordsHandled) {
  ComPtr<NewWindowRequestedEventArgs> args = MakeComObject<NewWindowRequestedEventArgs>(u"file:///p.html");
  EXPECT_FALSE(args->IsHandled());
  args->put_Handled(TRUE);
  EXPECT_TRUE(args->IsHandled());
  LPWSTR uri = nullptr;
  args->get_Uri(&uri);
  EXPECT_EQ(TakeString(uri), u"file:///p.html");
}

TEST(EventObjects, DownloadStartingHandsOutTheOperationWithAReference) {
  ComPtr<DownloadOperation> operation = MakeComObject<DownloadOperation>(u"file:///d.pdf");
  ComPtr<DownloadStartingEventArgs> args =
      MakeComObject<DownloadStartingEventArgs>(ComPtr<ICoreWebView2DownloadOperation>(operation));
  const ULONG before = operation->RefCount();
  ICoreWebView2DownloadOperation* out = nullptr;
  ASSERT_EQ(args->get_DownloadOperation(&out), S_OK);
  EXPECT_EQ(operation->RefCount(), before + 1);
  LPWSTR uri = nullptr;
  out->get_Uri(&uri);
  EXPECT_EQ(TakeString(uri), u"file:///d.pdf");
  out->Release();
  args->put_Cancel(TRUE);
  EXPECT_TRUE(args->IsCancelled());
}

TEST(EventObjects, WebResourceRequestedKeepsTheResponseSet) {
  ComPtr<WebResourceRequest> request = MakeComObject<WebResourceRequest>(u"file:///x.js");
  ComPtr<WebResourceRequestedEventArgs> args = MakeComObject<WebResourceRequestedEventArgs>(
      ComPtr<ICoreWebView2WebResourceRequest>(request), COREWEBVIEW2_WEB_RESOURCE_CONTEXT_SCRIPT);
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT context{};
  ASSERT_EQ(args->get_ResourceContext(&context), S_OK);
  EXPECT_EQ(context, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_SCRIPT);
  EXPECT_FALSE(args->Response());
  ComPtr<WebResourceResponse> response =
      MakeComObject<WebResourceResponse>(nullptr, 404, u"Not Found", u"A: b\n");
  args->put_Response(response.Get());
  EXPECT_EQ(args->Response().Get(), static_cast<ICoreWebView2WebResourceResponse*>(response.Get()));
  args->put_Response(nullptr);
  EXPECT_FALSE(args->Response()) << "a response can be taken back";
}

TEST(EventObjects, ResponseGivesBackWhatItWasMadeWith) {
  ComPtr<WebResourceResponse> response =
      MakeComObject<WebResourceResponse>(nullptr, 200, u"OK", u"Content-Type: text/css\n");
  int status = 0;
  response->get_StatusCode(&status);
  EXPECT_EQ(status, 200);
  LPWSTR reason = nullptr;
  response->get_ReasonPhrase(&reason);
  EXPECT_EQ(TakeString(reason), u"OK");
  LPWSTR headers = nullptr;
  response->get_Headers(&headers);
  EXPECT_EQ(TakeString(headers), u"Content-Type: text/css\n");
  IStream* content = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(response->get_Content(&content), S_OK);
  EXPECT_EQ(content, nullptr);
}

TEST(EventHandlerList, GivesDistinctTokensAndKeepsOrder) {
  EventHandlerList<ICoreWebView2NewWindowRequestedEventHandler> list;
  std::vector<int> calls;
  EventRegistrationToken a{}, b{};
  list.Add(Callback<ICoreWebView2NewWindowRequestedEventHandler>([&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs*) -> HRESULT {
             calls.push_back(1);
             return S_OK;
           }).Get(),
           &a);
  list.Add(Callback<ICoreWebView2NewWindowRequestedEventHandler>([&](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs*) -> HRESULT {
             calls.push_back(2);
             return S_OK;
           }).Get(),
           &b);
  EXPECT_NE(a.value, b.value);
  for (const auto& handler : list.Snapshot()) handler->Invoke(nullptr, nullptr);
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  EXPECT_EQ(list.Add(nullptr, &a), E_INVALIDARG);
}

}  // namespace
