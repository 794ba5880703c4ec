// The registry calls as the system makes them. The same cases run against the simulated
// machine natively and against advapi32 under Wine; where Wine is known to differ from Windows
// the case says so, and the simulation follows Windows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/contract/contract_env.h"

#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif

namespace {

using Bytes = std::vector<BYTE>;
using ::testing::AnyOf;
using ::testing::ElementsAre;

Bytes B(const char* s, size_t n) { return Bytes(s, s + n); }
// A literal's bytes including its terminating zero.
template <size_t N>
Bytes Z(const char (&s)[N]) {
  return B(s, N);
}

std::string Scratch(const std::string& sub = "") {
  return sub.empty() ? std::string(contract::kScratchKey)
                     : std::string(contract::kScratchKey) + "\\" + sub;
}

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    reg_ = env_->platform().reg;
    ASSERT_NE(reg_, nullptr);
    RemoveScratch();
  }
  void TearDown() override {
    if (reg_) RemoveScratch();
  }

  // The scratch tree in HKCU and in both views of HKLM, removed with the calls under test.
  void RemoveScratch() {
    const struct {
      HKEY root;
      REGSAM view;
    } places[] = {{HKEY_CURRENT_USER, 0},
                  {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY},
                  {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
    for (const auto& p : places) {
      plat::RegKey software(*reg_);
      if (software.Open(p.root, "Software", KEY_READ | p.view) == ERROR_SUCCESS)
        DeleteSubTree(software.get(), "TallowickContract");
    }
  }

  LONG DeleteSubTree(HKEY parent, const char* name) {
    {
      plat::RegKey key(*reg_);
      LONG r = key.Open(parent, name, KEY_READ);
      if (r != ERROR_SUCCESS) return r;
      char sub[256];
      DWORD cch = sizeof sub;
      while (reg_->RegEnumKeyExA(key.get(), 0, sub, &cch) == ERROR_SUCCESS) {
        if (DeleteSubTree(key.get(), sub) != ERROR_SUCCESS) break;
        cch = sizeof sub;
      }
    }
    return reg_->RegDeleteKeyA(parent, name);
  }

  plat::RegKey Create(HKEY root, const std::string& path, REGSAM sam = KEY_ALL_ACCESS) {
    plat::RegKey key(*reg_);
    EXPECT_EQ(key.Create(root, path.c_str(), sam), ERROR_SUCCESS) << path;
    return key;
  }

  LONG SetString(HKEY key, const char* name, const std::string& text) {
    return reg_->RegSetValueExA(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
  }

  // The value's type and bytes, read with the size protocol; an empty type on failure.
  struct Read {
    LONG result = ERROR_SUCCESS;
    DWORD type = 0;
    Bytes data;
  };
  Read ReadValue(HKEY key, const char* name) {
    Read r;
    DWORD size = 0;
    r.result = reg_->RegQueryValueExA(key, name, &r.type, nullptr, &size);
    if (r.result != ERROR_SUCCESS) return r;
    r.data.resize(size);
    r.result = reg_->RegQueryValueExA(key, name, &r.type, r.data.data(), &size);
    r.data.resize(size);
    return r;
  }

  std::vector<std::string> SubKeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD cch = sizeof name;
      if (reg_->RegEnumKeyExA(key, i, name, &cch) != ERROR_SUCCESS) break;
      names.emplace_back(name, cch);
    }
    return names;
  }

  std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD cch = sizeof name;
      if (reg_->RegEnumValueA(key, i, name, &cch, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        break;
      names.emplace_back(name, cch);
    }
    return names;
  }

  std::unique_ptr<contract::ContractEnv> env_;
  plat::IRegistry* reg_ = nullptr;
};

