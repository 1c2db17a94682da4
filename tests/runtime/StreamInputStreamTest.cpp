#include "StreamInputStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "com/RuntimeClass.h"
#include "webview/IStream.h"

namespace {

// A program stream over a text, counting its reads and the largest request.
class CountingStream final : public RuntimeClass<IStream> {
 public:
  explicit CountingStream(std::string data, HRESULT failWith = S_OK) : m_data(std::move(data)), m_fail(failWith) {}
  HRESULT Read(void* buffer, ULONG bytes, ULONG* bytesRead) override {
    ++reads;
    largestRequest = std::max(largestRequest, bytes);
    if (FAILED(m_fail)) return m_fail;
    const std::size_t n = std::min<std::size_t>(bytes, m_data.size() - m_at);
    std::copy_n(m_data.data() + m_at, n, static_cast<char*>(buffer));
    m_at += n;
    *bytesRead = static_cast<ULONG>(n);
    return n == bytes ? S_OK : S_FALSE;
  }
  int reads = 0;
  ULONG largestRequest = 0;

 private:
  std::string m_data;
  std::size_t m_at = 0;
  HRESULT m_fail;
};

std::string ReadAll(GInputStream* stream, gsize bufferSize, GError** error) {
  std::string out;
  std::string buffer(bufferSize, '\0');
  for (;;) {
    const gssize n = g_input_stream_read(stream, buffer.data(), buffer.size(), nullptr, error);
    if (n <= 0) break;
    out.append(buffer.data(), static_cast<std::size_t>(n));
  }
  return out;
}

TEST(StreamInputStream, PassesTheProgramsBytesThroughInChunks) {
  std::string data(300 * 1024, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  ComPtr<CountingStream> program = MakeComObject<CountingStream>(data);
  g_autoptr(GInputStream) stream = StreamInputStream::Create(program.Get());
  EXPECT_EQ(program->RefCount(), 2u) << "the stream holds its own reference";
  g_autoptr(GError) error = nullptr;
  EXPECT_EQ(ReadAll(stream, 1024 * 1024, &error), data);
  EXPECT_EQ(error, nullptr);
  EXPECT_LE(program->largestRequest, StreamInputStream::kChunkSize) << "never asks for the whole body at once";
  EXPECT_GE(program->reads, 5);
}

TEST(StreamInputStream, ReleasesTheProgramsStreamWhenClosedOrFreed) {
  ComPtr<CountingStream> program = MakeComObject<CountingStream>("abc");
  GInputStream* stream = StreamInputStream::Create(program.Get());
  EXPECT_TRUE(g_input_stream_close(stream, nullptr, nullptr));
  EXPECT_EQ(program->RefCount(), 1u);
  g_object_unref(stream);
  EXPECT_EQ(program->RefCount(), 1u);

  GInputStream* unclosed = StreamInputStream::Create(program.Get());
  EXPECT_EQ(program->RefCount(), 2u);
  g_object_unref(unclosed);
  EXPECT_EQ(program->RefCount(), 1u);
}

TEST(StreamInputStream, AFailingReadBecomesAnError) {
  ComPtr<CountingStream> program = MakeComObject<CountingStream>("abc", E_FAIL);
  g_autoptr(GInputStream) stream = StreamInputStream::Create(program.Get());
  char buffer[16];
  g_autoptr(GError) error = nullptr;
  EXPECT_EQ(g_input_stream_read(stream, buffer, sizeof buffer, nullptr, &error), -1);
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(g_error_matches(error, G_IO_ERROR, G_IO_ERROR_FAILED));
}

TEST(StreamInputStream, NullContentIsAnEmptyBody) {
  g_autoptr(GInputStream) stream = StreamInputStream::Create(nullptr);
  char buffer[16];
  EXPECT_EQ(g_input_stream_read(stream, buffer, sizeof buffer, nullptr, nullptr), 0);
}

struct AsyncRead {
  GMainLoop* loop;
  gssize result = -2;
  std::thread::id thread;
};

TEST(StreamInputStream, AsynchronousReadsStayOnTheCallingThread) {
  ComPtr<CountingStream> program = MakeComObject<CountingStream>("hello");
  g_autoptr(GInputStream) stream = StreamInputStream::Create(program.Get());
  g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
  AsyncRead state{loop, -2, {}};
  char buffer[16];
  g_input_stream_read_async(
      stream, buffer, sizeof buffer, G_PRIORITY_DEFAULT, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* s = static_cast<AsyncRead*>(data);
        s->result = g_input_stream_read_finish(G_INPUT_STREAM(source), result, nullptr);
        s->thread = std::this_thread::get_id();
        g_main_loop_quit(s->loop);
      },
      &state);
  g_main_loop_run(loop);
  EXPECT_EQ(state.result, 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  EXPECT_EQ(state.thread, std::this_thread::get_id());
  EXPECT_EQ(program->reads, 1);
}

}  // namespace
