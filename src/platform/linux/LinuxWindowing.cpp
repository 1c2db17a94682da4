#include "platform/linux/LinuxWindowing.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "util/Strings.h"

namespace {

enum class NativeKind { TopLevel, Child, ToolBar, Dialog, DialogItem };

struct NativeWindow {
  NativeKind kind = NativeKind::TopLevel;
  // Where children go: the GtkLayout of a top-level window, the GtkFixed of
  // a child window, null for controls.
  GtkWidget* client = nullptr;
  // The window menu, attached to the window so that it goes with it.
  GtkWidget* menu = nullptr;
  // A progress bar's running marquee.
  guint pulseSource = 0;
  // A dialog's default button command (Enter).
  int defaultCommand = IDOK;
  std::string caption;
};

// The one backend of the process; GTK callbacks reach it through here.
LinuxWindowing* g_backend = nullptr;

HWND ToHandle(GtkWidget* widget) { return reinterpret_cast<HWND>(widget); }
GtkWidget* ToWidget(HWND hwnd) { return reinterpret_cast<GtkWidget*>(hwnd); }

// '&' marks a mnemonic in the program's texts, '_' in GTK's; "&&" is a
// literal ampersand and a literal underscore must be doubled.
std::string MnemonicLabel(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        out.push_back(u'&');
        ++i;
      } else {
        out.push_back(u'_');
      }
    } else if (c == u'_') {
      out += u"__";
    } else {
      out.push_back(c);
    }
  }
  return WideToUtf8(out);
}

std::string OneLine(std::u16string_view text) {
  std::string utf8 = WideToUtf8(text);
  std::replace(utf8.begin(), utf8.end(), '\n', ' ');
  std::erase(utf8, '\r');
  return utf8;
}

// The application's icon, or a generic browser icon when the theme does not
// know ours (an uninstalled build).
const char* ApplicationIconName() {
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  const std::string own = WideToUtf8(kApplicationIconName);
  static std::string chosen;
  if (theme && gtk_icon_theme_has_icon(theme, own.c_str()))
    chosen = own;
  else
    chosen = "web-browser";
  return chosen.c_str();
}

}  // namespace

struct GdkEventDeleter {
  void operator()(GdkEvent* event) const { gdk_event_free(event); }
};

struct LinuxWindowing::Impl {
  bool initialized = false;
  // The key press or click that asked for the window menu. The menu opens
  // later, when the posted request is dispatched, and GTK wants the event
  // that triggered it to take the pointer and keyboard.
  std::unique_ptr<GdkEvent, GdkEventDeleter> menuTrigger;
  std::map<HWND, NativeWindow> windows;
  std::string tracePath;

  void Trace(const std::string& line) const {
    if (tracePath.empty()) return;
    if (FILE* f = std::fopen(tracePath.c_str(), "a")) {
      std::fprintf(f, "%s\n", line.c_str());
      std::fclose(f);
    }
  }
};

// GTK signal handlers. They turn what the user does into messages, posted
// rather than sent so that no program code runs inside GTK's own
// processing of an event.
struct LinuxWindowingSignals {
  static LinuxWindowing& Backend() { return *g_backend; }

  static void OnDestroy(GtkWidget* widget, gpointer) {
    if (!g_backend) return;
    auto& windows = Backend().m_impl->windows;
    auto it = windows.find(ToHandle(widget));
    if (it == windows.end()) return;
    if (it->second.pulseSource) g_source_remove(it->second.pulseSource);
    windows.erase(it);
  }

  static gboolean OnDeleteEvent(GtkWidget* widget, GdkEvent*, gpointer) {
    // The close box asks; default processing of WM_CLOSE destroys the window.
    Backend().PostMessage(ToHandle(widget), WM_CLOSE, 0, 0);
    return TRUE;
  }

  static void OnClientSizeAllocate(GtkWidget* client, GdkRectangle* allocation, gpointer window) {
    HWND hwnd = ToHandle(GTK_WIDGET(window));
    LinuxWindowing& backend = Backend();
    const auto* record = backend.Find(hwnd);
    if (!record) return;
    RECT rect = record->rect;
    rect.right = rect.left + allocation->width;
    rect.bottom = rect.top + allocation->height;
    if (rect.right - rect.left != record->rect.right - record->rect.left ||
        rect.bottom - rect.top != record->rect.bottom - record->rect.top) {
      backend.m_impl->Trace("client-size " + std::to_string(allocation->width) + "x" +
                            std::to_string(allocation->height));
    }
    backend.NativeResized(hwnd, rect, false);
  }

