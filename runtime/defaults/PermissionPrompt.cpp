#include "runtime/defaults/PermissionPrompt.h"

#include <utility>

#include "platform/linux/GObjectPtr.h"
#include "runtime/defaults/RuntimeText.h"
#include "runtime/defaults/WidgetStyle.h"

namespace {

constexpr char kStyle[] =
    ".vellum-permission { background-color: @theme_bg_color; border: 1px solid @borders;"
    " border-top: none; border-radius: 0 0 4px 4px; padding: 6px 10px; }";

constexpr char kLocalOrigin[] = "file";

GtkWidget* Button(const char* text, const char* name) {
  GtkWidget* button = gtk_button_new_with_label(text);
  gtk_widget_set_name(button, name);
  return button;
}

}  // namespace

PermissionPrompt::PermissionPrompt(WebKitWebView* view, AddressMap programUri)
    : m_view(view),
      m_programUri(std::move(programUri)),
      m_bar(GTK_WIDGET(g_object_ref_sink(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8)))),
      m_text(gtk_label_new("")) {
  gtk_widget_set_name(m_bar, kName);
  gtk_widget_set_name(m_text, kTextLabel);
  gtk_widget_set_halign(m_bar, GTK_ALIGN_CENTER);
  gtk_widget_set_valign(m_bar, GTK_ALIGN_START);
  gtk_label_set_line_wrap(GTK_LABEL(m_text), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(m_text), 60);
  AddWidgetStyle(m_bar, kStyle, "vellum-permission");
  GtkWidget* allow = Button(RuntimeText("Allow"), kAllowButton);
  GtkWidget* block = Button(RuntimeText("Block"), kBlockButton);
  PackHidden(m_bar, {m_text, allow, block});
  g_signal_connect(allow, "clicked", G_CALLBACK(OnAllow), this);
  g_signal_connect(block, "clicked", G_CALLBACK(OnBlock), this);
  m_queue.OnCurrentChanged([this] { ShowCurrent(); });
}

PermissionPrompt::~PermissionPrompt() {
  m_queue.OnCurrentChanged(nullptr);
  m_queue.RefuseAll();
  gtk_container_foreach(GTK_CONTAINER(m_bar), [](GtkWidget* child, gpointer self) {
    g_signal_handlers_disconnect_by_data(child, self);
  }, this);
  g_object_unref(m_bar);
}

gboolean PermissionPrompt::OnRequest(WebKitPermissionRequest* request) {
  const std::string origin = OriginOf(m_programUri(webkit_web_view_get_uri(m_view)));
  const Kind kind = KindOf(request);
  m_questions[kind.id] = kind.question;
  m_queue.Ask(origin, kind.id, [held = GObjectPtr<WebKitPermissionRequest>::Ref(request)](bool allowed) {
    if (allowed)
      webkit_permission_request_allow(held.Get());
    else
      webkit_permission_request_deny(held.Get());
  });
  return TRUE;
}

PermissionPrompt::Kind PermissionPrompt::KindOf(WebKitPermissionRequest* request) {
  if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request))
    return {"notifications", RuntimeTextMark("%s wants to show notifications.")};
  if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request)) return {"geolocation", RuntimeTextMark("%s wants to know your location.")};
  if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
    auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
    if (webkit_user_media_permission_is_for_display_device(media))
      return {"display", RuntimeTextMark("%s wants to see your screen.")};
    const bool audio = webkit_user_media_permission_is_for_audio_device(media);
    const bool video = webkit_user_media_permission_is_for_video_device(media);
    if (audio && video) return {"camera-microphone", RuntimeTextMark("%s wants to use your camera and microphone.")};
    if (video) return {"camera", RuntimeTextMark("%s wants to use your camera.")};
    return {"microphone", RuntimeTextMark("%s wants to use your microphone.")};
  }
  if (WEBKIT_IS_CLIPBOARD_PERMISSION_REQUEST(request))
    return {"clipboard", RuntimeTextMark("%s wants to see what you copied to the clipboard.")};
  if (WEBKIT_IS_POINTER_LOCK_PERMISSION_REQUEST(request))
    return {"pointer-lock", RuntimeTextMark("%s wants to hide and lock your mouse pointer.")};
  if (WEBKIT_IS_DEVICE_INFO_PERMISSION_REQUEST(request))
    return {"device-info", RuntimeTextMark("%s wants to know which cameras and microphones you have.")};
  if (WEBKIT_IS_MEDIA_KEY_SYSTEM_PERMISSION_REQUEST(request))
    return {"media-key-system", RuntimeTextMark("%s wants to play protected content.")};
  if (WEBKIT_IS_WEBSITE_DATA_ACCESS_PERMISSION_REQUEST(request))
    return {"website-data", RuntimeTextMark("%s wants to use its cookies and stored data inside this page.")};
  if (WEBKIT_IS_INSTALL_MISSING_MEDIA_PLUGINS_PERMISSION_REQUEST(request))
    return {"media-plugins", RuntimeTextMark("%s wants to install missing media plugins.")};
  return {G_OBJECT_TYPE_NAME(request), RuntimeTextMark("%s wants to use a feature of your device.")};
}

std::string PermissionPrompt::OriginOf(const std::string& programUri) {
  g_autoptr(GUri) uri = g_uri_parse(programUri.c_str(), G_URI_FLAGS_NONE, nullptr);
  if (!uri) return programUri;
  const std::string scheme = g_uri_get_scheme(uri);
  const char* host = g_uri_get_host(uri);
  if (scheme == "file" || !host || !*host) return scheme == "file" ? kLocalOrigin : scheme + ":";
  g_autofree char* origin = g_uri_join(G_URI_FLAGS_NONE, scheme.c_str(), nullptr, host, g_uri_get_port(uri), "",
                                       nullptr, nullptr);
  return origin;
}

void PermissionPrompt::ShowCurrent() {
  const PermissionQueue::Question* question = m_queue.Current();
  if (!question) {
    gtk_widget_hide(m_bar);
    return;
  }
  const std::string who = question->origin == kLocalOrigin ? RuntimeText("This application") : question->origin;
  g_autofree char* text = g_strdup_printf(RuntimeText(m_questions[question->kind].c_str()), who.c_str());
  gtk_label_set_text(GTK_LABEL(m_text), text);
  gtk_widget_show(m_bar);
}

void PermissionPrompt::OnAllow(GtkButton*, gpointer self) { static_cast<PermissionPrompt*>(self)->m_queue.AnswerCurrent(true); }

void PermissionPrompt::OnBlock(GtkButton*, gpointer self) { static_cast<PermissionPrompt*>(self)->m_queue.AnswerCurrent(false); }
