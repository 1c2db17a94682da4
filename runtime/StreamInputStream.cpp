#include "StreamInputStream.h"

#include <algorithm>
#include <utility>

#include "com/HResult.h"
#include "com/IStream.h"

namespace {

struct VellumStreamInputStream {
  GInputStream parent;
  IStream* content;  // owned reference, released in finalize
};

struct VellumStreamInputStreamClass {
  GInputStreamClass parent_class;
};

GType VellumStreamInputStreamGetType();

VellumStreamInputStream* AsSelf(GInputStream* stream) { return reinterpret_cast<VellumStreamInputStream*>(stream); }

gssize ReadSync(GInputStream* stream, void* buffer, gsize count, GCancellable* cancellable, GError** error) {
  if (g_cancellable_set_error_if_cancelled(cancellable, error)) return -1;
  IStream* content = AsSelf(stream)->content;
  if (!content || count == 0) return 0;
  const ULONG want = static_cast<ULONG>(std::min<gsize>(count, StreamInputStream::kChunkSize));
  ULONG got = 0;
  const HRESULT hr = content->Read(buffer, want, &got);
  if (FAILED(hr)) {
    g_set_error(error, G_IO_ERROR, G_IO_ERROR_FAILED, "reading the response body failed: 0x%08x",
                static_cast<unsigned>(hr));
    return -1;
  }
  return static_cast<gssize>(std::min<ULONG>(got, want));
}

void ReadAsync(GInputStream* stream, void* buffer, gsize count, int, GCancellable* cancellable,
               GAsyncReadyCallback callback, gpointer userData) {
  g_autoptr(GTask) task = g_task_new(stream, cancellable, callback, userData);
  GError* error = nullptr;
  const gssize n = ReadSync(stream, buffer, count, cancellable, &error);
  if (n < 0)
    g_task_return_error(task, error);
  else
    g_task_return_int(task, n);
}

gssize ReadFinish(GInputStream*, GAsyncResult* result, GError** error) {
  return g_task_propagate_int(G_TASK(result), error);
}

gboolean CloseSync(GInputStream* stream, GCancellable*, GError**) {
  if (IStream* content = std::exchange(AsSelf(stream)->content, nullptr)) content->Release();
  return TRUE;
}

// Closing releases the program's stream; done at once on the calling thread
// for the same reason as reading.
void CloseAsync(GInputStream* stream, int, GCancellable* cancellable, GAsyncReadyCallback callback,
                gpointer userData) {
  g_autoptr(GTask) task = g_task_new(stream, cancellable, callback, userData);
  CloseSync(stream, cancellable, nullptr);
  g_task_return_boolean(task, TRUE);
}

gboolean CloseFinish(GInputStream*, GAsyncResult* result, GError** error) {
  return g_task_propagate_boolean(G_TASK(result), error);
}

void Finalize(GObject* object) {
  if (IStream* content = std::exchange(reinterpret_cast<VellumStreamInputStream*>(object)->content, nullptr))
    content->Release();
  G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

void ClassInit(gpointer klass, gpointer) {
  G_OBJECT_CLASS(klass)->finalize = Finalize;
  auto* streamClass = G_INPUT_STREAM_CLASS(klass);
  streamClass->read_fn = ReadSync;
  streamClass->read_async = ReadAsync;
  streamClass->read_finish = ReadFinish;
  streamClass->close_fn = CloseSync;
  streamClass->close_async = CloseAsync;
  streamClass->close_finish = CloseFinish;
}

void InstanceInit(GTypeInstance* instance, gpointer) {
  reinterpret_cast<VellumStreamInputStream*>(instance)->content = nullptr;
}

GType VellumStreamInputStreamGetType() {
  static gsize type = 0;
  if (g_once_init_enter(&type)) {
    const GTypeInfo info = {
        sizeof(VellumStreamInputStreamClass), nullptr, nullptr, ClassInit, nullptr, nullptr,
        sizeof(VellumStreamInputStream),      0,       InstanceInit,       nullptr,
    };
    const GType t =
        g_type_register_static(G_TYPE_INPUT_STREAM, "VellumStreamInputStream", &info, static_cast<GTypeFlags>(0));
    g_once_init_leave(&type, t);
  }
  return type;
}

}  // namespace

GInputStream* StreamInputStream::Create(IStream* content) {
  auto* stream = static_cast<VellumStreamInputStream*>(g_object_new(VellumStreamInputStreamGetType(), nullptr));
  stream->content = content;
  if (content) content->AddRef();
  return G_INPUT_STREAM(stream);
}
