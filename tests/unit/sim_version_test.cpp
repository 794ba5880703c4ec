// The simulated machine's version service on damaged programs: cut or corrupted copies of a
// fixture program give no version resource (or a refused one) and are never read past their
// end, and damaged version blocks are walked inside their bounds only. Buffers are exactly
// as large as asked for, so the sanitizers see any access beyond them.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/registry_access.h"
#include "platform/version_info.h"
#include "tests/unit/sim_fixture.h"

namespace {

using sim::kErrorBadFormat;
using sim::kErrorResourceDataNotFound;
using sim::kErrorResourceTypeNotFound;

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DWORD Get32(const std::string& b, size_t at) {
  DWORD v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
  return v;
}
WORD Get16(const std::string& b, size_t at) {
  return static_cast<WORD>(static_cast<unsigned char>(b.at(at)) |
                           (static_cast<unsigned char>(b.at(at + 1)) << 8));
}
void Put32(std::string& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& b, size_t at, WORD v) {
  b.at(at) = static_cast<char>(v & 0xFF);
  b.at(at + 1) = static_cast<char>(v >> 8);
}

// Where the parts of a fixture program lie (file offsets), read with the layout the linker
// gives these small programs: one resource type, one name, one language.
struct Layout {
  size_t lfanew = 0, optional = 0, directories = 0, sections = 0, sectionCount = 0;
  size_t resourceSection = 0;  // its header in the section table
  size_t typeDir = 0, nameDir = 0, languageDir = 0, dataEntry = 0, data = 0;
  DWORD dataSize = 0;
};

Layout Find(const std::string& b) {
  Layout l;
  l.lfanew = Get32(b, 0x3C);
  l.optional = l.lfanew + 24;
  l.directories = l.optional + (Get16(b, l.optional) == 0x20B ? 112 : 96);
  l.sections = l.optional + Get16(b, l.lfanew + 20);
  l.sectionCount = Get16(b, l.lfanew + 6);
  DWORD rva = Get32(b, l.directories + 16);
  DWORD base = 0, raw = 0;
  for (size_t i = 0; i < l.sectionCount; ++i) {
    size_t s = l.sections + 40 * i;
    if (Get32(b, s + 12) == rva) {
      l.resourceSection = s;
      base = Get32(b, s + 12);
      raw = Get32(b, s + 20);
    }
  }
  auto offset = [&](DWORD r) { return static_cast<size_t>(r - base + raw); };
  l.typeDir = offset(rva);
  l.nameDir = offset(rva + (Get32(b, l.typeDir + 20) & 0x7FFFFFFF));
  l.languageDir = offset(rva + (Get32(b, l.nameDir + 20) & 0x7FFFFFFF));
  l.dataEntry = offset(rva + Get32(b, l.languageDir + 20));
  l.data = offset(Get32(b, l.dataEntry));
  l.dataSize = Get32(b, l.dataEntry + 4);
  return l;
}

// The file offset of the node whose key is `key`, searched from `from`.
size_t NodeOf(const std::string& b, const std::u16string& key, size_t from) {
  std::string bytes;
  for (char16_t c : key) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  bytes += std::string(2, '\0');
  size_t at = b.find(bytes, from);
  EXPECT_NE(at, std::string::npos);
  return at - 6;
}

const char* const kQueries[] = {
    "\\",
    "\\VarFileInfo\\Translation",
    "\\StringFileInfo\\040904B0\\CompanyName",
    "\\StringFileInfo\\040904B0\\ProductName",
    "\\StringFileInfo\\040904B0\\ProductVersion",
    "\\StringFileInfo\\040904B0\\Comments",
    "\\StringFileInfo\\040904B0",
    "\\StringFileInfo\\040904B0\\Missing",
};

class SimVersion : public testing_support::SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    good_ = ReadHostFile(std::string(TW_PROGRAM_FIXTURE_DIR) + "/ver_single.exe");
    ASSERT_GT(good_.size(), 1024u);
    layout_ = Find(good_);
    ASSERT_NE(layout_.resourceSection, 0u);
    ASSERT_EQ(Get16(good_, layout_.data), layout_.dataSize);  // the block fills its resource
  }

  std::string Write(const std::string& bytes, const std::string& name = "damaged.exe") {
    std::string path = "C:\\Windows\\Temp\\" + name;
    EXPECT_TRUE(machine_.files().WriteFileText(path, bytes));
    return path;
  }

  // Which of kQueries a file's block answers; empty when it has no block. The buffer is
  // exactly the reported size.
  std::vector<bool> Answers(const std::string& path) {
    auto& v = machine_.version();
    DWORD size = v.GetFileVersionInfoSizeA(path.c_str(), nullptr);
    if (size == 0) return {};
    std::vector<unsigned char> block(size);
    EXPECT_TRUE(v.GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    std::vector<bool> found;
    for (const char* q : kQueries) {
      void* value = nullptr;
      UINT length = 0;
      bool ok = v.VerQueryValueA(block.data(), q, &value, &length);
      if (ok && length) {
        auto* p = static_cast<unsigned char*>(value);
        EXPECT_TRUE(p >= block.data() && p + length <= block.data() + block.size()) << q;
      }
      found.push_back(ok);
    }
    return found;
  }

  std::string good_;
  Layout layout_;
};

