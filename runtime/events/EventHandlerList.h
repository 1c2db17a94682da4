#pragma once
// The handlers registered for one event, with the tokens given out for them.
// Handlers are invoked in the order they were added; a snapshot is taken
// before raising, so a handler that registers another does not disturb the
// round in progress.
#include <utility>
#include <vector>

#include "com/ComPtr.h"
#include "com/HResult.h"
#include "com/Types.h"

template <typename Handler>
class EventHandlerList {
 public:
  HRESULT Add(Handler* handler, EventRegistrationToken* token) {
    if (!handler) return E_INVALIDARG;
    const INT64 value = ++m_lastToken;
    m_handlers.emplace_back(value, ComPtr<Handler>(handler));
    if (token) token->value = value;
    return S_OK;
  }

  bool Empty() const { return m_handlers.empty(); }

  // Takes every handler out of the list; the caller's copy releases them.
  std::vector<ComPtr<Handler>> TakeAll() {
    std::vector<ComPtr<Handler>> handlers = Snapshot();
    m_handlers.clear();
    return handlers;
  }

  std::vector<ComPtr<Handler>> Snapshot() const {
    std::vector<ComPtr<Handler>> handlers;
    handlers.reserve(m_handlers.size());
    for (const auto& entry : m_handlers) handlers.push_back(entry.second);
    return handlers;
  }

 private:
  std::vector<std::pair<INT64, ComPtr<Handler>>> m_handlers;
  INT64 m_lastToken = 0;
};
