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

int g_destroyed = 0;
class Thing final : public RuntimeClass<IThing> {
 public:
  ~Thing() override { ++g_destroyed; }
};

TEST(RuntimeClassTest, AnswersIUnknownRefusesOthersCountsReferencesAndTheLastReleaseDestroys) {
  g_destroyed = 0;
  ComPtr<IThing> thing = MakeComObject<Thing>();
  auto* raw = static_cast<Thing*>(thing.Get());
  {
    ComPtr<IUnknown> unknown;
    void* other = &unknown;  // a refused query must leave null behind
    EXPECT_EQ(thing.As(&unknown), S_OK);
    EXPECT_EQ(thing->QueryInterface(IStream::kIid, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(raw->RefCount(), 2u);
  }
  // ComPtr copies add a reference, moves and Detach hand theirs on.
  ComPtr<IThing> copy = thing;
  ComPtr<IThing> moved = std::move(copy);
  EXPECT_FALSE(copy);
  EXPECT_EQ(raw->RefCount(), 2u);
  EXPECT_EQ(moved.Detach()->Release(), 1u);
  EXPECT_EQ(g_destroyed, 0);
  thing.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST(CoTaskMemTest, StrDupTerminatesAnEmptyCopy) {
  EXPECT_EQ(View(CoTaskMemString(CoTaskMemStrDup(u""))), u"");
}

}  // namespace
