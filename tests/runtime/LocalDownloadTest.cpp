#include "LocalDownload.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

namespace {

TEST(LocalDownload, NumbersANameThatIsTaken) {
  g_autofree char* folder = g_dir_make_tmp("vellum-download-XXXXXX", nullptr);
  const std::string base = folder;
  EXPECT_EQ(LocalDownload::UniquePath(base, "a.pdf"), base + "/a.pdf");
  g_file_set_contents((base + "/a.pdf").c_str(), "x", 1, nullptr);
  EXPECT_EQ(LocalDownload::UniquePath(base, "a.pdf"), base + "/a (1).pdf");
  g_file_set_contents((base + "/a (1).pdf").c_str(), "x", 1, nullptr);
  EXPECT_EQ(LocalDownload::UniquePath(base, "a.pdf"), base + "/a (2).pdf");
  g_file_set_contents((base + "/README").c_str(), "x", 1, nullptr);
  EXPECT_EQ(LocalDownload::UniquePath(base, "README"), base + "/README (1)");
  g_file_set_contents((base + "/.hidden").c_str(), "x", 1, nullptr);
  EXPECT_EQ(LocalDownload::UniquePath(base, ".hidden"), base + "/.hidden (1)");
  for (const char* name : {"a.pdf", "a (1).pdf", "README", ".hidden"}) g_remove((base + "/" + name).c_str());
  g_rmdir(folder);
}

TEST(LocalDownload, FolderCanBeNamedByTheEnvironment) {
  g_setenv("VELLUMVIEW_DOWNLOAD_DIR", "/tmp/somewhere", TRUE);
  EXPECT_EQ(LocalDownload::Folder(), "/tmp/somewhere");
  g_unsetenv("VELLUMVIEW_DOWNLOAD_DIR");
  EXPECT_FALSE(LocalDownload::Folder().empty());
}

}  // namespace
