#pragma once
// The status line: while the pointer is over a link, its address in a small
// box at the bottom left corner of the view, in the form the program sees it
// (a local file as its file:// address, never the loopback server's).
#include <gtk/gtk.h>

#include <functional>
#include <string>

class LinkStatusLine {
 public:
  static constexpr char kName[] = "link-status-line";
  // Maps the engine's address of a link to the one shown.
  using AddressMap = std::function<std::string(const char* engineUri)>;

  explicit LinkStatusLine(AddressMap programUri);
  LinkStatusLine(const LinkStatusLine&) = delete;
  LinkStatusLine& operator=(const LinkStatusLine&) = delete;
  ~LinkStatusLine();

  // The line's widget, for the view's overlay; hidden while no link is hovered.
  GtkWidget* Widget() const { return m_label; }

  // The pointer is over a link to `engineUri`, or over no link (null).
  void OnHover(const char* engineUri);

  // The address the line shows, empty while it is hidden.
  std::string Text() const;

 private:
  AddressMap m_programUri;
  GtkWidget* m_label;  // owned through the reference taken on it
};
