#include "platform/linux/ElfVersionSection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/ISystem.h"
#include "util/OpenFileForReading.h"
#include "util/Strings.h"
#include "util/UniqueFd.h"
#include "util/Win32Error.h"

namespace {

constexpr std::uint32_t kSectionTypeNoBits = 8;
constexpr std::uint16_t kExtendedIndex = 0xFFFF;

// Field reader for one file's byte order.
class Fields {
 public:
  explicit Fields(bool bigEndian) : m_bigEndian(bigEndian) {}

  std::uint64_t Get(const unsigned char* at, std::size_t width) const {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
      const std::size_t index = m_bigEndian ? i : width - 1 - i;
      value = (value << 8) | at[index];
    }
    return value;
  }

 private:
  bool m_bigEndian;
};

// The layout of the headers for one ELF class.
struct Layout {
  std::size_t headerSize;
  std::size_t sectionOffsetAt, sectionOffsetWidth;
  std::size_t sectionEntrySizeAt, sectionCountAt, stringIndexAt;
  std::size_t entrySize;
  std::size_t nameAt, typeAt, linkAt;
  std::size_t offsetAt, sizeAt, addressWidth;
};

constexpr Layout kElf32{52, 0x20, 4, 0x2E, 0x30, 0x32, 40, 0, 4, 24, 16, 20, 4};
constexpr Layout kElf64{64, 0x28, 8, 0x3A, 0x3C, 0x3E, 64, 0, 4, 40, 24, 32, 8};

struct Section {
  std::uint32_t name = 0;
  std::uint32_t type = 0;
  std::uint32_t link = 0;
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};

// True when [offset, offset + size) lies inside the file.
bool Inside(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

}  // namespace

std::optional<std::string> ElfVersionSection::Find(const ReadAt& read, std::uint64_t fileSize) {
  unsigned char ident[16];
  if (fileSize < sizeof ident || !read(0, ident, sizeof ident)) return std::nullopt;
  if (std::memcmp(ident, "\x7F" "ELF", 4) != 0) return std::nullopt;
  const Layout* layout = ident[4] == 1 ? &kElf32 : ident[4] == 2 ? &kElf64 : nullptr;
  if (!layout || (ident[5] != 1 && ident[5] != 2)) return std::nullopt;
  const Fields fields(ident[5] == 2);

  unsigned char header[64];
  if (fileSize < layout->headerSize || !read(0, header, layout->headerSize)) return std::nullopt;
  const std::uint64_t tableOffset = fields.Get(header + layout->sectionOffsetAt, layout->sectionOffsetWidth);
  const std::uint64_t entrySize = fields.Get(header + layout->sectionEntrySizeAt, 2);
  std::uint64_t count = fields.Get(header + layout->sectionCountAt, 2);
  std::uint64_t stringIndex = fields.Get(header + layout->stringIndexAt, 2);
  if (tableOffset == 0 || entrySize < layout->entrySize) return std::nullopt;

  const auto readSection = [&](std::uint64_t index, Section& section) -> bool {
    const std::uint64_t at = tableOffset + index * entrySize;
    if (index >= kMaximumSections || at < tableOffset || !Inside(at, layout->entrySize, fileSize)) return false;
    unsigned char entry[64];
    if (!read(at, entry, layout->entrySize)) return false;
    section.name = static_cast<std::uint32_t>(fields.Get(entry + layout->nameAt, 4));
    section.type = static_cast<std::uint32_t>(fields.Get(entry + layout->typeAt, 4));
    section.link = static_cast<std::uint32_t>(fields.Get(entry + layout->linkAt, 4));
    section.offset = fields.Get(entry + layout->offsetAt, layout->addressWidth);
    section.size = fields.Get(entry + layout->sizeAt, layout->addressWidth);
    return true;
  };

  // Files with very many sections keep the true count and the index of the
  // name table in the first section header.
  if (count == 0 || stringIndex == kExtendedIndex) {
    Section first;
    if (!readSection(0, first)) return std::nullopt;
    if (count == 0) count = first.size;
    if (stringIndex == kExtendedIndex) stringIndex = first.link;
  }
  if (count == 0 || count > kMaximumSections || stringIndex >= count) return std::nullopt;

  Section names;
  if (!readSection(stringIndex, names) || names.type == kSectionTypeNoBits ||
      !Inside(names.offset, names.size, fileSize))
    return std::nullopt;

  const std::size_t wantedLength = kSectionName.size() + 1;
  std::vector<char> candidate(wantedLength);
  for (std::uint64_t i = 0; i < count; ++i) {
    Section section;
    if (!readSection(i, section)) return std::nullopt;
    if (section.name >= names.size || names.size - section.name < wantedLength) continue;
    if (!read(names.offset + section.name, candidate.data(), wantedLength)) return std::nullopt;
    if (std::string_view(candidate.data(), kSectionName.size()) != kSectionName || candidate.back() != '\0') continue;

    if (section.type == kSectionTypeNoBits || section.size == 0 || !Inside(section.offset, section.size, fileSize))
      return std::nullopt;
    const std::size_t length = section.size < kMaximumLength ? static_cast<std::size_t>(section.size) : kMaximumLength;
    std::string text(length, '\0');
    if (!read(section.offset, text.data(), length)) return std::nullopt;
    const std::size_t nul = text.find('\0');
    // A text that fills the whole window without ending is not a version.
    if (nul == std::string::npos && section.size > kMaximumLength) return std::nullopt;
    if (nul != std::string::npos) text.resize(nul);
    if (text.empty()) return std::nullopt;
    return text;
  }
  return std::nullopt;
}

std::optional<std::string> ElfVersionSection::FindInBytes(std::string_view bytes) {
  const ReadAt read = [bytes](std::uint64_t offset, void* buffer, std::size_t size) {
    if (!Inside(offset, size, bytes.size())) return false;
    std::memcpy(buffer, bytes.data() + offset, size);
    return true;
  };
  return Find(read, bytes.size());
}

HRESULT ElfVersionSection::ReadFromFile(const std::string& path, std::u16string* version) {
  if (!version) return E_POINTER;
  UniqueFd file;
  struct stat info {};
  if (const HRESULT hr = OpenFileForReading(path, file, info); FAILED(hr)) return hr;
  const HRESULT noVersion = HResultFromWin32(kErrorResourceTypeNotFound);
  if (!S_ISREG(info.st_mode)) return noVersion;

  const int fd = file.Get();
  const ReadAt read = [fd](std::uint64_t offset, void* buffer, std::size_t size) {
    auto* out = static_cast<char*>(buffer);
    while (size > 0) {
      const ssize_t got = ::pread(fd, out, size, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out += got;
      offset += static_cast<std::uint64_t>(got);
      size -= static_cast<std::size_t>(got);
    }
    return true;
  };
  const auto text = Find(read, static_cast<std::uint64_t>(info.st_size));
  if (!text) return noVersion;
  std::u16string wide = Utf8ToWide(*text);
  if (wide.empty()) return noVersion;
  *version = std::move(wide);
  return S_OK;
}
