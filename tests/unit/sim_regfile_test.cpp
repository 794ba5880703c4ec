// The simulated registry's .reg reader and writer, and what only the simulation can show: the
// views of a 32-bit process or a 32-bit Windows, planned call failures, handle bookkeeping.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"

namespace {

using Bytes = std::vector<BYTE>;
using sim::RegFileFormat;
using sim::SimRegistry;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
// Text and its terminating zero.
Bytes Z(const std::string& s) {
  Bytes b = B(s);
  b.push_back(0);
  return b;
}

// UTF-16LE with a byte order mark, the way regedit saves Version 5 files.
std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

struct Read {
  LONG result = ERROR_SUCCESS;
  DWORD type = 0;
  Bytes data;
};

Read ReadValue(SimRegistry& reg, HKEY root, const std::string& path, const char* name,
               REGSAM view = 0) {
  Read r;
  plat::RegKey key(reg);
  r.result = key.Open(root, path.c_str(), KEY_READ | view);
  if (r.result != ERROR_SUCCESS) return r;
  DWORD size = 0;
  r.result = reg.RegQueryValueExA(key.get(), name, &r.type, nullptr, &size);
  if (r.result != ERROR_SUCCESS) return r;
  r.data.resize(size);
  r.result = reg.RegQueryValueExA(key.get(), name, &r.type, r.data.data(), &size);
  return r;
}

LONG OpenResult(SimRegistry& reg, HKEY root, const std::string& path, REGSAM sam = KEY_READ) {
  plat::RegKey key(reg);
  return key.Open(root, path.c_str(), sam);
}

// Every key and value below root\path in a fixed text form, read through the calls.
void Dump(SimRegistry& reg, HKEY key, const std::string& name, std::string* out) {
  *out += "[" + name + "]\n";
  char valueName[512];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof valueName, size = sizeof data, type = 0;
    if (reg.RegEnumValueA(key, i, valueName, &cch, &type, data, &size) != ERROR_SUCCESS) break;
    char head[64];
    std::snprintf(head, sizeof head, "\" type %lu:", static_cast<unsigned long>(type));
    *out += "  \"" + std::string(valueName, cch) + head;
    for (DWORD b = 0; b < size; ++b) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02x", data[b]);
      *out += hex;
    }
    *out += "\n";
  }
  for (DWORD i = 0;; ++i) {
    char sub[256];
    DWORD cch = sizeof sub;
    if (reg.RegEnumKeyExA(key, i, sub, &cch) != ERROR_SUCCESS) break;
    plat::RegKey child(reg);
    if (child.Open(key, sub, KEY_READ) != ERROR_SUCCESS) break;
    Dump(reg, child.get(), name + "\\" + sub, out);
  }
}

std::string DumpTree(SimRegistry& reg, HKEY root, const std::string& path) {
  plat::RegKey key(reg);
  if (key.Open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS) return "(missing)";
  std::string out;
  Dump(reg, key.get(), path, &out);
  return out;
}

const char kV4[] = "REGEDIT4\r\n";
const char kV5[] = "Windows Registry Editor Version 5.00\r\n";
const char kKey[] = "[HKEY_CURRENT_USER\\Software\\T]\r\n";

// ---------------------------------------------------------------------------------------------
// Reading .reg text

struct ValueCase {
  const char* what;
  std::string file;
  HKEY root;
  std::string path;
  const char* name;
  DWORD type;
  Bytes data;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.what; }

class RegFileValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RegFileValues, LoadGivesTheValueWithItsTypeAndBytes) {
  const ValueCase& c = GetParam();
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadRegText(c.file, "case.reg", &error)) << error;
  Read r = ReadValue(reg, c.root, c.path, c.name);
  ASSERT_EQ(r.result, ERROR_SUCCESS);
  EXPECT_EQ(r.type, c.type);
  EXPECT_EQ(r.data, c.data);
  EXPECT_EQ(reg.OpenKeyCount(), 0u);
}

std::string V4(const std::string& body) { return std::string(kV4) + kKey + body; }
std::string V5(const std::string& body) { return std::string(kV5) + kKey + body; }

