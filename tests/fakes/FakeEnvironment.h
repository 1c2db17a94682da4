#pragma once
// The environment of the fake engine. Controller creation is asynchronous as
// in the real runtime: CreateCoreWebView2Controller only records the request,
// and the test completes it with CompleteControllerCreation. Responses are
// made as FakeWebResourceResponse objects and kept for inspection.
#include <memory>
#include <string>
#include <vector>

#include "com/RuntimeClass.h"
#include "tests/fakes/FakeController.h"
#include "tests/fakes/FakeEngineLog.h"
#include "tests/fakes/FakeWebResourceResponse.h"
#include "tests/fakes/FakeWebView.h"
#include "webview/EngineContract.h"

class FakeEnvironment final : public RuntimeClass<ICoreWebView2Environment> {
 public:
  explicit FakeEnvironment(std::shared_ptr<FakeEngineLog> log = std::make_shared<FakeEngineLog>())
      : log(std::move(log)) {}

  // A controller with a fresh web view that knows this environment.
  ComPtr<FakeController> MakeController() {
    auto webView = MakeComObject<FakeWebView>(log);
    webView->environment = this;
    return MakeComObject<FakeController>(log, webView);
  }

  // Calls the pending controller handler once with the given outcome.
  HRESULT CompleteControllerCreation(HRESULT errorCode, ICoreWebView2Controller* controller) {
    const auto handler = std::move(m_controllerHandler);
    return handler ? handler->Invoke(errorCode, controller) : E_UNEXPECTED;
  }

  HRESULT CreateCoreWebView2Controller(HWND parentWindow,
                                       ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) override {
    log->Add("CreateCoreWebView2Controller");
    controllerParents.push_back(parentWindow);
    if (FAILED(createControllerResult)) return createControllerResult;
    m_controllerHandler = handler;
    return S_OK;
  }

  HRESULT CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase, LPCWSTR headers,
                                    ICoreWebView2WebResourceResponse** response) override {
    if (!response) return E_POINTER;
    *response = nullptr;
    if (FAILED(createResponseResult)) return createResponseResult;
    auto made = MakeComObject<FakeWebResourceResponse>(content, statusCode, reasonPhrase ? reasonPhrase : u"",
                                                       headers ? headers : u"");
    responses.push_back(made);
    return ComPtr<ICoreWebView2WebResourceResponse>(made).CopyTo(response);
  }

  std::shared_ptr<FakeEngineLog> log;
  HRESULT createControllerResult = S_OK;
  HRESULT createResponseResult = S_OK;
  std::vector<HWND> controllerParents;
  std::vector<ComPtr<FakeWebResourceResponse>> responses;

 private:
  ComPtr<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler> m_controllerHandler;
};
