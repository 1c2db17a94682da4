// vellumview-bundle-entry APPDIR WORKDIR OUTDIR [--icon NAME] [--metainfo VERSION SUMMARY]:
// checks APPDIR/settings.json as the program will read it and writes into
// OUTDIR the desktop entry that starts the program in WORKDIR (where the
// application will live) for that application, showing the icon NAME
// ("vellumview" unless given), printing the entry's path; with --metainfo
// also the application's AppStream metainfo beside it, printing its path on
// a second line. scripts/bundle-app uses it; exit status 0 on success, 1
// with one line on standard error when the settings are not fit to ship or
// a file cannot be written, 2 for a bad command line.
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

#include "com/HResult.h"
#include "tools/bundle/DesktopEntry.h"
#include "tools/bundle/MetaInfo.h"
#include "tools/bundle/SettingsCheck.h"
#include "util/CommandLineTool.h"
#include "util/ReadFileToString.h"
#include "util/Strings.h"

namespace {

constexpr CommandLineTool kTool("vellumview-bundle-entry");

constexpr const char* kUsage =
    "usage: vellumview-bundle-entry APPDIR WORKDIR OUTDIR [--icon NAME] [--metainfo VERSION SUMMARY]";

// Writes a new file (never one that exists), or says why it could not.
int WriteNewFile(const std::filesystem::path& file, const std::string& text) {
  std::FILE* out = std::fopen(file.c_str(), "wx");
  if (!out) return kTool.Fail(1, file.string() + ": cannot be created");
  const bool written = std::fputs(text.c_str(), out) >= 0;
  if (std::fclose(out) != 0 || !written) return kTool.Fail(1, file.string() + ": cannot be written");
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 4) return kTool.Fail(2, kUsage);
  std::string icon = "vellumview";
  bool metainfo = false;
  std::string version, summary;
  for (int i = 4; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--icon" && i + 1 < argc) {
      icon = argv[++i];
    } else if (option == "--metainfo" && i + 2 < argc) {
      metainfo = true;
      version = argv[++i];
      summary = argv[++i];
    } else {
      return kTool.Fail(2, kUsage);
    }
  }
  const std::filesystem::path folder(argv[1]);
  std::string text;
  // The program reads at most this much of its settings file as well.
  const HRESULT hr = ReadFileToString(Utf8ToWide((folder / "settings.json").string()), text);
  if (FAILED(hr)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    return kTool.Fail(1, (folder / "settings.json").string() + ": cannot be read (" + code + ")");
  }
  Settings settings;
  std::string error;
  const auto startPageExists = [&folder](const std::u16string& page) {
    std::error_code ec;
    return std::filesystem::is_regular_file(folder / WideToUtf8(page), ec);
  };
  if (!SettingsCheck::Check(text, startPageExists, &settings, &error)) return kTool.Fail(1, error);
  const std::string title = WideToUtf8(settings.title);
  const auto entry = DesktopEntry::Make(title, WideToUtf8(settings.browserID), argv[2], icon);
  if (!entry) return kTool.Fail(1, "the working directory cannot be written into a desktop entry");
  const std::string entryName = DesktopEntry::FileName(WideToUtf8(settings.browserID));
  const std::filesystem::path file = std::filesystem::path(argv[3]) / entryName;
  if (const int failed = WriteNewFile(file, *entry)) return failed;
  std::printf("%s\n", file.c_str());
  if (!metainfo) return 0;
  // AppStream names the file by the component id.
  const std::string browserId = WideToUtf8(settings.browserID);
  const std::filesystem::path info = std::filesystem::path(argv[3]) / (MetaInfo::ComponentId(browserId) + ".metainfo.xml");
  // The release is dated today (UTC), the day it is packaged.
  char date[16] = "1970-01-01";
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  if (gmtime_r(&now, &utc)) std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
  if (const int failed = WriteNewFile(info, MetaInfo::Make(title, browserId, version, summary, date))) return failed;
  std::printf("%s\n", info.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return kTool.Main(Run, argc, argv); }
