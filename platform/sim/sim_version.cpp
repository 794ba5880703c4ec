#include "platform/sim/sim_version.h"

#include <cstring>
#include <vector>

#include "platform/sim/sim_system.h"

namespace sim {

namespace {

constexpr WORD kResourceTypeVersion = 16;  // RT_VERSION
constexpr WORD kVersionResourceId = 1;     // VS_VERSION_INFO
constexpr DWORD kSubdirectoryBit = 0x80000000u;
// The languages looked for first, in order: neutral, then the machine's own (US English).
constexpr WORD kPreferredLanguages[] = {0x0000, 0x0409};
// What GetFileVersionInfoA writes after the block when the room for the string copies follows.
constexpr char kSignature[4] = {'F', 'E', '2', 'X'};
// A node is at least its length, value length and type.
constexpr size_t kNodeHeader = 6;

WORD Read16(const unsigned char* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Read32(const unsigned char* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
         (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

// The image as a bounded byte range: every read says where and how much, and fails when any
// byte of it lies outside.
class Image {
 public:
  Image(const unsigned char* data, size_t size) : data_(data), size_(size) {}
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  bool U16(uint64_t offset, WORD* out) const {
    if (!Has(offset, 2)) return false;
    *out = Read16(data_ + offset);
    return true;
  }
  bool U32(uint64_t offset, DWORD* out) const {
    if (!Has(offset, 4)) return false;
    *out = Read32(data_ + offset);
    return true;
  }

 private:
  const unsigned char* data_;
  size_t size_;
};

struct Section {
  DWORD virtualAddress = 0, rawSize = 0, rawPointer = 0;
};

// The file offset of `count` bytes at an RVA: all of them inside the file data of one section,
// and that section's file data wholly inside the file (a cut section is a damaged program).
bool RvaToOffset(const Image& image, const std::vector<Section>& sections, uint64_t rva,
                 uint64_t count, uint64_t* offset) {
  for (const Section& s : sections) {
    if (rva < s.virtualAddress) continue;
    uint64_t into = rva - s.virtualAddress;
    if (into >= s.rawSize || count > s.rawSize - into) continue;
    if (!image.Has(s.rawPointer, s.rawSize)) return false;
    *offset = static_cast<uint64_t>(s.rawPointer) + into;
    return true;
  }
  return false;
}

// One resource directory: its entries by id (named entries are skipped).
class ResourceDirectory {
 public:
  ResourceDirectory(const Image& image, const std::vector<Section>& sections, DWORD rootRva)
      : image_(image), sections_(sections), rootRva_(rootRva) {}

  // Reads the directory `relative` bytes into the resource data; false when its header or
  // entries do not lie in the image.
  bool Open(DWORD relative) {
    uint64_t header = 0;
    if (!RvaToOffset(image_, sections_, uint64_t{rootRva_} + relative, 16, &header)) return false;
    WORD named = 0, ids = 0;
    image_.U16(header + 12, &named);
    image_.U16(header + 14, &ids);
    count_ = static_cast<uint64_t>(named) + ids;
    named_ = named;
    return RvaToOffset(image_, sections_, uint64_t{rootRva_} + relative + 16, count_ * 8,
                       &entries_);
  }
  uint64_t size() const { return count_; }
  // The id entry at `index`: its id and what it points to.
  bool Entry(uint64_t index, WORD* id, DWORD* target) const {
    if (index < named_ || index >= count_) return false;
    DWORD name = 0;
    image_.U32(entries_ + index * 8, &name);
    image_.U32(entries_ + index * 8 + 4, target);
    if (name & kSubdirectoryBit) return false;
    *id = static_cast<WORD>(name);
    return true;
  }
  // The target of the first entry with this id; false when there is none.
  bool Find(WORD id, DWORD* target) const {
    for (uint64_t i = named_; i < count_; ++i) {
      WORD entryId = 0;
      if (Entry(i, &entryId, target) && entryId == id) return true;
    }
    return false;
  }

 private:
  const Image& image_;
  const std::vector<Section>& sections_;
  DWORD rootRva_;
  uint64_t count_ = 0, named_ = 0, entries_ = 0;
};

VersionResource NotFound() {
  VersionResource r;
  r.error = kErrorResourceDataNotFound;
  return r;
}

// One node of a VS_VERSIONINFO tree (offsets from the start of the block): all of it,
// its key and the start of its children lie inside the bounds it was read with.
struct Node {
  size_t begin = 0, end = 0;
  WORD valueLength = 0, type = 0;
  size_t key = 0, keyChars = 0;
  size_t value = 0, valueBytes = 0;
  size_t children = 0;
};

size_t Align4(size_t base, size_t at) { return base + ((at - base + 3) & ~size_t{3}); }

bool ReadNode(const unsigned char* block, size_t begin, size_t limit, Node* node) {
  if (begin > limit || limit - begin < kNodeHeader) return false;
  size_t length = Read16(block + begin);
  if (length < kNodeHeader || length > limit - begin) return false;
  node->begin = begin;
  node->end = begin + length;
  node->valueLength = Read16(block + begin + 2);
  node->type = Read16(block + begin + 4);
  node->key = begin + kNodeHeader;
  size_t at = node->key;
  while (true) {
    if (node->end - at < 2) return false;  // a key without its terminating zero
    if (Read16(block + at) == 0) break;
    at += 2;
  }
  node->keyChars = (at - node->key) / 2;
  node->value = Align4(begin, at + 2);
  node->valueBytes = static_cast<size_t>(node->valueLength) * (node->type ? 2 : 1);
  node->children = node->value > node->end || node->valueBytes > node->end - node->value
                       ? node->end
                       : Align4(begin, node->value + node->valueBytes);
  if (node->children > node->end) node->children = node->end;
  return true;
}

// The Western code page (1252): the characters of 0x80 to 0x9F that are not C1 controls.
constexpr WORD kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

WORD AnsiToWide(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c; }

unsigned char WideToAnsi(WORD w) {
  if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) return static_cast<unsigned char>(w);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == w) return static_cast<unsigned char>(0x80 + i);
  return '?';
}

// Case folding of the keys: ASCII and the Latin-1 letters.
WORD Fold(WORD w) {
  if (w >= 'A' && w <= 'Z') return static_cast<WORD>(w + 32);
  if (w >= 0xC0 && w <= 0xDE && w != 0xD7) return static_cast<WORD>(w + 32);
  return w;
}

bool KeyIs(const unsigned char* block, const Node& node, const std::vector<WORD>& name) {
  if (node.keyChars != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (Fold(Read16(block + node.key + 2 * i)) != Fold(name[i])) return false;
  return true;
}

}  // namespace

VersionResource FindVersionResource(const unsigned char* data, size_t size) {
  Image image(data, size);
  WORD mz = 0;
  DWORD lfanew = 0, signature = 0;
  if (!image.U16(0, &mz) || mz != 0x5A4D || !image.U32(0x3C, &lfanew)) return NotFound();
  if (!image.U32(lfanew, &signature) || signature != 0x00004550) return NotFound();
  uint64_t fileHeader = static_cast<uint64_t>(lfanew) + 4;
  WORD sectionCount = 0, optionalSize = 0, magic = 0;
  if (!image.U16(fileHeader + 2, &sectionCount) || !image.U16(fileHeader + 16, &optionalSize))
    return NotFound();
  uint64_t optional = fileHeader + 20;
  if (optionalSize < 2 || !image.Has(optional, optionalSize) || !image.U16(optional, &magic))
    return NotFound();
  // The data directories follow the fields of the optional header, which differ between
  // PE32 (0x10B) and PE32+ (0x20B); the resource directory is the third.
  uint64_t rvaCountAt = 0, directories = 0;
  if (magic == 0x10B) {
    rvaCountAt = 92;
    directories = 96;
  } else if (magic == 0x20B) {
    rvaCountAt = 108;
    directories = 112;
  } else {
    return NotFound();
  }
  DWORD rvaCount = 0, resourceRva = 0;
  if (optionalSize < directories + 3 * 8) return NotFound();
  image.U32(optional + rvaCountAt, &rvaCount);
  if (rvaCount < 3) return NotFound();
  image.U32(optional + directories + 16, &resourceRva);
  if (resourceRva == 0) return NotFound();

  std::vector<Section> sections;
  uint64_t table = optional + optionalSize;
  if (!image.Has(table, static_cast<uint64_t>(sectionCount) * 40)) return NotFound();
  for (WORD i = 0; i < sectionCount; ++i) {
    Section s;
    image.U32(table + i * 40 + 12, &s.virtualAddress);
    image.U32(table + i * 40 + 16, &s.rawSize);
    image.U32(table + i * 40 + 20, &s.rawPointer);
    sections.push_back(s);
  }

  // Three levels: type, name, language. Each level is one step down, so a directory that
  // points back at itself or at its parent cannot make the walk go round.
  ResourceDirectory dir(image, sections, resourceRva);
  DWORD target = 0;
  if (!dir.Open(0) || !dir.Find(kResourceTypeVersion, &target) || !(target & kSubdirectoryBit))
    return NotFound();
  if (!dir.Open(target & ~kSubdirectoryBit) || !dir.Find(kVersionResourceId, &target) ||
      !(target & kSubdirectoryBit))
    return NotFound();
  if (!dir.Open(target & ~kSubdirectoryBit) || dir.size() == 0) return NotFound();
  bool chosen = false;
  for (WORD language : kPreferredLanguages)
    if (dir.Find(language, &target)) {
      chosen = true;
      break;
    }
  if (!chosen) {
    WORD id = 0;
    for (uint64_t i = 0; i < dir.size() && !chosen; ++i) chosen = dir.Entry(i, &id, &target);
  }
  if (!chosen || (target & kSubdirectoryBit)) return NotFound();

  // The data entry: where the block is and how long the resource is.
  uint64_t entry = 0;
  DWORD dataRva = 0, dataSize = 0;
  if (!RvaToOffset(image, sections, uint64_t{resourceRva} + target, 16, &entry)) return NotFound();
  image.U32(entry, &dataRva);
  image.U32(entry + 4, &dataSize);
  VersionResource found;
  if (!RvaToOffset(image, sections, dataRva, dataSize, &found.offset)) return NotFound();
  found.size = dataSize;
  // The block must fit in its resource, and the doubled size in a DWORD.
  WORD length = 0;
  if (dataSize < kNodeHeader || dataSize > 0x7FFFFFFDu || !image.U16(found.offset, &length) ||
      length < kNodeHeader || length > dataSize) {
    VersionResource bad;
    bad.error = kErrorBadFormat;
    return bad;
  }
  return found;
}

bool SimVersionInfo::Load(const char* path, std::string* bytes, VersionResource* found) {
  if (!path) {
    system_.SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  // The file opens as CreateFileA opens it: the same folders, redirection and errors.
  if (!files_.ReadFileBytes(path, bytes, 0xFFFFFFFFu)) return false;
  *found =
      FindVersionResource(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size());
  if (found->error) {
    system_.SetLastError(found->error);
    return false;
  }
  return true;
}

DWORD SimVersionInfo::GetFileVersionInfoSizeA(const char* path, DWORD* handle) {
  if (handle) *handle = 0;
  if (path && !*path) {
    system_.SetLastError(kErrorBadPathname);
    return 0;
  }
  std::string bytes;
  VersionResource found;
  if (!Load(path, &bytes, &found)) return 0;
  system_.SetLastError(0);
  return found.size * 2 + 4;
}

BOOL SimVersionInfo::GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data) {
  if (!data) {
    system_.SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  std::string bytes;
  VersionResource found;
  if (!Load(path, &bytes, &found)) return FALSE;
  const unsigned char* block = reinterpret_cast<const unsigned char*>(bytes.data()) + found.offset;
  DWORD length = Read16(block);
  // Windows copies as much as fits and reports success even when the block is cut; a cut
  // block would then be walked past the buffer's end, so it is refused here, and so is a
  // buffer without the four bytes after the block that tell whether the room for the string
  // copies follows.
  if (size < length + sizeof kSignature) {
    system_.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* out = static_cast<unsigned char*>(data);
  std::memcpy(out, block, size < found.size ? size : found.size);
  if (size >= 2 * length + sizeof kSignature)
    std::memcpy(out + length, kSignature, sizeof kSignature);
  else
    std::memset(out + length, 0, sizeof kSignature);
  system_.SetLastError(0);
  return TRUE;
}

BOOL SimVersionInfo::VerQueryValueA(const void* blockPtr, const char* subBlock, void** value,
                                    UINT* length) {
  auto fail = [&]() {
    if (length) *length = 0;
    system_.SetLastError(kErrorResourceTypeNotFound);
    return FALSE;
  };
  if (!blockPtr) return fail();
  const auto* block = static_cast<const unsigned char*>(blockPtr);
  if (!subBlock || !*subBlock) subBlock = "\\";

  Node node;
  if (!ReadNode(block, 0, Read16(block), &node)) return fail();
  const size_t blockLength = node.end;
  // One key after the other; empty components ("\\\\", a leading or trailing backslash) are
  // skipped.
  for (const char* p = subBlock; *p;) {
    if (*p == '\\') {
      ++p;
      continue;
    }
    std::vector<WORD> name;
    while (*p && *p != '\\') name.push_back(AnsiToWide(static_cast<unsigned char>(*p++)));
    Node child;
    bool found = false;
    for (size_t at = node.children; at < node.end;) {
      if (!ReadNode(block, at, node.end, &child)) break;
      if (KeyIs(block, child, name)) {
        found = true;
        break;
      }
      at = Align4(at, child.end);
    }
    if (!found) return fail();
    node = child;
  }
  if (node.value > node.end || node.valueBytes > node.end - node.value) return fail();

  if (!node.type) {
    if (value) *value = const_cast<unsigned char*>(block + node.value);
    if (length) *length = node.valueLength;
    return TRUE;
  }
  // Text: its single-byte copy goes to the room after the block, at the same distance from
  // that room's start as the string is from the block's. The room is there only when
  // GetFileVersionInfoA could put the signature in front of it.
  if (std::memcmp(block + blockLength, kSignature, sizeof kSignature) != 0) {
    if (length) *length = 0;
    system_.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  unsigned char* ansi =
      const_cast<unsigned char*>(block) + blockLength + sizeof kSignature + node.value;
  for (size_t i = 0; i < node.valueLength; ++i)
    ansi[i] = WideToAnsi(Read16(block + node.value + 2 * i));
  if (value) *value = ansi;
  if (length) *length = node.valueLength;
  return TRUE;
}

}  // namespace sim