INSTANTIATE_TEST_SUITE_P(
    Snippets, RegFileValues,
    ::testing::Values(
        ValueCase{"string with escaped backslash and quote", V4("\"S\"=\"a\\\\b\\\"c\"\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("a\\b\"c")},
        ValueCase{"\\n and \\r escapes, other escapes stand for the letter",
                  V4("\"S\"=\"x\\ny\\rz\\t\"\r\n"), HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ,
                  Z("x\ny\rzt")},
        ValueCase{"';' inside the string, a comment after it", V4("\"S\"=\"a;b\"  ; comment\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("a;b")},
        ValueCase{"blanks around the name, '=' and data", V4("\t \"  S p \"\t=  \"  v  \"  \r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "  S p ", REG_SZ, Z("  v  ")},
        ValueCase{"';' and '#' comment lines", V4("; note\r\n  # note\r\n\"S\"=\"x\"\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("x")},
        ValueCase{"default value", V4("@ = \"dflt\"\r\n"), HKEY_CURRENT_USER, "Software\\T", "",
                  REG_SZ, Z("dflt")},
        ValueCase{"dword with fewer digits", V4("\"D\"=dword:1\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "D", REG_DWORD, Bytes({1, 0, 0, 0})},
        ValueCase{"dword with blanks and a comment", V4("\"D\"=dword:\t0000abcd ;c\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "D", REG_DWORD, Bytes({0xcd, 0xab, 0, 0})},
        ValueCase{"binary", V4("\"H\"=hex:aa,BB,0c\r\n"), HKEY_CURRENT_USER, "Software\\T", "H",
                  REG_BINARY, Bytes({0xaa, 0xbb, 0x0c})},
        ValueCase{"empty binary", V4("\"H\"=hex:\r\n"), HKEY_CURRENT_USER, "Software\\T", "H",
                  REG_BINARY, Bytes()},
        ValueCase{"REGEDIT4 hex(2) is ANSI and gains its missing zero",
                  V4("\"E\"=hex(2):25,50,41,54,48,25\r\n"), HKEY_CURRENT_USER, "Software\\T", "E",
                  REG_EXPAND_SZ, Z("%PATH%")},
        ValueCase{"multi-string", V4("\"M\"=hex(7):61,00,62,00,00\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "M", REG_MULTI_SZ, Bytes({'a', 0, 'b', 0, 0})},
        ValueCase{"qword", V4("\"Q\"=hex(b):01,02,03,04,05,06,07,08\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "Q", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8})},
        ValueCase{"REG_NONE", V4("\"N\"=hex(0):56,00\r\n"), HKEY_CURRENT_USER, "Software\\T", "N",
                  REG_NONE, Bytes({0x56, 0})},
        ValueCase{"any numbered type", V4("\"X\"=hex(abcd):01\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "X", 0xabcd, Bytes({1})},
        ValueCase{"empty hex(1) stays empty", V4("\"S\"=hex(1):\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "S", REG_SZ, Bytes()},
        ValueCase{"continued over lines, with blank and comment lines between",
                  V4("\"H\"=hex:01,02,\\\r\n  03,04,\\ ; more\r\n\r\n; note\r\n\t05\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "H", REG_BINARY, Bytes({1, 2, 3, 4, 5})},
        ValueCase{"trailing comma", V4("\"H\"=hex:01,02,\r\n"), HKEY_CURRENT_USER, "Software\\T",
                  "H", REG_BINARY, Bytes({1, 2})},
        ValueCase{"continuation at the end of the file", V4("\"H\"=hex:01,02,\\"),
                  HKEY_CURRENT_USER, "Software\\T", "H", REG_BINARY, Bytes({1, 2})},
        ValueCase{"LF line ends", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\T]\n\"S\"=\"lf\"\n",
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("lf")},
        ValueCase{"CR line ends", "REGEDIT4\r[HKEY_CURRENT_USER\\Software\\T]\r\"S\"=\"cr\"\r",
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("cr")},
        ValueCase{"blanks before the header and the key",
                  "  REGEDIT4\r\n\t[HKEY_CURRENT_USER\\Software\\T]\r\n\"S\"=\"x\"\r\n",
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("x")},
        ValueCase{"root names in any case, key names keep blanks",
                  "REGEDIT4\r\n[hkey_Current_USER\\Software\\T ]\r\n\"S\"=\"x\"\r\n",
                  HKEY_CURRENT_USER, "Software\\T ", "S", REG_SZ, Z("x")},
        ValueCase{"HKEY_CLASSES_ROOT is HKLM\\Software\\Classes",
                  "REGEDIT4\r\n[HKEY_CLASSES_ROOT\\.tw]\r\n@=\"twfile\"\r\n", HKEY_LOCAL_MACHINE,
                  "Software\\Classes\\.tw", "", REG_SZ, Z("twfile")},
        ValueCase{"HKEY_USERS", "REGEDIT4\r\n[HKEY_USERS\\.DEFAULT\\T]\r\n\"S\"=\"u\"\r\n",
                  HKEY_USERS, ".DEFAULT\\T", "S", REG_SZ, Z("u")},
        ValueCase{"HKEY_CURRENT_CONFIG", "REGEDIT4\r\n[HKEY_CURRENT_CONFIG\\T]\r\n\"S\"=\"c\"\r\n",
                  HKEY_CURRENT_CONFIG, "T", "S", REG_SZ, Z("c")},
        ValueCase{"REGEDIT4 keeps ANSI bytes", V4("\"S\"=\"caf\xe9\"\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "S", REG_SZ, Z("caf\xe9")},
        ValueCase{"Version 5 as plain text: hex(2) is UTF-16LE",
                  V5("\"E\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "E", REG_EXPAND_SZ, Z("%PATH%")},
        ValueCase{"Version 5 hex(7) gains its missing zero",
                  V5("\"M\"=hex(7):4c,00,69,00,6e,00,65,00\r\n"), HKEY_CURRENT_USER, "Software\\T",
                  "M", REG_MULTI_SZ, Z("Line")},
        ValueCase{"Version 5 hex(1) keeps inner zeros",
                  V5("\"S\"=hex(1):61,00,00,00,62,00,00,00\r\n"), HKEY_CURRENT_USER, "Software\\T",
                  "S", REG_SZ, Bytes({'a', 0, 'b', 0})},
        ValueCase{"Version 5 binary is not converted", V5("\"H\"=hex:61,00\r\n"), HKEY_CURRENT_USER,
                  "Software\\T", "H", REG_BINARY, Bytes({'a', 0})},
        ValueCase{"UTF-16LE file: Latin-1 kept, other characters become '?'",
                  Utf16File(u"Windows Registry Editor Version 5.00\r\n"
                            u"[HKEY_CURRENT_USER\\Software\\T]\r\n"
                            u"\"S\"=\"caf\u00e9 \u20ac\"\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("caf\xe9 ?")},
        ValueCase{"UTF-16LE file with continued UTF-16 hex(2)",
                  Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n"
                            u"[HKEY_CURRENT_USER\\Software\\T]\r\n"
                            u"\"E\"=hex(2):25,00,54,00,\\\r\n  4d,00,50,00,25,00,e9,00,00,00\r\n"),
                  HKEY_CURRENT_USER, "Software\\T", "E", REG_EXPAND_SZ, Z("%TMP%\xe9")},
        ValueCase{"Version 5 text in UTF-8 without a byte order mark",
                  V5("\"S\"=\"caf\xC3\xA9\"\r\n"), HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ,
                  Z("caf\xe9")},
        ValueCase{"UTF-8 Version 5 text",
                  "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                  "[HKEY_CURRENT_USER\\Software\\T]\r\n\"S\"=\"caf\xC3\xA9\"\r\n",
                  HKEY_CURRENT_USER, "Software\\T", "S", REG_SZ, Z("caf\xe9")}),
    [](const ::testing::TestParamInfo<ValueCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(RegFileLoad, DeletesValuesAndWholeTrees) {
  SimRegistry reg;
  std::string error;
  ASSERT_TRUE(reg.LoadRegText(std::string(kV4) +
                                  "[HKEY_CURRENT_USER\\Software\\T]\r\n"
                                  "\"Keep\"=\"1\"\r\n\"Drop\"=\"2\"\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\T\\Tree\\Deep\\Deeper]\r\n"
                                  "\"x\"=\"3\"\r\n",
                              "seed.reg", &error))
      << error;
  plat::RegKey held(reg);
  ASSERT_EQ(held.Open(HKEY_CURRENT_USER, "Software\\T\\Tree\\Deep", KEY_READ), ERROR_SUCCESS);

  ASSERT_TRUE(reg.LoadRegText(std::string(kV4) + "[HKEY_CURRENT_USER\\Software\\T]\r\n"
                                                 "\"Drop\"=-\r\n"
                                                 "\"NeverThere\"= - ;nothing to delete\r\n"
                                                 "[-HKEY_CURRENT_USER\\Software\\T\\TREE]\r\n"
                                                 "[-HKEY_CURRENT_USER\\Software\\Missing\\Key]\r\n",
                              "delete.reg", &error))
      << error;
  EXPECT_EQ(ReadValue(reg, HKEY_CURRENT_USER, "Software\\T", "Keep").data, Z("1"));
  EXPECT_EQ(ReadValue(reg, HKEY_CURRENT_USER, "Software\\T", "Drop").result, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenResult(reg, HKEY_CURRENT_USER, "Software\\T\\Tree"), ERROR_FILE_NOT_FOUND);
  // A handle into the deleted tree sees the deletion.
  DWORD n = 0;
  EXPECT_EQ(reg.RegQueryInfoKeyA(held.get(), &n, nullptr, nullptr, nullptr, nullptr),
            ERROR_KEY_DELETED);
}

struct BadCase {
  const char* what;
  std::string file;
  int line;
  const char* message;  // a word the error names
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.what; }

class RegFileRefused : public ::testing::TestWithParam<BadCase> {};

// Every malformed file starts with a valid key and value; a refused file must leave no trace
// of them.
std::string AfterGood(const std::string& rest) {
  return std::string(kV4) + "[HKEY_CURRENT_USER\\Software\\Earlier]\r\n\"v\"=\"1\"\r\n" + rest;
}

TEST_P(RegFileRefused, RefusesTheWholeFileAndNamesTheLine) {
  const BadCase& c = GetParam();
  SimRegistry reg;
  std::string error;
  EXPECT_FALSE(reg.LoadRegText(c.file, "bad.reg", &error));
  EXPECT_THAT(error, StartsWith("bad.reg:" + std::to_string(c.line) + ": "));
  EXPECT_THAT(error, HasSubstr(c.message));
  EXPECT_EQ(OpenResult(reg, HKEY_CURRENT_USER, "Software\\Earlier"), ERROR_FILE_NOT_FOUND);
}

INSTANTIATE_TEST_SUITE_P(
    Snippets, RegFileRefused,
    ::testing::Values(
        BadCase{"unknown header", "REGEDIT5\r\n[HKEY_CURRENT_USER\\Software\\Earlier]\r\n", 1,
                "first line"},
        BadCase{"header in the wrong case", "regedit4\r\n", 1, "first line"},
        BadCase{"header with more after it", "REGEDIT4 FOO\r\n", 1, "first line"},
        BadCase{"empty file", "", 1, "first line"},
        BadCase{"value before any key", std::string(kV4) + "\"v\"=\"1\"\r\n", 2, "outside"},
        BadCase{"value after a deleted key",
                AfterGood("[-HKEY_CURRENT_USER\\Software\\Other]\r\n\"w\"=\"2\"\r\n"), 5,
                "outside"},
        BadCase{"unknown root", AfterGood("[HKEY_CURRENT_USERS\\Software\\X]\r\n"), 4, "root"},
        BadCase{"missing ']'", AfterGood("[HKEY_CURRENT_USER\\Software\\X\r\n"), 4, "']'"},
        BadCase{"blank after '['", AfterGood("[ HKEY_CURRENT_USER\\Software\\X]\r\n"), 4, "blank"},
        BadCase{"root key deletion", AfterGood("[-HKEY_CURRENT_USER]\r\n"), 4, "root"},
        BadCase{"key the machine needs", AfterGood("[-HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"), 4,
                "cannot be deleted"},
        BadCase{"key name over 255 characters",
                AfterGood("[HKEY_CURRENT_USER\\Software\\" + std::string(256, 'k') + "]\r\n"), 4,
                "255"},
        BadCase{"unterminated string", AfterGood("\"w\"=\"open\r\n"), 4, "unterminated"},
        BadCase{"unterminated value name", AfterGood("\"w=\"x\"\r\n"), 4, "expected '='"},
        BadCase{"\\0 in a string", AfterGood("\"w\"=\"a\\0b\"\r\n"), 4, "\\0"},
        BadCase{"text after the string", AfterGood("\"w\"=\"a\"b\"\r\n"), 4, "closing quote"},
        BadCase{"'#' after data", AfterGood("\"w\"=\"a\" #c\r\n"), 4, "closing quote"},
        BadCase{"no quotes around the data", AfterGood("\"w\"=abc\r\n"), 4, "type"},
        BadCase{"dword in upper case", AfterGood("\"w\"=DWORD:00000001\r\n"), 4, "type"},
        BadCase{"dword with nine digits", AfterGood("\"w\"=dword:012345678\r\n"), 4, "dword"},
        BadCase{"dword without digits", AfterGood("\"w\"=dword:\r\n"), 4, "dword"},
        BadCase{"dword written 0x", AfterGood("\"w\"=dword:0x12\r\n"), 4, "dword"},
        BadCase{"dword with text after", AfterGood("\"w\"=dword:1234 abc\r\n"), 4, "dword"},
        BadCase{"bad hex digit", AfterGood("\"w\"=hex:1g\r\n"), 4, "hex"},
        BadCase{"hex byte over 0xff", AfterGood("\"w\"=hex:100\r\n"), 4, "hex byte"},
        BadCase{"hex bytes without commas", AfterGood("\"w\"=hex:11 22\r\n"), 4, "','"},
        BadCase{"double comma", AfterGood("\"w\"=hex:11,,22\r\n"), 4, "hex byte"},
        BadCase{"bad hex type", AfterGood("\"w\"=hex(x2):00\r\n"), 4, "hex("},
        BadCase{"hex type over 32 bits", AfterGood("\"w\"=hex(100000000):00\r\n"), 4, "hex("},
        BadCase{"continuation without a comma", AfterGood("\"w\"=hex:11,22\\\r\n  33\r\n"), 4,
                "','"},
        BadCase{"continuation line that is not hex",
                AfterGood("\"w\"=hex:11,22,\\\r\n\"next\"=\"x\"\r\n"), 5, "continuing"},
        BadCase{"byte split over two lines", AfterGood("\"w\"=hex:11,2\\\r\n2,33\r\n"), 4, "','"},
        BadCase{"stray byte list after the value ended",
                AfterGood("\"w\"=hex:11,22,\r\n  33,44\r\n"), 5, "not a key"},
        BadCase{"garbage line", AfterGood("this is not a registry line\r\n"), 4, "not a key"},
        BadCase{"Version 5 string data of odd length",
                std::string(kV5) + "[HKEY_CURRENT_USER\\Software\\Earlier]\r\n\"v\"=\"1\"\r\n" +
                    "\"w\"=hex(2):41,00,42\r\n",
                4, "odd"}),
    [](const ::testing::TestParamInfo<BadCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(RegFileLoad, MissingFileIsReported) {
  SimRegistry reg;
  std::string error;
  EXPECT_FALSE(reg.LoadRegFile("/nonexistent/registry_none.reg", &error));
  EXPECT_THAT(error, HasSubstr("registry_none.reg"));
}

// ---------------------------------------------------------------------------------------------
// Writing .reg text

// A tree with every kind of value, built through the calls.
void BuildSample(SimRegistry& reg) {
  plat::RegKey top(reg);
  ASSERT_EQ(top.Create(HKEY_CURRENT_USER, "Software\\Sample", KEY_ALL_ACCESS), ERROR_SUCCESS);
  struct V {
    const char* name;
    DWORD type;
    Bytes data;
  };
  Bytes longBinary, longText;
  for (int i = 0; i < 100; ++i) longBinary.push_back(static_cast<BYTE>(i * 7));
  for (int i = 0; i < 60; ++i) longText.push_back(static_cast<BYTE>('a' + i % 26));
  longText.push_back(0);
  const V values[] = {
      {"", REG_SZ, Z("default")},
      {"Text", REG_SZ, Z("C:\\Tools \"quoted\"")},
      {"Lines\r\nInName", REG_SZ, Z("one\r\ntwo")},
      {"Latin", REG_SZ, Z("caf\xe9")},
      {"InnerZero", REG_SZ, Bytes({'a', 0, 'b', 0})},
      {"EmptyString", REG_SZ, Bytes()},
      {"Expand", REG_EXPAND_SZ, Z("%SystemRoot%\\system32")},
      {"LongExpand", REG_EXPAND_SZ, longText},
      {"Multi", REG_MULTI_SZ, Bytes({'a', 0, 'b', 'c', 0, 0})},
      {"Number", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12})},
      {"ShortNumber", REG_DWORD, Bytes({1, 2})},
      {"Quad", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8})},
      {"Blob", REG_BINARY, longBinary},
      {"EmptyBlob", REG_BINARY, Bytes()},
      {"None", REG_NONE, Bytes({0})},
      {"Odd\\\"Name", 0x100, Bytes({9})},
  };
  for (const V& v : values) {
    ASSERT_EQ(reg.RegSetValueExA(top.get(), v.name, v.type, v.data.data(),
                                 static_cast<DWORD>(v.data.size())),
              ERROR_SUCCESS)
        << v.name;
  }
  plat::RegKey sub(reg);
  ASSERT_EQ(sub.Create(top.get(), "Zeta\\Inner", KEY_ALL_ACCESS), ERROR_SUCCESS);
  ASSERT_EQ(sub.Create(top.get(), "alpha", KEY_ALL_ACCESS), ERROR_SUCCESS);
  const BYTE one[] = {'1', 0};
  ASSERT_EQ(reg.RegSetValueExA(sub.get(), "v", REG_SZ, one, 2), ERROR_SUCCESS);
}

class RegFileRoundTrip : public ::testing::TestWithParam<RegFileFormat> {};

TEST_P(RegFileRoundTrip, SaveThenLoadGivesBackTheSameTree) {
  SimRegistry original;
  BuildSample(original);
  const std::string text = original.SaveRegText(HKEY_CURRENT_USER, "software\\SAMPLE", GetParam());
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.find('\0'), std::string::npos) << "zeros only as hex bytes";
  SimRegistry copy;
  std::string error;
  ASSERT_TRUE(copy.LoadRegText(text, "saved.reg", &error)) << error << "\n" << text;
  EXPECT_EQ(DumpTree(copy, HKEY_CURRENT_USER, "Software\\Sample"),
            DumpTree(original, HKEY_CURRENT_USER, "Software\\Sample"))
      << text;
}

TEST_P(RegFileRoundTrip, FileOnDiskLoadsBack) {
  SimRegistry original;
  BuildSample(original);
  const std::string path = ::testing::TempDir() + "registry_roundtrip.reg";
  ASSERT_TRUE(original.SaveRegFile(path, HKEY_CURRENT_USER, "Software\\Sample", GetParam()));
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (GetParam() == RegFileFormat::Version5) {
    EXPECT_THAT(bytes, StartsWith(std::string("\xFF\xFEW\0i\0n\0", 8))) << "UTF-16LE with BOM";
  } else {
    EXPECT_THAT(bytes, StartsWith("REGEDIT4\r\n"));
  }
  SimRegistry copy;
  std::string error;
  ASSERT_TRUE(copy.LoadRegFile(path, &error)) << error;
  EXPECT_EQ(DumpTree(copy, HKEY_CURRENT_USER, "Software\\Sample"),
            DumpTree(original, HKEY_CURRENT_USER, "Software\\Sample"));
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Formats, RegFileRoundTrip,
                         ::testing::Values(RegFileFormat::Regedit4, RegFileFormat::Version5),
                         [](const ::testing::TestParamInfo<RegFileFormat>& info) {
                           return info.param == RegFileFormat::Regedit4 ? "Regedit4" : "Version5";
                         });

TEST(RegFileSave, WritesTheLayoutRegeditExports) {
  SimRegistry reg;
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Layout", KEY_ALL_ACCESS), ERROR_SUCCESS);
  const BYTE dword[] = {0, 1, 0, 0};
  ASSERT_EQ(reg.RegSetValueExA(key.get(), "DWORD", REG_DWORD, dword, 4), ERROR_SUCCESS);
  const char multi[] = "Line1\0Line2\0Line3\0";
  plat::RegKey sub(reg);
  ASSERT_EQ(sub.Create(key.get(), "Sub", KEY_ALL_ACCESS), ERROR_SUCCESS);
  ASSERT_EQ(reg.RegSetValueExA(sub.get(), "Startup commands", REG_MULTI_SZ,
                               reinterpret_cast<const BYTE*>(multi), sizeof multi),
            ERROR_SUCCESS);
  ASSERT_EQ(reg.RegSetValueExA(sub.get(), "Empty", REG_EXPAND_SZ, nullptr, 0), ERROR_SUCCESS);
  // regedit would write this one as "a", losing what follows the inner zero.
  const BYTE innerZero[] = {'a', 0, 'b', 0};
  ASSERT_EQ(reg.RegSetValueExA(sub.get(), "InnerZero", REG_SZ, innerZero, 4), ERROR_SUCCESS);
  // Values in creation order, sub-keys alphabetically, hex lines broken once they reach 77
  // columns and continued with two blanks.
  EXPECT_EQ(reg.SaveRegText(HKEY_CURRENT_USER, "Software\\Layout", RegFileFormat::Version5),
            "Windows Registry Editor Version 5.00\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\Layout]\r\n"
            "\"DWORD\"=dword:00000100\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\Layout\\Sub]\r\n"
            "\"Startup commands\"=hex(7):4c,00,69,00,6e,00,65,00,31,00,00,00,4c,00,69,00,6e,\\\r\n"
            "  00,65,00,32,00,00,00,4c,00,69,00,6e,00,65,00,33,00,00,00,00,00\r\n"
            "\"Empty\"=hex(2):\r\n"
            "\"InnerZero\"=hex(1):61,00,00,00,62,00,00,00\r\n"
            "\r\n");
  EXPECT_EQ(reg.SaveRegText(HKEY_CURRENT_USER, "Software\\Layout\\Sub", RegFileFormat::Regedit4),
            "REGEDIT4\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\Layout\\Sub]\r\n"
            "\"Startup commands\"=hex(7):4c,69,6e,65,31,00,4c,69,6e,65,32,00,4c,69,6e,65,33,\\\r\n"
            "  00,00\r\n"
            "\"Empty\"=hex(2):\r\n"
            "\"InnerZero\"=hex(1):61,00,62,00\r\n"
            "\r\n");
  EXPECT_EQ(reg.SaveRegText(HKEY_CURRENT_USER, "Software\\Missing", RegFileFormat::Regedit4), "");
}

TEST(RegFileSave, NamesTheRealKeyOfThe32BitView) {
  SimRegistry reg;
  reg.SetWindows64(true, false);
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Vendor", KEY_ALL_ACCESS), ERROR_SUCCESS);
  EXPECT_THAT(
      reg.SaveRegText(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Vendor", RegFileFormat::Regedit4),
      HasSubstr("[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Vendor]\r\n"));
  EXPECT_EQ(reg.SaveRegText(HKEY_LOCAL_MACHINE, "Software\\Vendor", RegFileFormat::Regedit4), "");
}

// ---------------------------------------------------------------------------------------------
// Views that only the simulation can show

struct ViewCase {
  const char* what;
  bool windows64, process64;
  REGSAM createView;       // flag the key Software\Vendor is created with
  const char* realPath;    // where it must land
  const char* absentPath;  // where it must not be
};

void PrintTo(const ViewCase& c, std::ostream* os) { *os << c.what; }

class RegistryViews : public ::testing::TestWithParam<ViewCase> {};

TEST_P(RegistryViews, KeyLandsInTheViewOfTheCall) {
  const ViewCase& c = GetParam();
  SimRegistry reg;
  reg.SetWindows64(c.windows64, c.process64);
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Vendor", KEY_ALL_ACCESS | c.createView),
            ERROR_SUCCESS);
  const BYTE v[] = {'x', 0};
  ASSERT_EQ(reg.RegSetValueExA(key.get(), "v", REG_SZ, v, 2), ERROR_SUCCESS);
  // The .reg writer names real keys, unaffected by any view.
  EXPECT_THAT(reg.SaveRegText(HKEY_LOCAL_MACHINE, c.realPath, RegFileFormat::Regedit4),
              HasSubstr("\"v\"=\"x\""));
  if (c.absentPath) {
    EXPECT_EQ(reg.SaveRegText(HKEY_LOCAL_MACHINE, c.absentPath, RegFileFormat::Regedit4), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Machines, RegistryViews,
    ::testing::Values(ViewCase{"32-bit process, no flag", true, false, 0,
                               "Software\\Wow6432Node\\Vendor", "Software\\Vendor"},
                      ViewCase{"32-bit process asking for the 64-bit view", true, false,
                               KEY_WOW64_64KEY, "Software\\Vendor",
                               "Software\\Wow6432Node\\Vendor"},
                      ViewCase{"64-bit process, no flag", true, true, 0, "Software\\Vendor",
                               "Software\\Wow6432Node\\Vendor"},
                      ViewCase{"64-bit process asking for the 32-bit view", true, true,
                               KEY_WOW64_32KEY, "Software\\Wow6432Node\\Vendor",
                               "Software\\Vendor"},
                      ViewCase{"32-bit Windows ignores the flag", false, false, KEY_WOW64_32KEY,
                               "Software\\Vendor", "Software\\Wow6432Node"},
                      ViewCase{"32-bit Windows ignores the other flag too", false, false,
                               KEY_WOW64_64KEY, "Software\\Vendor", "Software\\Wow6432Node"}),
    [](const ::testing::TestParamInfo<ViewCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(RegistryViews, ThirtyTwoBitProcessOnA64BitWindows) {
  SimRegistry reg;
  reg.SetWindows64(true, false);
  EXPECT_TRUE(reg.HasRegDeleteKeyExA());
  {
    plat::RegKey key(reg);
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Vendor\\App", KEY_ALL_ACCESS),
              ERROR_SUCCESS);
  }
  // Its own view sees the key under its usual name; the 64-bit view does not.
  EXPECT_EQ(OpenResult(reg, HKEY_LOCAL_MACHINE, "Software\\Vendor\\App"), ERROR_SUCCESS);
  EXPECT_EQ(
      OpenResult(reg, HKEY_LOCAL_MACHINE, "Software\\Vendor\\App", KEY_READ | KEY_WOW64_64KEY),
      ERROR_FILE_NOT_FOUND);
  // A handle opened in the 64-bit view keeps that view for the paths below it.
  plat::RegKey software64(reg);
  ASSERT_EQ(software64.Open(HKEY_LOCAL_MACHINE, "Software", KEY_READ | KEY_WOW64_64KEY),
            ERROR_SUCCESS);
  EXPECT_EQ(OpenResult(reg, software64.get(), "Vendor"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenResult(reg, software64.get(), "Wow6432Node\\Vendor"), ERROR_SUCCESS);
  // Classes are shared by both views.
  {
    plat::RegKey cls(reg);
    ASSERT_EQ(cls.Create(HKEY_LOCAL_MACHINE, "Software\\Classes\\.tw", KEY_ALL_ACCESS),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(OpenResult(reg, HKEY_CLASSES_ROOT, ".tw"), ERROR_SUCCESS);
  EXPECT_EQ(
      OpenResult(reg, HKEY_LOCAL_MACHINE, "Software\\Classes\\.tw", KEY_READ | KEY_WOW64_64KEY),
      ERROR_SUCCESS);
  // Deleting without a flag deletes in the process's own view.
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Vendor\\App"), ERROR_SUCCESS);
  EXPECT_EQ(OpenResult(reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\Vendor\\App",
                       KEY_READ | KEY_WOW64_64KEY),
            ERROR_FILE_NOT_FOUND);
}

TEST(RegistryViews, ThirtyTwoBitWindowsHasOneViewAndNoRegDeleteKeyEx) {
  SimRegistry reg;
  reg.SetWindows64(false, false);
  EXPECT_FALSE(reg.HasRegDeleteKeyExA());
  EXPECT_EQ(OpenResult(reg, HKEY_LOCAL_MACHINE, "Software\\Wow6432Node"), ERROR_FILE_NOT_FOUND);
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\Vendor", KEY_ALL_ACCESS | KEY_WOW64_32KEY),
            ERROR_SUCCESS);
  key.Close();
  EXPECT_EQ(reg.RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vendor", KEY_WOW64_32KEY),
            ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_EQ(OpenResult(reg, HKEY_LOCAL_MACHINE, "Software\\Vendor"), ERROR_SUCCESS)
      << "the missing function deletes nothing";
}

TEST(RegistryViews, RegFilePathsAreNeverRedirected) {
  SimRegistry reg;
  reg.SetWindows64(true, false);
  std::string error;
  ASSERT_TRUE(reg.LoadRegText(std::string(kV4) +
                                  "[HKEY_LOCAL_MACHINE\\Software\\Vendor]\r\n\"Bits\"=\"64\"\r\n"
                                  "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Vendor]\r\n"
                                  "\"Bits\"=\"32\"\r\n",
                              "views.reg", &error))
      << error;
  EXPECT_EQ(ReadValue(reg, HKEY_LOCAL_MACHINE, "Software\\Vendor", "Bits").data, Z("32"));
  EXPECT_EQ(ReadValue(reg, HKEY_LOCAL_MACHINE, "Software\\Vendor", "Bits", KEY_WOW64_64KEY).data,
            Z("64"));
}

// ---------------------------------------------------------------------------------------------
// Windows behaviours Wine does not share (see the contract suite for the ones it does)

TEST(SimRegistryWindowsOnly, FollowsWindowsWhereWineDiffers) {
  SimRegistry reg;
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\W", KEY_ALL_ACCESS), ERROR_SUCCESS);

  // Sub-keys sort by the upper-cased name ('_' comes after the letters); Wine lower-cases.
  for (const char* name : {"A_B", "ab", "a1", "_x", "Z"}) {
    plat::RegKey sub(reg);
    ASSERT_EQ(sub.Create(key.get(), name, KEY_ALL_ACCESS), ERROR_SUCCESS);
  }
  std::vector<std::string> order;
  char name[16];
  for (DWORD i = 0;; ++i) {
    DWORD cch = sizeof name;
    if (reg.RegEnumKeyExA(key.get(), i, name, &cch) != ERROR_SUCCESS) break;
    order.emplace_back(name);
  }
  EXPECT_THAT(order, ElementsAre("a1", "ab", "A_B", "Z", "_x"));

  // The longest lengths are high-water marks: they shrink only when the last value goes.
  const BYTE big[32] = {};
  ASSERT_EQ(reg.RegSetValueExA(key.get(), "LongestValueName", REG_BINARY, big, 32), 0);
  ASSERT_EQ(reg.RegSetValueExA(key.get(), "v", REG_BINARY, big, 1), 0);
  ASSERT_EQ(reg.RegDeleteValueA(key.get(), "LongestValueName"), 0);
  DWORD maxName = 0, maxData = 0;
  ASSERT_EQ(reg.RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &maxName, &maxData), 0);
  EXPECT_EQ(maxName, 16u);
  EXPECT_EQ(maxData, 32u);
  ASSERT_EQ(reg.RegDeleteValueA(key.get(), "v"), 0);
  ASSERT_EQ(reg.RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &maxName, &maxData), 0);
  EXPECT_EQ(maxName, 0u);
  EXPECT_EQ(maxData, 0u);

  // RegQueryInfoKeyA needs KEY_QUERY_VALUE (Wine answers any handle).
  plat::RegKey enumOnly(reg);
  ASSERT_EQ(enumOnly.Open(HKEY_CURRENT_USER, "Software\\W", KEY_ENUMERATE_SUB_KEYS), 0);
  DWORD n = 0;
  EXPECT_EQ(reg.RegQueryInfoKeyA(enumOnly.get(), &n, nullptr, nullptr, nullptr, nullptr),
            ERROR_ACCESS_DENIED);

  // A key name holds at most 255 characters (Wine takes 256).
  plat::RegKey longName(reg);
  EXPECT_EQ(longName.Create(key.get(), std::string(256, 'k').c_str(), KEY_ALL_ACCESS),
            ERROR_INVALID_PARAMETER);
}

TEST(SimRegistryWindowsOnly, StoresExactlyTheBytesGiven) {
  SimRegistry reg;
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\W", KEY_ALL_ACCESS), ERROR_SUCCESS);
  // Windows would peek at the byte after cbData and add a forgotten terminator; the simulation
  // never reads outside the caller's buffer, so a caller that forgets it is seen.
  const char text[] = "abc";
  ASSERT_EQ(reg.RegSetValueExA(key.get(), "s", REG_SZ, reinterpret_cast<const BYTE*>(text), 3), 0);
  DWORD size = 0;
  ASSERT_EQ(reg.RegQueryValueExA(key.get(), "s", nullptr, nullptr, &size), 0);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(reg.RegSetValueExA(key.get(), "s", REG_BINARY, nullptr, 4), 998) << "ERROR_NOACCESS";
  EXPECT_EQ(reg.RegSetValueExA(key.get(), std::string(16384, 'v').c_str(), REG_SZ,
                               reinterpret_cast<const BYTE*>(text), 4),
            ERROR_INVALID_PARAMETER);
}

TEST(SimRegistryWindowsOnly, KeysTheMachineNeedsCannotBeDeleted) {
  SimRegistry reg;
  // Emptied of their sub-keys they would be deletable leaves; the machine keeps them.
  for (const char* path : {"Software\\Classes", "Software\\Wow6432Node"}) {
    EXPECT_EQ(reg.RegDeleteKeyA(HKEY_LOCAL_MACHINE, path), ERROR_ACCESS_DENIED) << path;
  }
  EXPECT_EQ(reg.RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(OpenResult(reg, HKEY_CLASSES_ROOT, ""), ERROR_SUCCESS);
}

// ---------------------------------------------------------------------------------------------
// Planned failures and handle bookkeeping

TEST(SimRegistryFailures, NamedCallFailsAfterSkipForCountAndChangesNothing) {
  SimRegistry reg;
  plat::RegKey key(reg);
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\F", KEY_ALL_ACCESS), ERROR_SUCCESS);
  const BYTE v[] = {'1', 0};
  reg.FailCall("RegSetValueExA", ERROR_ACCESS_DENIED, 1, 2);
  EXPECT_EQ(reg.RegSetValueExA(key.get(), "a", REG_SZ, v, 2), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegSetValueExA(key.get(), "b", REG_SZ, v, 2), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.RegSetValueExA(key.get(), "c", REG_SZ, v, 2), ERROR_ACCESS_DENIED);
  EXPECT_EQ(reg.RegSetValueExA(key.get(), "d", REG_SZ, v, 2), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(reg.RegQueryInfoKeyA(key.get(), nullptr, nullptr, &values, nullptr, nullptr), 0);
  EXPECT_EQ(values, 2u) << "the failed writes stored nothing";

  // Other calls are untouched; a failed open hands out no handle.
  reg.FailCall("RegOpenKeyExA", ERROR_FILE_NOT_FOUND);
  HKEY h = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\F", 0, KEY_READ, &h),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(reg.OpenKeyCount(), 1u);
  EXPECT_EQ(OpenResult(reg, HKEY_CURRENT_USER, "Software\\F"), ERROR_SUCCESS) << "count was 1";

  reg.FailCall("RegDeleteKeyA", ERROR_ACCESS_DENIED, 0, 5);
  reg.ClearFailures();
  plat::RegKey leaf(reg);
  ASSERT_EQ(leaf.Create(key.get(), "Leaf", KEY_ALL_ACCESS), ERROR_SUCCESS);
  EXPECT_EQ(reg.RegDeleteKeyA(key.get(), "Leaf"), ERROR_SUCCESS);
}

TEST(SimRegistryHandles, CountsOpenKeysAndNeverReusesAHandle) {
  SimRegistry reg;
  EXPECT_EQ(reg.OpenKeyCount(), 0u);
  HKEY first = nullptr, second = nullptr;
  ASSERT_EQ(
      reg.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\H", 0, KEY_ALL_ACCESS, &first, nullptr),
      ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKeyCount(), 1u);
  EXPECT_EQ(reg.RegCloseKey(first), ERROR_SUCCESS);
  ASSERT_EQ(reg.RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\H", 0, KEY_READ, &second),
            ERROR_SUCCESS);
  EXPECT_NE(second, first);
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS}) {
    EXPECT_NE(second, root);
    EXPECT_EQ(reg.RegCloseKey(root), ERROR_SUCCESS) << "predefined keys are always open";
  }
  EXPECT_EQ(reg.RegCloseKey(first), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg.OpenKeyCount(), 1u);
  EXPECT_EQ(reg.RegCloseKey(second), ERROR_SUCCESS);
  EXPECT_EQ(reg.OpenKeyCount(), 0u);
}

}  // namespace
