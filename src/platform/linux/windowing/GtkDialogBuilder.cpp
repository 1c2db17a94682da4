#include "platform/linux/windowing/GtkDialogBuilder.h"

#include <algorithm>
#include <string>

#include "platform/MnemonicLabel.h"
#include "platform/WindowMessages.h"
#include "platform/linux/windowing/ApplicationIcon.h"
#include "util/Strings.h"

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string MnemonicUtf8(std::u16string_view text) { return WideToUtf8(MnemonicLabel(text)); }

}  // namespace

GtkDialogBuilder::Result GtkDialogBuilder::Build(const DialogTemplate& t, GtkWindow* owner) {
  Result result;
  GtkWidget* dialog = gtk_dialog_new();
  result.dialog = dialog;
  const std::string caption = WideToUtf8(t.caption);
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
  gtk_window_set_icon_name(GTK_WINDOW(dialog), ApplicationIconName());
  if (owner) {
    gtk_window_set_transient_for(GTK_WINDOW(dialog), owner);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(dialog), TRUE);
  }
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 6);
  gtk_box_set_spacing(GTK_BOX(content), 6);

  std::vector<const DialogItem*> ordered;
  for (const DialogItem& item : t.items) ordered.push_back(&item);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const DialogItem* a, const DialogItem* b) { return a->rect.top < b->rect.top; });
  std::vector<std::pair<const DialogItem*, GtkWidget*>> groups;
  for (const DialogItem* item : ordered) {
    if (item->kind != DialogItemKind::GroupBox) continue;
    const std::string title = MnemonicUtf8(item->text);
    GtkWidget* frame = gtk_frame_new(title.empty() ? nullptr : title.c_str());
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);
    gtk_container_add(GTK_CONTAINER(frame), box);
    gtk_box_pack_start(GTK_BOX(content), frame, TRUE, TRUE, 0);
    groups.emplace_back(item, box);
  }
  for (const DialogItem* item : ordered) {
    GtkWidget* widget = nullptr;
    switch (item->kind) {
      case DialogItemKind::GroupBox:
        continue;
      case DialogItemKind::Button: {
        const std::string label = MnemonicUtf8(item->text);
        widget = gtk_dialog_add_button(GTK_DIALOG(dialog), label.c_str(), item->id);
        if (item->style & BS_DEFPUSHBUTTON) {
          gtk_dialog_set_default_response(GTK_DIALOG(dialog), item->id);
          result.defaultCommand = item->id;
        }
        break;
      }
      case DialogItemKind::Static: {
        const std::string text = WideToUtf8(item->text);
        widget = gtk_label_new(text.c_str());
        const bool centred = (item->style & 0x3) == SS_CENTER;
        gtk_label_set_justify(GTK_LABEL(widget), centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
        gtk_label_set_xalign(GTK_LABEL(widget), centred ? 0.5f : 0.0f);
        break;
      }
      case DialogItemKind::Icon: {
        const std::string name = WideToUtf8(item->text);
        const char* icon = name == WideToUtf8(kApplicationIconName) ? ApplicationIconName() : name.c_str();
        widget = gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG);
        break;
      }
      case DialogItemKind::ProgressBar:
        widget = gtk_progress_bar_new();
        gtk_widget_set_size_request(widget, (item->rect.right - item->rect.left) * 7 / 4, -1);
        break;
    }
    if (!widget) continue;
    if (item->kind != DialogItemKind::Button) {
      GtkWidget* box = content;
      for (const auto& [group, groupBox] : groups)
        if (Inside(item->rect, group->rect)) box = groupBox;
      gtk_box_pack_start(GTK_BOX(box), widget, FALSE, FALSE, 0);
    }
    if (item->id != -1) result.items.emplace_back(item->id, widget);
  }
  gtk_widget_show_all(content);

  const int defaultWidth = t.width * 7 / 4;
  const int defaultHeight = t.height * 15 / 8;
  gtk_window_set_default_size(GTK_WINDOW(dialog), defaultWidth, defaultHeight);
  GtkRequisition minimum{}, natural{};
  gtk_widget_get_preferred_size(dialog, &minimum, &natural);
  result.width = std::max(defaultWidth, natural.width);
  result.height = std::max(defaultHeight, natural.height);
  return result;
}
