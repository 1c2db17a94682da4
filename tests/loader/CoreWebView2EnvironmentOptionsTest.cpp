#include "loader/CoreWebView2EnvironmentOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "com/CoTaskMem.h"

namespace {

class StubRegistration final : public RuntimeClass<ICoreWebView2CustomSchemeRegistration> {};
using Options = CoreWebView2EnvironmentOptions;
using Text = std::pair<HRESULT, std::optional<std::u16string>>;
const Text kNull{S_OK, std::nullopt};

// What a string getter hands out: its result and the text (null as nothing).
Text Get(const ComPtr<Options>& options, HRESULT (Options::*get)(LPWSTR*)) {
  LPWSTR text = reinterpret_cast<LPWSTR>(1);
  const HRESULT hr = (options.Get()->*get)(&text);
  CoTaskMemString owner(text);
  return {hr, text ? std::optional<std::u16string>(text) : std::nullopt};
}

TEST(EnvironmentOptions, SearchFromStableAndOwnCopies) {
  auto options = MakeComObject<Options>();
  COREWEBVIEW2_CHANNEL_SEARCH_KIND kind = COREWEBVIEW2_CHANNEL_SEARCH_KIND_LEAST_STABLE;
  ASSERT_EQ(options->get_ChannelSearchKind(&kind), S_OK);
  EXPECT_EQ(kind, COREWEBVIEW2_CHANNEL_SEARCH_KIND_MOST_STABLE);
  // Texts are the object's own copies (every read hands out a new one, which
  // the reader frees); null clears a text.
  std::u16string arguments = u"--allow-file-access";
  ASSERT_EQ(options->put_AdditionalBrowserArguments(arguments.c_str()), S_OK);
  arguments[0] = u'X';
  EXPECT_EQ(Get(options, &Options::get_AdditionalBrowserArguments), Text(S_OK, u"--allow-file-access"));
  ASSERT_EQ(options->put_TargetCompatibleBrowserVersion(nullptr), S_OK);
  EXPECT_EQ(Get(options, &Options::get_TargetCompatibleBrowserVersion), kNull);
}

// An allocator that can be told to fail.
struct FailingAllocator {
  static inline bool fail = false;
  static void* Allocate(std::size_t bytes) { return fail ? nullptr : std::malloc(bytes); }
  static void Free(void* block) { std::free(block); }
};

// Nothing in the program registers schemes; the pair is kept because the
// contract's options interface has it. When memory runs out the failure is
// reported and nulls are left, never half a state. A registration the
// options object borrowed, or one it never lets go, is reported by the
// sanitizer build through this case.
TEST(EnvironmentOptions, SchemeRegistrationsAreCopiedAndFailedAllocationsLeaveNulls) {
  auto a = MakeComObject<StubRegistration>();
  auto b = MakeComObject<StubRegistration>();
  auto options = MakeComObject<Options>(Options::Allocator{&FailingAllocator::Allocate, &FailingAllocator::Free});
  ICoreWebView2CustomSchemeRegistration* given[] = {a.Get(), b.Get()};
  ASSERT_EQ(options->SetCustomSchemeRegistrations(2, given), S_OK);
  UINT32 count = 9;
  ICoreWebView2CustomSchemeRegistration** array = nullptr;
  ASSERT_EQ(options->GetCustomSchemeRegistrations(&count, &array), S_OK);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(std::pair(array[0], array[1]), std::pair(given[0], given[1]));
  for (UINT32 i = 0; i < count; ++i) array[i]->Release();
  FailingAllocator::Free(array);
  FailingAllocator::fail = true;
  EXPECT_EQ(Get(options, &Options::get_TargetCompatibleBrowserVersion), Text(E_OUTOFMEMORY, std::nullopt));
  EXPECT_EQ(options->put_Language(u"de"), E_OUTOFMEMORY);
  EXPECT_EQ(Get(options, &Options::get_Language), kNull);
  FailingAllocator::fail = false;
}

}  // namespace
