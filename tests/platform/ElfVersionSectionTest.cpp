#include "platform/linux/ElfVersionSection.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>
#include <vector>

#include "platform/ISystem.h"
#include "tests/util/TemporaryDirectory.h"
#include "util/Win32Error.h"

namespace {

// A small ELF image in either class and byte order: header, section
// contents, the name table, then the section header table.
struct Elf {
  using Sections = std::vector<std::tuple<std::string, std::uint32_t, std::string>>;  // name, type, content

  Elf(bool is64, bool big, const Sections& sections)
      : is64(is64), big(big), width(is64 ? 8 : 4), entrySize(is64 ? 64 : 40), tableOffsetAt(is64 ? 0x28 : 0x20),
        countAt(is64 ? 0x3C : 0x30), bytes(is64 ? 64 : 52, '\0') {
    std::string names(1, '\0');
    std::vector<std::array<std::uint64_t, 4>> entries(1);  // name, type, offset, size; a null section first
    for (const auto& [name, type, content] : sections) {
      entries.push_back({names.size(), type, bytes.size(), content.size()});
      names += name + '\0';
      bytes += content;
    }
    entries.push_back({names.size(), 3, bytes.size(), names.size() + 10});
    bytes += names + ".shstrtab" + '\0';
    bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
    tableAt = bytes.size();
    bytes.resize(tableAt + entries.size() * entrySize, '\0');
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::size_t at = tableAt + i * entrySize;
      const std::pair<std::size_t, std::size_t> fields[] = {{0, 4}, {4, 4}, {is64 ? 24 : 16, width}, {is64 ? 32 : 20, width}};
      for (std::size_t f = 0; f < 4; ++f) Put(at + fields[f].first, entries[i][f], fields[f].second);
    }
    bytes.replace(0, 7, std::string("\x7F" "ELF") + char(is64 ? 2 : 1) + char(big ? 2 : 1) + '\1');
    Put(tableOffsetAt, tableAt, width);
    Put(countAt - 2, entrySize, 2);
    Put(countAt, entries.size(), 2);
    Put(countAt + 2, entries.size() - 1, 2);  // the name table's index
  }

  void Put(std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes[big ? at + size - 1 - i : at + i] = char(value >> (8 * i));
  }

  bool is64, big;
  std::size_t width, entrySize, tableOffsetAt, countAt;
  std::string bytes;
  std::size_t tableAt = 0;
};

const std::pair<bool, bool> kLayouts[] = {{true, false}, {false, false}, {true, true}, {false, true}};
std::string Terminated(std::string text) { return text + '\0'; }

TEST(ElfVersionSection, FindsTheSectionByNameInEveryLayout) {
  struct Case { Elf::Sections sections; std::optional<std::string> expected; };
  const Case cases[] = {
      {{{".text", 1, std::string(40, '\x90')}, {".vellumview_versionX", 1, Terminated("1.1.1.1")},
        {".vellumview_version", 1, Terminated("130.0.2839.0") + "padding"}, {".data", 1, "abc"}}, "130.0.2839.0"},
      {{{".text", 1, "x"}}, std::nullopt},
      {{{".vellumview_version", 1, Terminated("")}}, std::nullopt},
      {{{".vellumview_version", 8, Terminated("130.0.0.0")}}, std::nullopt},  // no bits in the file
      {{{".vellumview_version", 1, "131.0.1.0"}}, "131.0.1.0"},  // without a terminator the text is taken whole
      {{{".vellumview_version", 1, std::string(ElfVersionSection::kMaximumLength + 1, '7')}}, std::nullopt},
  };
  for (const auto& [is64, big] : kLayouts) {
    for (const Case& c : cases)
      EXPECT_EQ(ElfVersionSection::FindInBytes(Elf(is64, big, c.sections).bytes), c.expected)
          << (is64 ? 64 : 32) << (big ? " big-endian, case " : " little-endian, case ") << &c - cases;
  }
}

TEST(ElfVersionSection, DamagedHeadersFailWithoutReadingOutside) {
  // Header fields pointing past the end are the truncations below; these
  // are identities the reader must refuse rather than guess at.
  const std::vector<std::function<void(Elf&)>> damages = {
      [](Elf& e) { e.bytes[4] = 3; }, [](Elf& e) { e.bytes[5] = 0; }, [](Elf& e) { e.bytes[1] = 'X'; }};
  for (const auto& [is64, big] : kLayouts) {
    SCOPED_TRACE(std::to_string(is64 ? 64 : 32) + (big ? " big-endian" : " little-endian"));
    const Elf good(is64, big, {{".vellumview_version", 1, Terminated("130.0.0.0")}});
    // Every truncation cuts into the name table's header, which comes last, and fails without reading past the end.
    for (std::size_t length = 0; length < good.bytes.size(); ++length)
      EXPECT_FALSE(ElfVersionSection::FindInBytes(std::string_view(good.bytes).substr(0, length))) << length;
    for (const auto& damage : damages) {
      Elf bad = good;
      damage(bad);
      EXPECT_FALSE(ElfVersionSection::FindInBytes(bad.bytes));
    }
    // Extended numbering: the count moves into the first entry's size, the name table index into its link.
    Elf extended = good;
    extended.Put(extended.countAt, 0, 2), extended.Put(extended.countAt + 2, 0xFFFF, 2);
    extended.Put(extended.tableAt + (is64 ? 32 : 20), 3, extended.width), extended.Put(extended.tableAt + (is64 ? 40 : 24), 2, 4);
    EXPECT_EQ(ElfVersionSection::FindInBytes(extended.bytes), "130.0.0.0");
  }
}

// Reading a built runtime's version is what the loader's end-to-end tests do.
TEST(ElfVersionSection, RefusesFilesWithoutTheSection) {
  std::u16string version;
  TemporaryDirectory dir;
  const HRESULT noVersion = HResultFromWin32(kErrorResourceTypeNotFound);
  const std::pair<std::string, HRESULT> cases[] = {
      {"/proc/self/exe", noVersion}, {"/dev/null", noVersion},  // an ELF file without the section, no regular file
      {(dir.Path() / "missing.so").string(), HResultFromWin32(2)}, {dir.Path().string(), HResultFromWin32(5)}};
  for (const auto& [path, hr] : cases) EXPECT_EQ(ElfVersionSection::ReadFromFile(path, &version), hr) << path;
  EXPECT_EQ(ElfVersionSection::ReadFromFile(VELLUM_TEST_RUNTIME, nullptr), E_POINTER);
}

}  // namespace
