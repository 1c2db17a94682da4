#pragma once
// The download indicator: a small box at the bottom right corner of the
// view listing the downloads the runtime saves itself, one row each (see
// DownloadRow). It never takes the focus and never blocks the page; a page
// that downloads in a loop gets no more than a few rows, the newest ones.
#include <gtk/gtk.h>

#include <deque>
#include <memory>
#include <string>

#include "runtime/defaults/DownloadRow.h"

class DownloadIndicator {
 public:
  static constexpr char kName[] = "download-indicator";
  static constexpr std::size_t kMaxRows = 4;

  DownloadIndicator();
  DownloadIndicator(const DownloadIndicator&) = delete;
  DownloadIndicator& operator=(const DownloadIndicator&) = delete;
  ~DownloadIndicator();

  // The indicator's widget, for the view's overlay; hidden while it has no row.
  GtkWidget* Widget() const { return m_box; }

  // Adds a row for a download of `name` and shows the indicator; the caller
  // reports on the download through the row.
  std::shared_ptr<DownloadRow> Add(const std::string& name);

 private:
  static void OnRemoved(GtkContainer* box, GtkWidget*, gpointer self);

  GtkWidget* m_box;  // owned through the reference taken on it
  // The rows shown, oldest first; the indicator's own hold on each.
  std::deque<std::shared_ptr<DownloadRow>> m_rows;
};