  static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer) {
    HWND hwnd = ToHandle(widget);
    LinuxWindowing& backend = Backend();
    if (const auto* record = backend.Find(hwnd)) {
      gint x = 0, y = 0;
      gtk_window_get_position(GTK_WINDOW(widget), &x, &y);
      RECT rect = record->rect;
      const LONG w = rect.right - rect.left, h = rect.bottom - rect.top;
      rect = RECT{x, y, x + w, y + h};
      backend.NativeResized(hwnd, rect, false);
    }
    return FALSE;
  }

  static gboolean OnWindowState(GtkWidget* widget, GdkEventWindowState* event, gpointer) {
    const bool zoomed = (event->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    const bool iconic = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
    Backend().NativeStateChanged(ToHandle(widget), zoomed, iconic);
    return FALSE;
  }

  static gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus*, gpointer) {
    HWND hwnd = ToHandle(widget);
    Backend().NativeActivated(hwnd);
    Backend().PostMessage(hwnd, WM_SETFOCUS, 0, 0);
    return FALSE;
  }

  static gboolean OnFrameKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer) {
    const guint modifiers = event->state & gtk_accelerator_get_default_mod_mask();
    if (modifiers == GDK_MOD1_MASK && event->keyval == GDK_KEY_space) {
      Backend().m_impl->menuTrigger.reset(gdk_event_copy(reinterpret_cast<GdkEvent*>(event)));
      Backend().PostMessage(ToHandle(widget), WM_SYSCOMMAND, SC_KEYMENU, u' ');
      return TRUE;
    }
    if (modifiers == GDK_MOD1_MASK && event->keyval == GDK_KEY_F4) {
      Backend().PostMessage(ToHandle(widget), WM_SYSCOMMAND, SC_CLOSE, 0);
      return TRUE;
    }
    return FALSE;
  }

  static void OnToolButtonClicked(GtkToolButton* button, gpointer toolBar) {
    const UINT command = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(button), "vellum-command"));
    LinuxWindowing& backend = Backend();
    HWND bar = ToHandle(GTK_WIDGET(toolBar));
    HWND parent = backend.GetParent(bar);
    if (!parent) return;
    backend.m_impl->Trace("toolbar-command " + std::to_string(command));
    backend.PostMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED),
                        reinterpret_cast<LPARAM>(bar));
  }

  static gboolean OnToolBarContextMenu(GtkToolbar* toolBar, gint x, gint y, gint, gpointer) {
    LinuxWindowing& backend = Backend();
    HWND hwnd = ToHandle(GTK_WIDGET(toolBar));
    // Up to the top-level window that owns the menu.
    while (hwnd && (static_cast<DWORD>(backend.GetWindowLong(hwnd, GWL_STYLE)) & WS_CHILD))
      hwnd = backend.GetParent(hwnd);
    if (!hwnd) return FALSE;
    if (GdkEvent* current = gtk_get_current_event()) backend.m_impl->menuTrigger.reset(current);
    POINT origin = backend.ClientOriginOnScreen(ToHandle(GTK_WIDGET(toolBar)));
    POINT top = backend.ClientOriginOnScreen(hwnd);
    return backend.ShowWindowMenu(hwnd, x + origin.x - top.x, y + origin.y - top.y) ? TRUE : FALSE;
  }

  static void OnWindowMenuItem(GtkMenuItem* item, gpointer window) {
    const UINT id = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "vellum-command"));
    Backend().PostMessage(ToHandle(GTK_WIDGET(window)), WM_SYSCOMMAND, id, 0);
  }

  static gboolean OnDialogKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer) {
    const guint modifiers = event->state & gtk_accelerator_get_default_mod_mask();
    if (modifiers != 0) return FALSE;
    HWND hwnd = ToHandle(widget);
    LinuxWindowing& backend = Backend();
    auto it = backend.m_impl->windows.find(hwnd);
    if (it == backend.m_impl->windows.end()) return FALSE;
    if (event->keyval == GDK_KEY_Escape) {
      backend.PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return TRUE;
    }
    if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter ||
        event->keyval == GDK_KEY_ISO_Enter) {
      const int command = it->second.defaultCommand;
      backend.PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), BN_CLICKED), 0);
      return TRUE;
    }
    return FALSE;
  }

  static gboolean OnDialogDeleteEvent(GtkWidget*, GdkEvent*, gpointer) {
    // The dialog has already turned the close box into its response, which
    // becomes WM_CLOSE; the window itself stays until the program ends the
    // dialog, rather than being destroyed under it.
    return TRUE;
  }

  static void OnDialogResponse(GtkDialog* dialog, gint response, gpointer) {
    HWND hwnd = ToHandle(GTK_WIDGET(dialog));
    if (response >= 0) {
      Backend().PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(response), BN_CLICKED), 0);
    } else if (response == GTK_RESPONSE_DELETE_EVENT) {
      Backend().PostMessage(hwnd, WM_CLOSE, 0, 0);
    }
  }

  static void OnToolBarContainerAllocated(GtkWidget* toolBar, GdkRectangle*, gpointer) {
    // The container gives the toolbar the width of all its buttons; give it
    // the frame's width instead, so that the buttons that do not fit go
    // behind the overflow arrow rather than being cut off by the window edge.
    if (!gtk_widget_get_visible(toolBar)) return;
    gint width = 0, height = 0;
    gtk_widget_get_size_request(toolBar, &width, &height);
    if (width <= 0) return;
    gint minimum = 0, natural = 0;
    gtk_widget_get_preferred_width(toolBar, &minimum, &natural);
    gtk_widget_get_preferred_height_for_width(toolBar, width, &minimum, &natural);
    GtkAllocation allocation{};
    gtk_widget_get_allocation(toolBar, &allocation);
    allocation.width = width;
    allocation.height = natural;
    gtk_widget_size_allocate(toolBar, &allocation);
  }

  static gboolean OnPulse(gpointer bar) {
    gtk_progress_bar_pulse(GTK_PROGRESS_BAR(bar));
    return G_SOURCE_CONTINUE;
  }

  struct MessageBoxState {
    int response = GTK_RESPONSE_NONE;
    bool done = false;
  };

  static void OnMessageBoxResponse(GtkDialog*, gint response, gpointer data) {
    auto* state = static_cast<MessageBoxState*>(data);
    state->response = response;
    state->done = true;
    // Wakes the message box's loop, which may be waiting for a message.
    Backend().PostMessage(nullptr, WM_NULL, 0, 0);
  }
};

