#pragma once
// An owning reference to a COM-style interface: AddRef on copy, Release on
// destruction, so that no reference is leaked or released twice on any path.
#include <cstddef>
#include <utility>

#include "com/IUnknown.h"

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ComPtr(T* raw) : m_ptr(raw) { AddRefIfAny(); }
  ComPtr(const ComPtr& other) : m_ptr(other.m_ptr) { AddRefIfAny(); }
  ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  ComPtr(const ComPtr<U>& other) : m_ptr(other.Get()) {
    AddRefIfAny();
  }
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    return *this;
  }

  T* Get() const { return m_ptr; }
  T* operator->() const { return m_ptr; }
  explicit operator bool() const { return m_ptr != nullptr; }

  // For out-parameters: the pointer must be empty, the callee fills it with a
  // reference that this object then owns.
  T** GetAddressOf() { return &m_ptr; }
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &m_ptr;
  }

  void Reset() {
    if (T* old = std::exchange(m_ptr, nullptr)) old->Release();
  }
  // Takes over a reference without adding one.
  void Attach(T* raw) {
    Reset();
    m_ptr = raw;
  }
  // Gives up the reference without releasing it.
  [[nodiscard]] T* Detach() { return std::exchange(m_ptr, nullptr); }

  // Hands out a new reference through an out-parameter.
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = m_ptr;
    if (m_ptr) m_ptr->AddRef();
    return S_OK;
  }

  template <ComInterface U>
  HRESULT As(ComPtr<U>* out) const {
    if (!out) return E_POINTER;
    if (!m_ptr) return E_POINTER;
    return m_ptr->QueryInterface(U::kIid, reinterpret_cast<void**>(out->ReleaseAndGetAddressOf()));
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.m_ptr == b.m_ptr; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.m_ptr == nullptr; }

 private:
  void AddRefIfAny() {
    if (m_ptr) m_ptr->AddRef();
  }
  T* m_ptr = nullptr;
};

// Takes over a reference that a factory returned with its count already raised.
template <typename T>
ComPtr<T> AdoptRef(T* raw) {
  ComPtr<T> p;
  p.Attach(raw);
  return p;
}
