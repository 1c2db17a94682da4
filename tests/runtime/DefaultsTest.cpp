// The view defaults' decisions that need no display: which key does what,
// the zoom's steps, and which permission request waits for which answer.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "runtime/defaults/BrowserKeys.h"
#include "runtime/defaults/PageZoom.h"
#include "runtime/defaults/PermissionPrompt.h"
#include "runtime/defaults/PermissionQueue.h"

namespace {

TEST(BrowserKeys, MapsEachKeyWithItsOwnModifiersOnly) {
  using A = BrowserKeys::Action;
  constexpr auto C = GDK_CONTROL_MASK, S = GDK_SHIFT_MASK, M = GDK_MOD1_MASK;
  struct Case { guint key; guint state; A action; };
  const Case cases[] = {
      {GDK_KEY_F5, 0, A::kReload}, {GDK_KEY_r, C, A::kReload}, {GDK_KEY_R, C | S, A::kReloadBypassingCache},
      {GDK_KEY_F5, S, A::kReloadBypassingCache}, {GDK_KEY_F5, C, A::kReloadBypassingCache},
      {GDK_KEY_Back, 0, A::kBack}, {GDK_KEY_Forward, 0, A::kForward}, {GDK_KEY_f, C, A::kFind}, {GDK_KEY_p, C, A::kPrint},
      {GDK_KEY_plus, C | S, A::kZoomIn}, {GDK_KEY_equal, C, A::kZoomIn}, {GDK_KEY_KP_Add, C, A::kZoomIn},
      {GDK_KEY_minus, C, A::kZoomOut}, {GDK_KEY_0, C, A::kZoomReset}, {GDK_KEY_KP_0, C, A::kZoomReset},
      // Num Lock and Caps Lock do not change what a key does.
      {GDK_KEY_F5, GDK_MOD2_MASK | GDK_LOCK_MASK, A::kReload}, {GDK_KEY_R, C | GDK_LOCK_MASK, A::kReload},
      // Plain keys are the page's, and so are keys with modifiers they do not take.
      {GDK_KEY_r, 0, A::kNone}, {GDK_KEY_f, 0, A::kNone}, {GDK_KEY_Back, C, A::kNone},
      // Alt+Left and Alt+Right come from the page's own report instead.
      {GDK_KEY_Left, M, A::kNone}, {GDK_KEY_f, C | S, A::kNone}, {GDK_KEY_r, C | M, A::kNone},
      {GDK_KEY_F5, M, A::kNone}, {GDK_KEY_0, 0, A::kNone}, {GDK_KEY_Escape, 0, A::kNone}, {GDK_KEY_plus, 0, A::kNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BrowserKeys::ActionFor(c.key, static_cast<GdkModifierType>(c.state)), c.action)
        << gdk_keyval_name(c.key) << " state " << c.state;
  // The back and forward buttons (8 and 9), and Alt+Left as the page reports
  // it ("back"), are driven on the display by the defaults' GUI test.
  EXPECT_EQ(BrowserKeys::ActionForButton(2), A::kNone);
  EXPECT_EQ(BrowserKeys::ActionForHistoryMessage("forward"), A::kForward);
  EXPECT_EQ(BrowserKeys::ActionForHistoryMessage("reload"), A::kNone);
  EXPECT_EQ(BrowserKeys::ActionForHistoryMessage(nullptr), A::kNone);
}

TEST(PageZoom, StepsLikeABrowserAndStaysWithinItsEnds) {
  struct Case { double from; int direction; double to; };
  const Case cases[] = {
      {1.0, +1, 1.1}, {1.0, -1, 0.9}, {0.9, -1, 0.8}, {0.67, -1, 0.5}, {2.0, +1, 2.5}, {4.0, +1, 5.0},
      // The ends hold, and a level off the steps moves to the next one in its direction.
      {5.0, +1, 5.0}, {0.25, -1, 0.25}, {1.05, +1, 1.1}, {1.05, -1, 1.0}, {9.0, -1, 5.0}, {0.1, +1, 0.25},
      // The engine's rounding of a step is still that step.
      {1.0999, +1, 1.25}, {0.3301, -1, 0.25},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(PageZoom::Step(c.from, c.direction), c.to) << c.from << " " << c.direction;
  EXPECT_DOUBLE_EQ(PageZoom::Clamp(7.0), 5.0);
  EXPECT_DOUBLE_EQ(PageZoom::Clamp(0.01), 0.25);
  EXPECT_DOUBLE_EQ(PageZoom::Clamp(std::numeric_limits<double>::infinity()), 1.0);
}

// One question at a time; an answer is remembered per origin and kind and
// answers every request of that pair, waiting or later, and no other.
TEST(PermissionQueue, AsksOneAtATimeAndRemembersPerOriginAndKind) {
  // Declared before the queue, which answers what still waits when it goes.
  int changes = 0;
  std::vector<std::string> answers;  // "<request>=<answer>" in the order given
  PermissionQueue queue;
  queue.OnCurrentChanged([&] { ++changes; });
  const auto ask = [&](const char* origin, const char* kind, const std::string& name) {
    queue.Ask(origin, kind, [&answers, name](bool allowed) { answers.push_back(name + (allowed ? "=yes" : "=no")); });
  };
  ask("file", "notifications", "a1");
  ask("https://web.example", "notifications", "b");
  ask("file", "notifications", "a2");
  ask("file", "geolocation", "c");
  ASSERT_NE(queue.Current(), nullptr);
  EXPECT_EQ(queue.Current()->origin, "file");
  EXPECT_EQ(queue.Current()->kind, "notifications");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(answers.empty());
  queue.AnswerCurrent(true);
  EXPECT_EQ(answers, (std::vector<std::string>{"a1=yes", "a2=yes"}));
  EXPECT_EQ(queue.Current()->origin, "https://web.example");
  queue.AnswerCurrent(false);
  EXPECT_EQ(queue.Current()->kind, "geolocation");
  // Known answers come at once, even from inside an answer.
  ask("https://web.example", "notifications", "b2");
  ask("file", "notifications", "a3");
  EXPECT_EQ(answers, (std::vector<std::string>{"a1=yes", "a2=yes", "b=no", "b2=no", "a3=yes"}));
  queue.RefuseAll();
  EXPECT_EQ(answers.back(), "c=no");
  EXPECT_EQ(queue.Current(), nullptr);
  ask("file", "geolocation", "c2");  // refusing all remembered nothing
  EXPECT_EQ(queue.Current()->kind, "geolocation");
  EXPECT_EQ(changes, 5);
}

TEST(PermissionQueue, APageAskingInALoopWaitsBehindOneQuestionAndIsBoundedAndAlwaysAnswered) {
  int refused = 0, allowed = 0;
  {
    PermissionQueue queue;
    for (std::size_t i = 0; i < PermissionQueue::kMaxWaiting + 10; ++i)
      queue.Ask("file", "kind" + std::to_string(i % 2), [&](bool yes) { ++(yes ? allowed : refused); });
    EXPECT_EQ(refused, 10) << "past the bound a request is refused at once";
    queue.AnswerCurrent(true);  // kind0: half of the waiting ones
    EXPECT_EQ(allowed, static_cast<int>(PermissionQueue::kMaxWaiting / 2));
    // An answer handler that asks again finds its answer remembered.
    queue.Ask("file", "kind0", [&](bool yes) { queue.Ask("file", "kind0", [&](bool again) { allowed += yes && again; }); });
    EXPECT_EQ(allowed, static_cast<int>(PermissionQueue::kMaxWaiting / 2) + 1);
  }
  EXPECT_EQ(refused, 10 + static_cast<int>(PermissionQueue::kMaxWaiting / 2)) << "the queue went with requests unanswered";
}

TEST(PermissionPrompt, NamesEveryLocalPageOneOriginAndAWebPageByItsOrigin) {
  struct Case { const char *uri, *origin; };
  for (const Case& c : {Case{"file:///home/u/app/index.html", "file"}, {"file:///other/page.html?x#y", "file"},
                        {"https://web.example/a/b?c", "https://web.example"},
                        {"http://web.example:8080/", "http://web.example:8080"}, {"data:text/html,hi", "data:"}})
    EXPECT_EQ(PermissionPrompt::OriginOf(c.uri), c.origin) << c.uri;
}

}  // namespace
