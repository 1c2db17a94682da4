#pragma once
// One running process per application: a lock file held for the process's
// life and, beside it, a socket on which the holder answers later starts.
// Both live in the user's runtime folder ($XDG_RUNTIME_DIR, private to the
// user), named by a hash of the application's key, so they work without a
// session bus (a kiosk started from a bare X session).
#include <glib.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/ISystem.h"
#include "util/UniqueFd.h"

class InstanceLock {
 public:
  // `folder` holds the lock and the socket; `context` is the main context the
  // holder answers on (null: the default one, which the message loop runs).
  explicit InstanceLock(std::string folder, GMainContext* context = nullptr);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // See ISystem::ClaimInstance. `waitMilliseconds` bounds the wait for a
  // holder that neither answers nor ends.
  InstanceClaim Claim(std::u16string_view key, int waitMilliseconds = 5000);
  // Called on the holder's main context for each later start that asked.
  void SetOnActivate(std::function<void()> onActivate) { m_onActivate = std::move(onActivate); }

 private:
  bool Listen();
  bool AskHolder() const;
  static gboolean OnConnection(gint fd, GIOCondition condition, gpointer self);

  std::string m_folder;
  GMainContext* m_context;
  std::string m_lockPath;
  std::string m_socketPath;
  UniqueFd m_lock;
  UniqueFd m_listener;
  GSource* m_source = nullptr;
  std::function<void()> m_onActivate;
};