LinuxWindowing::LinuxWindowing() : m_impl(std::make_unique<Impl>()) {
  g_backend = this;
  if (const char* trace = std::getenv("VELLUMVIEW_WINDOW_TRACE")) m_impl->tracePath = trace;
}

LinuxWindowing::~LinuxWindowing() {
  // Top-level windows still on the screen go with the platform; their
  // children go with them.
  std::vector<GtkWidget*> roots;
  for (const auto& [hwnd, native] : m_impl->windows)
    if (native.kind == NativeKind::TopLevel || native.kind == NativeKind::Dialog)
      roots.push_back(ToWidget(hwnd));
  for (GtkWidget* widget : roots) gtk_widget_destroy(widget);
  if (g_backend == this) g_backend = nullptr;
}

bool LinuxWindowing::Initialize() {
  if (m_impl->initialized) return true;
  int argc = 0;
  char** argv = nullptr;
  m_impl->initialized = gtk_init_check(&argc, &argv);
  return m_impl->initialized;
}

void LinuxWindowing::SetProcessDpiAware() {
  // GTK scales by the monitor's factor itself and reports sizes in its
  // scaled pixels; there is nothing to switch on.
}

void LinuxWindowing::NativeApplicationIdChanged(std::u16string_view id) {
  // The X11 class hint (WM_CLASS) and the Wayland application id come from
  // these two names; the id is used as it stands, trailing dot included,
  // since both are free-form strings.
  const std::string utf8 = WideToUtf8(id);
  g_set_prgname(utf8.c_str());
  gdk_set_program_class(utf8.c_str());
  m_impl->Trace("application-id " + utf8);
}

RECT LinuxWindowing::NativeDefaultRect() {
  MONITORINFO info{};
  NativeGetMonitorInfo(nullptr, &info);
  const RECT& work = info.rcWork;
  const LONG workWidth = work.right - work.left, workHeight = work.bottom - work.top;
  const LONG width = workWidth > 0 ? std::min<LONG>(1024, workWidth * 3 / 4) : 1024;
  const LONG height = workHeight > 0 ? std::min<LONG>(768, workHeight * 3 / 4) : 768;
  const LONG left = work.left + (workWidth - width) / 2;
  const LONG top = work.top + (workHeight - height) / 2;
  return RECT{left, top, left + width, top + height};
}

