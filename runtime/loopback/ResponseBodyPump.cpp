#include "runtime/loopback/ResponseBodyPump.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "com/CoTaskMem.h"

ResponseBodyPump::ResponseBodyPump(SoupServerMessage* message, ComPtr<IStream> content)
    : m_message(message), m_content(std::move(content)) {}

void ResponseBodyPump::Start(SoupServerMessage* message, ComPtr<IStream> content) {
  Attach(message, std::unique_ptr<ResponseBodyPump>(new (std::nothrow) ResponseBodyPump(message, std::move(content))));
}

void ResponseBodyPump::Attach(SoupServerMessage* message, std::unique_ptr<ResponseBodyPump> owned) {
  if (!owned) {
    // Out of memory: the page gets a reset connection rather than a body
    // that claims to be complete.
    Reset(message);
    return;
  }
  ResponseBodyPump* pump = owned.release();
  // Written pieces are dropped at once instead of being kept for a caller
  // that would want the whole body afterwards.
  soup_message_body_set_accumulate(soup_server_message_get_response_body(message), FALSE);
  // The message owns the pump: it goes when the message does, whether the
  // body was sent in full or the page went away.
  g_object_set_data_full(G_OBJECT(message), "vellumview-body-pump", pump,
                         [](gpointer data) { delete static_cast<ResponseBodyPump*>(data); });
  g_signal_connect(message, "wrote-chunk", G_CALLBACK(&ResponseBodyPump::OnWroteChunk), pump);
  SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
  bool framed = soup_message_headers_get_one(headers, "Content-Length") != nullptr;
  // A stream that knows its size has its body announced with that length:
  // the engine reads a body of known length much faster. The length is then
  // a promise: reads stop there, and a stream that ends sooner is a failure.
  STATSTG stat{};
  if (!framed && pump->m_content && pump->m_content->Stat(&stat, STATFLAG_NONAME) == S_OK) {
    CoTaskMemFree(stat.pwcsName);
    soup_message_headers_set_content_length(headers, static_cast<goffset>(stat.cbSize));
    pump->m_limited = true;
    pump->m_remaining = stat.cbSize;
    framed = true;
  }
  pump->Next();
  if (framed) {
    pump->Fill();
    return;
  }
  // The first piece is in the body now; if it was also the last, the body's
  // whole length is known.
  if (pump->m_done) {
    soup_message_headers_set_content_length(headers, soup_server_message_get_response_body(message)->length);
  } else {
    soup_message_headers_set_encoding(headers, SOUP_ENCODING_EOF);
    pump->Fill();
  }
}

void ResponseBodyPump::OnWroteChunk(SoupServerMessage*, gpointer data) {
  auto* pump = static_cast<ResponseBodyPump*>(data);
  if (pump->m_queued > 0) --pump->m_queued;
  pump->Fill();
}

void ResponseBodyPump::Fill() {
  while (!m_done && m_queued < kPiecesInFlight) Next();
}

void ResponseBodyPump::Next() {
  if (m_done) return;
  SoupMessageBody* body = soup_server_message_get_response_body(m_message);
  // A body of announced length never needs a piece larger than what is left
  // of it (small files are the common case: a page's modules and styles).
  const auto chunk = static_cast<std::uint32_t>(m_limited ? std::min<std::uint64_t>(kChunkSize, m_remaining) : kChunkSize);
  auto* buffer = static_cast<unsigned char*>(g_try_malloc(chunk ? chunk : 1));
  std::uint32_t got = 0;
  if (!buffer || !Read(buffer, chunk, &got)) {
    g_free(buffer);
    Abort();
    return;
  }
  if (got > 0) {
    soup_message_body_append_take(body, buffer, got);
    ++m_queued;
  } else {
    g_free(buffer);
  }
  // The last piece (the announced length reached, or a short read of a
  // stream without one) ends the body at once, so the server does not wait
  // for another "wrote-chunk" that would only find nothing more.
  if (m_limited ? m_remaining == 0 : got < chunk) {
    m_done = true;
    soup_message_body_complete(body);
    m_content = nullptr;
  }
}

bool ResponseBodyPump::Read(unsigned char* buffer, std::uint32_t size, std::uint32_t* got) {
  *got = 0;
  if (!m_content) return true;  // an empty body
  const auto want = static_cast<ULONG>(m_limited ? std::min<std::uint64_t>(size, m_remaining) : size);
  ULONG read = 0;
  if (want > 0 && FAILED(m_content->Read(buffer, want, &read))) return false;
  *got = std::min<ULONG>(read, want);
  if (!m_limited) return true;
  m_remaining -= *got;
  // Fewer bytes than announced (a file that shrank under the answer, say):
  // the promised length cannot be kept, so this is a failure, not a short body.
  return *got == want;
}

void ResponseBodyPump::Abort() {
  m_done = true;
  m_content = nullptr;
  Reset(m_message);
}

void ResponseBodyPump::Reset(SoupServerMessage* message) {
  GSocket* socket = soup_server_message_get_socket(message);
  if (!socket) return;
  // With lingering switched off, closing sends a reset instead of the
  // orderly end that would pass for the end of the body.
  const struct linger noLinger {1, 0};
  ::setsockopt(g_socket_get_fd(socket), SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
  g_socket_close(socket, nullptr);
}
