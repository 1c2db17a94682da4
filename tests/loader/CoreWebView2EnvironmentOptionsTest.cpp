#include "loader/CoreWebView2EnvironmentOptions.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <string>

#include "com/CoTaskMem.h"
#include "com/ComPtr.h"
#include "webview/ICoreWebView2EnvironmentOptionsEdgeView.h"

namespace {

class StubRegistration final : public RuntimeClass<ICoreWebView2CustomSchemeRegistration> {};

// An allocator that fails from the n-th call on, counting live blocks.
struct CountingAllocator {
  static inline int failFrom = -1;
  static inline int calls = 0;
  static inline int live = 0;
  static void* Allocate(std::size_t bytes) {
    if (failFrom >= 0 && calls++ >= failFrom) return nullptr;
    ++live;
    return std::malloc(bytes);
  }
  static void Free(void* block) {
    if (block) --live;
    std::free(block);
  }
  static void Reset(int failFromCall) {
    failFrom = failFromCall;
    calls = 0;
    live = 0;
  }
  friend void PrintTo(const CountingAllocator&, std::ostream* os) { *os << "CountingAllocator"; }
};

ComPtr<CoreWebView2EnvironmentOptions> NewOptions() { return MakeComObject<CoreWebView2EnvironmentOptions>(); }

std::u16string Take(LPWSTR text) {
  CoTaskMemString owner(text);
  return std::u16string(View(owner));
}

TEST(EnvironmentOptionsDefaults, HoldTheInitialValues) {
  auto options = NewOptions();
  ASSERT_TRUE(options);
  EXPECT_EQ(options->RefCount(), 1u);

  LPWSTR text = reinterpret_cast<LPWSTR>(1);
  ASSERT_EQ(options->get_TargetCompatibleBrowserVersion(&text), S_OK);
  EXPECT_EQ(Take(text), u"130.0.2839.0");
  text = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(options->get_AdditionalBrowserArguments(&text), S_OK);
  EXPECT_EQ(text, nullptr);
  text = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(options->get_Language(&text), S_OK);
  EXPECT_EQ(text, nullptr);

  COREWEBVIEW2_RELEASE_CHANNELS channels{};
  EXPECT_EQ(options->get_ReleaseChannels(&channels), S_OK);
  EXPECT_EQ(channels, 31);
  COREWEBVIEW2_CHANNEL_SEARCH_KIND kind = COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE;
  EXPECT_EQ(options->get_ChannelSearchKind(&kind), S_OK);
  EXPECT_EQ(kind, 0);
  COREWEBVIEW2_SCROLLBAR_STYLE style = COREWEBVIEW2_SCROLLBAR_STYLE_FLUENT_OVERLAY;
  EXPECT_EQ(options->get_ScrollBarStyle(&style), S_OK);
  EXPECT_EQ(style, 0);

  struct BoolCase {
    HRESULT (CoreWebView2EnvironmentOptions::*get)(BOOL*);
    BOOL expected;
  };
  const BoolCase bools[] = {
      {&CoreWebView2EnvironmentOptions::get_AllowSingleSignOnUsingOSPrimaryAccount, FALSE},
      {&CoreWebView2EnvironmentOptions::get_ExclusiveUserDataFolderAccess, FALSE},
      {&CoreWebView2EnvironmentOptions::get_IsCustomCrashReportingEnabled, FALSE},
      {&CoreWebView2EnvironmentOptions::get_EnableTrackingPrevention, TRUE},
      {&CoreWebView2EnvironmentOptions::get_AreBrowserExtensionsEnabled, FALSE},
  };
  for (const BoolCase& c : bools) {
    BOOL value = 7;
    EXPECT_EQ(((*options.Get()).*c.get)(&value), S_OK);
    EXPECT_EQ(value, c.expected);
    EXPECT_EQ(((*options.Get()).*c.get)(nullptr), E_POINTER);
  }
}

TEST(EnvironmentOptionsScalars, StoreValuesUnchecked) {
  auto options = NewOptions();
  for (const int value : {0, 255, -1}) {
    EXPECT_EQ(options->put_ReleaseChannels(static_cast<COREWEBVIEW2_RELEASE_CHANNELS>(value)), S_OK);
    COREWEBVIEW2_RELEASE_CHANNELS read{};
    EXPECT_EQ(options->get_ReleaseChannels(&read), S_OK);
    EXPECT_EQ(read, value);
  }
  EXPECT_EQ(options->put_ChannelSearchKind(static_cast<COREWEBVIEW2_CHANNEL_SEARCH_KIND>(9)), S_OK);
  COREWEBVIEW2_CHANNEL_SEARCH_KIND kind{};
  EXPECT_EQ(options->get_ChannelSearchKind(&kind), S_OK);
  EXPECT_EQ(kind, 9);
  EXPECT_EQ(options->put_EnableTrackingPrevention(5), S_OK);
  BOOL value = 0;
  EXPECT_EQ(options->get_EnableTrackingPrevention(&value), S_OK);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(options->get_ReleaseChannels(nullptr), E_POINTER);
  EXPECT_EQ(options->get_ScrollBarStyle(nullptr), E_POINTER);
}

TEST(EnvironmentOptionsStrings, HandOutDistinctCopies) {
  auto options = NewOptions();
  std::u16string arguments = u"--disable-web-security --allow-file-access";
  ASSERT_EQ(options->put_AdditionalBrowserArguments(arguments.c_str()), S_OK);
  // The object keeps its own copy.
  arguments[0] = u'X';
  LPWSTR first = nullptr;
  LPWSTR second = nullptr;
  ASSERT_EQ(options->get_AdditionalBrowserArguments(&first), S_OK);
  ASSERT_EQ(options->get_AdditionalBrowserArguments(&second), S_OK);
  EXPECT_NE(first, second);
  EXPECT_EQ(Take(first), u"--disable-web-security --allow-file-access");
  EXPECT_EQ(Take(second), u"--disable-web-security --allow-file-access");
  EXPECT_EQ(options->get_Language(nullptr), E_POINTER);
}

TEST(EnvironmentOptionsStrings, NullClearsAValue) {
  auto options = NewOptions();
  ASSERT_EQ(options->put_Language(u"ja-JP"), S_OK);
  ASSERT_EQ(options->put_Language(nullptr), S_OK);
  LPWSTR text = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(options->get_Language(&text), S_OK);
  EXPECT_EQ(text, nullptr);
  ASSERT_EQ(options->put_TargetCompatibleBrowserVersion(nullptr), S_OK);
  text = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(options->get_TargetCompatibleBrowserVersion(&text), S_OK);
  EXPECT_EQ(text, nullptr);
}

TEST(EnvironmentOptionsInterfaces, EveryTableSharesTheState) {
  auto options = NewOptions();
  ASSERT_EQ(options->put_ReleaseChannels(COREWEBVIEW2_RELEASE_CHANNELS_BETA), S_OK);
  ComPtr<ICoreWebView2EnvironmentOptions> first;
  ASSERT_EQ(options->QueryInterface(ICoreWebView2EnvironmentOptions::kIid, reinterpret_cast<void**>(first.GetAddressOf())), S_OK);
  ComPtr<ICoreWebView2EnvironmentOptions7> seventh;
  ASSERT_EQ(first.As(&seventh), S_OK);
  COREWEBVIEW2_RELEASE_CHANNELS channels{};
  EXPECT_EQ(seventh->get_ReleaseChannels(&channels), S_OK);
  EXPECT_EQ(channels, COREWEBVIEW2_RELEASE_CHANNELS_BETA);

  // IUnknown answers with the first table.
  IUnknown* unknown = nullptr;
  ASSERT_EQ(options->QueryInterface(IUnknown::kIid, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(first.Get()));
  unknown->Release();

  const IID iids[] = {ICoreWebView2EnvironmentOptions2::kIid, ICoreWebView2EnvironmentOptions3::kIid,
                      ICoreWebView2EnvironmentOptions4::kIid, ICoreWebView2EnvironmentOptions5::kIid,
                      ICoreWebView2EnvironmentOptions6::kIid, ICoreWebView2EnvironmentOptions8::kIid};
  for (const IID& iid : iids) {
    void* table = nullptr;
    EXPECT_EQ(options->QueryInterface(iid, &table), S_OK);
    ASSERT_NE(table, nullptr);
    static_cast<IUnknown*>(table)->Release();
  }
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(options->QueryInterface(ICoreWebView2EnvironmentOptionsEdgeView::kIid, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(options->RefCount(), 3u);
}

TEST(EnvironmentOptionsSchemes, NewObjectHasNone) {
  auto options = NewOptions();
  UINT32 count = 9;
  ICoreWebView2CustomSchemeRegistration** array = reinterpret_cast<ICoreWebView2CustomSchemeRegistration**>(1);
  EXPECT_EQ(options->GetCustomSchemeRegistrations(&count, &array), S_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(array, nullptr);
  EXPECT_EQ(options->GetCustomSchemeRegistrations(nullptr, &array), E_POINTER);
  EXPECT_EQ(options->GetCustomSchemeRegistrations(&count, nullptr), E_POINTER);
}

TEST(EnvironmentOptionsSchemes, CountReferencesAndKeepOrder) {
  auto a = MakeComObject<StubRegistration>();
  auto b = MakeComObject<StubRegistration>();
  {
    auto options = NewOptions();
    ICoreWebView2CustomSchemeRegistration* given[] = {a.Get(), b.Get()};
    ASSERT_EQ(options->SetCustomSchemeRegistrations(2, given), S_OK);
    EXPECT_EQ(a->RefCount(), 2u);
    EXPECT_EQ(b->RefCount(), 2u);

    UINT32 count = 0;
    ICoreWebView2CustomSchemeRegistration** array = nullptr;
    ASSERT_EQ(options->GetCustomSchemeRegistrations(&count, &array), S_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(array[0], a.Get());
    EXPECT_EQ(array[1], b.Get());
    EXPECT_EQ(a->RefCount(), 3u);
    EXPECT_EQ(b->RefCount(), 3u);
    array[0]->Release();
    array[1]->Release();
    CoTaskMemFree(array);

    // Replacing the set releases the old entries.
    ICoreWebView2CustomSchemeRegistration* onlyB[] = {b.Get()};
    ASSERT_EQ(options->SetCustomSchemeRegistrations(1, onlyB), S_OK);
    EXPECT_EQ(a->RefCount(), 1u);
    EXPECT_EQ(b->RefCount(), 2u);
    // Setting the same one again keeps it alive throughout.
    ASSERT_EQ(options->SetCustomSchemeRegistrations(1, onlyB), S_OK);
    EXPECT_EQ(b->RefCount(), 2u);
    EXPECT_EQ(options->SetCustomSchemeRegistrations(1, nullptr), E_POINTER);
  }
  // Destruction releases what the object held.
  EXPECT_EQ(a->RefCount(), 1u);
  EXPECT_EQ(b->RefCount(), 1u);
}

TEST(EnvironmentOptionsMemory, FailedAllocationsAreReportedAndLeaveNulls) {
  CountingAllocator::Reset(-1);
  auto registration = MakeComObject<StubRegistration>();
  {
    auto options = MakeComObject<CoreWebView2EnvironmentOptions>(
        CoreWebView2EnvironmentOptions::Allocator{&CountingAllocator::Allocate, &CountingAllocator::Free});
    ASSERT_TRUE(options->IsComplete());
    ICoreWebView2CustomSchemeRegistration* given[] = {registration.Get()};
    ASSERT_EQ(options->SetCustomSchemeRegistrations(1, given), S_OK);
    EXPECT_EQ(registration->RefCount(), 2u);

    // From now on memory runs out.
    CountingAllocator::failFrom = 0;
    CountingAllocator::calls = 0;
    UINT32 held = 5;
    ICoreWebView2CustomSchemeRegistration** copy = reinterpret_cast<ICoreWebView2CustomSchemeRegistration**>(1);
    EXPECT_EQ(options->GetCustomSchemeRegistrations(&held, &copy), E_OUTOFMEMORY);
    EXPECT_EQ(held, 0u);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(registration->RefCount(), 2u);
    EXPECT_EQ(options->SetCustomSchemeRegistrations(1, given), E_OUTOFMEMORY);
    EXPECT_EQ(registration->RefCount(), 1u);
    UINT32 count = 5;
    ICoreWebView2CustomSchemeRegistration** array = nullptr;
    EXPECT_EQ(options->GetCustomSchemeRegistrations(&count, &array), S_OK);
    EXPECT_EQ(count, 0u);

    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(options->get_TargetCompatibleBrowserVersion(&text), E_OUTOFMEMORY);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(options->put_Language(u"de"), E_OUTOFMEMORY);
    text = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(options->get_Language(&text), S_OK);
    EXPECT_EQ(text, nullptr);
    CountingAllocator::failFrom = -1;
  }
  // Every block the object took was given back.
  EXPECT_EQ(CountingAllocator::live, 0);
}

}  // namespace