HWND LinuxWindowing::NativeCreateWindow(const WindowRecord& record) {
  if (!m_impl->initialized) return nullptr;
  const LONG width = record.rect.right - record.rect.left;
  const LONG height = record.rect.bottom - record.rect.top;
  if (record.kind == WindowKind::TopLevel) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    const std::string title = WideToUtf8(record.text);
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window), std::max<LONG>(width, 1),
                                std::max<LONG>(height, 1));
    gtk_window_move(GTK_WINDOW(window), record.rect.left, record.rect.top);
    gtk_window_set_icon_name(GTK_WINDOW(window), ApplicationIconName());
    const bool decorated = (record.style & WS_CAPTION) == WS_CAPTION || (record.style & WS_THICKFRAME);
    gtk_window_set_decorated(GTK_WINDOW(window), decorated);
    if (record.parent) gtk_window_set_transient_for(GTK_WINDOW(window), GTK_WINDOW(ToWidget(record.parent)));
    GtkWidget* client = gtk_layout_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(window), client);
    gtk_widget_show(client);
    g_signal_connect(window, "destroy", G_CALLBACK(LinuxWindowingSignals::OnDestroy), nullptr);
    g_signal_connect(window, "delete-event", G_CALLBACK(LinuxWindowingSignals::OnDeleteEvent), nullptr);
    g_signal_connect(window, "configure-event", G_CALLBACK(LinuxWindowingSignals::OnConfigure), nullptr);
    g_signal_connect(window, "window-state-event", G_CALLBACK(LinuxWindowingSignals::OnWindowState), nullptr);
    g_signal_connect(window, "focus-in-event", G_CALLBACK(LinuxWindowingSignals::OnFocusIn), nullptr);
    g_signal_connect(window, "key-press-event", G_CALLBACK(LinuxWindowingSignals::OnFrameKeyPress), nullptr);
    g_signal_connect(client, "size-allocate", G_CALLBACK(LinuxWindowingSignals::OnClientSizeAllocate), window);
    NativeWindow native;
    native.kind = NativeKind::TopLevel;
    native.client = client;
    native.caption = title;
    m_impl->windows[ToHandle(window)] = native;
    return ToHandle(window);
  }

  auto parent = m_impl->windows.find(record.parent);
  if (parent == m_impl->windows.end() || !parent->second.client) return nullptr;
  GtkWidget* fixed = gtk_fixed_new();
  gtk_widget_set_size_request(fixed, std::max<LONG>(width, 0), std::max<LONG>(height, 0));
  GtkWidget* container = parent->second.client;
  if (GTK_IS_LAYOUT(container))
    gtk_layout_put(GTK_LAYOUT(container), fixed, record.rect.left, record.rect.top);
  else
    gtk_fixed_put(GTK_FIXED(container), fixed, record.rect.left, record.rect.top);
  g_signal_connect(fixed, "destroy", G_CALLBACK(LinuxWindowingSignals::OnDestroy), nullptr);
  NativeWindow native;
  native.kind = NativeKind::Child;
  native.client = fixed;
  m_impl->windows[ToHandle(fixed)] = native;
  return ToHandle(fixed);
}

HWND LinuxWindowing::NativeCreateToolBar(HWND parent, std::span<const ToolBarButton> buttons,
                                         RECT* rect) {
  auto parentIt = m_impl->windows.find(parent);
  if (parentIt == m_impl->windows.end() || !parentIt->second.client) return nullptr;
  GtkWidget* toolBar = gtk_toolbar_new();
  gtk_toolbar_set_style(GTK_TOOLBAR(toolBar), GTK_TOOLBAR_ICONS);
  gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolBar), GTK_ICON_SIZE_LARGE_TOOLBAR);
  // Buttons that do not fit go behind an overflow arrow, whose menu lists
  // them by their labels and runs the same commands.
  gtk_toolbar_set_show_arrow(GTK_TOOLBAR(toolBar), TRUE);
  GtkIconTheme* theme = gtk_icon_theme_get_default();
  int count = 0;
  for (const ToolBarButton& button : buttons) {
    GtkToolItem* item = nullptr;
    if (button.command == 0) {
      item = gtk_separator_tool_item_new();
    } else {
      const std::string label = WideToUtf8(button.label);
      const std::string icon = WideToUtf8(button.iconName);
      GtkWidget* image = nullptr;
      if (!icon.empty() && theme && gtk_icon_theme_has_icon(theme, icon.c_str()))
        image = gtk_image_new_from_icon_name(icon.c_str(), GTK_ICON_SIZE_LARGE_TOOLBAR);
      item = gtk_tool_button_new(image, label.c_str());
      if (!image) gtk_tool_item_set_is_important(item, TRUE);
      gtk_tool_item_set_tooltip_text(item, label.c_str());
      g_object_set_data(G_OBJECT(item), "vellum-command", GUINT_TO_POINTER(button.command));
      g_signal_connect(item, "clicked", G_CALLBACK(LinuxWindowingSignals::OnToolButtonClicked), toolBar);
      ++count;
    }
    gtk_toolbar_insert(GTK_TOOLBAR(toolBar), item, -1);
  }
  g_signal_connect(toolBar, "popup-context-menu", G_CALLBACK(LinuxWindowingSignals::OnToolBarContextMenu), nullptr);
  g_signal_connect(toolBar, "destroy", G_CALLBACK(LinuxWindowingSignals::OnDestroy), nullptr);

  RECT client{};
  GetClientRect(parent, &client);
  const int width = std::max<LONG>(client.right, 1);
  gtk_widget_set_size_request(toolBar, width, -1);
  GtkWidget* container = parentIt->second.client;
  if (GTK_IS_LAYOUT(container))
    gtk_layout_put(GTK_LAYOUT(container), toolBar, 0, 0);
  else
    gtk_fixed_put(GTK_FIXED(container), toolBar, 0, 0);
  gtk_widget_show_all(toolBar);
  // Tied to the toolbar's life: the handler goes when the toolbar does.
  g_signal_connect_object(container, "size-allocate",
                          G_CALLBACK(LinuxWindowingSignals::OnToolBarContainerAllocated), toolBar,
                          static_cast<GConnectFlags>(G_CONNECT_AFTER | G_CONNECT_SWAPPED));
  gint minimum = 0, natural = 0;
  gtk_widget_get_preferred_height(toolBar, &minimum, &natural);
  *rect = RECT{0, 0, width, natural};
  NativeWindow native;
  native.kind = NativeKind::ToolBar;
  m_impl->windows[ToHandle(toolBar)] = native;
  m_impl->Trace("toolbar buttons=" + std::to_string(count) + " height=" + std::to_string(natural));
  return ToHandle(toolBar);
}

