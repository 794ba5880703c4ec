// Version resources of the fixture programs (tests/fixtures/programs) as version.dll hands
// them to the program, and the version records the program makes of them: the simulated
// machine natively, the real version.dll under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/process_state.h"
#include "diag/testlog.h"
#include "platform/registry_access.h"
#include "platform/version_info.h"
#include "tests/contract/contract_support.h"

namespace {

constexpr DWORD kResourceDataNotFound = 1812;  // ERROR_RESOURCE_DATA_NOT_FOUND
constexpr DWORD kResourceTypeNotFound = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
constexpr DWORD kBadPathname = 161;            // ERROR_BAD_PATHNAME

std::string FixtureHostPath(const std::string& name) {
  return std::string(TW_PROGRAM_FIXTURE_DIR) + "/" + name;
}

// The fixture's bytes, read straight from the build folder (under Wine through drive Z:).
std::string FixtureBytes(const std::string& name) {
  std::string path = FixtureHostPath(name);
#ifdef _WIN32
  path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DWORD Le32(const std::string& b, size_t at) {
  DWORD v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b.at(at + i));
  return v;
}
WORD Le16(const std::string& b, size_t at) {
  return static_cast<WORD>(static_cast<unsigned char>(b.at(at)) |
                           (static_cast<unsigned char>(b.at(at + 1)) << 8));
}

class VersionContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    app::ResetProcessState();
    reg::Set64BitFlag(true);
    trace_ = env_->ScratchFolder() + "\\trace.txt";
    diag::SetTraceFile(trace_);
    diag::SetTraceCounter(0);
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      plat::Files().DeleteFileA(it->c_str());
      plat::Files().RemoveDirectoryA(it->c_str());
    }
    app::ResetProcessState();
    env_.reset();
  }

  std::string Place(const std::string& name) {
    std::string path = env_->PlaceFile(FixtureHostPath(name), name);
    EXPECT_FALSE(path.empty()) << name;
    return path;
  }
  // A copy of `bytes` in the scratch folder.
  std::string PlaceBytes(const std::string& bytes, const std::string& name) {
    std::error_code ec;
    std::filesystem::path host = std::filesystem::temp_directory_path(ec) / ("tw-" + name);
    {
      std::ofstream out(host, std::ios::binary | std::ios::trunc);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string path = env_->PlaceFile(host.string(), name);
    std::filesystem::remove(host, ec);
    EXPECT_FALSE(path.empty()) << name;
    return path;
  }
  // Makes a folder (removed after the test, with what it holds).
  void MakeFolder(const std::string& folder) {
    if (plat::Files().CreateDirectoryA(folder.c_str())) made_.push_back(folder);
  }
  std::string CopyTo(const std::string& from, const std::string& to) {
    EXPECT_TRUE(plat::Files().CopyFileA(from.c_str(), to.c_str(), FALSE)) << to;
    made_.push_back(to);
    return to;
  }

  // The whole block of a file, in a buffer of exactly the size the size function gives.
  std::vector<unsigned char> Block(const std::string& path) {
    DWORD handle = 7;
    DWORD size = plat::Version().GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<unsigned char> block(size);
    if (size == 0) return block;
    EXPECT_TRUE(plat::Version().GetFileVersionInfoA(path.c_str(), 0, size, block.data())) << path;
    return block;
  }

  std::unique_ptr<contract::ContractEnv> env_;
  std::string trace_;
  std::vector<std::string> made_;
};

// The size the A function reports is twice the resource and four bytes more (room for the
// single-byte copies of the strings); both machines measure the same resources of the
// 64-bit and the 32-bit programs.
TEST_F(VersionContract, SizeDoublesTheResource) {
  struct Case {
    const char* fixture;
    DWORD size;
  } cases[] = {
      {"ver_single.exe", 1316},     {"ver_single32.exe", 1316},  {"ver_multi.exe", 2484},
      {"ver_multi32.exe", 2484},    {"ver_system.exe", 1340},    {"ver_limits.exe", 3660},
      {"ver_large.exe", 8196},      {"ver_nearlarge.exe", 8188}, {"ver_langs.exe", 580},
      {"ver_langs_other.exe", 580},
  };
  for (const Case& c : cases) {
    std::string path = Place(c.fixture);
    DWORD handle = 7;
    plat::Sys().SetLastError(12345);
    EXPECT_EQ(plat::Version().GetFileVersionInfoSizeA(path.c_str(), &handle), c.size) << c.fixture;
    EXPECT_EQ(plat::Sys().GetLastError(), 0u) << c.fixture;
    EXPECT_EQ(handle, 0u) << c.fixture;
  }
}

