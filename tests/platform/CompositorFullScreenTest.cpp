// When the GTK backend on Wayland asks the compositor for full screen: an
// undecorated frame covering exactly one monitor enters it on that monitor,
// and the first rectangle or style that is not that leaves it again. Each
// row is a sequence of requests, as the view and the user make them, with
// the step expected after each.
#include "platform/linux/windowing/CompositorFullScreen.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Step = CompositorFullScreen::Step;

constexpr RECT kFirst{0, 0, 1280, 800};
constexpr RECT kSecond{1280, 0, 2304, 768};
constexpr RECT kNormal{160, 100, 1120, 700};
const RECT kMonitors[] = {kFirst, kSecond};

struct Request {
  bool decorated;
  RECT rect;
  Step step;
  int monitor = -1;
};

std::string Name(Step step) {
  switch (step) {
    case Step::Normal: return "Normal";
    case Step::Enter: return "Enter";
    case Step::Stay: return "Stay";
    case Step::Leave: return "Leave";
  }
  return "?";
}

TEST(CompositorFullScreenTest, UndecoratedFrameCoveringOneMonitorIsFullScreenOnIt) {
  const struct {
    const char* name;
    std::vector<Request> requests;
  } rows[] = {
      // The view's own order: style, rectangle, the frame change that the
      // rectangle's flags ask for; then the same back.
      {"enter and leave as the view does",
       {{false, kNormal, Step::Normal},
        {false, kFirst, Step::Enter, 0},
        {false, kFirst, Step::Stay, 0},
        {true, kFirst, Step::Leave},
        {true, kNormal, Step::Normal},
        {true, kNormal, Step::Normal}}},
      {"a decorated frame as large as a monitor stays a window",
       {{true, kFirst, Step::Normal}, {true, kSecond, Step::Normal}}},
      {"a monitor's size elsewhere, or one edge off a monitor, is no monitor",
       {{false, RECT{1280, 0, 2560, 800}, Step::Normal}, {false, RECT{1, 0, 1280, 800}, Step::Normal},
        {false, RECT{0, 1, 1280, 800}, Step::Normal}, {false, RECT{0, 0, 1281, 800}, Step::Normal},
        {false, RECT{0, 0, 1280, 801}, Step::Normal}}},
      {"moved from one monitor onto the other", {{false, kFirst, Step::Enter, 0}, {false, kSecond, Step::Enter, 1}}},
      {"undecorated but off the monitor leaves",
       {{false, kFirst, Step::Enter, 0}, {false, kNormal, Step::Leave}, {false, kNormal, Step::Normal}}},
  };
  for (const auto& row : rows) {
    CompositorFullScreen state;
    for (std::size_t i = 0; i < row.requests.size(); ++i) {
      const Request& request = row.requests[i];
      const CompositorFullScreen::Decision decision = state.Next(request.decorated, request.rect, kMonitors);
      EXPECT_EQ(Name(decision.step), Name(request.step)) << row.name << ", request " << i;
      if (request.step == Step::Enter || request.step == Step::Stay) {
        EXPECT_EQ(decision.monitor, request.monitor) << row.name << ", request " << i;
      }
      EXPECT_EQ(state.Active(), request.step == Step::Enter || request.step == Step::Stay) << row.name << ", request " << i;
    }
  }
}

TEST(CompositorFullScreenTest, WithoutMonitorsNothingIsFullScreen) {
  CompositorFullScreen state;
  EXPECT_EQ(Name(state.Next(false, kFirst, {}).step), "Normal");
  EXPECT_FALSE(state.Active());
}

}  // namespace