LinuxWindowing::NativeDialog LinuxWindowing::NativeCreateDialog(const DialogTemplate& t, HWND owner) {
  NativeDialog result;
  if (!m_impl->initialized) return result;
  GtkWidget* dialog = gtk_dialog_new();
  const std::string caption = WideToUtf8(t.caption);
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
  gtk_window_set_icon_name(GTK_WINDOW(dialog), ApplicationIconName());
  if (owner) {
    gtk_window_set_transient_for(GTK_WINDOW(dialog), GTK_WINDOW(ToWidget(owner)));
    gtk_window_set_destroy_with_parent(GTK_WINDOW(dialog), TRUE);
  }
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  gtk_container_set_border_width(GTK_CONTAINER(content), 6);
  gtk_box_set_spacing(GTK_BOX(content), 6);

  NativeWindow native;
  native.kind = NativeKind::Dialog;
  native.caption = caption;

  // Items lying inside a group box's rectangle are framed by it; the rest
  // stand in the content area. Within each, items go from top to bottom.
  auto inside = [](const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  };
  std::vector<const DialogItem*> ordered;
  for (const DialogItem& item : t.items) ordered.push_back(&item);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const DialogItem* a, const DialogItem* b) { return a->rect.top < b->rect.top; });
  std::vector<std::pair<const DialogItem*, GtkWidget*>> groups;
  for (const DialogItem* item : ordered) {
    if (item->kind != DialogItemKind::GroupBox) continue;
    const std::string title = MnemonicLabel(item->text);
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
        const std::string label = MnemonicLabel(item->text);
        widget = gtk_dialog_add_button(GTK_DIALOG(dialog), label.c_str(), item->id);
        if (item->style & BS_DEFPUSHBUTTON) {
          gtk_dialog_set_default_response(GTK_DIALOG(dialog), item->id);
          native.defaultCommand = item->id;
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
        if (inside(item->rect, group->rect)) box = groupBox;
      gtk_box_pack_start(GTK_BOX(box), widget, FALSE, FALSE, 0);
    }
    if (item->id != -1) {
      NativeWindow itemNative;
      itemNative.kind = NativeKind::DialogItem;
      m_impl->windows[ToHandle(widget)] = itemNative;
      g_signal_connect(widget, "destroy", G_CALLBACK(LinuxWindowingSignals::OnDestroy), nullptr);
      result.items.emplace_back(item->id, ToHandle(widget));
    }
  }
  gtk_widget_show_all(content);

  // Dialog units to pixels for an ordinary 9-point interface font.
  const int defaultWidth = t.width * 7 / 4;
  const int defaultHeight = t.height * 15 / 8;
  gtk_window_set_default_size(GTK_WINDOW(dialog), defaultWidth, defaultHeight);
  GtkRequisition minimum{}, natural{};
  gtk_widget_get_preferred_size(dialog, &minimum, &natural);
  const int width = std::max(defaultWidth, natural.width);
  const int height = std::max(defaultHeight, natural.height);
  result.rect = RECT{0, 0, width, height};

  g_signal_connect(dialog, "destroy", G_CALLBACK(LinuxWindowingSignals::OnDestroy), nullptr);
  g_signal_connect(dialog, "key-press-event", G_CALLBACK(LinuxWindowingSignals::OnDialogKeyPress), nullptr);
  g_signal_connect(dialog, "response", G_CALLBACK(LinuxWindowingSignals::OnDialogResponse), nullptr);
  g_signal_connect(dialog, "delete-event", G_CALLBACK(LinuxWindowingSignals::OnDialogDeleteEvent), nullptr);
  m_impl->windows[ToHandle(dialog)] = native;
  result.hwnd = ToHandle(dialog);
  return result;
}

void LinuxWindowing::NativeShowDialog(HWND dialog, HWND owner) {
  auto it = m_impl->windows.find(dialog);
  if (it == m_impl->windows.end()) return;
  GtkWidget* widget = ToWidget(dialog);
  gtk_window_set_modal(GTK_WINDOW(widget), TRUE);
  gtk_widget_show(widget);
  gtk_window_present(GTK_WINDOW(widget));
  m_impl->Trace("dialog-shown " + it->second.caption);
}

void LinuxWindowing::NativeHideDialog(HWND dialog) {
  auto it = m_impl->windows.find(dialog);
  if (it == m_impl->windows.end()) return;
  gtk_widget_hide(ToWidget(dialog));
  m_impl->Trace("dialog-hidden " + it->second.caption);
}

