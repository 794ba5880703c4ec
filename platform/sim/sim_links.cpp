#include "platform/sim/sim_links.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

// Debian's liblnk.h includes libbfio.h for the entry points that read from a bfio handle; the
// machine opens links by file name only, so those are left out (and libbfio-dev with them).
#include <liblnk/features.h>
#undef LIBLNK_HAVE_BFIO
#include <liblnk.h>

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_system.h"
#include "platform/sim/sim_text.h"

namespace sim {

namespace {

// --- The shell link format.
constexpr uint32_t kHeaderSize = 0x4C;
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// LinkFlags.
constexpr uint32_t kHasIdList = 0x00000001;
constexpr uint32_t kHasLinkInfo = 0x00000002;
constexpr uint32_t kHasName = 0x00000004;
constexpr uint32_t kHasRelativePath = 0x00000008;
constexpr uint32_t kHasWorkingDir = 0x00000010;
constexpr uint32_t kHasArguments = 0x00000020;
constexpr uint32_t kHasIconLocation = 0x00000040;
constexpr uint32_t kIsUnicode = 0x00000080;
constexpr uint32_t kForceNoLinkInfo = 0x00000100;
// LinkInfoFlags.
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;
constexpr uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr uint32_t kDriveFixed = 3;
// The serial number the machine's drives report in the links it writes.
constexpr uint32_t kVolumeSerial = 0x7A11D15C;
// The show commands a link may hold; the shell treats every other value as SW_SHOWNORMAL.
constexpr uint32_t kSwShowMaximized = 3;
constexpr uint32_t kSwShowMinNoActive = 7;
// No shortcut comes near this; a bigger file is read only this far.
constexpr DWORD kMaxLinkBytes = 1u << 20;
constexpr size_t kPathChars = MAX_PATH - 1;
constexpr size_t kTextChars = plat::kLinkTextBuffer - 1;

uint32_t U16(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

void Put16(std::string& b, uint32_t v) {
  b += static_cast<char>(v & 0xFF);
  b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Put64(std::string& b, uint64_t v) {
  Put32(b, static_cast<uint32_t>(v));
  Put32(b, static_cast<uint32_t>(v >> 32));
}

// --- The ANSI code page (1252, Western) and Unicode.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint32_t AnsiToCodePoint(unsigned char c) {
  return c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
}

// The "best fit" Windows uses when a Unicode character has no place in code page 1252 (as
// WideCharToMultiByte without WC_NO_BEST_FIT_CHARS, which the shell's ANSI calls use): the
// letter without its accent, a look-alike sign. Taken from the system's own conversion;
// the full-width forms U+FF01 to U+FF5E become their ASCII characters.
struct BestFit {
  uint16_t codePoint;
  unsigned char ansi;
};
constexpr BestFit kBestFit1252[] = {
    {0x0100, 0x41}, {0x0101, 0x61}, {0x0102, 0x41}, {0x0103, 0x61}, {0x0104, 0x41}, {0x0105, 0x61},
    {0x0106, 0x43}, {0x0107, 0x63}, {0x0108, 0x43}, {0x0109, 0x63}, {0x010A, 0x43}, {0x010B, 0x63},
    {0x010C, 0x43}, {0x010D, 0x63}, {0x010E, 0x44}, {0x010F, 0x64}, {0x0110, 0xD0}, {0x0111, 0x64},
    {0x0112, 0x45}, {0x0113, 0x65}, {0x0114, 0x45}, {0x0115, 0x65}, {0x0116, 0x45}, {0x0117, 0x65},
    {0x0118, 0x45}, {0x0119, 0x65}, {0x011A, 0x45}, {0x011B, 0x65}, {0x011C, 0x47}, {0x011D, 0x67},
    {0x011E, 0x47}, {0x011F, 0x67}, {0x0120, 0x47}, {0x0121, 0x67}, {0x0122, 0x47}, {0x0123, 0x67},
    {0x0124, 0x48}, {0x0125, 0x68}, {0x0126, 0x48}, {0x0127, 0x68}, {0x0128, 0x49}, {0x0129, 0x69},
    {0x012A, 0x49}, {0x012B, 0x69}, {0x012C, 0x49}, {0x012D, 0x69}, {0x012E, 0x49}, {0x012F, 0x69},
    {0x0130, 0x49}, {0x0131, 0x69}, {0x0134, 0x4A}, {0x0135, 0x6A}, {0x0136, 0x4B}, {0x0137, 0x6B},
    {0x0139, 0x4C}, {0x013A, 0x6C}, {0x013B, 0x4C}, {0x013C, 0x6C}, {0x013D, 0x4C}, {0x013E, 0x6C},
    {0x0141, 0x4C}, {0x0142, 0x6C}, {0x0143, 0x4E}, {0x0144, 0x6E}, {0x0145, 0x4E}, {0x0146, 0x6E},
    {0x0147, 0x4E}, {0x0148, 0x6E}, {0x014C, 0x4F}, {0x014D, 0x6F}, {0x014E, 0x4F}, {0x014F, 0x6F},
    {0x0150, 0x4F}, {0x0151, 0x6F}, {0x0154, 0x52}, {0x0155, 0x72}, {0x0156, 0x52}, {0x0157, 0x72},
    {0x0158, 0x52}, {0x0159, 0x72}, {0x015A, 0x53}, {0x015B, 0x73}, {0x015C, 0x53}, {0x015D, 0x73},
    {0x015E, 0x53}, {0x015F, 0x73}, {0x0162, 0x54}, {0x0163, 0x74}, {0x0164, 0x54}, {0x0165, 0x74},
    {0x0166, 0x54}, {0x0167, 0x74}, {0x0168, 0x55}, {0x0169, 0x75}, {0x016A, 0x55}, {0x016B, 0x75},
    {0x016C, 0x55}, {0x016D, 0x75}, {0x016E, 0x55}, {0x016F, 0x75}, {0x0170, 0x55}, {0x0171, 0x75},
    {0x0172, 0x55}, {0x0173, 0x75}, {0x0174, 0x57}, {0x0175, 0x77}, {0x0176, 0x59}, {0x0177, 0x79},
    {0x0179, 0x5A}, {0x017A, 0x7A}, {0x017B, 0x5A}, {0x017C, 0x7A}, {0x0180, 0x62}, {0x0189, 0xD0},
    {0x0191, 0x83}, {0x0197, 0x49}, {0x019A, 0x6C}, {0x019F, 0x4F}, {0x01A0, 0x4F}, {0x01A1, 0x6F},
    {0x01AB, 0x74}, {0x01AE, 0x54}, {0x01AF, 0x55}, {0x01B0, 0x75}, {0x01B6, 0x7A}, {0x01C0, 0x7C},
    {0x01C3, 0x21}, {0x01CD, 0x41}, {0x01CE, 0x61}, {0x01CF, 0x49}, {0x01D0, 0x69}, {0x01D1, 0x4F},
    {0x01D2, 0x6F}, {0x01D3, 0x55}, {0x01D4, 0x75}, {0x01D5, 0x55}, {0x01D6, 0x75}, {0x01D7, 0x55},
    {0x01D8, 0x75}, {0x01D9, 0x55}, {0x01DA, 0x75}, {0x01DB, 0x55}, {0x01DC, 0x75}, {0x01DE, 0x41},
    {0x01DF, 0x61}, {0x01E4, 0x47}, {0x01E5, 0x67}, {0x01E6, 0x47}, {0x01E7, 0x67}, {0x01E8, 0x4B},
    {0x01E9, 0x6B}, {0x01EA, 0x4F}, {0x01EB, 0x6F}, {0x01EC, 0x4F}, {0x01ED, 0x6F}, {0x01F0, 0x6A},
    {0x0261, 0x67}, {0x02B9, 0x27}, {0x02BA, 0x22}, {0x02BC, 0x27}, {0x02C4, 0x5E}, {0x02C8, 0x27},
    {0x02C9, 0xAF}, {0x02CA, 0xB4}, {0x02CB, 0x60}, {0x02CD, 0x5F}, {0x02DA, 0xB0}, {0x0300, 0x60},
    {0x0301, 0xB4}, {0x0302, 0x5E}, {0x0303, 0x7E}, {0x0304, 0xAF}, {0x0305, 0xAF}, {0x0308, 0xA8},
    {0x030A, 0xB0}, {0x030E, 0x22}, {0x0327, 0xB8}, {0x0331, 0x5F}, {0x0332, 0x5F}, {0x037E, 0x3B},
    {0x0393, 0x47}, {0x0398, 0x54}, {0x03A3, 0x53}, {0x03A6, 0x46}, {0x03A9, 0x4F}, {0x03B1, 0x61},
    {0x03B2, 0xDF}, {0x03B4, 0x64}, {0x03B5, 0x65}, {0x03BC, 0xB5}, {0x03C0, 0x70}, {0x03C3, 0x73},
    {0x03C4, 0x74}, {0x03C6, 0x66}, {0x04BB, 0x68}, {0x0589, 0x3A}, {0x066A, 0x25}, {0x2000, 0x20},
    {0x2001, 0x20}, {0x2002, 0x20}, {0x2003, 0x20}, {0x2004, 0x20}, {0x2005, 0x20}, {0x2006, 0x20},
    {0x2010, 0x2D}, {0x2011, 0x2D}, {0x2017, 0x3D}, {0x2024, 0xB7}, {0x2032, 0x27}, {0x2035, 0x60},
    {0x2044, 0x2F}, {0x2070, 0xB0}, {0x2074, 0x34}, {0x2075, 0x35}, {0x2076, 0x36}, {0x2077, 0x37},
    {0x2078, 0x38}, {0x207F, 0x6E}, {0x2080, 0x30}, {0x2081, 0x31}, {0x2082, 0x32}, {0x2083, 0x33},
    {0x2084, 0x34}, {0x2085, 0x35}, {0x2086, 0x36}, {0x2087, 0x37}, {0x2088, 0x38}, {0x2089, 0x39},
    {0x20A1, 0xA2}, {0x20A4, 0xA3}, {0x20A7, 0x50}, {0x2102, 0x43}, {0x2107, 0x45}, {0x210A, 0x67},
    {0x210B, 0x48}, {0x210C, 0x48}, {0x210D, 0x48}, {0x210E, 0x68}, {0x2110, 0x49}, {0x2111, 0x49},
    {0x2112, 0x4C}, {0x2113, 0x6C}, {0x2115, 0x4E}, {0x2118, 0x50}, {0x2119, 0x50}, {0x211A, 0x51},
    {0x211B, 0x52}, {0x211C, 0x52}, {0x211D, 0x52}, {0x2124, 0x5A}, {0x2128, 0x5A}, {0x212A, 0x4B},
    {0x212B, 0xC5}, {0x212C, 0x42}, {0x212D, 0x43}, {0x212E, 0x65}, {0x212F, 0x65}, {0x2130, 0x45},
    {0x2131, 0x46}, {0x2133, 0x4D}, {0x2134, 0x6F}, {0x2205, 0xD8}, {0x2212, 0x2D}, {0x2213, 0xB1},
    {0x2215, 0x2F}, {0x2216, 0x5C}, {0x2217, 0x2A}, {0x2218, 0xB0}, {0x2219, 0xB7}, {0x221A, 0x76},
    {0x221E, 0x38}, {0x2223, 0x7C}, {0x2229, 0x6E}, {0x2236, 0x3A}, {0x223C, 0x7E}, {0x2248, 0x98},
    {0x2261, 0x3D}, {0x2264, 0x3D}, {0x2265, 0x3D}, {0x226A, 0xAB}, {0x226B, 0xBB}, {0x22C5, 0xB7},
    {0x2302, 0xA6}, {0x2303, 0x5E}, {0x2310, 0xAC}, {0x2320, 0x28}, {0x2321, 0x29}, {0x2329, 0x3C},
    {0x232A, 0x3E}, {0x2500, 0x2D}, {0x2502, 0xA6}, {0x250C, 0x2B}, {0x2510, 0x2B}, {0x2514, 0x2B},
    {0x2518, 0x2B}, {0x251C, 0x2B}, {0x2524, 0xA6}, {0x252C, 0x2D}, {0x2534, 0x2D}, {0x253C, 0x2B},
    {0x2550, 0x2D}, {0x2551, 0xA6}, {0x2552, 0x2B}, {0x2553, 0x2B}, {0x2554, 0x2B}, {0x2555, 0x2B},
    {0x2556, 0x2B}, {0x2557, 0x2B}, {0x2558, 0x2B}, {0x2559, 0x2B}, {0x255A, 0x2B}, {0x255B, 0x2B},
    {0x255C, 0x2B}, {0x255D, 0x2B}, {0x255E, 0xA6}, {0x255F, 0xA6}, {0x2560, 0xA6}, {0x2561, 0xA6},
    {0x2562, 0xA6}, {0x2563, 0xA6}, {0x2564, 0x2D}, {0x2565, 0x2D}, {0x2566, 0x2D}, {0x2567, 0x2D},
    {0x2568, 0x2D}, {0x2569, 0x2D}, {0x256A, 0x2B}, {0x256B, 0x2B}, {0x256C, 0x2B}, {0x2580, 0xAF},
    {0x2584, 0x5F}, {0x2588, 0xA6}, {0x258C, 0xA6}, {0x2590, 0xA6}, {0x2591, 0xA6}, {0x2592, 0xA6},
    {0x2593, 0xA6}, {0x25A0, 0xA6}, {0x263C, 0xA4}, {0x2758, 0x7C}, {0x3000, 0x20}, {0x3008, 0x3C},
    {0x3009, 0x3E}, {0x300A, 0xAB}, {0x300B, 0xBB}, {0x301A, 0x5B}, {0x301B, 0x5D}, {0x30FB, 0xB7},
};

char CodePointToAnsi(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
  if (cp >= 0xFF01 && cp <= 0xFF5E) return static_cast<char>(cp - 0xFF01 + 0x21);
  auto it = std::lower_bound(std::begin(kBestFit1252), std::end(kBestFit1252), cp,
                             [](const BestFit& f, uint32_t c) { return f.codePoint < c; });
  if (it != std::end(kBestFit1252) && it->codePoint == cp) return static_cast<char>(it->ansi);
  return '?';
}

// UTF-8 (as liblnk gives the texts) to ANSI, with the best fit for what the code page lacks
// and '?' where nothing fits.
std::string Utf8ToAnsi(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size();) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    int extra = c < 0x80             ? 0
                : (c & 0xE0) == 0xC0 ? 1
                : (c & 0xF0) == 0xE0 ? 2
                : (c & 0xF8) == 0xF0 ? 3
                                     : -1;
    if (extra < 0 || i + extra >= in.size()) {
      out += '?';
      ++i;
      continue;
    }
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char cc = static_cast<unsigned char>(in[i + k]);
      if ((cc & 0xC0) != 0x80) ok = false;
      cp = cp << 6 | (cc & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += CodePointToAnsi(cp);
    i += extra + 1;
  }
  return out;
}

// ANSI to the UTF-16 of the link's texts.
void PutUnicode(std::string& b, const std::string& ansi) {
  for (char c : ansi) Put16(b, AnsiToCodePoint(static_cast<unsigned char>(c)));
}

std::string Cut(std::string s, size_t chars) {
  if (s.size() > chars) s.resize(chars);
  return s;
}

// --- Reading the layout.
struct Layout {
  uint32_t flags = 0;
  uint32_t showCommand = 0;
  size_t stringsEnd = 0;    // where the texts end and the extra data blocks begin
  bool tailIntact = false;  // the extra data blocks are whole (or absent)
};

// A zero-terminated text of `unit` bytes per character inside [at, end).
bool Terminated(const std::string& b, size_t at, size_t end, size_t unit) {
  for (size_t i = at; i + unit <= end; i += unit) {
    bool zero = b[i] == 0 && (unit == 1 || b[i + 1] == 0);
    if (zero) return true;
  }
  return false;
}

bool CheckLinkInfo(const std::string& b, size_t at, size_t size) {
  if (size < kLinkInfoHeaderSize) return false;
  uint32_t headerSize = U32(b, at + 4);
  uint32_t flags = U32(b, at + 8);
  if (headerSize < kLinkInfoHeaderSize || headerSize > size) return false;
  const size_t end = at + size;
  auto text = [&](uint32_t offset, size_t unit) {
    return offset >= headerSize && offset < size && Terminated(b, at + offset, end, unit);
  };
  if (flags & kVolumeIdAndLocalBasePath) {
    uint32_t volumeOffset = U32(b, at + 12);
    if (volumeOffset < headerSize || volumeOffset > size - 16) return false;
    uint32_t volumeSize = U32(b, at + volumeOffset);
    if (volumeSize < 16 || volumeSize > size - volumeOffset) return false;
    if (!text(U32(b, at + 16), 1)) return false;
    if (headerSize >= 0x24 && !text(U32(b, at + 0x1C), 2)) return false;
  }
  if (flags & kCommonNetworkRelativeLink) {
    uint32_t netOffset = U32(b, at + 20);
    if (netOffset < headerSize || netOffset > size - 20) return false;
    uint32_t netSize = U32(b, at + netOffset);
    if (netSize < 20 || netSize > size - netOffset) return false;
  }
  if (!text(U32(b, at + 24), 1)) return false;
  if (headerSize >= 0x24 && !text(U32(b, at + 0x20), 2)) return false;
  return true;
}

// Walks the link as the shell reads it. A file that ends before its texts do, or whose parts
// do not fit in it, is no link; the extra data blocks after the texts are not needed.
bool ReadLayout(const std::string& b, Layout* out) {
  if (b.size() < kHeaderSize || U32(b, 0) != kHeaderSize) return false;
  if (b.compare(4, 16, reinterpret_cast<const char*>(kLinkClsid), 16) != 0) return false;
  out->flags = U32(b, 0x14);
  out->showCommand = U32(b, 0x3C);
  size_t pos = kHeaderSize;
  if (out->flags & kHasIdList) {
    if (b.size() - pos < 2) return false;
    size_t listSize = U16(b, pos);
    pos += 2;
    if (b.size() - pos < listSize) return false;
    // The items, each led by its size, end with an empty one.
    size_t item = pos, end = pos + listSize;
    for (;;) {
      if (end - item < 2) return false;
      size_t itemSize = U16(b, item);
      if (itemSize == 0) break;
      if (itemSize < 2 || end - item < itemSize) return false;
      item += itemSize;
    }
    pos = end;
  }
  if (out->flags & kHasLinkInfo) {
    if (b.size() - pos < 4) return false;
    size_t infoSize = U32(b, pos);
    if (b.size() - pos < infoSize || !CheckLinkInfo(b, pos, infoSize)) return false;
    pos += infoSize;
  }
  const size_t unit = (out->flags & kIsUnicode) ? 2 : 1;
  for (uint32_t flag :
       {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
    if (!(out->flags & flag)) continue;
    if (b.size() - pos < 2) return false;
    size_t bytes = U16(b, pos) * unit;
    pos += 2;
    if (b.size() - pos < bytes) return false;
    pos += bytes;
  }
  out->stringsEnd = pos;
  // Extra data blocks, each led by its size, up to the end block (size below 4).
  out->tailIntact = false;
  for (;;) {
    if (pos == b.size()) {
      out->tailIntact = true;
      break;
    }
    if (b.size() - pos < 4) break;
    size_t blockSize = U32(b, pos);
    if (blockSize < 4) {
      out->tailIntact = true;
      break;
    }
    if (b.size() - pos < blockSize) break;
    pos += blockSize;
  }
  return true;
}

// --- liblnk.
class LnkFile {
 public:
  LnkFile() {
    liblnk_error_t* error = nullptr;
    if (liblnk_file_initialize(&file_, &error) != 1) file_ = nullptr;
    Free(error);
  }
  ~LnkFile() {
    liblnk_error_t* error = nullptr;
    if (file_ && open_) liblnk_file_close(file_, &error);
    Free(error);
    if (file_) liblnk_file_free(&file_, &error);
    Free(error);
  }
  LnkFile(const LnkFile&) = delete;
  LnkFile& operator=(const LnkFile&) = delete;

  bool Open(const std::string& hostPath) {
    if (!file_) return false;
    liblnk_error_t* error = nullptr;
    liblnk_file_set_ascii_codepage(file_, LIBLNK_CODEPAGE_WINDOWS_1252, &error);
    Free(error);
    open_ = liblnk_file_open(file_, hostPath.c_str(), LIBLNK_OPEN_READ, &error) == 1;
    Free(error);
    return open_;
  }

  // One text in UTF-8; empty when the link does not hold it.
  using SizeFn = int (*)(liblnk_file_t*, size_t*, liblnk_error_t**);
  using TextFn = int (*)(liblnk_file_t*, uint8_t*, size_t, liblnk_error_t**);
  std::string Text(SizeFn sizeOf, TextFn get) {
    liblnk_error_t* error = nullptr;
    size_t size = 0;
    std::string text;
    if (sizeOf(file_, &size, &error) == 1 && size > 0) {
      std::string buffer(size, '\0');
      if (get(file_, reinterpret_cast<uint8_t*>(buffer.data()), size, &error) == 1)
        text.assign(buffer.c_str());
    }
    Free(error);
    return text;
  }

  int IconIndex() {
    liblnk_error_t* error = nullptr;
    uint32_t index = 0;
    if (liblnk_file_get_icon_index(file_, &index, &error) != 1) index = 0;
    Free(error);
    return static_cast<int>(index);
  }

 private:
  static void Free(liblnk_error_t*& error) {
    if (error) liblnk_error_free(&error);
    error = nullptr;
  }
  liblnk_file_t* file_ = nullptr;
  bool open_ = false;
};

// A host file that holds the part of a link liblnk needs and is removed afterwards.
class TrimmedCopy {
 public:
  explicit TrimmedCopy(const std::string& bytes) {
    std::error_code ec;
    std::string pattern =
        (std::filesystem::temp_directory_path(ec) / "tallowick-link-XXXXXX").string();
    int fd = mkstemp(pattern.data());
    if (fd < 0) return;
    close(fd);
    path_ = pattern;
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) path_.clear();
  }
  ~TrimmedCopy() {
    if (!path_.empty()) {
      std::error_code ec;
      std::filesystem::remove(path_, ec);
    }
  }
  TrimmedCopy(const TrimmedCopy&) = delete;
  TrimmedCopy& operator=(const TrimmedCopy&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// --- Writing.
bool DriveAbsolute(const std::string& path) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  return path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\';
}

// The target as the shell keeps it: without the quotes around it, with backslashes.
std::string NormalTarget(std::string target) {
  if (target.size() >= 2 && target.front() == '"' && target.back() == '"')
    target = target.substr(1, target.size() - 2);
  for (char& c : target)
    if (c == '/') c = '\\';
  return target;
}

std::string LinkInfo(const std::string& localPath) {
  std::string volume;
  Put32(volume, 0x11);  // VolumeIDSize: the fields and the empty label
  Put32(volume, kDriveFixed);
  Put32(volume, kVolumeSerial);
  Put32(volume, 0x10);  // VolumeLabelOffset
  volume += '\0';
  const uint32_t volumeOffset = kLinkInfoHeaderSize;
  const uint32_t baseOffset = volumeOffset + static_cast<uint32_t>(volume.size());
  const uint32_t suffixOffset = baseOffset + static_cast<uint32_t>(localPath.size()) + 1;
  const uint32_t size = suffixOffset + 1;
  std::string info;
  Put32(info, size);
  Put32(info, kLinkInfoHeaderSize);
  Put32(info, kVolumeIdAndLocalBasePath);
  Put32(info, volumeOffset);
  Put32(info, baseOffset);
  Put32(info, 0);  // no network location
  Put32(info, suffixOffset);
  info += volume;
  info += localPath;
  info += '\0';
  info += '\0';  // the common path suffix: empty
  return info;
}

}  // namespace

SimLinks::SimLinks(SimFileSystem& files, SimSystem& system) : files_(files), system_(system) {}

bool SimLinks::Fail(DWORD error) {
  system_.SetLastError(error);
  return false;
}

void SimLinks::SetResolveResult(const std::string& lnkPath, HRESULT result) {
  resolveResults_[Upper(files_.ProgramHostPath(lnkPath))] = result;
}

bool SimLinks::Load(const char* lnkPath, plat::ShellLink* out, bool resolve, DWORD timeoutMs) {
  if (!out) return Fail(ERROR_INVALID_PARAMETER);
  *out = plat::ShellLink{};
  if (!lnkPath || !*lnkPath) return Fail(ERROR_INVALID_PARAMETER);
  std::string bytes;
  if (!files_.ReadFileBytes(lnkPath, &bytes, kMaxLinkBytes)) return false;
  Layout layout;
  if (!ReadLayout(bytes, &layout)) return Fail(ERROR_INVALID_DATA);

  const std::string host = files_.ProgramHostPath(lnkPath);
  LnkFile file;
  if (!file.Open(host)) {
    // liblnk also wants whole extra data blocks, which the shell can do without: read what
    // the shell reads.
    if (layout.tailIntact) return Fail(ERROR_INVALID_DATA);
    TrimmedCopy copy(bytes.substr(0, layout.stringsEnd));
    if (copy.path().empty() || !file.Open(copy.path())) return Fail(ERROR_INVALID_DATA);
  }

  plat::ShellLink link;
  // Each text as the Get* calls give it: single-byte and cut to its buffer.
  auto text = [&](auto sizeOf, auto get, size_t limit) {
    return Cut(Utf8ToAnsi(file.Text(sizeOf, get)), limit);
  };
  if ((layout.flags & kHasLinkInfo) && !(layout.flags & kForceNoLinkInfo))
    link.target =
        text(liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path, kPathChars);
  link.arguments = text(liblnk_file_get_utf8_command_line_arguments_size,
                        liblnk_file_get_utf8_command_line_arguments, kTextChars);
  link.description = text(liblnk_file_get_utf8_description_size,
                          liblnk_file_get_utf8_description, kTextChars);
  link.workingFolder = text(liblnk_file_get_utf8_working_directory_size,
                            liblnk_file_get_utf8_working_directory, kPathChars);
  link.iconPath = text(liblnk_file_get_utf8_icon_location_size,
                       liblnk_file_get_utf8_icon_location, kPathChars);
  link.iconIndex = file.IconIndex();
  // Read from the header itself: liblnk 20181227 answers 0 for the show command.
  const uint32_t show = layout.showCommand;
  link.showCommand = (show == kSwShowMaximized || show == kSwShowMinNoActive)
                         ? static_cast<int>(show)
                         : SW_SHOWNORMAL;
  if (resolve) {
    // Windows searches for a missing target until the time-out and then gives up with
    // S_FALSE; the machine gives up at once. A test may set the answer for one link.
    auto it = resolveResults_.find(Upper(host));
    if (it != resolveResults_.end())
      link.resolveResult = it->second;
    else
      link.resolveResult = !link.target.empty() && !files_.Exists(link.target) ? S_FALSE : S_OK;
  }
  *out = std::move(link);
  return true;
}

bool SimLinks::Save(const char* lnkPath, const plat::ShellLink& link) {
  if (!lnkPath || !*lnkPath) return Fail(ERROR_INVALID_PARAMETER);
  const std::string target = NormalTarget(link.target);
  // The machine writes local targets only; it cannot search for a bare name as the shell
  // does, nor describe a network share.
  if (!target.empty() && !DriveAbsolute(target)) return Fail(ERROR_INVALID_PARAMETER);
  const std::string* texts[] = {&link.description, &link.workingFolder, &link.arguments,
                                &link.iconPath};
  for (const std::string* t : texts)
    if (t->size() > 0xFFFF) return Fail(ERROR_INVALID_PARAMETER);

  uint32_t flags = kIsUnicode;
  if (!target.empty()) flags |= kHasLinkInfo;
  if (!link.description.empty()) flags |= kHasName;
  if (!link.workingFolder.empty()) flags |= kHasWorkingDir;
  if (!link.arguments.empty()) flags |= kHasArguments;
  if (!link.iconPath.empty()) flags |= kHasIconLocation;

  // As the shell does, the header carries the target's attributes, times and size.
  plat::FileFacts facts;
  if (target.empty() || !files_.GetFileFacts(target.c_str(), &facts)) facts = plat::FileFacts{};

  std::string b;
  Put32(b, kHeaderSize);
  b.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
  Put32(b, flags);
  Put32(b, facts.attributes);
  Put64(b, facts.creation);
  Put64(b, facts.lastAccess);
  Put64(b, facts.lastWrite);
  Put32(b, static_cast<uint32_t>(facts.size));
  Put32(b, static_cast<uint32_t>(link.iconIndex));
  Put32(b, static_cast<uint32_t>(link.showCommand));
  Put16(b, 0);  // no hot key
  Put16(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  if (flags & kHasLinkInfo) b += LinkInfo(target);
  // The texts, in the order of their flags.
  for (const std::string* t :
       {&link.description, &link.workingFolder, &link.arguments, &link.iconPath}) {
    if (t->empty()) continue;
    Put16(b, static_cast<uint32_t>(t->size()));
    PutUnicode(b, *t);
  }
  Put32(b, 0);  // the end of the (empty) extra data
  return files_.WriteFileBytes(lnkPath, b);
}

}  // namespace sim
