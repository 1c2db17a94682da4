#pragma once
// The page's zoom: Ctrl+plus/minus/0, Ctrl+wheel and a touchpad pinch. Keys
// and the wheel move through the usual browser steps, a pinch follows the
// fingers; every level lies between the smallest and the largest step. The
// engine keeps the level on the view across loads, so a level chosen once
// stays while the program runs.
#include <webkit2/webkit2.h>

class PageZoom {
 public:
  static constexpr double kSmallest = 0.25;
  static constexpr double kLargest = 5.0;

  // The step after `current` in `direction` (+1 larger, -1 smaller), or the
  // nearest end when there is none; a level between two steps moves to the
  // next step in that direction.
  static double Step(double current, int direction);
  // `level` brought into [kSmallest, kLargest].
  static double Clamp(double level);

  explicit PageZoom(WebKitWebView* view) : m_view(view) {}

  void ZoomIn() { Apply(Step(Level(), +1)); }
  void ZoomOut() { Apply(Step(Level(), -1)); }
  void Reset() { Apply(1.0); }

  // A wheel turn with Ctrl held: one step per notch; smooth scrolling adds
  // up its deltas until they make a notch. True when it was a zoom.
  bool OnScroll(const GdkEventScroll* event);

  // A pinch: the level at its start, scaled by the gesture.
  void OnPinchBegin() { m_pinchStart = Level(); }
  void OnPinchScale(double scale) { Apply(Clamp(m_pinchStart * scale)); }

 private:
  double Level() const { return webkit_web_view_get_zoom_level(m_view); }
  void Apply(double level) { webkit_web_view_set_zoom_level(m_view, level); }

  WebKitWebView* m_view;  // not owned; outlives this object
  double m_pinchStart = 1.0;
  double m_smoothDelta = 0;  // the part of a notch smooth scrolling has moved
};
