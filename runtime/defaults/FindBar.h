#pragma once
// The find bar: a search field over the top right corner of the view that
// finds the typed text in the page as it is typed, moves to the next match
// with Enter (the previous with Shift+Enter), shows how many matches there
// are, and on Esc closes and gives the page its focus back.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>

class FindBar {
 public:
  // The widget names the bar's parts carry, for styling and for tests.
  static constexpr char kEntryName[] = "find-entry";
  static constexpr char kCountName[] = "find-match-count";

  explicit FindBar(WebKitWebView* view);
  FindBar(const FindBar&) = delete;
  FindBar& operator=(const FindBar&) = delete;
  ~FindBar();

  // The bar's widget, for the view's overlay; hidden until Open.
  GtkWidget* Widget() const { return m_bar; }

  // Shows the bar with its text selected, ready for typing.
  void Open();
  // Hides the bar, ends the search and focuses the page.
  void Close();

  // The engine's answers to a search.
  void OnCountedMatches(guint count);
  void OnFailedToFind();

  // The text the match count shows.
  static std::string CountText(guint count);

 private:
  static void OnSearchChanged(GtkSearchEntry* entry, gpointer self);
  static void OnNext(GtkWidget*, gpointer self);
  static void OnPrevious(GtkWidget*, gpointer self);
  static void OnStop(GtkSearchEntry*, gpointer self);
  static gboolean OnEntryKey(GtkWidget*, GdkEventKey* event, gpointer self);

  void Search();
  WebKitFindController* Controller() const { return webkit_web_view_get_find_controller(m_view); }

  WebKitWebView* m_view;  // not owned; outlives this object
  GtkWidget* m_bar;       // owned through the reference taken on it
  GtkWidget* m_entry;
  GtkWidget* m_count;
};