TEST_F(VersionContract, FilesWithoutVersionResource) {
  std::string folder = env_->ScratchFolder();
  struct Case {
    std::string path;
    DWORD error, readError;  // of the size function and of the read
  } cases[] = {
      // resources, none of them a version; no resources at all; no program at all
      {Place("ver_none.exe"), kResourceDataNotFound, kResourceDataNotFound},
      {Place("ver_bare.exe"), kResourceDataNotFound, kResourceDataNotFound},
      {PlaceBytes("not a program\r\n", "text.exe"), kResourceDataNotFound,
       kResourceDataNotFound},
      {folder + "\\missing.exe", ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
      {folder + "\\no folder\\missing.exe", ERROR_PATH_NOT_FOUND, ERROR_PATH_NOT_FOUND},
      {folder, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
      // Only the size function looks at an empty name before opening it.
      {"", kBadPathname, ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    DWORD handle = 7;
    plat::Sys().SetLastError(12345);
    EXPECT_EQ(plat::Version().GetFileVersionInfoSizeA(c.path.c_str(), &handle), 0u) << c.path;
    EXPECT_EQ(plat::Sys().GetLastError(), c.error) << c.path;
    EXPECT_EQ(handle, 0u) << c.path;
    unsigned char buffer[64] = {};
    plat::Sys().SetLastError(12345);
    EXPECT_FALSE(plat::Version().GetFileVersionInfoA(c.path.c_str(), 0, sizeof buffer, buffer));
    EXPECT_EQ(plat::Sys().GetLastError(), c.readError) << c.path;
  }
}

// Copies cut inside the headers, the section table or the resource directory have no
// version resource, and nothing is read past their end.
TEST_F(VersionContract, CutProgramsHaveNone) {
  std::string bytes = FixtureBytes("ver_single.exe");
  ASSERT_GT(bytes.size(), 1024u);
  size_t lfanew = Le32(bytes, 0x3C);
  size_t sections = lfanew + 24 + Le16(bytes, lfanew + 20);
  size_t resources = 0;
  for (size_t s = sections; s + 40 <= sections + 40 * Le16(bytes, lfanew + 6); s += 40)
    if (bytes.compare(s, 6, ".rsrc\0", 6) == 0) resources = Le32(bytes, s + 20);
  ASSERT_NE(resources, 0u);
  size_t cuts[] = {0,
                   2,
                   0x3C,
                   lfanew,
                   lfanew + 4,
                   lfanew + 40,
                   sections + 8,
                   sections + 60,
                   resources,
                   resources + 16,
                   resources + 48,
                   resources + 80,
                   resources + 0x100};
  for (size_t cut : cuts) {
    std::string path = PlaceBytes(bytes.substr(0, cut), "cut" + std::to_string(cut) + ".exe");
    plat::Sys().SetLastError(12345);
    EXPECT_EQ(plat::Version().GetFileVersionInfoSizeA(path.c_str(), nullptr), 0u) << cut;
    EXPECT_EQ(plat::Sys().GetLastError(), kResourceDataNotFound) << cut;
  }
}

// The block as stored in the file, then "FE2X": the fixed part and the translation table
// point into the block itself.
TEST_F(VersionContract, FixedInfoAndTranslationTables) {
  struct Case {
    const char* fixture;
    DWORD fileMS, fileLS, productMS, productLS, fileType;
    std::vector<DWORD> translations;  // language in the low word, code page in the high word
  } cases[] = {
      {"ver_single.exe", 0x00010002, 0x00030004, 0x00050006, 0x00070008, 1, {0x04B00409}},
      {"ver_single32.exe", 0x00010002, 0x00030004, 0x00050006, 0x00070008, 1, {0x04B00409}},
      {"ver_multi.exe", 0x00020000, 0, 0x00020001, 0, 1, {0x04B00407, 0x04E40409}},
      {"ver_multi32.exe", 0x00020000, 0, 0x00020001, 0, 1, {0x04B00407, 0x04E40409}},
      {"ver_lastempty.exe", 0x00030000, 0, 0x00030000, 0, 1, {0x04B00409, 0x04B00411}},
      {"ver_system.exe", 0x000A0000, 0x4A610001, 0x000A0000, 0x4A610001, 2, {0x04B00409}},
      {"ver_notrans.exe", 0x00060000, 0, 0x00060000, 0, 1, {}},
      // Of two version resources with the same id: the US English one, else the first.
      {"ver_langs.exe", 0x00070000, 0x00000009, 0x00070000, 0x00000009, 1, {0x04B00409}},
      {"ver_langs_other.exe", 0x00080000, 0x00000007, 0x00080000, 0x00000007, 1, {0x04B00407}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    std::vector<unsigned char> block = Block(Place(c.fixture));
    ASSERT_GT(block.size(), 100u);
    WORD length = static_cast<WORD>(block[0] | (block[1] << 8));
    EXPECT_EQ(block.size(), 2u * length + 4);
    EXPECT_EQ(std::memcmp(block.data() + 6, u"VS_VERSION_INFO", 32), 0);
    EXPECT_EQ(std::memcmp(block.data() + length, "FE2X", 4), 0);

    for (const char* root : {"\\", ""}) {
      void* value = nullptr;
      UINT size = 0;
      ASSERT_TRUE(plat::Version().VerQueryValueA(block.data(), root, &value, &size));
      ASSERT_EQ(size, 52u);
      auto* p = static_cast<unsigned char*>(value);
      ASSERT_TRUE(p > block.data() && p + 52 <= block.data() + length);
      DWORD fixed[13];
      std::memcpy(fixed, p, sizeof fixed);
      EXPECT_EQ(fixed[0], 0xFEEF04BDu);  // the signature
      EXPECT_EQ(fixed[2], c.fileMS);
      EXPECT_EQ(fixed[3], c.fileLS);
      EXPECT_EQ(fixed[4], c.productMS);
      EXPECT_EQ(fixed[5], c.productLS);
      EXPECT_EQ(fixed[8], 0x00040004u);  // VOS_NT_WINDOWS32
      EXPECT_EQ(fixed[9], c.fileType);
    }

    void* value = nullptr;
    UINT size = 99;
    BOOL found =
        plat::Version().VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &size);
    if (c.translations.empty()) {
      EXPECT_FALSE(found);
      EXPECT_EQ(size, 0u);
      EXPECT_EQ(plat::Sys().GetLastError(), kResourceTypeNotFound);
      continue;
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(size, 4 * c.translations.size());
    std::vector<DWORD> table(c.translations.size());
    std::memcpy(table.data(), value, size);
    EXPECT_EQ(table, c.translations);
  }
}

// Strings come back in the Western code page after the block, with their length in
// characters, the terminating zero included; keys are found in any case, empty path parts
// are skipped, and only a backslash separates them.
TEST_F(VersionContract, StringValues) {
  struct Case {
    const char* fixture;
    const char* query;
    const char* expected;  // nullptr: not found
  } cases[] = {
      {"ver_single.exe", "\\StringFileInfo\\040904B0\\ProductName", "Fixture Single"},
      {"ver_single.exe", "\\StringFileInfo\\040904B0\\CompanyName", "Orvendel Fixture Works"},
      {"ver_single.exe", "\\StringFileInfo\\040904B0\\LegalCopyright",
       "Copyright \xA9 2024 Orvendel Fixture Works"},
      {"ver_single.exe", "\\stringfileinfo\\040904b0\\PRODUCTNAME", "Fixture Single"},
      {"ver_single.exe", "StringFileInfo\\\\040904B0\\ProductName\\", "Fixture Single"},
      {"ver_single.exe", "\\StringFileInfo\\040904B0\\Comments", ""},
      {"ver_single.exe", "\\StringFileInfo\\040904B0\\Product", nullptr},
      {"ver_single.exe", "\\StringFileInfo\\040904B0\\ProductNameX", nullptr},
      {"ver_single.exe", "/StringFileInfo/040904B0/ProductName", nullptr},
      {"ver_single.exe", "\\StringFileInfo\\040904E4\\ProductName", nullptr},
      {"ver_single32.exe", "\\StringFileInfo\\040904B0\\ProductVersion", "5.6.7.8"},
      {"ver_multi.exe", "\\StringFileInfo\\040904E4\\FileDescription",
       "Multi-language fixture, caf\xE9 \x80"
       "5"},
      {"ver_multi.exe", "\\StringFileInfo\\040704B0\\FileDescription",
       "Mehrsprachige Pr\xFC"
       "fdatei"},
      {"ver_multi.exe", "\\StringFileInfo\\040904E4\\LegalCopyright", nullptr},
      {"ver_multi.exe", "\\StringFileInfo\\040C04B0\\ProductName", "Fixture Multiple"},
      {"ver_multi32.exe", "\\StringFileInfo\\040904e4\\productname", "Fixture Multi"},
      {"ver_system.exe", "\\StringFileInfo\\040904B0\\ProductName",
       "Contoso\xAE Windows\xAE Operating System"},
      {"ver_langs.exe", "\\StringFileInfo\\040904B0\\ProductName", "Fixture Languages"},
      {"ver_langs.exe", "\\StringFileInfo\\040704B0\\ProductName", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + " " + c.query);
    std::vector<unsigned char> block = Block(Place(c.fixture));
    ASSERT_FALSE(block.empty());
    WORD length = static_cast<WORD>(block[0] | (block[1] << 8));
    void* value = nullptr;
    UINT size = 99;
    BOOL found = plat::Version().VerQueryValueA(block.data(), c.query, &value, &size);
    if (!c.expected) {
      EXPECT_FALSE(found);
      EXPECT_EQ(size, 0u);
      EXPECT_EQ(plat::Sys().GetLastError(), kResourceTypeNotFound);
      continue;
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(size, std::strlen(c.expected) + 1);
    auto* p = static_cast<unsigned char*>(value);
    // The copy lies in the room after the block and "FE2X".
    ASSERT_TRUE(p >= block.data() + length + 4 && p + size <= block.data() + block.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(p), size - 1), c.expected);
    EXPECT_EQ(p[size - 1], 0);
  }

  // The strings at the record's limit: 127 and 128 characters, and the length counts the zero.
  std::vector<unsigned char> block = Block(Place("ver_limits.exe"));
  struct Limit {
    const char* name;
    UINT size;
  } limits[] = {{"ProductName", 128},
                {"CompanyName", 129},
                {"FileDescription", 128},
                {"LegalCopyright", 201},
                {"ProductVersion", 127}};
  for (const Limit& l : limits) {
    void* value = nullptr;
    UINT size = 0;
    std::string query = std::string("\\StringFileInfo\\040904B0\\") + l.name;
    ASSERT_TRUE(plat::Version().VerQueryValueA(block.data(), query.c_str(), &value, &size));
    EXPECT_EQ(size, l.size) << l.name;
    EXPECT_EQ(std::strlen(static_cast<char*>(value)), l.size - 1) << l.name;
  }

  // A block on the way holds no value of its own.
  for (const char* query : {"\\StringFileInfo", "\\StringFileInfo\\040904B0", "\\VarFileInfo"}) {
    void* value = nullptr;
    UINT size = 99;
    EXPECT_TRUE(plat::Version().VerQueryValueA(block.data(), query, &value, &size)) << query;
    EXPECT_EQ(size, 0u) << query;
  }
}

// The version record of every fixture, through the program's own operation.
TEST_F(VersionContract, VersionRecords) {
  const std::string p127 =
      "Fixture Limits product name of exactly one hundred and twenty-seven characters "
      "012345678901234567890123456789012345678901234567";
  const std::string d127 = "Fixture Limits description, caf\xE9" + [] {
    std::string s;
    while (s.size() < 127 - 32) s += s.size() % 2 ? "=" : "-";
    return s;
  }();
  const std::string v126 = "6." + std::string(124, '9');

  std::string pf = "C:\\Program Files\\Northwind Traders";
  MakeFolder(pf);
  std::string underProgramFiles = CopyTo(Place("ver_nocompany.exe"), pf + "\\viewer.exe");

  struct Case {
    std::string path;
    bool result;
    std::string fields[version::FIELD_COUNT];
  } cases[] = {
      {Place("ver_single.exe"),
       true,
       {"Fixture Single", "5.6.7.8", "Orvendel Fixture Works", "Single translation fixture",
        "Copyright \xA9 2024 Orvendel Fixture Works"}},
      {Place("ver_single32.exe"),
       true,
       {"Fixture Single", "5.6.7.8", "Orvendel Fixture Works", "Single translation fixture",
        "Copyright \xA9 2024 Orvendel Fixture Works"}},
      // The last translation decides every field, the missing legal notice too.
      {Place("ver_multi.exe"),
       true,
       {"Fixture Multi", "2.1 en", "Fixture Works",
        "Multi-language fixture, caf\xE9 \x80"
        "5",
        ""}},
      {Place("ver_lastempty.exe"), false, {}},
      // A system file shows what it is.
      {Place("ver_system.exe"),
       true,
       {"Contoso Session Host", "10.0.19041.1", "Contoso Corporation", "Contoso Session Host",
        "\xA9 Contoso Corporation. All rights reserved."}},
      {Place("ver_oscase.exe"),
       true,
       {"Fabrikam Tools Host", "4.0", "Fabrikam", "Fabrikam Tools Host", ""}},
      {Place("ver_nocompany.exe"), true, {"Northwind Viewer", "5.0", "", "Northwind Viewer", ""}},
      {underProgramFiles,
       true,
       {"Northwind Viewer", "5.0", "Northwind Traders", "Northwind Viewer", ""}},
      {Place("ver_notrans.exe"), false, {}},
      {Place("ver_none.exe"), false, {}},
      {Place("ver_bare.exe"), false, {}},
      {Place("ver_large.exe"), false, {}},
      {Place("ver_nearlarge.exe"),
       true,
       {"Fixture Large", "10.0", "Fixture Works", "Large version resource", ""}},
      // 127 characters are taken, 128 and more give an empty field.
      {Place("ver_limits.exe"), true, {p127, v126, "", d127, ""}},
      {Place("ver_langs.exe"), true, {"Fixture Languages", "", "", "", ""}},
      {Place("ver_langs_other.exe"), true, {"Fixture Sprachen", "", "", "", ""}},
  };
  ASSERT_EQ(p127.size(), 127u);
  ASSERT_EQ(d127.size(), 127u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    version::VersionInfo record;
    std::memset(&record, 'x', sizeof record);
    EXPECT_EQ(version::GetVersionInfoEx(record, c.path), c.result);
    for (int f = 0; f < version::FIELD_COUNT; ++f) {
      EXPECT_EQ(record.field[f], c.fields[f]) << version::kFieldNames[f];
      // The rest of the field is zero-filled.
      for (size_t i = std::strlen(record.field[f]); i < version::kFieldSize; ++i)
        ASSERT_EQ(record.field[f][i], '\0') << version::kFieldNames[f];
    }
    EXPECT_EQ(version::GetFileDescription(c.path), c.fields[version::DESCRIPTION]);
  }
  char description[version::kFieldSize];
  version::GetFileDescription(description, Place("ver_system.exe"));
  EXPECT_STREQ(description, "Contoso Session Host");
}

// Only the over-large resource writes a diagnostics line: with the error of the size
// function, which succeeded.
TEST_F(VersionContract, OverLargeResourceIsLogged) {
  version::VersionInfo record;
  const char* label = "MyError:  GetVersionInfoEx GetFileVersionInfoSize";
  for (const char* quiet : {"ver_nearlarge.exe", "ver_none.exe", "ver_notrans.exe"})
    version::GetVersionInfoEx(record, Place(quiet));
  for (const std::string& line : contract::TraceLines(trace_))
    EXPECT_EQ(line.find(label), std::string::npos) << line;

  EXPECT_FALSE(version::GetVersionInfoEx(record, Place("ver_large.exe")));
  auto lines = contract::TraceLines(trace_);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(contract::TraceHas(lines, label, "0  " + plat::Sys().ErrorText(0))) << lines[0];
}

}  // namespace
