#include "ResponseBodyPump.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

ResponseBodyPump::ResponseBodyPump(SoupServerMessage* message, ComPtr<IStream> content, UniqueFd file,
                                   std::uint64_t offset, std::uint64_t length)
    : m_message(message), m_content(std::move(content)), m_file(std::move(file)), m_offset(offset),
      m_remaining(length) {}

void ResponseBodyPump::Start(SoupServerMessage* message, ComPtr<IStream> content) {
  Attach(message, std::unique_ptr<ResponseBodyPump>(
                      new (std::nothrow) ResponseBodyPump(message, std::move(content), UniqueFd(), 0, 0)));
}

void ResponseBodyPump::Start(SoupServerMessage* message, UniqueFd file, std::uint64_t offset, std::uint64_t length) {
  Attach(message, std::unique_ptr<ResponseBodyPump>(
                      new (std::nothrow) ResponseBodyPump(message, nullptr, std::move(file), offset, length)));
}

void ResponseBodyPump::Attach(SoupServerMessage* message, std::unique_ptr<ResponseBodyPump> owned) {
  if (!owned) {
    // Out of memory: the page gets a cut connection rather than a body
    // that claims to be complete.
    if (GSocket* socket = soup_server_message_get_socket(message)) g_socket_shutdown(socket, TRUE, TRUE, nullptr);
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
  pump->Next();
}

void ResponseBodyPump::OnWroteChunk(SoupServerMessage*, gpointer pump) { static_cast<ResponseBodyPump*>(pump)->Next(); }

void ResponseBodyPump::Next() {
  if (m_done) return;
  SoupMessageBody* body = soup_server_message_get_response_body(m_message);
  auto* buffer = static_cast<unsigned char*>(g_try_malloc(kChunkSize));
  std::uint32_t got = 0;
  if (!buffer || !Read(buffer, kChunkSize, &got)) {
    g_free(buffer);
    Abort();
    return;
  }
  if (got > 0) {
    soup_message_body_append_take(body, buffer, got);
  } else {
    g_free(buffer);
  }
  // A short piece is the last one; the server is told at once, so it does
  // not wait for another "wrote-chunk" that would only find nothing more.
  if (got < kChunkSize) {
    m_done = true;
    soup_message_body_complete(body);
    m_content = nullptr;
    m_file = UniqueFd();
  }
}

bool ResponseBodyPump::Read(unsigned char* buffer, std::uint32_t size, std::uint32_t* got) {
  *got = 0;
  if (m_content) {
    ULONG read = 0;
    const HRESULT hr = m_content->Read(buffer, size, &read);
    if (FAILED(hr)) return false;
    *got = std::min<ULONG>(read, size);
    return true;
  }
  if (!m_file.IsValid()) return true;  // an empty body
  while (*got < size && m_remaining > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size - *got, m_remaining));
    const ssize_t n = ::pread(m_file.Get(), buffer + *got, want, static_cast<off_t>(m_offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    // The file shrank under the answer: the length already promised cannot
    // be kept, so this is a failure, not a short body.
    if (n == 0) return false;
    *got += static_cast<std::uint32_t>(n);
    m_offset += static_cast<std::uint64_t>(n);
    m_remaining -= static_cast<std::uint64_t>(n);
  }
  return true;
}

void ResponseBodyPump::Abort() {
  m_done = true;
  m_content = nullptr;
  m_file = UniqueFd();
  if (GSocket* socket = soup_server_message_get_socket(m_message)) g_socket_shutdown(socket, TRUE, TRUE, nullptr);
}
