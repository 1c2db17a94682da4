#pragma once
// Sends a response body to the page a piece at a time, with flow control: at
// most kPiecesInFlight pieces of up to kChunkSize bytes are read and handed
// to the server, and another is read only once the server has written one
// of them to the connection. So no body is ever held whole, a page that reads
// slowly makes nothing pile up in this process (at most the pieces in flight,
// 512 KiB per response), and the engine's network process receives the bytes
// in large batches instead of one message per small piece. Two pieces rather
// than one keep the socket fed while the next piece is being read, so the
// connection does not stand idle between pieces (measured on a 200 MB read:
// about 13% more throughput, in 5 of 6 interleaved rounds).
//
// The body comes from a stream read on the main thread (the thread the
// program's objects belong to): the program's own, or a file stream over the
// part of a file the runtime answers with itself.
//
// A stream that tells its size (Stat) has its body announced with that
// length. Otherwise the first piece decides how the body is framed, unless
// the headers already give a length: a body that
// fits in one piece goes out with its Content-Length (and the connection
// stays open for the next request); a longer one is sent until the
// connection closes. Chunked framing would also do, but the engine's
// network process reads chunked bodies several times slower (measured: 30
// against 150 MB/s on the same file). A body whose reading fails part way
// ends with the connection reset, never with a clean close, so the page sees
// an error rather than a shorter file.
#include <libsoup/soup.h>

#include <cstdint>
#include <memory>

#include "com/ComPtr.h"
#include "com/IStream.h"

class ResponseBodyPump {
 public:
  static constexpr std::uint32_t kChunkSize = 256 * 1024;
  static constexpr std::uint32_t kPiecesInFlight = 2;

  // Streams `content` (null: an empty body) as the body of `message`. The
  // message owns the pump from here on.
  static void Start(SoupServerMessage* message, ComPtr<IStream> content);

  ResponseBodyPump(const ResponseBodyPump&) = delete;
  ResponseBodyPump& operator=(const ResponseBodyPump&) = delete;

 private:
  ResponseBodyPump(SoupServerMessage* message, ComPtr<IStream> content);
  static void Attach(SoupServerMessage* message, std::unique_ptr<ResponseBodyPump> pump);
  static void OnWroteChunk(SoupServerMessage* message, gpointer pump);

  // Reads the next piece and hands it to the server, or ends the body.
  void Next();
  // Keeps up to kPiecesInFlight pieces handed to the server and not yet written.
  void Fill();
  // Reads up to `size` bytes; false on a read failure.
  bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t* got);
  // A body that failed part way must not look complete to the page: the
  // connection is reset instead of ending the body normally.
  void Abort();
  static void Reset(SoupServerMessage* message);

  SoupServerMessage* m_message;  // not owned: the message owns this pump
  ComPtr<IStream> m_content;
  std::uint64_t m_remaining = 0;  // of the stream's announced length
  bool m_limited = false;         // the stream's length was announced
  bool m_done = false;
  std::uint32_t m_queued = 0;  // pieces handed to the server, not yet written
};
