// Centring of top-level windows on their owner or the work area, and of
// child windows in their parent, with the clamping order that keeps the
// top-left corner inside. (A window without an owner centred on the work
// area is the install dialog's test; one on a visible frame, the About box's.)
#include "window/CenterWindow.h"

#include <gtest/gtest.h>
#include <vector>

#include "tests/platform/FakePlatformScope.h"
#include "tests/platform/RecordingWindow.h"

namespace {

const std::vector<MONITORINFO> kOne{{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 1}};
const std::vector<MONITORINFO> kTwo{kOne[0], {{1920, 0, 3200, 1024}, {1920, 24, 3200, 1000}, 0}};

enum class Owner { None, Visible, Hidden, Minimised, Parent };

TEST(CenterWindowTest, PlacesTheWindow) {
  const struct {
    const char* name;
    std::vector<MONITORINFO> monitors;
    Owner owner;
    RECT ownerRect;
    int width, height;
    POINT expected;  // the window's new top-left corner on the screen
  } cases[] = {
      {"MinimisedOwnerCountsAsNone", kOne, Owner::Minimised, {100, 100, 500, 400}, 200, 100, {860, 470}},
      {"VisibleOwnerWithOddSizes", kOne, Owner::Visible, {0, 0, 301, 201}, 101, 51, {100, 75}},
      {"ClampedToTheLeftOfTheWorkArea", kOne, Owner::Visible, {-300, 100, 100, 400}, 200, 100, {0, 200}},
      {"ClampedRightAndBottom", kOne, Owner::Visible, {1800, 1000, 2000, 1080}, 200, 100, {1720, 940}},
      {"LargerThanTheAreaKeepsTheTopLeftCornerInside", kOne, Owner::None, {}, 2000, 1200, {0, 0}},
      {"OwnerOnTheSecondMonitor", kTwo, Owner::Visible, {2000, 100, 2400, 500}, 200, 100, {2100, 250}},
      {"HiddenOwnerCountsAsNone", kTwo, Owner::Hidden, {2000, 100, 2400, 500}, 200, 100, {860, 470}},
      {"ClampedToTheSecondWorkArea", kTwo, Owner::Visible, {3000, 0, 3200, 100}, 300, 200, {2900, 24}},
      // A child centres in its parent's client area: (50, 50) + (150, 125).
      {"ChildInItsParent", kOne, Owner::Parent, {50, 50, 450, 350}, 100, 50, {200, 175}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatformScope platform;
    platform.windowing.SetMonitors(c.monitors);
    RecordingWindow owner, window;
    if (c.owner != Owner::None) owner.Frame(&c.ownerRect);
    if (c.owner == Owner::Visible) owner.ShowWindow(SW_SHOW);
    if (c.owner == Owner::Minimised) owner.ShowWindow(SW_MINIMIZE);
    // Created away from everything, so that only the centring decides.
    const RECT start{5, 5, 5 + c.width, 5 + c.height};
    const DWORD style = c.owner == Owner::Parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_CAPTION;
    ASSERT_NE(window.Create(owner.m_hWnd, &start, u"", style), nullptr);
    window.seen.clear();
    EXPECT_TRUE(window.CenterWindow());
    RECT r{};
    window.GetWindowRect(&r);
    // Centring moves; it never resizes.
    EXPECT_EQ(r, (RECT{c.expected.x, c.expected.y, c.expected.x + c.width, c.expected.y + c.height}));
    EXPECT_EQ(window.Count(WM_SIZE), 0);
  }
}

TEST(CenterWindowTest, AnUnknownWindowIsRefused) {
  FakePlatformScope platform;
  EXPECT_FALSE(CenterWindow(reinterpret_cast<HWND>(0x42)));
  EXPECT_TRUE(platform.windowing.CallsNamed("SetPos").empty());
}

}  // namespace
