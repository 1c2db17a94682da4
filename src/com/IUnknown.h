#pragma once
// The root of every COM-style interface. Interfaces are abstract structs whose
// identifier is the static member kIid; an interface that extends another
// names it as BaseInterface so QueryInterface answers the whole chain.
#include "com/Guid.h"
#include "com/HResult.h"

struct IUnknown {
  static constexpr IID kIid = MakeGuid("{00000000-0000-0000-C000-000000000046}");

  virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  // Objects end through Release, never through delete on an interface.
  ~IUnknown() = default;
};

template <typename T>
concept ComInterface = requires {
  { T::kIid } -> std::convertible_to<const IID&>;
};

template <typename T>
concept DerivedComInterface = ComInterface<T> && requires { typename T::BaseInterface; };