void LinuxWindowing::NativeDestroyWindow(HWND hwnd) {
  if (m_impl->windows.count(hwnd)) gtk_widget_destroy(ToWidget(hwnd));
}

void LinuxWindowing::NativeShowWindow(HWND hwnd, int command) {
  auto it = m_impl->windows.find(hwnd);
  if (it == m_impl->windows.end()) return;
  GtkWidget* widget = ToWidget(hwnd);
  if (it->second.kind != NativeKind::TopLevel) {
    if (command == SW_HIDE)
      gtk_widget_hide(widget);
    else
      gtk_widget_show(widget);
    return;
  }
  GtkWindow* window = GTK_WINDOW(widget);
  const bool wasVisible = gtk_widget_get_visible(widget);
  GdkWindow* surface = gtk_widget_get_window(widget);
  const GdkWindowState state = surface ? gdk_window_get_state(surface) : GdkWindowState(0);
  switch (command) {
    case SW_HIDE:
      gtk_widget_hide(widget);
      return;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      // Presenting would bring the window straight back; it is only shown
      // (if it was hidden) and then handed to the window manager.
      if (!wasVisible) gtk_widget_show(widget);
      gtk_window_iconify(window);
      if (!wasVisible) m_impl->Trace("window-shown " + it->second.caption);
      return;
    case SW_MAXIMIZE:
      gtk_window_maximize(window);
      break;
    case SW_RESTORE:
      // Out of the minimised state first (a maximised window comes back
      // maximised); otherwise out of the maximised one.
      if (state & GDK_WINDOW_STATE_ICONIFIED)
        gtk_window_deiconify(window);
      else
        gtk_window_unmaximize(window);
      break;
  }
  if (command == SW_SHOWNOACTIVATE)
    gtk_widget_show(widget);
  else
    gtk_window_present(window);
  if (!wasVisible) m_impl->Trace("window-shown " + it->second.caption);
}

void LinuxWindowing::NativeSetText(HWND hwnd, std::u16string_view text) {
  auto it = m_impl->windows.find(hwnd);
  if (it == m_impl->windows.end()) return;
  if (it->second.kind == NativeKind::TopLevel || it->second.kind == NativeKind::Dialog) {
    const std::string utf8 = WideToUtf8(text);
    gtk_window_set_title(GTK_WINDOW(ToWidget(hwnd)), utf8.c_str());
    it->second.caption = utf8;
    m_impl->Trace("caption " + utf8);
  } else if (it->second.kind == NativeKind::DialogItem && GTK_IS_LABEL(ToWidget(hwnd))) {
    const std::string utf8 = WideToUtf8(text);
    gtk_label_set_text(GTK_LABEL(ToWidget(hwnd)), utf8.c_str());
  }
}

void LinuxWindowing::NativeSetPos(HWND hwnd, const RECT& rect, bool moved, bool sized) {
  auto it = m_impl->windows.find(hwnd);
  if (it == m_impl->windows.end()) return;
  GtkWidget* widget = ToWidget(hwnd);
  const int width = std::max<LONG>(rect.right - rect.left, 0);
  const int height = std::max<LONG>(rect.bottom - rect.top, 0);
  if (it->second.kind == NativeKind::TopLevel || it->second.kind == NativeKind::Dialog) {
    if (moved) gtk_window_move(GTK_WINDOW(widget), rect.left, rect.top);
    if (sized && width > 0 && height > 0) gtk_window_resize(GTK_WINDOW(widget), width, height);
    return;
  }
  GtkWidget* container = gtk_widget_get_parent(widget);
  if (moved && container) {
    if (GTK_IS_LAYOUT(container))
      gtk_layout_move(GTK_LAYOUT(container), widget, rect.left, rect.top);
    else if (GTK_IS_FIXED(container))
      gtk_fixed_move(GTK_FIXED(container), widget, rect.left, rect.top);
  }
  if (sized) gtk_widget_set_size_request(widget, width, it->second.kind == NativeKind::ToolBar ? -1 : height);
}

void LinuxWindowing::NativeStyleChanged(HWND hwnd, DWORD, DWORD newStyle) {
  auto it = m_impl->windows.find(hwnd);
  if (it == m_impl->windows.end() || it->second.kind != NativeKind::TopLevel) return;
  // A caption or a sizing frame needs the window manager's decorations;
  // without both the window is a plain rectangle (full screen).
  const bool decorated = (newStyle & WS_CAPTION) == WS_CAPTION || (newStyle & WS_THICKFRAME);
  gtk_window_set_decorated(GTK_WINDOW(ToWidget(hwnd)), decorated);
}

