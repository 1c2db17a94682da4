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
  virtual int Barks() = 0;
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
  int Barks() override { return 2; }
};

TEST(RuntimeClassTest, QueryInterfaceAnswersListedInterfacesAndTheirBases) {
  g_destroyed = 0;
  {
    ComPtr<IDog> dog = MakeComObject<Dog>();
    ASSERT_TRUE(dog);
    ComPtr<IAnimal> animal;
    ASSERT_EQ(dog.As(&animal), S_OK);
    EXPECT_EQ(animal->Legs(), 4);
    ComPtr<IOwned> owned;
    EXPECT_EQ(dog.As(&owned), S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(dog.As(&unknown), S_OK);
    ComPtr<IHandler> handler;
    EXPECT_EQ(dog.As(&handler), E_NOINTERFACE);
    EXPECT_FALSE(handler);
    EXPECT_EQ(static_cast<Dog*>(dog.Get())->RefCount(), 4u);
  }
  EXPECT_EQ(g_destroyed, 1);
}

TEST(RuntimeClassTest, ComPtrCopiesMovesAndDetaches) {
  g_destroyed = 0;
  ComPtr<IDog> a = MakeComObject<Dog>();
  auto* raw = static_cast<Dog*>(a.Get());
  ComPtr<IDog> b = a;
  EXPECT_EQ(raw->RefCount(), 2u);
  ComPtr<IDog> c = std::move(b);
  EXPECT_FALSE(b);
  EXPECT_EQ(raw->RefCount(), 2u);
  IDog* detached = c.Detach();
  EXPECT_EQ(raw->RefCount(), 2u);
  detached->Release();
  a.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST(RuntimeClassTest, CallbackForwardsArgumentsAndOwnsItsClosure) {
  auto shared = std::make_shared<int>(0);
  {
    ComPtr<IHandler> h = Callback<IHandler>([shared](HRESULT code, IUnknown* thing) {
      *shared = code;
      return thing ? S_OK : S_FALSE;
    });
    EXPECT_EQ(shared.use_count(), 2);
    EXPECT_EQ(h->Invoke(42, nullptr), S_FALSE);
    EXPECT_EQ(*shared, 42);
  }
  EXPECT_EQ(shared.use_count(), 1);
}

TEST(CoTaskMemTest, StrDupMakesSeparateTerminatedCopies) {
  CoTaskMemString a(CoTaskMemStrDup(u"abc"));
  CoTaskMemString b(CoTaskMemStrDup(u"abc"));
  EXPECT_NE(a.get(), b.get());
  EXPECT_EQ(View(a), u"abc");
  CoTaskMemString empty(CoTaskMemStrDup(u""));
  EXPECT_EQ(View(empty), u"");
  EXPECT_EQ(View(CoTaskMemString()), u"");
}

}  // namespace
