#pragma once
// A GInputStream that pulls its bytes from a program's IStream, a chunk at a
// time, so a response body is never read whole into memory. Reads happen on
// the thread that asks for them: the asynchronous read the engine uses is
// answered at once from the calling (main) thread, so the program's stream
// is only ever touched on the thread that created it.
#include <gio/gio.h>

struct IStream;

class StreamInputStream {
 public:
  // The largest piece read from the program's stream in one call.
  static constexpr gsize kChunkSize = 64 * 1024;

  // A new stream holding a reference on `content` (a full reference for the
  // caller). A null content gives an empty stream.
  static GInputStream* Create(IStream* content);
};