void LinuxWindowing::NativeSetFocus(HWND hwnd) {
  auto it = m_impl->windows.find(hwnd);
  if (it == m_impl->windows.end()) return;
  GtkWidget* widget = ToWidget(hwnd);
  if (it->second.kind == NativeKind::TopLevel || it->second.kind == NativeKind::Dialog) {
    gtk_window_present(GTK_WINDOW(widget));
  } else if (gtk_widget_get_can_focus(widget)) {
    gtk_widget_grab_focus(widget);
  } else {
    // A host window is not focusable itself; the first focusable widget in
    // it (the runtime's view) takes the keys.
    gtk_widget_child_focus(widget, GTK_DIR_TAB_FORWARD);
  }
}

bool LinuxWindowing::NativeGetMonitorInfo(HWND nearWindow, MONITORINFO* info) {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return false;
  GdkMonitor* monitor = nullptr;
  if (nearWindow) {
    GtkWidget* widget = ToWidget(nearWindow);
    GdkWindow* gdkWindow = gtk_widget_get_window(gtk_widget_get_toplevel(widget));
    if (gdkWindow && gtk_widget_get_realized(widget)) {
      monitor = gdk_display_get_monitor_at_window(display, gdkWindow);
    } else {
      RECT rect{};
      GetWindowRect(nearWindow, &rect);
      monitor = gdk_display_get_monitor_at_point(display, (rect.left + rect.right) / 2,
                                                 (rect.top + rect.bottom) / 2);
    }
  }
  if (!monitor) monitor = gdk_display_get_primary_monitor(display);
  if (!monitor && gdk_display_get_n_monitors(display) > 0) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return false;
  GdkRectangle geometry{}, work{};
  gdk_monitor_get_geometry(monitor, &geometry);
  gdk_monitor_get_workarea(monitor, &work);
  info->rcMonitor = RECT{geometry.x, geometry.y, geometry.x + geometry.width, geometry.y + geometry.height};
  info->rcWork = RECT{work.x, work.y, work.x + work.width, work.y + work.height};
  info->dwFlags = gdk_monitor_is_primary(monitor) ? 1 : 0;
  return true;
}

int LinuxWindowing::NativeMessageBox(HWND owner, std::u16string_view text,
                                     std::u16string_view caption, UINT type) {
  if (!m_impl->initialized) return IDCANCEL;
  GtkMessageType messageType = GTK_MESSAGE_OTHER;
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      messageType = GTK_MESSAGE_ERROR;
      break;
    case MB_ICONWARNING:
      messageType = GTK_MESSAGE_WARNING;
      break;
    case MB_ICONINFORMATION:
      messageType = GTK_MESSAGE_INFO;
      break;
    case MB_ICONQUESTION:
      messageType = GTK_MESSAGE_QUESTION;
      break;
  }
  GtkButtonsType buttons = GTK_BUTTONS_OK;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      buttons = GTK_BUTTONS_OK_CANCEL;
      break;
    case MB_YESNO:
      buttons = GTK_BUTTONS_YES_NO;
      break;
  }
  GtkWindow* parent = owner ? GTK_WINDOW(gtk_widget_get_toplevel(ToWidget(owner))) : nullptr;
  const std::string utf8 = WideToUtf8(text);
  GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, messageType, buttons, "%s", utf8.c_str());
  const std::string title = WideToUtf8(caption);
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  gtk_window_set_position(GTK_WINDOW(box), parent ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gtk_window_set_icon_name(GTK_WINDOW(box), ApplicationIconName());
  if (buttons == GTK_BUTTONS_OK) gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_OK);

  LinuxWindowingSignals::MessageBoxState state;
  g_signal_connect(box, "response", G_CALLBACK(LinuxWindowingSignals::OnMessageBoxResponse), &state);
  gtk_widget_show_all(box);
  gtk_window_present(GTK_WINDOW(box));
  m_impl->Trace("messagebox-shown " + OneLine(text));

  // The program's messages keep flowing while the box is open, as they do
  // under any modal loop; a quit request ends the box and is left for the
  // loop it is meant for.
  const std::optional<int> quitCode = RunModalLoop([&state] { return state.done; });
  gtk_widget_destroy(box);
  m_impl->Trace("messagebox-closed");
  if (quitCode) PostQuitMessage(*quitCode);
  switch (state.response) {
    case GTK_RESPONSE_OK:
      return IDOK;
    case GTK_RESPONSE_YES:
      return IDYES;
    case GTK_RESPONSE_NO:
      return IDNO;
    case GTK_RESPONSE_CANCEL:
      return IDCANCEL;
  }
  // Closed without a button: a box with OK alone answers OK, as the system's
  // does; one with a choice answers Cancel (or No).
  if ((type & MB_TYPEMASK) == MB_OK) return IDOK;
  return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
}

