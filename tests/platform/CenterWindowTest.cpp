// Centring of top-level windows on their owner or the work area, and of
// child windows in their parent, with the clamping order that keeps the
// top-left corner inside.
#include <gtest/gtest.h>

#include <vector>

#include "platform/CenterWindow.h"
#include "platform/FakePlatformScope.h"
#include "platform/IWindowing.h"
#include "platform/RecordingWindow.h"

namespace {

MONITORINFO Monitor(RECT whole, RECT work) {
  MONITORINFO info;
  info.rcMonitor = whole;
  info.rcWork = work;
  return info;
}

const std::vector<MONITORINFO> kOneMonitor{Monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040})};
const std::vector<MONITORINFO> kTwoMonitors{Monitor({0, 0, 1920, 1080}, {0, 0, 1920, 1040}),
                                            Monitor({1920, 0, 3200, 1024}, {1920, 24, 3200, 1000})};

enum class Owner { None, Visible, Hidden, Minimised };

struct CenterCase {
  const char* name;
  std::vector<MONITORINFO> monitors;
  Owner owner;
  RECT ownerRect;
  int width;
  int height;
  POINT expected;  // the window's new top-left corner on the screen
};

class CenterWindowTest : public ::testing::TestWithParam<CenterCase> {
 protected:
  FakePlatformScope platform;
};

TEST_P(CenterWindowTest, PlacesTheWindow) {
  const CenterCase& c = GetParam();
  platform.windowing.SetMonitors(c.monitors);
  RecordingWindow owner;
  if (c.owner != Owner::None) {
    owner.Create(nullptr, &c.ownerRect, u"", WS_OVERLAPPEDWINDOW);
    if (c.owner == Owner::Visible) owner.ShowWindow(SW_SHOW);
    if (c.owner == Owner::Minimised) owner.ShowWindow(SW_MINIMIZE);
  }
  RecordingWindow window;
  // Created away from everything, so that only the centring decides.
  RECT start{5, 5, 5 + c.width, 5 + c.height};
  ASSERT_NE(window.Create(owner.m_hWnd, &start, u"", WS_POPUP | WS_CAPTION), nullptr);
  window.seen.clear();
  EXPECT_TRUE(window.CenterWindow());
  RECT r{};
  window.GetWindowRect(&r);
  EXPECT_EQ((POINT{r.left, r.top}), c.expected);
  // Centring moves; it never resizes.
  EXPECT_EQ(r.right - r.left, c.width);
  EXPECT_EQ(r.bottom - r.top, c.height);
  EXPECT_EQ(window.Count(WM_SIZE), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CenterWindowTest,
    ::testing::Values(
        CenterCase{"NoOwnerCentresOnTheWorkArea", kOneMonitor, Owner::None, {}, 200, 100, {860, 470}},
        CenterCase{"VisibleOwner", kOneMonitor, Owner::Visible, {100, 100, 500, 400}, 200, 100, {200, 200}},
        CenterCase{"HiddenOwnerCountsAsNone", kOneMonitor, Owner::Hidden, {100, 100, 500, 400}, 200, 100,
                   {860, 470}},
        CenterCase{"MinimisedOwnerCountsAsNone", kOneMonitor, Owner::Minimised, {100, 100, 500, 400}, 200,
                   100, {860, 470}},
        CenterCase{"OddSizesUseIntegerHalves", kOneMonitor, Owner::Visible, {0, 0, 301, 201}, 101, 51,
                   {100, 75}},
        CenterCase{"OwnerAtTheLeftEdgeIsClampedToTheWorkArea", kOneMonitor, Owner::Visible,
                   {-300, 100, 100, 400}, 200, 100, {0, 200}},
        CenterCase{"OwnerAtTheBottomRightIsClampedRightAndBottom", kOneMonitor, Owner::Visible,
                   {1800, 1000, 2000, 1080}, 200, 100, {1720, 940}},
        CenterCase{"WindowLargerThanTheAreaKeepsTheTopLeftCornerInside", kOneMonitor, Owner::None, {},
                   2000, 1200, {0, 0}},
        CenterCase{"OwnerOnTheSecondMonitor", kTwoMonitors, Owner::Visible, {2000, 100, 2400, 500}, 200,
                   100, {2100, 250}},
        CenterCase{"HiddenOwnerOnTheSecondMonitorUsesThatWorkArea", kTwoMonitors, Owner::Hidden,
                   {2000, 100, 2400, 500}, 200, 100, {860, 470}},
        CenterCase{"ClampedToTheSecondMonitorsWorkArea", kTwoMonitors, Owner::Visible,
                   {3000, 0, 3200, 100}, 300, 200, {2900, 24}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CenterChildWindow, CentresInTheParentsClientArea) {
  FakePlatformScope platform;
  RecordingWindow frame, child;
  RECT frameRect{50, 50, 450, 350};
  frame.Create(nullptr, &frameRect, u"", WS_OVERLAPPEDWINDOW);
  RECT childRect{0, 0, 100, 50};
  child.Create(frame.m_hWnd, &childRect, u"", WS_CHILD | WS_VISIBLE);
  EXPECT_TRUE(CenterWindow(child.m_hWnd));
  RECT r{};
  child.GetWindowRect(&r);
  EXPECT_EQ((POINT{r.left - 50, r.top - 50}), (POINT{150, 125}));
}

TEST(CenterChildWindow, AnUnknownWindowIsRefused) {
  FakePlatformScope platform;
  EXPECT_FALSE(CenterWindow(reinterpret_cast<HWND>(0x42)));
  EXPECT_TRUE(platform.windowing.CallsNamed("SetPos").empty());
}

}  // namespace