TEST_F(RegistryContract, CreateTellsNewFromExistingAndMakesEveryLevel) {
  plat::RegKey key(*reg_);
  DWORD disposition = 0;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, Scratch("A\\B\\C").c_str(), KEY_ALL_ACCESS, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, Scratch("A\\B\\C").c_str(), KEY_ALL_ACCESS, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  plat::RegKey middle(*reg_);
  EXPECT_EQ(middle.Open(HKEY_CURRENT_USER, Scratch("A\\B").c_str(), KEY_READ), ERROR_SUCCESS);
  plat::RegKey missing(*reg_);
  EXPECT_EQ(missing.Open(HKEY_CURRENT_USER, Scratch("A\\X").c_str(), KEY_READ),
            ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(missing);
}

TEST_F(RegistryContract, QueryValueFollowsTheSizeProtocol) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  ASSERT_EQ(SetString(key.get(), "Text", "hello"), ERROR_SUCCESS);

  DWORD type = 0, size = 0;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Text", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 6u);

  BYTE small[8];
  std::memset(small, 0xbd, sizeof small);
  size = 3;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Text", &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u) << "a too small buffer reports the size needed";
  EXPECT_EQ(small[0], 0xbd) << "and is left untouched";

  BYTE exact[6];
  size = sizeof exact;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Text", nullptr, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(Bytes(exact, exact + size), Z("hello"));
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Text", nullptr, nullptr, nullptr), ERROR_SUCCESS);

  size = 99;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Missing", &type, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(size, 0u);
  size = sizeof small;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Missing", &type, small, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(size, sizeof small);
}

TEST_F(RegistryContract, StoredBytesComeBackAsWritten) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  // "FullString" without its last letter nor its zero: the string is stored unterminated.
  static const char full[] = "FullString";
  const DWORD stored = sizeof full - 2;
  ASSERT_EQ(
      reg_->RegSetValueExA(key.get(), "Cut", REG_SZ, reinterpret_cast<const BYTE*>(full), stored),
      ERROR_SUCCESS);
  BYTE buffer[16];
  std::memset(buffer, 0xbd, sizeof buffer);
  DWORD size = stored;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Cut", nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, stored);
  EXPECT_EQ(buffer[stored], 0xbd) << "no room: no terminator added";
  size = stored + 1;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "Cut", nullptr, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, stored) << "the reported size stays the stored one";
  EXPECT_EQ(buffer[stored], 0) << "room for it: the missing terminator is added";

  // A REG_DWORD of another size than 4 is kept as given.
  const BYTE two[] = {1, 2};
  ASSERT_EQ(reg_->RegSetValueExA(key.get(), "Short", REG_DWORD, two, 2), ERROR_SUCCESS);
  Read r = ReadValue(key.get(), "Short");
  EXPECT_EQ(r.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(r.data, Bytes({1, 2}));

  const BYTE none[1] = {0};
  ASSERT_EQ(reg_->RegSetValueExA(key.get(), "Empty", REG_BINARY, none, 0), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(key.get(), "Empty").data, Bytes());
}

TEST_F(RegistryContract, DefaultValueIsTheEmptyName) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  DWORD size = 0;
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg_->RegQueryValueExA(key.get(), "", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(SetString(key.get(), "", "default"), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(key.get(), nullptr).data, Z("default"));
  EXPECT_EQ(reg_->RegDeleteValueA(key.get(), nullptr), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegDeleteValueA(key.get(), ""), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch("MixedCase"));
  plat::RegKey again(*reg_);
  EXPECT_EQ(again.Open(HKEY_CURRENT_USER, "SOFTWARE\\tallowickcontract\\mixedCASE", KEY_READ),
            ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.get(), "HostFile", "first"), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key.get(), "HOSTFILE", "second"), ERROR_SUCCESS);
  EXPECT_THAT(ValueNames(key.get()), ElementsAre("HostFile"));
  EXPECT_EQ(ReadValue(again.get(), "hostfile").data, Z("second"));

  plat::RegKey scratch(*reg_);
  ASSERT_EQ(scratch.Open(HKEY_CURRENT_USER, Scratch().c_str(), KEY_READ), ERROR_SUCCESS);
  EXPECT_THAT(SubKeyNames(scratch.get()), ElementsAre("MixedCase"));
}