LRESULT LinuxWindowing::NativeControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = m_impl->windows.find(control);
  if (it == m_impl->windows.end()) return 0;
  GtkWidget* widget = ToWidget(control);
  NativeWindow& native = it->second;
  if (native.kind == NativeKind::ToolBar) {
    switch (message) {
      case WM_SIZE: {
        const WindowRecord* record = Find(control);
        if (!record) return 0;
        RECT client{};
        GetClientRect(record->parent, &client);
        const int width = std::max<LONG>(client.right, 1);
        gtk_widget_set_size_request(widget, width, -1);
        gint minimum = 0, natural = 0;
        gtk_widget_get_preferred_height(widget, &minimum, &natural);
        NativeResized(control, RECT{record->rect.left, record->rect.top, record->rect.left + width,
                                    record->rect.top + natural},
                      false);
        return 0;
      }
      case TB_ENABLEBUTTON:
      case TB_CHECKBUTTON: {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* node = children; node; node = node->next) {
          GObject* item = G_OBJECT(node->data);
          if (GPOINTER_TO_UINT(g_object_get_data(item, "vellum-command")) != wParam) continue;
          if (message == TB_ENABLEBUTTON) gtk_widget_set_sensitive(GTK_WIDGET(item), lParam != 0);
        }
        g_list_free(children);
        return TRUE;
      }
    }
    return 0;
  }
  if (GTK_IS_PROGRESS_BAR(widget) && message == PBM_SETMARQUEE) {
    if (native.pulseSource) {
      g_source_remove(native.pulseSource);
      native.pulseSource = 0;
    }
    if (wParam) {
      const guint interval = lParam > 0 ? static_cast<guint>(lParam) : 30;
      native.pulseSource = g_timeout_add(interval, LinuxWindowingSignals::OnPulse, widget);
    }
    return TRUE;
  }
  return 0;
}

void LinuxWindowing::NativeWindowMenuChanged(HWND hwnd) {
  // The menu is built afresh each time it opens; drop the old one.
  auto it = m_impl->windows.find(hwnd);
  if (it == m_impl->windows.end() || !it->second.menu) return;
  gtk_widget_destroy(it->second.menu);
  it->second.menu = nullptr;
}

bool LinuxWindowing::NativeShowWindowMenu(HWND hwnd, int x, int y) {
  auto it = m_impl->windows.find(hwnd);
  const WindowRecord* record = Find(hwnd);
  if (it == m_impl->windows.end() || !record) return false;
  NativeWindowMenuChanged(hwnd);
  GtkWidget* window = ToWidget(hwnd);
  GtkWidget* menu = gtk_menu_new();
  for (const auto& [id, text] : record->windowMenu) {
    GtkWidget* item = nullptr;
    if (id == 0) {
      item = gtk_separator_menu_item_new();
    } else {
      const std::string label = MnemonicLabel(text);
      item = gtk_menu_item_new_with_mnemonic(label.c_str());
      g_object_set_data(G_OBJECT(item), "vellum-command", GUINT_TO_POINTER(id));
      g_signal_connect(item, "activate", G_CALLBACK(LinuxWindowingSignals::OnWindowMenuItem), window);
      // As in the system's window menu, what cannot happen is greyed.
      const bool normal = !record->zoomed && !record->iconic;
      if ((id == SC_RESTORE && normal) || (id == SC_MAXIMIZE && record->zoomed) ||
          (id == SC_MINIMIZE && record->iconic))
        gtk_widget_set_sensitive(item, FALSE);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
  gtk_widget_show_all(menu);
  gtk_menu_attach_to_widget(GTK_MENU(menu), window, nullptr);
  it->second.menu = menu;
  // The client area starts at the window's own origin, so client
  // coordinates are coordinates in the window's surface.
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  if (!gdkWindow) return false;
  GdkRectangle anchor{x, y, 1, 1};
  gtk_menu_popup_at_rect(GTK_MENU(menu), gdkWindow, &anchor, GDK_GRAVITY_NORTH_WEST,
                         GDK_GRAVITY_NORTH_WEST, m_impl->menuTrigger.get());
  gtk_menu_shell_select_first(GTK_MENU_SHELL(menu), FALSE);
  m_impl->Trace("window-menu-shown items=" + std::to_string(record->windowMenu.size()));
  return true;
}

void LinuxWindowing::NativeBeep() {
  if (GdkDisplay* display = gdk_display_get_default()) gdk_display_beep(display);
}

void LinuxWindowing::NativeInvalidate(HWND hwnd) {
  if (m_impl->windows.count(hwnd)) gtk_widget_queue_draw(ToWidget(hwnd));
}

void LinuxWindowing::WaitForWork() {
  if (!m_impl->initialized) {
    // Without a display nothing can ever arrive; a loop waiting here would
    // spin for ever, so it is told to end instead.
    PostQuitMessage(0);
    return;
  }
  g_main_context_iteration(nullptr, TRUE);
}

void LinuxWindowing::PumpNative() {
  if (!m_impl->initialized) return;
  g_main_context_iteration(nullptr, FALSE);
}

void LinuxWindowing::WakeUp() { g_main_context_wakeup(nullptr); }
