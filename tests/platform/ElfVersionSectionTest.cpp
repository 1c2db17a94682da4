#include "platform/linux/ElfVersionSection.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ISystem.h"
#include "util/TemporaryDirectory.h"
#include "util/Win32Error.h"

namespace {

// Builds a small ELF image: header, section contents, the name table and the
// section header table, in either class and byte order.
class ElfImage {
 public:
  struct Section {
    std::string name;
    std::uint32_t type = 1;  // PROGBITS
    std::string content;
  };

  ElfImage(bool is64, bool bigEndian) : m_is64(is64), m_bigEndian(bigEndian) {}

  void Add(Section section) { m_sections.push_back(std::move(section)); }

  std::string Build() const {
    const std::size_t headerSize = m_is64 ? 64 : 52;
    const std::size_t entrySize = m_is64 ? 64 : 40;
    std::string names(1, '\0');
    std::vector<std::uint32_t> nameOffsets;
    for (const Section& s : m_sections) {
      nameOffsets.push_back(static_cast<std::uint32_t>(names.size()));
      names += s.name;
      names += '\0';
    }
    const std::uint32_t namesName = static_cast<std::uint32_t>(names.size());
    names += ".shstrtab";
    names += '\0';

    std::string image(headerSize, '\0');
    std::vector<std::pair<std::uint64_t, std::uint64_t>> placed;
    for (const Section& s : m_sections) {
      placed.emplace_back(image.size(), s.content.size());
      image += s.content;
    }
    const std::uint64_t namesOffset = image.size();
    image += names;
    while (image.size() % 8) image += '\0';
    const std::uint64_t tableOffset = image.size();
    const std::size_t count = m_sections.size() + 2;  // null section, sections, names

    std::string table(entrySize * count, '\0');
    for (std::size_t i = 0; i < m_sections.size(); ++i)
      WriteEntry(table, i + 1, nameOffsets[i], m_sections[i].type, placed[i].first, placed[i].second);
    WriteEntry(table, count - 1, namesName, 3, namesOffset, names.size());
    image += table;

    image[0] = 0x7F;
    image[1] = 'E';
    image[2] = 'L';
    image[3] = 'F';
    image[4] = m_is64 ? 2 : 1;
    image[5] = m_bigEndian ? 2 : 1;
    image[6] = 1;
    Put(image, m_is64 ? 0x28 : 0x20, tableOffset, m_is64 ? 8 : 4);
    Put(image, m_is64 ? 0x3A : 0x2E, entrySize, 2);
    Put(image, m_is64 ? 0x3C : 0x30, count, 2);
    Put(image, m_is64 ? 0x3E : 0x32, count - 1, 2);
    return image;
  }

  // Offsets of header fields, for tests that damage them.
  std::size_t SectionCountAt() const { return m_is64 ? 0x3C : 0x30; }
  std::size_t StringIndexAt() const { return m_is64 ? 0x3E : 0x32; }
  std::size_t TableOffsetAt() const { return m_is64 ? 0x28 : 0x20; }
  std::size_t EntrySize() const { return m_is64 ? 64 : 40; }

  void Put(std::string& image, std::size_t at, std::uint64_t value, std::size_t width) const {
    for (std::size_t i = 0; i < width; ++i) {
      const std::size_t index = m_bigEndian ? at + width - 1 - i : at + i;
      image[index] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
  }

 private:
  void WriteEntry(std::string& table, std::size_t index, std::uint32_t name, std::uint32_t type,
                  std::uint64_t offset, std::uint64_t size) const {
    const std::size_t base = index * (m_is64 ? 64 : 40);
    Put(table, base + 0, name, 4);
    Put(table, base + 4, type, 4);
    Put(table, base + (m_is64 ? 24 : 16), offset, m_is64 ? 8 : 4);
    Put(table, base + (m_is64 ? 32 : 20), size, m_is64 ? 8 : 4);
  }

  bool m_is64;
  bool m_bigEndian;
  std::vector<Section> m_sections;
};

std::string Version(std::string_view text) { return std::string(text) + std::string(1, '\0'); }

struct Layout {
  bool is64;
  bool bigEndian;
  friend void PrintTo(const Layout&, std::ostream* os) { *os << "Layout"; }
};

class ElfVersionSectionLayoutTest : public ::testing::TestWithParam<Layout> {
 protected:
  ElfImage Image() const { return ElfImage(GetParam().is64, GetParam().bigEndian); }
};

TEST_P(ElfVersionSectionLayoutTest, FindsTheSectionAmongOthers) {
  ElfImage image = Image();
  image.Add({".text", 1, std::string(40, '\x90')});
  image.Add({".vellumview_versionX", 1, Version("1.1.1.1")});
  image.Add({".vellumview_version", 1, Version("130.0.2839.0") + "padding"});
  image.Add({".data", 1, "abc"});
  EXPECT_EQ(ElfVersionSection::FindInBytes(image.Build()), "130.0.2839.0");
}

TEST_P(ElfVersionSectionLayoutTest, RejectsEmptyOrMissingOrBssSections) {
  ElfImage none = Image();
  none.Add({".text", 1, "x"});
  EXPECT_FALSE(ElfVersionSection::FindInBytes(none.Build()));
  ElfImage empty = Image();
  empty.Add({".vellumview_version", 1, Version("")});
  EXPECT_FALSE(ElfVersionSection::FindInBytes(empty.Build()));
  ElfImage bss = Image();
  bss.Add({".vellumview_version", 8, Version("130.0.0.0")});
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bss.Build()));
}