TEST_F(RegistryContract, SubKeysEnumerateAlphabeticallyAndValuesInCreationOrder) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  for (const char* name : {"gamma", "Alpha", "delta", "Beta"}) Create(key.get(), name);
  // Letters only: Windows sorts by the upper-cased name, Wine by the lower-cased one, and the
  // two agree here.
  EXPECT_THAT(SubKeyNames(key.get()), ElementsAre("Alpha", "Beta", "delta", "gamma"));

  for (const char* name : {"zeta", "Alpha", "mid"}) ASSERT_EQ(SetString(key.get(), name, "x"), 0);
  if (env_->IsSimulated()) {
    EXPECT_THAT(ValueNames(key.get()), ElementsAre("zeta", "Alpha", "mid"));
  } else {
    // Windows enumerates values in creation order; Wine keeps them sorted by name.
    EXPECT_THAT(ValueNames(key.get()),
                AnyOf(ElementsAre("zeta", "Alpha", "mid"), ElementsAre("Alpha", "mid", "zeta")));
  }

  char name[64];
  DWORD cch = sizeof name;
  EXPECT_EQ(reg_->RegEnumKeyExA(key.get(), 4, name, &cch), ERROR_NO_MORE_ITEMS);
  cch = sizeof name;
  EXPECT_EQ(reg_->RegEnumValueA(key.get(), 3, name, &cch, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryContract, EnumerationReportsTooSmallBuffers) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  Create(key.get(), "Sub");
  ASSERT_EQ(SetString(key.get(), "Test", "foobar"), ERROR_SUCCESS);

  char name[16];
  DWORD cch = 3;  // "Sub" needs 4 with its zero
  EXPECT_EQ(reg_->RegEnumKeyExA(key.get(), 0, name, &cch), ERROR_MORE_DATA);
  cch = 4;
  EXPECT_EQ(reg_->RegEnumKeyExA(key.get(), 0, name, &cch), ERROR_SUCCESS);
  EXPECT_EQ(cch, 3u);
  EXPECT_STREQ(name, "Sub");

  BYTE data[16];
  DWORD type = 0, size = sizeof data;
  cch = 4;  // "Test" needs 5
  EXPECT_EQ(reg_->RegEnumValueA(key.get(), 0, name, &cch, &type, data, &size), ERROR_MORE_DATA);
  cch = sizeof name;
  size = 2;
  EXPECT_EQ(reg_->RegEnumValueA(key.get(), 0, name, &cch, &type, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 7u) << "the data size needed";
  cch = sizeof name;
  size = 0;
  EXPECT_EQ(reg_->RegEnumValueA(key.get(), 0, name, &cch, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(cch, 4u);
  EXPECT_STREQ(name, "Test");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryContract, QueryInfoCountsAndLongestLengths) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  Create(key.get(), "a");
  Create(key.get(), "LongerName");
  ASSERT_EQ(SetString(key.get(), "v", "data"), ERROR_SUCCESS);
  const BYTE eight[8] = {};
  ASSERT_EQ(reg_->RegSetValueExA(key.get(), "LongValueName", REG_BINARY, eight, 8), 0);
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxNameLen = 0, maxValueLen = 0;
  ASSERT_EQ(reg_->RegQueryInfoKeyA(key.get(), &subKeys, &maxSubKeyLen, &values, &maxNameLen,
                                   &maxValueLen),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 2u);
  EXPECT_EQ(maxSubKeyLen, 10u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxNameLen, 13u);
  // Strings are kept as UTF-16, and the longest data length counts those bytes even for an
  // ANSI caller: "data" with its zero is 10.
  EXPECT_EQ(maxValueLen, 10u);
  ASSERT_EQ(SetString(key.get(), "v", "longer string data"), ERROR_SUCCESS);
  ASSERT_EQ(reg_->RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, &maxValueLen),
            ERROR_SUCCESS);
  EXPECT_EQ(maxValueLen, 38u);
}

TEST_F(RegistryContract, DeleteValueRemovesItOnce) {
  plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
  ASSERT_EQ(SetString(key.get(), "Doomed", "x"), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegDeleteValueA(key.get(), "doomed"), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(key.get(), "Doomed").result, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg_->RegDeleteValueA(key.get(), "Doomed"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, DeleteKeyTakesOnlyKeysWithoutSubKeys) {
  plat::RegKey scratch = Create(HKEY_CURRENT_USER, Scratch());
  Create(scratch.get(), "Parent\\Child");
  EXPECT_EQ(reg_->RegDeleteKeyA(scratch.get(), "Parent"), ERROR_ACCESS_DENIED);
  plat::RegKey parent(*reg_);
  EXPECT_EQ(parent.Open(scratch.get(), "Parent", KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegDeleteKeyA(scratch.get(), "PARENT\\child"), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegDeleteKeyA(scratch.get(), "Parent"), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegDeleteKeyA(scratch.get(), "Parent"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg_->RegDeleteKeyA(scratch.get(), nullptr), ERROR_INVALID_PARAMETER);
  // The parent's handle needs no particular right: the key deleted is opened on its own.
  Create(scratch.get(), "Leaf");
  plat::RegKey readOnly(*reg_);
  ASSERT_EQ(readOnly.Open(HKEY_CURRENT_USER, Scratch().c_str(), KEY_QUERY_VALUE), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegDeleteKeyA(readOnly.get(), "Leaf"), ERROR_SUCCESS);
}

TEST_F(RegistryContract, HandleOfADeletedKeyReportsKeyDeleted) {
  plat::RegKey scratch = Create(HKEY_CURRENT_USER, Scratch());
  plat::RegKey gone = Create(scratch.get(), "Gone");
  ASSERT_EQ(reg_->RegDeleteKeyA(scratch.get(), "Gone"), ERROR_SUCCESS);
  HKEY h = gone.get();
  DWORD size = 0;
  char name[16];
  DWORD cch = sizeof name;
  EXPECT_EQ(reg_->RegQueryValueExA(h, "x", nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(SetString(h, "x", "1"), ERROR_KEY_DELETED);
  EXPECT_EQ(reg_->RegEnumKeyExA(h, 0, name, &cch), ERROR_KEY_DELETED);
  EXPECT_EQ(reg_->RegQueryInfoKeyA(h, &size, nullptr, nullptr, nullptr, nullptr),
            ERROR_KEY_DELETED);
  plat::RegKey child(*reg_);
  EXPECT_EQ(child.Create(h, "Child", KEY_ALL_ACCESS), ERROR_KEY_DELETED);
  // A new key of the same name is another key: the old handle stays deleted.
  plat::RegKey reborn = Create(scratch.get(), "Gone");
  EXPECT_EQ(SetString(h, "x", "1"), ERROR_KEY_DELETED);

  HKEY raw = gone.Release();
  EXPECT_EQ(reg_->RegCloseKey(raw), ERROR_SUCCESS);
  EXPECT_EQ(reg_->RegCloseKey(raw), ERROR_INVALID_HANDLE);
  EXPECT_EQ(reg_->RegQueryValueExA(raw, "x", nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryContract, HandleRightsDecideWhatItMayDo) {
  {
    plat::RegKey key = Create(HKEY_CURRENT_USER, Scratch());
    ASSERT_EQ(SetString(key.get(), "Value", "x"), ERROR_SUCCESS);
    Create(key.get(), "Sub");
  }
  char name[16];
  BYTE data[16];
  const struct {
    const char* what;
    REGSAM sam;
    std::function<LONG(plat::IRegistry&, HKEY)> call;
    LONG expected;
  } cases[] = {
      {"set through KEY_READ", KEY_READ,
       [&](plat::IRegistry& r, HKEY k) { return SetString(k, "New", "y"); }, ERROR_ACCESS_DENIED},
      {"delete value through KEY_READ", KEY_READ,
       [](plat::IRegistry& r, HKEY k) { return r.RegDeleteValueA(k, "Value"); },
       ERROR_ACCESS_DENIED},
      {"query through KEY_READ", KEY_READ,
       [&](plat::IRegistry& r, HKEY k) {
         DWORD size = sizeof data;
         return r.RegQueryValueExA(k, "Value", nullptr, data, &size);
       },
       ERROR_SUCCESS},
      {"query through KEY_SET_VALUE", KEY_SET_VALUE,
       [&](plat::IRegistry& r, HKEY k) {
         DWORD size = sizeof data;
         return r.RegQueryValueExA(k, "Value", nullptr, data, &size);
       },
       ERROR_ACCESS_DENIED},
      {"enumerate values through KEY_SET_VALUE", KEY_SET_VALUE,
       [&](plat::IRegistry& r, HKEY k) {
         DWORD cch = sizeof name;
         return r.RegEnumValueA(k, 0, name, &cch, nullptr, nullptr, nullptr);
       },
       ERROR_ACCESS_DENIED},
      {"enumerate sub-keys through KEY_QUERY_VALUE", KEY_QUERY_VALUE,
       [&](plat::IRegistry& r, HKEY k) {
         DWORD cch = sizeof name;
         return r.RegEnumKeyExA(k, 0, name, &cch);
       },
       ERROR_ACCESS_DENIED},
      {"set through KEY_SET_VALUE", KEY_SET_VALUE,
       [&](plat::IRegistry& r, HKEY k) { return SetString(k, "New", "y"); }, ERROR_SUCCESS},
      // Creating a sub-key checks the new key's security, not the parent handle's rights.
      {"create a sub-key through KEY_READ", KEY_READ,
       [](plat::IRegistry& r, HKEY k) {
         plat::RegKey sub(r);
         return sub.Create(k, "Created", KEY_ALL_ACCESS);
       },
       ERROR_SUCCESS},
  };
  for (const auto& c : cases) {
    plat::RegKey key(*reg_);
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, Scratch().c_str(), c.sam), ERROR_SUCCESS) << c.what;
    EXPECT_EQ(c.call(*reg_, key.get()), c.expected) << c.what;
  }
}

TEST_F(RegistryContract, KeyPathsAreCheckedLikeWindows) {
  plat::RegKey scratch = Create(HKEY_CURRENT_USER, Scratch());
  plat::RegKey key(*reg_);
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "\\Software", KEY_READ), ERROR_BAD_PATHNAME);
  EXPECT_EQ(key.Create(scratch.get(), "\\Sub", KEY_ALL_ACCESS), ERROR_BAD_PATHNAME);
  EXPECT_EQ(key.Create(scratch.get(), "Trailing\\\\", KEY_ALL_ACCESS), ERROR_SUCCESS);
  EXPECT_EQ(key.Open(scratch.get(), "Trailing", KEY_READ), ERROR_SUCCESS);
  // A key name holds at most 255 characters (Wine also takes 256, so that length is left out).
  EXPECT_EQ(key.Create(scratch.get(), std::string(255, 'k').c_str(), KEY_ALL_ACCESS),
            ERROR_SUCCESS);
  EXPECT_EQ(key.Create(scratch.get(), std::string(257, 'k').c_str(), KEY_ALL_ACCESS),
            ERROR_INVALID_PARAMETER);

  // Opening a handle's own key again gives a new handle; opening a predefined key itself gives
  // the predefined handle back.
  HKEY same = nullptr;
  ASSERT_EQ(reg_->RegOpenKeyExA(scratch.get(), "", 0, KEY_READ, &same), ERROR_SUCCESS);
  EXPECT_NE(same, scratch.get());
  EXPECT_EQ(reg_->RegCloseKey(same), ERROR_SUCCESS);
  ASSERT_EQ(reg_->RegOpenKeyExA(scratch.get(), nullptr, 0, KEY_READ, &same), ERROR_SUCCESS);
  EXPECT_NE(same, scratch.get());
  EXPECT_EQ(reg_->RegCloseKey(same), ERROR_SUCCESS);
  HKEY root = nullptr;
  ASSERT_EQ(reg_->RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &root), ERROR_SUCCESS);
  EXPECT_EQ(root, HKEY_CURRENT_USER);
}

TEST_F(RegistryContract, The32BitViewOfSoftwareLivesUnderWow6432Node) {
  const std::string path = "Software\\TallowickContract\\View";
  {
    plat::RegKey key = Create(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS | KEY_WOW64_32KEY);
    ASSERT_EQ(SetString(key.get(), "Bits", "32"), ERROR_SUCCESS);
  }
  plat::RegKey key(*reg_);
  EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node\\TallowickContract\\View",
                     KEY_READ | KEY_WOW64_64KEY),
            ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(key.get(), "Bits").data, Z("32"));
  EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ | KEY_WOW64_64KEY),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ | KEY_WOW64_32KEY), ERROR_SUCCESS);

  // A handle opened in the 32-bit view is the Wow6432Node key: paths below it stay there.
  plat::RegKey software32(*reg_);
  ASSERT_EQ(software32.Open(HKEY_LOCAL_MACHINE, "Software", KEY_READ | KEY_WOW64_32KEY),
            ERROR_SUCCESS);
  EXPECT_EQ(key.Open(software32.get(), "TallowickContract\\View", KEY_READ), ERROR_SUCCESS);

  // HKCU has one view.
  Create(HKEY_CURRENT_USER, Scratch("Shared"), KEY_ALL_ACCESS | KEY_WOW64_32KEY);
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, Scratch("Shared").c_str(), KEY_READ | KEY_WOW64_64KEY),
            ERROR_SUCCESS);
}