TEST_F(SimVersion, DamagedProgramsHaveNoVersionResource) {
  const Layout& l = layout_;
  const size_t rsrc = l.resourceSection;
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    DWORD error;  // 0: still read
  } cases[] = {
      {"not an MZ file", [](std::string& b) { b[0] = 'Z'; }, kErrorResourceDataNotFound},
      {"header offset far past the end", [](std::string& b) { Put32(b, 0x3C, 0xFFFFFFF0); },
       kErrorResourceDataNotFound},
      {"header offset at the last bytes",
       [](std::string& b) { Put32(b, 0x3C, static_cast<DWORD>(b.size() - 2)); },
       kErrorResourceDataNotFound},
      {"header offset into the DOS header", [](std::string& b) { Put32(b, 0x3C, 0x3C); },
       kErrorResourceDataNotFound},
      {"no PE signature", [&](std::string& b) { b[l.lfanew + 1] = 'X'; },
       kErrorResourceDataNotFound},
      {"unknown optional header", [&](std::string& b) { Put16(b, l.optional, 0x0107); },
       kErrorResourceDataNotFound},
      {"optional header past the end", [&](std::string& b) { Put16(b, l.lfanew + 20, 0xFFF0); },
       kErrorResourceDataNotFound},
      {"optional header without the resource entry",
       [&](std::string& b) { Put16(b, l.lfanew + 20, 120); }, kErrorResourceDataNotFound},
      {"two data directories only", [&](std::string& b) { Put32(b, l.directories - 4, 2); },
       kErrorResourceDataNotFound},
      {"no resource directory", [&](std::string& b) { Put32(b, l.directories + 16, 0); },
       kErrorResourceDataNotFound},
      {"resource directory in no section",
       [&](std::string& b) { Put32(b, l.directories + 16, 0x00900000); },
       kErrorResourceDataNotFound},
      {"no sections", [&](std::string& b) { Put16(b, l.lfanew + 6, 0); },
       kErrorResourceDataNotFound},
      {"section table past the end", [&](std::string& b) { Put16(b, l.lfanew + 6, 0xFFFF); },
       kErrorResourceDataNotFound},
      {"resource section's data past the end",
       [&](std::string& b) { Put32(b, rsrc + 20, 0x00100000); }, kErrorResourceDataNotFound},
      {"resource section longer than the file",
       [&](std::string& b) { Put32(b, rsrc + 16, 0x7FFFFF00); }, kErrorResourceDataNotFound},
      {"resource section's memory size smaller than its data",
       [&](std::string& b) { Put32(b, rsrc + 8, 0x10); }, 0},
      {"type entry leads back to the root",
       [&](std::string& b) { Put32(b, l.typeDir + 20, 0x80000000); }, kErrorResourceDataNotFound},
      {"name entry leads to its own directory",
       [&](std::string& b) {
         Put32(b, l.nameDir + 20, 0x80000000 | static_cast<DWORD>(l.nameDir - l.typeDir));
       },
       kErrorResourceDataNotFound},
      {"name entry is a data entry",
       [&](std::string& b) {
         Put32(b, l.nameDir + 20, static_cast<DWORD>(l.dataEntry - l.typeDir));
       },
       kErrorResourceDataNotFound},
      {"language entry is a directory",
       [&](std::string& b) { Put32(b, l.languageDir + 20, 0x80000000); },
       kErrorResourceDataNotFound},
      {"type directory claims 65535 entries",
       [&](std::string& b) { Put16(b, l.typeDir + 14, 0xFFFF); }, kErrorResourceDataNotFound},
      {"only a named type entry",
       [&](std::string& b) {
         Put16(b, l.typeDir + 12, 1);
         Put16(b, l.typeDir + 14, 0);
       },
       kErrorResourceDataNotFound},
      {"data in no section", [&](std::string& b) { Put32(b, l.dataEntry, 0x00900000); },
       kErrorResourceDataNotFound},
      {"data at the top of the address space",
       [&](std::string& b) { Put32(b, l.dataEntry, 0xFFFFFFF0); }, kErrorResourceDataNotFound},
      {"data beyond its section",
       [&](std::string& b) { Put32(b, l.dataEntry + 4, l.dataSize + 0x200); },
       kErrorResourceDataNotFound},
      {"data size near 4 GB", [&](std::string& b) { Put32(b, l.dataEntry + 4, 0x7FFFFFF0); },
       kErrorResourceDataNotFound},
      {"program cut inside the block", [&](std::string& b) { b.resize(l.data + l.dataSize - 1); },
       kErrorResourceDataNotFound},
      // The resource is there, but its block does not fit it.
      {"empty resource", [&](std::string& b) { Put32(b, l.dataEntry + 4, 0); }, kErrorBadFormat},
      {"resource smaller than a node", [&](std::string& b) { Put32(b, l.dataEntry + 4, 2); },
       kErrorBadFormat},
      {"block longer than its resource", [&](std::string& b) { Put16(b, l.data, 0x2000); },
       kErrorBadFormat},
      {"block of length 0", [&](std::string& b) { Put16(b, l.data, 0); }, kErrorBadFormat},
      {"block shorter than its header", [&](std::string& b) { Put16(b, l.data, 4); },
       kErrorBadFormat},
  };
  auto& v = machine_.version();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good_;
    c.damage(bytes);
    std::string path = Write(bytes);
    DWORD handle = 5;
    machine_.system().SetLastError(12345);
    DWORD size = v.GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    if (c.error) {
      EXPECT_EQ(size, 0u);
      EXPECT_EQ(machine_.system().GetLastError(), c.error);
      std::vector<unsigned char> buffer(4096);
      EXPECT_FALSE(v.GetFileVersionInfoA(path.c_str(), 0, 4096, buffer.data()));
      EXPECT_EQ(machine_.system().GetLastError(), c.error);
    } else {
      EXPECT_EQ(size, 2 * l.dataSize + 4);
      // Everything but the missing string.
      EXPECT_EQ(Answers(path),
                std::vector<bool>({true, true, true, true, true, true, true, false}));
    }
    version::VersionInfo record;
    EXPECT_EQ(version::GetVersionInfoEx(record, path), c.error == 0);
  }
}

