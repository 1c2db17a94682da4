#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "com/RuntimeClass.h"

#include <gtest/gtest.h>

namespace {

struct IAnimal : IUnknown {
  static constexpr IID kIid = MakeGuid("{11111111-2222-3333-4444-555555555555}");
  using BaseInterface = IUnknown;
  virtual int Legs() = 0;
};
struct IDog : IAnimal {
  static constexpr IID kIid = MakeGuid("{11111111-2222-3333-4444-555555555556}");
  using BaseInterface = IAnimal;
};
struct IOwned : IUnknown {
  static constexpr IID kIid = MakeGuid("{11111111-2222-3333-4444-555555555557}");
  using BaseInterface = IUnknown;
};
struct IHandler : IUnknown {
  static constexpr IID kIid = MakeGuid("{11111111-2222-3333-4444-555555555558}");
  using BaseInterface = IUnknown;
  virtual HRESULT Invoke(HRESULT code, IUnknown* thing) = 0;
};

int g_destroyed = 0;
class Dog final : public RuntimeClass<IDog, IOwned> {
 public:
  ~Dog() override { ++g_destroyed; }
  int Legs() override { return 4; }
};

TEST(RuntimeClassTest, AnswersListedInterfacesAndTheirBasesCountsReferencesAndTheLastReleaseDestroys) {
  g_destroyed = 0;
  ComPtr<IDog> dog = MakeComObject<Dog>();
  auto* raw = static_cast<Dog*>(dog.Get());
  {
    ComPtr<IAnimal> animal;
    ComPtr<IOwned> owned;
    ComPtr<IUnknown> unknown;
    ComPtr<IHandler> handler;
    ASSERT_EQ(dog.As(&animal), S_OK);
    EXPECT_EQ(animal->Legs(), 4);
    EXPECT_EQ(dog.As(&owned), S_OK);
    EXPECT_EQ(dog.As(&unknown), S_OK);
    EXPECT_EQ(dog.As(&handler), E_NOINTERFACE);
    EXPECT_FALSE(handler);
    EXPECT_EQ(raw->RefCount(), 4u);
  }
  // ComPtr copies add a reference, moves and Detach hand theirs on.
  ComPtr<IDog> copy = dog;
  ComPtr<IDog> moved = std::move(copy);
  EXPECT_FALSE(copy);
  EXPECT_EQ(raw->RefCount(), 2u);
  EXPECT_EQ(moved.Detach()->Release(), 1u);
  EXPECT_EQ(g_destroyed, 0);
  dog.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST(RuntimeClassTest, CallbackForwardsArgumentsAndOwnsItsClosure) {
  auto shared = std::make_shared<int>(0);
  ComPtr<IHandler> h =
      Callback<IHandler>([shared](HRESULT code, IUnknown* thing) { return *shared = code, thing ? S_OK : S_FALSE; });
  EXPECT_EQ(shared.use_count(), 2);
  EXPECT_EQ(h->Invoke(42, nullptr), S_FALSE);
  EXPECT_EQ(*shared, 42);
  h.Reset();
  EXPECT_EQ(shared.use_count(), 1);
}

TEST(CoTaskMemTest, StrDupMakesSeparateTerminatedCopies) {
  CoTaskMemString a(CoTaskMemStrDup(u"abc"));
  CoTaskMemString b(CoTaskMemStrDup(u"abc"));
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(View(a), u"abc");
  EXPECT_EQ(View(CoTaskMemString(CoTaskMemStrDup(u""))), u"");
  EXPECT_EQ(View(CoTaskMemString()), u"");
}

}  // namespace