TEST_F(RegistryContract, DeleteKeyExAddressesOneView) {
  ASSERT_TRUE(reg_->HasRegDeleteKeyExA()) << "a 64-bit Windows has RegDeleteKeyExA";
  const char* path = "Software\\TallowickContract\\View";
  Create(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS | KEY_WOW64_32KEY);
  EXPECT_EQ(reg_->RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg_->RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY), ERROR_SUCCESS);
  plat::RegKey key(*reg_);
  EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ | KEY_WOW64_32KEY), ERROR_FILE_NOT_FOUND);
}

struct SeededValue {
  HKEY root;
  const char* path;
  REGSAM view;
  const char* name;
  DWORD type;
  Bytes data;
};

TEST_F(RegistryContract, SeededVersion5FileReadsBackWithItsTypes) {
  ASSERT_TRUE(env_->SeedRegFile("registry_contract.reg"));
  Bytes counting;
  for (int i = 0; i < 40; ++i) counting.push_back(static_cast<BYTE>(i));
  const std::string seeded = Scratch("Seeded");
  const SeededValue cases[] = {
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "", REG_SZ, Z("Default")},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Text", REG_SZ, Z("Hello \"World\" \\ back")},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Expand", REG_EXPAND_SZ, Z("%SystemRoot%\\x")},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Number", REG_DWORD, {0x2a, 0, 0, 0}},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Blob", REG_BINARY, {1, 2, 3, 0xfe, 0xff}},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "List", REG_MULTI_SZ, B("a\0b\0\0", 5)},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Quad", REG_QWORD, {8, 7, 6, 5, 4, 3, 2, 1}},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Long", REG_BINARY, counting},
      {HKEY_CURRENT_USER, seeded.c_str(), 0, "Latin", REG_SZ, Z("caf\xe9")},
      {HKEY_LOCAL_MACHINE, seeded.c_str(), KEY_WOW64_64KEY, "Machine", REG_SZ, Z("64-bit view")},
      // The file names Wow6432Node itself; the 32-bit view finds it under Software.
      {HKEY_LOCAL_MACHINE,
       "Software\\TallowickContract\\Seeded32",
       KEY_WOW64_32KEY,
       "Only32",
       REG_DWORD,
       {0x20, 0, 0, 0}},
  };
  for (const SeededValue& c : cases) {
    plat::RegKey key(*reg_);
    ASSERT_EQ(key.Open(c.root, c.path, KEY_READ | c.view), ERROR_SUCCESS) << c.path;
    Read r = ReadValue(key.get(), c.name);
    EXPECT_EQ(r.result, ERROR_SUCCESS) << c.name;
    EXPECT_EQ(r.type, c.type) << c.name;
    EXPECT_EQ(r.data, c.data) << c.name;
  }
}

TEST_F(RegistryContract, SeededRegedit4FileAppliesContinuationsAndDeletions) {
  ASSERT_TRUE(env_->SeedRegFile("registry_contract4.reg"));
  plat::RegKey key(*reg_);
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, Scratch("Four").c_str(), KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(ReadValue(key.get(), "Text").data, Z("ansi"));
  Read expand = ReadValue(key.get(), "Expand");
  EXPECT_EQ(expand.type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(expand.data, Z("%TEMP%"));
  Bytes joined;
  for (int i = 0; i < 26; ++i) joined.push_back(static_cast<BYTE>(i));
  EXPECT_EQ(ReadValue(key.get(), "Joined").data, joined);
  EXPECT_EQ(ReadValue(key.get(), "Gone").result, ERROR_FILE_NOT_FOUND);
  plat::RegKey removed(*reg_);
  EXPECT_EQ(removed.Open(key.get(), "Removed", KEY_READ), ERROR_FILE_NOT_FOUND);
}

}  // namespace
