// The two spellings of a local address and the port of a user-data folder.
#include "LoopbackAddress.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <set>

#include "com/HResult.h"
#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

std::optional<std::string> Maybe(const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; }

TEST(LoopbackAddress, MapsOnlyLocalFileAddressesToTheServerAndBack) {
  const LoopbackAddress address(20001);
  struct Case { const char *fileUri, *serverUri, *back; };  // serverUri nullptr: not local
  const Case cases[] = {
      {"file:///h/i.html", "http://127.0.0.1:20001/h/i.html", "file:///h/i.html"},
      {"FILE:///h/A.JS", "http://127.0.0.1:20001/h/A.JS", "file:///h/A.JS"},
      // One origin for every spelling of a local file.
      {"file://localhost/h/b.css", "http://127.0.0.1:20001/h/b.css", "file:///h/b.css"},
      {"file://LocalHost/x", "http://127.0.0.1:20001/x", "file:///x"},
      {"file:/a/b", "http://127.0.0.1:20001/a/b", "file:///a/b"},
      // Query and fragment travel with the address; escapes stay as written.
      {"file:///a.wasm?v=2#top", "http://127.0.0.1:20001/a.wasm?v=2#top", "file:///a.wasm?v=2#top"},
      {"file:///a/b%20c%3F", "http://127.0.0.1:20001/a/b%20c%3F", "file:///a/b%20c%3F"},
      // Another host is no local file, nor an address without a path (the
      // decoder's own rule); neither are other schemes.
      {"file://", nullptr, nullptr}, {"file://localhost?q", nullptr, nullptr},
      {"file://otherhost/etc/passwd", nullptr, nullptr}, {"file://127.0.0.1/etc/passwd", nullptr, nullptr},
      {"files:///a", nullptr, nullptr}, {"https://example.com/a", nullptr, nullptr}, {"fil", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(address.ToServerUri(c.fileUri), Maybe(c.serverUri)) << c.fileUri;
    EXPECT_EQ(LoopbackAddress::IsLocalFileUri(c.fileUri), c.serverUri != nullptr) << c.fileUri;
    if (c.serverUri) {
      EXPECT_EQ(address.ToFileUri(c.serverUri), c.back) << c.fileUri;
    }
  }
  // Only this server's addresses go back to file://; everything else passes unchanged.
  for (const char* other : {"http://127.0.0.1:200011/a", "http://127.0.0.1:2000/a", "http://127.0.0.1:20002/a",
                            "https://127.0.0.1:20001/a", "http://localhost:20001/a", "http://127.0.0.1/a", "", "about:blank"}) {
    EXPECT_FALSE(address.IsServerUri(other)) << other;
    EXPECT_EQ(address.ToFileUri(other), other);
  }
  EXPECT_TRUE(address.IsServerUri("HTTP://127.0.0.1:20001"));
  EXPECT_TRUE(address.IsServerUri("http://127.0.0.1:20001?x"));
}

TEST(LoopbackAddress, EveryPathComesBackFromTheServerAsTheSameFile) {
  // Random paths of awkward bytes (escapes, '?', '#', '%', spaces, non-ASCII)
  // through URL, server address and back must decode to the same path.
  std::mt19937 random(12345);
  const std::u16string alphabet = u"ab/%?#& +;=:@\u00e9\u65e5.~\\";
  const LoopbackAddress address(LoopbackAddress::PortForFolder("/x"));
  for (int i = 0; i < 2000; ++i) {
    std::u16string path = u"/";
    const int length = static_cast<int>(random() % 24);
    for (int j = 0; j < length; ++j) path += alphabet[random() % alphabet.size()];
    const std::string fileUri = WideToUtf8(PathToFileUrl(path));
    const auto serverUri = address.ToServerUri(fileUri);
    ASSERT_TRUE(serverUri) << fileUri;
    std::u16string back;
    ASSERT_EQ(FileUrlToPath(Utf8ToWide(address.ToFileUri(*serverUri)), back), S_OK) << *serverUri;
    EXPECT_EQ(back, path) << fileUri;
  }
}

TEST(LoopbackAddress, APortPerFolderStableAndBelowTheEphemeralRange) {
  std::set<std::uint16_t> ports;
  for (const char* folder : {"", "/home/a/.local/share/Corvella/vellumview", "/home/a/.local/share/Corvella/app1",
                             "/home/a/.local/share/Corvella/app2", "/home/b/.local/share/Corvella/app1"}) {
    const std::uint16_t port = LoopbackAddress::PortForFolder(folder);
    EXPECT_GE(port, 20000) << folder;
    EXPECT_LT(port, 32768) << folder;
    ports.insert(port);
  }
  EXPECT_EQ(ports.size(), 5u) << "different applications share a port";
  // A fixed value, so that a change of the rule (which would empty every
  // application's storage on upgrade) cannot go unnoticed.
  EXPECT_EQ(LoopbackAddress::PortForFolder("/home/a/.local/share/Corvella/vellumview"), 26171);
}

}  // namespace
