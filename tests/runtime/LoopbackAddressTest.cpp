// The two spellings of a local address and the address and port of a user-data folder.
#include "runtime/loopback/LoopbackAddress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <set>

#include "com/HResult.h"
#include "util/FileUrl.h"
#include "util/Strings.h"

namespace {

// Which addresses name a local file (scheme and host in any case, no other
// host, a path) is the shared decoder's rule, tested with it.
TEST(LoopbackAddress, MapsOnlyLocalFileAddressesToTheServerAndBack) {
  const LoopbackAddress address("127.0.0.1", 20001);
  EXPECT_EQ(address.ToServerUri("file://LocalHost/x?q"), "http://127.0.0.1:20001/x?q");
  EXPECT_EQ(LoopbackAddress("127.9.8.7", 20001).ToServerUri("file:/a/b"), "http://127.9.8.7:20001/a/b");
  EXPECT_EQ(address.ToServerUri("file://127.0.0.1/etc/passwd"), std::nullopt);
  EXPECT_FALSE(LoopbackAddress::IsLocalFileUri("file://127.0.0.1/etc/passwd"));
  EXPECT_TRUE(LoopbackAddress::IsLocalFileUri("file:/a/b"));
  // Only this server's addresses go back to file://; everything else passes unchanged.
  EXPECT_EQ(address.ToFileUri("HTTP://127.0.0.1:20001?x"), "file:///?x");
  // A local page's object addresses show no server either.
  EXPECT_EQ(address.ToFileUri("blob:http://127.0.0.1:20001/0b1c-2d"), "blob:null/0b1c-2d");
  EXPECT_EQ(address.ToFileUri("blob:https://web.example/0b1c"), "blob:https://web.example/0b1c");
  for (const char* other : {"http://127.0.0.1:200011/a", "https://127.0.0.1:20001/a", "http://127.0.0.10:20001/a", ""}) {
    EXPECT_FALSE(address.IsServerUri(other)) << other;
    EXPECT_EQ(address.ToFileUri(other), other);
  }
}

TEST(LoopbackAddress, EveryPathComesBackFromTheServerAsTheSameFile) {
  // Random paths of awkward bytes (escapes, '?', '#', '%', spaces, non-ASCII)
  // through URL, server address and back must decode to the same path.
  std::mt19937 random(12345);
  const std::u16string alphabet = u"ab/%?#& +;=:@\u00e9\u65e5.~\\";
  const LoopbackAddress address(LoopbackAddress::HostForFolder("/x"), LoopbackAddress::PortForFolder("/x"));
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
  for (const char* folder : {"", "/home/a/.local/share/Corvella/app1", "/home/b/.local/share/Corvella/app1"}) {
    const std::uint16_t port = *ports.insert(LoopbackAddress::PortForFolder(folder)).first;
    EXPECT_GE(port, 20000) << folder;
    EXPECT_LT(port, 32768) << folder;
  }
  EXPECT_EQ(ports.size(), 3u) << "different applications share a port";
  // A fixed value, so that a change of the rule (which would empty every
  // application's storage on upgrade) cannot go unnoticed.
  EXPECT_EQ(LoopbackAddress::PortForFolder("/home/a/.local/share/Corvella/vellumview"), 26171);
}

// The host-only secret cookie is kept from other servers only while no two
// applications, and nothing the system runs, share the address.
TEST(LoopbackAddress, AnAddressPerFolderOfItsOwnInTheLoopbackRange) {
  std::set<std::string> hosts;
  for (int i = 0; i < 500; ++i) {
    const std::string folder = "/home/u/.local/share/Corvella/app" + std::to_string(i);
    const std::string host = *hosts.insert(LoopbackAddress::HostForFolder(folder)).first;
    unsigned a = 0, b = 0, c = 0, d = 0;
    char end = 0;
    ASSERT_EQ(std::sscanf(host.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &end), 4) << host;
    EXPECT_EQ(a, 127u) << host;
    EXPECT_TRUE(b >= 1 && b <= 254 && c <= 255 && d >= 1 && d <= 254) << host;
  }
  EXPECT_GE(hosts.size(), 499u) << "applications share an address";
  EXPECT_EQ(LoopbackAddress::HostForFolder("/home/a/.local/share/Corvella/vellumview"), "127.83.100.182");
}

}  // namespace
