#pragma once
// An owning reference to a GObject: g_object_unref on destruction, like
// ComPtr for the engine's own objects. Members need a type that g_autoptr
// cannot give them.
#include <glib-object.h>

#include <utility>

template <typename T>
class GObjectPtr {
 public:
  GObjectPtr() = default;
  GObjectPtr(const GObjectPtr& other) : m_ptr(other.m_ptr) {
    if (m_ptr) g_object_ref(m_ptr);
  }
  GObjectPtr(GObjectPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  ~GObjectPtr() { Reset(); }
  GObjectPtr& operator=(GObjectPtr other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    return *this;
  }

  // Takes over a reference the caller owns (a "transfer full" result).
  static GObjectPtr Adopt(T* object) {
    GObjectPtr p;
    p.m_ptr = object;
    return p;
  }
  // Adds a reference of its own; a floating reference is sunk.
  static GObjectPtr Ref(T* object) {
    GObjectPtr p;
    p.m_ptr = object ? static_cast<T*>(g_object_ref_sink(object)) : nullptr;
    return p;
  }

  T* Get() const { return m_ptr; }
  explicit operator bool() const { return m_ptr != nullptr; }
  void Reset() {
    if (T* old = std::exchange(m_ptr, nullptr)) g_object_unref(old);
  }

 private:
  T* m_ptr = nullptr;
};
