#pragma once
// The set-up both view test files share: the fake platform, a fake frame
// holding the settings, the view, and a fake engine whose creation the test
// completes step by step.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "com/CoTaskMem.h"
#include "fakes/FakeEnvironment.h"
#include "loader/LoaderTestSupport.h"
#include "platform/FakePlatformScope.h"
#include "util/Strings.h"
#include "view/FakeFrame.h"
#include "view/View.h"

class ViewFixture : public ::testing::Test {
 protected:
  ViewFixture() {
    m_view.m_pFrame = &m_frame;
    m_frame.settings.startPage = u"index.html";
    m_system.SetRoamingDataFolder(u"/home/user/.local/share");
    m_system.SetCurrentDirectory(u"/srv/app");
  }

  // Creates the frame, and with it the view, against a runtime whose creation
  // entry records its call and keeps the handler, so that the test decides
  // when and how creation ends.
  void CreateFrame() {
    loader_test::InstallFixedRuntime(m_system, [this](int, UINT32, LPCWSTR folder, auto* options, auto* handler) {
      m_log->Add("CreateEnvironment(" + WideToUtf8(folder ? folder : u"(null)") + ")");
      LPWSTR arguments = nullptr;
      options->get_AdditionalBrowserArguments(&arguments);
      m_browserArguments = View(CoTaskMemString(arguments));
      m_environmentHandler = handler;
      return S_OK;
    });
    m_frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    m_view.Create(m_frame.m_hWnd, nullptr, {}, CView::kWindowStyle);
  }

  // Ends environment creation with this outcome; a loader that retries a
  // failure gets the same answer again.
  void CompleteEnvironment(HRESULT hr, ICoreWebView2Environment* environment) {
    for (int i = 0; i < 4 && m_environmentHandler; ++i) ComPtr(std::move(m_environmentHandler))->Invoke(hr, environment);
  }

  // Runs the whole chain to the running state.
  void RunChain() {
    CreateFrame();
    CompleteEnvironment(S_OK, m_environment.Get());
    m_environment->CompleteControllerCreation(S_OK, m_controller.Get());
  }

  FakePlatformScope m_platform;
  FakeWindowing& m_windowing = m_platform.windowing;
  FakeSystem& m_system = m_platform.system;
  FakeFrame m_frame;
  CView m_view;
  std::shared_ptr<FakeEngineLog> m_log = std::make_shared<FakeEngineLog>();
  ComPtr<FakeEnvironment> m_environment = MakeComObject<FakeEnvironment>(m_log);
  ComPtr<FakeController> m_controller = m_environment->MakeController();
  ComPtr<FakeWebView> m_webView = m_controller->webView;
  ComPtr<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler> m_environmentHandler;
  std::u16string m_browserArguments;
};