// A copy cut after any byte before the end of the resource section has no version resource;
// with the whole section it has the full program's.
TEST_F(SimVersion, EveryCutIsSafe) {
  const size_t end =
      Get32(good_, layout_.resourceSection + 20) + Get32(good_, layout_.resourceSection + 16);
  ASSERT_GE(end, layout_.data + layout_.dataSize);
  for (size_t n = 0; n <= good_.size(); ++n) {
    std::vector<unsigned char> image(good_.begin(), good_.begin() + n);
    sim::VersionResource r = sim::FindVersionResource(image.data(), image.size());
    if (n < end) {
      ASSERT_EQ(r.error, kErrorResourceDataNotFound) << n;
    } else {
      ASSERT_EQ(r.error, 0u) << n;
      ASSERT_EQ(r.offset, layout_.data) << n;
      ASSERT_EQ(r.size, layout_.dataSize) << n;
    }
  }
}

// Damage inside the version block: the walk stays inside each node and its parent, and what
// lies before the damage is still found.
TEST_F(SimVersion, DamagedBlocksAreWalkedInsideTheirBounds) {
  const size_t d = layout_.data;
  auto node = [&](const char16_t* key) { return NodeOf(good_, key, d); };
  const size_t stringInfo = node(u"StringFileInfo"), company = node(u"CompanyName"),
               product = node(u"ProductName"), translation = node(u"Translation");
  // kQueries: root, translation, company, product, version, comments, table, missing
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    std::vector<bool> found;
    const char* productName;  // the record's, nullptr: GetVersionInfoEx gives false
  } cases[] = {
      {"string block longer than the root",
       [&](std::string& b) { Put16(b, stringInfo, 0xF000); },
       {true, false, false, false, false, false, false, false},
       nullptr},
      {"string value longer than its node",
       [&](std::string& b) { Put16(b, product + 2, 0x7FFF); },
       {true, true, true, false, true, true, true, false},
       nullptr},
      {"key without its zero",
       [&](std::string& b) {
         for (size_t at = product + 6; at < product + Get16(good_, product); ++at) b[at] = 'A';
       },
       {true, true, true, false, false, false, true, false},
       nullptr},
      {"child of length 0",
       [&](std::string& b) { Put16(b, company, 0); },
       {true, true, false, false, false, false, true, false},
       nullptr},
      {"child shorter than its header",
       [&](std::string& b) { Put16(b, company, 3); },
       {true, true, false, false, false, false, true, false},
       nullptr},
      {"translation table longer than its node",
       [&](std::string& b) { Put16(b, translation + 2, 0x100); },
       {true, false, true, true, true, true, true, false},
       nullptr},
      // A string stored without its terminating zero is read by its length alone.
      {"string without its zero",
       [&](std::string& b) { Put16(b, product + 2, 14); },
       {true, true, true, true, true, true, true, false},
       "Fixture Single"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good_;
    c.damage(bytes);
    std::string path = Write(bytes);
    EXPECT_EQ(Answers(path), c.found);
    version::VersionInfo record;
    EXPECT_EQ(version::GetVersionInfoEx(record, path), c.productName != nullptr);
    EXPECT_STREQ(record.productName(), c.productName ? c.productName : "");
  }

  // The value of a string without its zero is exactly its characters.
  std::string bytes = good_;
  Put16(bytes, product + 2, 14);
  std::string path = Write(bytes);
  DWORD size = machine_.version().GetFileVersionInfoSizeA(path.c_str(), nullptr);
  std::vector<unsigned char> block(size, 0xEE);
  ASSERT_TRUE(machine_.version().GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(machine_.version().VerQueryValueA(block.data(), kQueries[3], &value, &length));
  EXPECT_EQ(length, 14u);
  EXPECT_EQ(std::string(static_cast<char*>(value), length), "Fixture Single");
}

// Windows copies what fits into a short buffer and reports success; here a buffer that
// cannot hold the block is refused, and one without the room for the string copies gives
// the binary values only.
TEST_F(SimVersion, BufferSizes) {
  std::string path = Write(good_, "ver_single.exe");
  auto& v = machine_.version();
  const DWORD length = layout_.dataSize;
  const DWORD full = v.GetFileVersionInfoSizeA(path.c_str(), nullptr);
  ASSERT_EQ(full, 2 * length + 4);

  machine_.system().SetLastError(0);
  EXPECT_FALSE(v.GetFileVersionInfoA(path.c_str(), 0, 16, nullptr));
  EXPECT_EQ(machine_.system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));

  for (DWORD size : {DWORD{20}, length, length + 3}) {
    std::vector<unsigned char> block(size, 0xEE);
    EXPECT_FALSE(v.GetFileVersionInfoA(path.c_str(), 0, size, block.data())) << size;
    EXPECT_EQ(machine_.system().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  }
  for (DWORD size : {length + 4, full - 1}) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> block(size, 0xEE);
    ASSERT_TRUE(v.GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    EXPECT_EQ(std::memcmp(block.data(), good_.data() + layout_.data, length), 0);
    void* value = nullptr;
    UINT n = 0;
    EXPECT_TRUE(v.VerQueryValueA(block.data(), "\\", &value, &n));
    EXPECT_EQ(n, 52u);
    EXPECT_TRUE(v.VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &n));
    EXPECT_FALSE(v.VerQueryValueA(block.data(), kQueries[3], &value, &n));
    EXPECT_EQ(machine_.system().GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(n, 0u);
  }
  // The same buffer reused for a smaller size loses its room marker.
  std::vector<unsigned char> block(full);
  ASSERT_TRUE(v.GetFileVersionInfoA(path.c_str(), 0, full, block.data()));
  ASSERT_TRUE(v.GetFileVersionInfoA(path.c_str(), 0, length + 4, block.data()));
  void* value = nullptr;
  UINT n = 0;
  EXPECT_FALSE(v.VerQueryValueA(block.data(), kQueries[3], &value, &n));
}

// The Program Files rule on the 32-bit program: under a 64-bit Windows its Program Files is
// the (x86) folder; the redirection switch is back on afterwards.
TEST(SimVersionMachines, VendorFolderUnderEachProgramFiles) {
  std::string fixture = ReadHostFile(std::string(TW_PROGRAM_FIXTURE_DIR) + "/ver_nocompany.exe");
  struct Case {
    bool windows64, process64;
    const char* path;
    const char* company;
  } cases[] = {
      {true, false, "C:\\Program Files (x86)\\Northwind Traders\\bin\\viewer.exe",
       "Northwind Traders"},
      {true, false, "C:\\Program Files\\Northwind Traders\\viewer.exe", ""},
      {false, false, "C:\\Program Files\\Northwind Traders\\viewer.exe", "Northwind Traders"},
      {true, true, "C:\\Program Files\\Northwind Traders\\viewer.exe", "Northwind Traders"},
      {true, true, "C:\\Tools\\Northwind Traders\\viewer.exe", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    sim::MachineConfig config;
    config.windows64 = c.windows64;
    config.process64 = c.process64;
    sim::SimMachine machine(config);
    machine.Install();
    app::ResetProcessState();
    reg::Set64BitFlag(c.windows64);
    ASSERT_TRUE(machine.files().WriteFileText(c.path, fixture));
    version::VersionInfo record;
    EXPECT_TRUE(version::GetVersionInfoEx(record, c.path));
    EXPECT_STREQ(record.company(), c.company);
    EXPECT_FALSE(machine.files().redirectionOff());
    app::ResetProcessState();
    plat::Install(nullptr);
  }
}

}  // namespace
