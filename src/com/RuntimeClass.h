#pragma once
// The reference-counted base of every COM-style object the program and the
// runtime implement: an atomic count starting at one, QueryInterface over the
// listed interfaces (and the interfaces they extend), destruction by the
// Release that brings the count to zero.
#include <atomic>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

#include "com/ComPtr.h"

template <ComInterface... Interfaces>
class RuntimeClass : public Interfaces... {
 public:
  RuntimeClass() = default;
  RuntimeClass(const RuntimeClass&) = delete;
  RuntimeClass& operator=(const RuntimeClass&) = delete;

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IUnknown::kIid) {
      *object = static_cast<IUnknown*>(static_cast<First*>(this));
    } else {
      (FindInterface<Interfaces>(riid, object) || ...);
    }
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  ULONG AddRef() override { return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1; }

  ULONG Release() override {
    const ULONG count = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (count == 0) delete this;
    return count;
  }

  // The current count, for tests of reference ownership.
  ULONG RefCount() const { return m_refCount.load(std::memory_order_relaxed); }

 protected:
  virtual ~RuntimeClass() = default;

 private:
  using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

  template <typename I>
  bool FindInterface(REFIID riid, void** object) {
    if (riid == I::kIid) {
      *object = static_cast<I*>(this);
      return true;
    }
    if constexpr (DerivedComInterface<I>) {
      using Base = typename I::BaseInterface;
      if constexpr (!std::is_same_v<Base, IUnknown>) {
        if (FindBase<I, Base>(riid, object)) return true;
      }
    }
    return false;
  }

  template <typename Via, typename I>
  bool FindBase(REFIID riid, void** object) {
    if (riid == I::kIid) {
      *object = static_cast<I*>(static_cast<Via*>(this));
      return true;
    }
    if constexpr (DerivedComInterface<I>) {
      using Base = typename I::BaseInterface;
      if constexpr (!std::is_same_v<Base, IUnknown>) return FindBase<Via, Base>(riid, object);
    }
    return false;
  }

  std::atomic<ULONG> m_refCount{1};
};

// Creates an object with its one reference owned by the returned pointer.
// A failed allocation gives an empty pointer, never an exception.
template <typename T, typename... Args>
ComPtr<T> MakeComObject(Args&&... args) {
  return AdoptRef(new (std::nothrow) T(std::forward<Args>(args)...));
}
