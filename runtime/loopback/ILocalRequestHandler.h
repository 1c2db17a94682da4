#pragma once
// What the loopback server asks of the rest of the runtime for a local
// request it has let through its guard. The server knows HTTP and files; the
// views, their handlers and the program's navigation policy are the
// environment's, which implements this interface. So the server includes
// nothing of the views, and the one place that picks the view answering a
// request is the implementation.
//
// Which view answers: the environment's newest view, the one created last
// (each controller makes one) that has not been closed yet. Every view of
// an environment shares its server, its secret cookie and therefore its
// origin, and a request does not say which view's page made it, so one view
// must speak for all. The program shows one view per environment, and that
// view answers; a view created later takes over from the moment it exists,
// and once it is closed the one before it answers again. With no view left,
// a local request has no one to answer it.
#include <functional>
#include <string>

#include "com/ComPtr.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class ILocalRequestHandler {
 public:
  enum class Outcome {
    kNoView,     // no view answers local requests
    kCancelled,  // the program cancelled the main-frame navigation
    kOffered,    // offered to the program; `response` is its answer
  };

  struct Answer {
    Outcome outcome = Outcome::kNoView;
    // The response the program set, null when it left the request to the
    // runtime (the server then serves the file itself).
    ComPtr<ICoreWebView2WebResourceResponse> response;
  };

  // fileUri: the request's address in its file:// form. mainFrameDocument:
  // the engine marked the request as the main frame's document, a
  // navigation the program has its say on before the request is offered.
  // context: the kind of resource, as the server made it out.
  virtual Answer HandleLocalRequest(const std::string& fileUri, bool mainFrameDocument,
                                    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) = 0;

  // Gives the engine the secret cookie again and runs `done` once it has it
  // (or failed to take it). The engine keeps the cookie in memory only, in
  // its network process; when that process ends, the engine starts a new
  // one without it, and the view's requests then come without the secret.
  virtual void RestoreSecret(std::function<void()> done) = 0;

 protected:
  // The environment owns the server, which holds this interface only as a
  // pointer; nothing is deleted through it.
  ~ILocalRequestHandler() = default;
};
