#pragma once
// Completion and event handlers made from closures: Callback<IHandler>(f)
// returns an object implementing IHandler whose Invoke calls f with the
// same arguments.
#include <utility>

#include "com/RuntimeClass.h"

namespace callback_detail {
template <typename M>
struct InvokeTraits;
template <typename C, typename R, typename... A>
struct InvokeTraits<R (C::*)(A...)> {
  using Result = R;
  template <typename Handler, typename F>
  class Object final : public RuntimeClass<Handler> {
   public:
    explicit Object(F f) : m_f(std::move(f)) {}
    R Invoke(A... args) override { return m_f(std::forward<A>(args)...); }

   private:
    F m_f;
  };
};
}  // namespace callback_detail

template <ComInterface Handler, typename F>
ComPtr<Handler> Callback(F&& f) {
  using Traits = callback_detail::InvokeTraits<decltype(&Handler::Invoke)>;
  using Object = typename Traits::template Object<Handler, std::decay_t<F>>;
  return ComPtr<Handler>(AdoptRef(static_cast<Handler*>(new (std::nothrow) Object(std::forward<F>(f)))));
}