TEST_P(ElfVersionSectionLayoutTest, TextWithoutTerminatorIsTakenWhole) {
  ElfImage image = Image();
  image.Add({".vellumview_version", 1, "131.0.1.0"});
  EXPECT_EQ(ElfVersionSection::FindInBytes(image.Build()), "131.0.1.0");
  ElfImage tooLong = Image();
  tooLong.Add({".vellumview_version", 1, std::string(ElfVersionSection::kMaximumLength + 1, '7')});
  EXPECT_FALSE(ElfVersionSection::FindInBytes(tooLong.Build()));
}

TEST_P(ElfVersionSectionLayoutTest, DamagedHeadersFailWithoutReadingOutside) {
  ElfImage image = Image();
  image.Add({".vellumview_version", 1, Version("130.0.0.0")});
  const std::string good = image.Build();
  ASSERT_TRUE(ElfVersionSection::FindInBytes(good));

  // Every truncation fails or still finds the text; none reads past the end.
  for (std::size_t length = 0; length < good.size(); ++length) {
    const auto found = ElfVersionSection::FindInBytes(std::string_view(good).substr(0, length));
    if (found) {
      EXPECT_EQ(*found, "130.0.0.0");
    }
  }

  std::string bad = good;
  image.Put(bad, image.TableOffsetAt(), good.size() + 100, GetParam().is64 ? 8 : 4);
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bad));
  bad = good;
  image.Put(bad, image.StringIndexAt(), 200, 2);
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bad));
  bad = good;
  // A name table whose header would lie past the end of the file.
  image.Put(bad, image.SectionCountAt(), 0xFFFE, 2);
  image.Put(bad, image.StringIndexAt(), 0xFFFD, 2);
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bad));
  bad = good;
  bad[4] = 3;  // no such class
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bad));
  bad = good;
  bad[5] = 0;  // no byte order
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bad));
  bad = good;
  bad[1] = 'X';
  EXPECT_FALSE(ElfVersionSection::FindInBytes(bad));
}

TEST_P(ElfVersionSectionLayoutTest, ExtendedNumberingIsFollowed) {
  ElfImage image = Image();
  image.Add({".vellumview_version", 1, Version("140.1.2.3")});
  std::string bytes = image.Build();
  const bool is64 = GetParam().is64;
  const std::uint64_t tableOffset = bytes.size() - 3 * image.EntrySize();
  // The count moves into the first entry's size, the name table index into its link.
  image.Put(bytes, image.SectionCountAt(), 0, 2);
  image.Put(bytes, image.StringIndexAt(), 0xFFFF, 2);
  image.Put(bytes, tableOffset + (is64 ? 32 : 20), 3, is64 ? 8 : 4);
  image.Put(bytes, tableOffset + (is64 ? 40 : 24), 2, 4);
  EXPECT_EQ(ElfVersionSection::FindInBytes(bytes), "140.1.2.3");
}

INSTANTIATE_TEST_SUITE_P(Layouts, ElfVersionSectionLayoutTest,
                         ::testing::Values(Layout{true, false}, Layout{false, false}, Layout{true, true},
                                           Layout{false, true}));

TEST(ElfVersionSectionFile, ReadsBuiltLibrariesAndRefusesOtherFiles) {
  std::u16string version;
  ASSERT_EQ(ElfVersionSection::ReadFromFile(VELLUM_TEST_RUNTIME, &version), S_OK);
  EXPECT_EQ(version, u"131.0.1.0");

  const HRESULT noVersion = HResultFromWin32(kErrorResourceTypeNotFound);
  // An ELF file without the section: this test program.
  EXPECT_EQ(ElfVersionSection::ReadFromFile("/proc/self/exe", &version), noVersion);
  TemporaryDirectory dir;
  EXPECT_EQ(ElfVersionSection::ReadFromFile(dir.WriteFile("text.so", "not elf").string(), &version), noVersion);
  EXPECT_EQ(ElfVersionSection::ReadFromFile(dir.WriteFile("empty.so", "").string(), &version), noVersion);
  EXPECT_EQ(ElfVersionSection::ReadFromFile((dir.Path() / "missing.so").string(), &version), HResultFromWin32(2));
  EXPECT_EQ(ElfVersionSection::ReadFromFile(dir.Path().string(), &version), HResultFromWin32(5));
  EXPECT_EQ(ElfVersionSection::ReadFromFile("/dev/null", &version), noVersion);
  EXPECT_EQ(ElfVersionSection::ReadFromFile(VELLUM_TEST_RUNTIME, nullptr), E_POINTER);
}

}  // namespace
