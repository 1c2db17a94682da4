#pragma once
// One download in the download indicator: its file's name, a progress bar
// while it runs, then Open and Show in folder once it is saved, or a word
// that it failed. A row is held by whoever reports on the download (the
// engine's download, or the runtime's own copy of a local file), which may
// outlive the indicator: the row keeps its widgets alive itself, and a row
// taken off the indicator still takes reports and shows them nowhere.
#include <gtk/gtk.h>

#include <string>

class DownloadRow {
 public:
  static constexpr char kNameLabel[] = "download-name";
  static constexpr char kStatusLabel[] = "download-status";
  static constexpr char kOpenButton[] = "download-open";
  static constexpr char kShowButton[] = "download-show";

  explicit DownloadRow(const std::string& name);
  DownloadRow(const DownloadRow&) = delete;
  DownloadRow& operator=(const DownloadRow&) = delete;
  ~DownloadRow();

  GtkWidget* Widget() const { return m_row; }

  // `fraction` of the download is there, 0 to 1; negative when the size is not known.
  void SetProgress(double fraction);
  // Ends the row: the download of `fileUri` is saved at `destination`,
  // whose name is shown from now on, or, when `destination` is empty, it
  // failed (`why` says how, for the trace). The trace gets download-saved
  // or download-failed.
  void Finish(const std::string& fileUri, const std::string& destination, const char* why);
  bool IsOver() const { return m_over; }

 private:
  void SetSaved(const std::string& path);
  void SetFailed();
  static void OnOpen(GtkButton*, gpointer self);
  static void OnShowInFolder(GtkButton*, gpointer self);
  static void OnClose(GtkButton*, gpointer self);

  GtkWidget* m_row;  // owned through the reference taken on it; the rest are its children
  GtkWidget* m_name;
  GtkWidget* m_progress;
  GtkWidget* m_status;
  GtkWidget* m_open;
  GtkWidget* m_show;
  std::string m_path;  // where the download was saved, once it is
  bool m_over = false;
};
