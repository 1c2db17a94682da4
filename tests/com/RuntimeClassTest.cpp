#include "com/RuntimeClass.h"

#include <gtest/gtest.h>

#include "com/CoTaskMem.h"
#include "com/IStream.h"

// Interfaces reached through the interfaces they extend, and the later
// interfaces of a class that lists several, are what the view's tests ask the
// fake web view for and the loader's tests ask the options object for.
namespace {

struct IThing : IUnknown {
  static constexpr IID kIid = MakeGuid("{11111111-2222-3333-4444-555555555555}");
  using BaseInterface = IUnknown;
};

class Thing final : public RuntimeClass<IThing> {};

// Counting itself is exercised by every object of every suite, and the
// sanitizer build reports an object freed too early or never freed.
TEST(RuntimeClassTest, AnswersIUnknownAndLeavesNullBehindARefusedQuery) {
  ComPtr<IThing> thing = MakeComObject<Thing>();
  ComPtr<IUnknown> unknown;
  void* other = &unknown;
  EXPECT_EQ(thing.As(&unknown), S_OK);
  EXPECT_EQ(thing->QueryInterface(IStream::kIid, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

TEST(CoTaskMemTest, StrDupTerminatesAnEmptyCopy) {
  EXPECT_EQ(View(CoTaskMemString(CoTaskMemStrDup(u""))), u"");
}

}  // namespace
