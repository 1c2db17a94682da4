// The update table: states kept per command and applied to the registered
// toolbars when the frame is idle.
#include "app/UpdateUI.h"

#include <gtest/gtest.h>

#include "platform/FakePlatformScope.h"
#include "platform/RecordingWindow.h"

namespace {

TEST(UpdateUI, KeepsStatesOnlyForListedCommands) {
  CUpdateUI table({{100, CUpdateUI::UPDUI_MENUPOPUP, true, false}});
  EXPECT_TRUE(table.UISetCheck(100, true));
  EXPECT_TRUE(table.UIEnable(100, false));
  EXPECT_FALSE(table.UISetCheck(101, true));
  EXPECT_FALSE(table.UIEnable(101, true));
  ASSERT_NE(table.UIFind(100), nullptr);
  EXPECT_TRUE(table.UIFind(100)->checked);
  EXPECT_FALSE(table.UIFind(100)->enabled);
  EXPECT_EQ(table.UIFind(101), nullptr);
  EXPECT_FALSE(table.UIAddToolBar(nullptr));
}

TEST(UpdateUI, AppliesToolbarEntriesToEveryRegisteredToolbarAndNothingElse) {
  FakePlatformScope platform;
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  const ToolBarButton buttons[] = {{1, u"", u"one"}};
  HWND first = platform.windowing.CreateToolBar(frame.m_hWnd, 1, buttons);
  HWND second = platform.windowing.CreateToolBar(frame.m_hWnd, 2, buttons);
  CUpdateUI table({{7, CUpdateUI::UPDUI_TOOLBAR, false, true}, {8, CUpdateUI::UPDUI_MENUPOPUP, true, false}});
  table.UIAddToolBar(first);
  table.UIAddToolBar(second);
  EXPECT_TRUE(table.UIUpdateToolBar());
  std::vector<std::pair<HWND, std::intptr_t>> sent;
  for (const auto& call : platform.windowing.CallsNamed("ControlMessage")) sent.emplace_back(call.hwnd, call.value);
  // Entry 7 (toolbar kind) reaches both toolbars as enable and check; entry 8
  // (menu kind) reaches none.
  EXPECT_EQ(sent, (std::vector<std::pair<HWND, std::intptr_t>>{{first, TB_ENABLEBUTTON},
                                                                {first, TB_CHECKBUTTON},
                                                                {second, TB_ENABLEBUTTON},
                                                                {second, TB_CHECKBUTTON}}));
}

TEST(UpdateUI, WithNoToolbarEntriesIdleSendsNothing) {
  FakePlatformScope platform;
  RecordingWindow frame;
  frame.Create(nullptr, nullptr, u"", WS_OVERLAPPEDWINDOW);
  const ToolBarButton buttons[] = {{1, u"", u"one"}};
  CUpdateUI table({{0xE800, CUpdateUI::UPDUI_MENUPOPUP, true, true}});
  table.UIAddToolBar(platform.windowing.CreateToolBar(frame.m_hWnd, 1, buttons));
  table.UIUpdateToolBar();
  EXPECT_TRUE(platform.windowing.CallsNamed("ControlMessage").empty());
}

}  // namespace
