// The file calls the program makes, as Windows answers them: existence tests, whole-file
// reads and writes, short and long names, facts and times, folder walks, moves, copies and
// deletions, path lengths, special folders and the error mode. Everything happens inside the
// scratch folder (and the special folders, only read).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/contract/contract_env.h"

namespace {

using ::testing::UnorderedElementsAreArray;

DWORD LastError() { return plat::Sys().GetLastError(); }

// The result of one call and the error it left.
struct Outcome {
  bool ok;
  DWORD error;  // 0 on success
};
template <class Call>
Outcome Try(Call&& call) {
  plat::Sys().SetLastError(0);
  bool ok = call();
  return {ok, ok ? 0 : LastError()};
}

// One case of a table of calls: what it does, how it came out, the error expected (0 for
// success).
struct Expect {
  const char* what;
  Outcome got;
  DWORD expected;
};
void Check(const Expect& e) {
  SCOPED_TRACE(e.what);
  EXPECT_EQ(e.got.ok, e.expected == 0);
  EXPECT_EQ(e.got.error, e.expected);
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

// A valid 8.3 name: at most 8 characters, one dot and at most 3 more, no blanks.
bool LooksShort(const std::string& name) {
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  return !base.empty() && base.size() <= 8 && ext.size() <= 3 &&
         ext.find('.') == std::string::npos && name.find(' ') == std::string::npos;
}

std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

// FILETIME of a UTC calendar time (the proleptic Gregorian calendar, days from 1601).
uint64_t FileTimeOf(int y, int m, int d, int hh, int mm, int ss, int ms) {
  auto daysFromCivil = [](int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;  // days since 1970-01-01
  };
  int64_t days = daysFromCivil(y, m, d) + 134774;  // since 1601-01-01
  int64_t secs = days * 86400 + hh * 3600 + mm * 60 + ss;
  return static_cast<uint64_t>(secs) * 10000000ull + static_cast<uint64_t>(ms) * 10000ull;
}

class FilesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    env_ = contract::MakeContractEnv();
    folder_ = env_->ScratchFolder();
    ASSERT_FALSE(folder_.empty());
  }
  std::string P(const std::string& name) const { return folder_ + "\\" + name; }
  void Write(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(plat::Files().WriteFileBytes(P(name).c_str(), bytes)) << name << " " << LastError();
  }
  void Folder(const std::string& name) {
    ASSERT_TRUE(plat::Files().CreateDirectoryA(P(name).c_str())) << name << " " << LastError();
  }
  std::string Read(const std::string& path) {
    std::string bytes;
    if (!plat::Files().ReadFileBytes(path.c_str(), &bytes, 1 << 20)) return "<unreadable>";
    return bytes;
  }
  bool Present(const std::string& path) {
    return plat::Files().GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  // The attributes without the archive bit Wine adds to every file.
  DWORD Attributes(const std::string& path) {
    return plat::Files().GetFileAttributesA(path.c_str()) & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE);
  }
  std::string ShortOf(const std::string& path) {
    char out[MAX_PATH] = {};
    DWORD n = plat::Files().GetShortPathNameA(path.c_str(), out, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(out, n) : std::string();
  }
  std::string LongOf(const std::string& path) {
    char out[MAX_PATH] = {};
    DWORD n = plat::Files().GetLongPathNameA(path.c_str(), out, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(out, n) : std::string();
  }

  std::unique_ptr<contract::ContractEnv> env_;
  std::string folder_;
};

// ---------------------------------------------------------------------------------------

TEST_F(FilesContract, ExistenceTestsAnswerAsTheOpenCallsDo) {
  Write("present.txt", "x");
  Folder("Folder");
  std::string slashes = P("present.txt");
  std::replace(slashes.begin(), slashes.end(), '\\', '/');
  struct Case {
    const char* what;
    std::string path;
    DWORD openError;        // 0: CreateFileA opens it
    DWORD existError;       // 0: OpenFile(OF_EXIST) finds it
    DWORD attributesError;  // 0: GetFileAttributesA answers
  };
  const Case cases[] = {
      {"a file", P("present.txt"), 0, 0, 0},
      {"another case", P("PRESENT.TXT"), 0, 0, 0},
      {"forward slashes", slashes, 0, 0, 0},
      {"trailing dots and blanks are cut", P("present.txt. ."), 0, 0, 0},
      {"dot and dot-dot", P("Folder\\.\\..\\present.txt"), 0, 0, 0},
      {"a folder", P("Folder"), ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, 0},
      {"missing file", P("missing.txt"), ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND,
       ERROR_FILE_NOT_FOUND},
      // OpenFile searches for what it is given: whatever it does not find is "not found".
      {"missing folder", P("nowhere\\missing.txt"), ERROR_PATH_NOT_FOUND, ERROR_FILE_NOT_FOUND,
       ERROR_PATH_NOT_FOUND},
      {"a file used as a folder", P("present.txt\\x"), ERROR_PATH_NOT_FOUND, ERROR_FILE_NOT_FOUND,
       ERROR_PATH_NOT_FOUND},
      {"a wildcard", P("pres*.txt"), ERROR_INVALID_NAME, ERROR_FILE_NOT_FOUND, ERROR_INVALID_NAME},
      {"a forbidden character", P("pre|sent.txt"), ERROR_INVALID_NAME, ERROR_FILE_NOT_FOUND,
       ERROR_INVALID_NAME},
      {"a separator after a file", P("present.txt\\"), ERROR_INVALID_NAME, ERROR_FILE_NOT_FOUND,
       ERROR_PATH_NOT_FOUND},
  };
  auto& f = plat::Files();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plat::Sys().SetLastError(0);
    EXPECT_EQ(f.OpenForRead(c.path.c_str()), c.openError == 0);
    if (c.openError) {
      EXPECT_EQ(LastError(), c.openError);
    }
    plat::Sys().SetLastError(0);
    EXPECT_EQ(f.OpenFileExists(c.path.c_str()), c.existError == 0);
    if (c.existError) {
      EXPECT_EQ(LastError(), c.existError);
    }
    plat::Sys().SetLastError(0);
    EXPECT_EQ(f.GetFileAttributesA(c.path.c_str()) != INVALID_FILE_ATTRIBUTES,
              c.attributesError == 0);
    if (c.attributesError) {
      EXPECT_EQ(LastError(), c.attributesError);
    }
  }
}

TEST_F(FilesContract, OpenFileRefusesPathsOf128CharactersOrMore) {
  // OFSTRUCT holds 128 characters with the zero; CreateFileA has no such limit.
  for (size_t length : {size_t{126}, size_t{127}, size_t{128}, size_t{140}}) {
    SCOPED_TRACE(length);
    std::string path = P(std::string(length - folder_.size() - 1, 'o'));
    ASSERT_EQ(path.size(), length);
    ASSERT_TRUE(plat::Files().WriteFileBytes(path.c_str(), "x"));
    EXPECT_TRUE(plat::Files().OpenForRead(path.c_str()));
    EXPECT_EQ(plat::Files().OpenFileExists(path.c_str()), length < 128);
    ASSERT_TRUE(plat::Files().DeleteFileA(path.c_str()));
  }
}

TEST_F(FilesContract, ReadWriteAndAppendWholeFiles) {
  auto& f = plat::Files();
  const std::string bytes("line one\r\nline\0two\r\n", 20);
  Write("data.bin", bytes);
  std::string got;
  ASSERT_TRUE(f.ReadFileBytes(P("data.bin").c_str(), &got, 1000));
  EXPECT_EQ(got, bytes);
  ASSERT_TRUE(f.ReadFileBytes(P("data.bin").c_str(), &got, 4));
  EXPECT_EQ(got, "line");
  ASSERT_TRUE(f.ReadFileBytes(P("data.bin").c_str(), &got, 0));
  EXPECT_EQ(got, "");
  // The tail: the last bytes, or the whole file when it is shorter.
  ASSERT_TRUE(f.ReadFileTail(P("data.bin").c_str(), &got, 5));
  EXPECT_EQ(got, "two\r\n");
  ASSERT_TRUE(f.ReadFileTail(P("data.bin").c_str(), &got, 1000));
  EXPECT_EQ(got, bytes);
  EXPECT_FALSE(f.ReadFileTail(P("missing.bin").c_str(), &got, 10));

  // CREATE_ALWAYS truncates; OPEN_ALWAYS appends and makes a missing file.
  Write("data.bin", "short");
  EXPECT_EQ(Read(P("data.bin")), "short");
  ASSERT_TRUE(f.AppendFileBytes(P("data.bin").c_str(), "+more"));
  EXPECT_EQ(Read(P("data.bin")), "short+more");
  ASSERT_TRUE(f.AppendFileBytes(P("new.txt").c_str(), "first"));
  EXPECT_EQ(Read(P("new.txt")), "first");
  // Appending nothing still makes the file (a merged empty history file leaves one behind).
  ASSERT_TRUE(f.AppendFileBytes(P("made.txt").c_str(), ""));
  EXPECT_NE(f.GetFileAttributesA(P("made.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Read(P("made.txt")), "");
  Write("empty.txt", "");
  ASSERT_TRUE(f.ReadFileBytes(P("empty.txt").c_str(), &got, 100));
  EXPECT_EQ(got, "");

  Folder("Folder");
  const Expect failures[] = {
      {"write into a missing folder",
       Try([&] { return f.WriteFileBytes(P("nowhere\\x.txt").c_str(), "x"); }), ERROR_PATH_NOT_FOUND},
      {"write over a folder", Try([&] { return f.WriteFileBytes(P("Folder").c_str(), "x"); }),
       ERROR_ACCESS_DENIED},
      {"append to a folder", Try([&] { return f.AppendFileBytes(P("Folder").c_str(), "x"); }),
       ERROR_ACCESS_DENIED},
      {"append into a missing folder",
       Try([&] { return f.AppendFileBytes(P("nowhere\\x.txt").c_str(), "x"); }), ERROR_PATH_NOT_FOUND},
      {"read a missing file",
       Try([&] { return f.ReadFileBytes(P("missing.txt").c_str(), &got, 10); }), ERROR_FILE_NOT_FOUND},
      {"read a folder", Try([&] { return f.ReadFileBytes(P("Folder").c_str(), &got, 10); }),
       ERROR_ACCESS_DENIED},
      {"write to a file named with a separator after it",
       Try([&] { return f.WriteFileBytes(P("data.bin\\").c_str(), "x"); }), ERROR_INVALID_NAME},
  };
  for (const Expect& e : failures) Check(e);
}

TEST_F(FilesContract, WritesRespectReadOnlyAndHiddenFiles) {
  auto& f = plat::Files();
  Write("hidden.txt", "old");
  Write("readonly.txt", "old");
  ASSERT_TRUE(f.SetFileAttributesA(P("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(f.SetFileAttributesA(P("readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));

  // Appending opens the file as it is: a hidden file takes it.
  EXPECT_TRUE(f.AppendFileBytes(P("hidden.txt").c_str(), "+"));
  EXPECT_EQ(Read(P("hidden.txt")), "old+");
  EXPECT_EQ(Read(P("readonly.txt")), "old");

  // CREATE_ALWAYS with normal attributes refuses an existing hidden file, and nothing
  // writes into a read-only one. Wine lets both through (and, running as root here, ignores
  // the read-only bit for writes); the simulated machine follows Windows.
  bool hidden = f.WriteFileBytes(P("hidden.txt").c_str(), "new");
  DWORD hiddenError = LastError();
  bool readOnly = f.WriteFileBytes(P("readonly.txt").c_str(), "new");
  DWORD readOnlyError = LastError();
  bool append = f.AppendFileBytes(P("readonly.txt").c_str(), "+");
  if (env_->IsSimulated()) {
    EXPECT_FALSE(hidden);
    EXPECT_EQ(hiddenError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(readOnly);
    EXPECT_EQ(readOnlyError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(append);
    EXPECT_EQ(Read(P("readonly.txt")), "old");
  }
  ASSERT_TRUE(f.SetFileAttributesA(P("readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
}

// ---------------------------------------------------------------------------------------

TEST_F(FilesContract, ShortAndLongNamesRoundTrip) {
  Folder("Sub Folder With Blanks");
  Write("Sub Folder With Blanks\\Long File Name.text", "x");
  Write("plain.txt", "x");
  const std::string longPath = P("Sub Folder With Blanks\\Long File Name.text");

  std::string shortPath = ShortOf(longPath);
  ASSERT_FALSE(shortPath.empty()) << LastError();
  std::vector<std::string> shortParts = Components(shortPath), longParts = Components(longPath);
  ASSERT_EQ(shortParts.size(), longParts.size());
  // Both blank-holding names get an 8.3 name of their own; the folders above keep theirs.
  for (size_t i = shortParts.size() - 2; i < shortParts.size(); ++i) {
    SCOPED_TRACE(shortParts[i]);
    EXPECT_TRUE(LooksShort(shortParts[i]));
    EXPECT_FALSE(EqualNoCase(shortParts[i], longParts[i]));
  }
  EXPECT_TRUE(EqualNoCase(shortParts.back().substr(shortParts.back().rfind('.')), ".TEX"));
  // The short form names the same file, and converts back.
  EXPECT_TRUE(plat::Files().OpenForRead(shortPath.c_str()));
  EXPECT_EQ(LongOf(shortPath), longPath);
  // A long form is its own long form; a name that is already 8.3 is its own short name.
  EXPECT_EQ(LongOf(longPath), longPath);
  EXPECT_EQ(Components(ShortOf(P("plain.txt"))).back(), "plain.txt");

  // Separators stay as given, a trailing one too.
  std::string folderShort = ShortOf(P("Sub Folder With Blanks\\"));
  ASSERT_FALSE(folderShort.empty());
  EXPECT_EQ(folderShort.back(), '\\');
  EXPECT_TRUE(EqualNoCase(folderShort + Components(shortPath).back(), shortPath));

  // Patterns match the short name too: "*.tex" finds the ".text" file.
  std::vector<std::string> names;
  ASSERT_TRUE(plat::Files().ForEachEntry(P("Sub Folder With Blanks").c_str(), "*.tex",
                                         [&](const char* name, DWORD) { names.push_back(name); }));
  EXPECT_EQ(names, std::vector<std::string>{"Long File Name.text"});
}

TEST_F(FilesContract, ShortAndLongNamesFollowTheBufferProtocol) {
  Write("Long File Name.text", "x");
  const std::string path = P("Long File Name.text");
  auto& f = plat::Files();
  for (bool toShort : {true, false}) {
    SCOPED_TRACE(toShort ? "GetShortPathNameA" : "GetLongPathNameA");
    auto call = [&](const std::string& in, char* out, DWORD size) {
      return toShort ? f.GetShortPathNameA(in.c_str(), out, size)
                     : f.GetLongPathNameA(in.c_str(), out, size);
    };
    char buf[MAX_PATH] = {};
    DWORD n = call(path, buf, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::strlen(buf), n);
    std::string full(buf, n);
    // Too small by one: the size with the zero; no buffer at all: the same.
    char small[MAX_PATH];
    std::memset(small, '#', sizeof small);
    EXPECT_EQ(call(path, small, n), n + 1);
    EXPECT_EQ(call(path, nullptr, 0), n + 1);
    // Exactly enough.
    std::vector<char> exact(n + 1, '#');
    EXPECT_EQ(call(path, exact.data(), n + 1), n);
    EXPECT_EQ(std::string(exact.data()), full);
    // A name that does not exist, at the end or in the middle.
    plat::Sys().SetLastError(0);
    EXPECT_EQ(call(P("no such file name.text"), buf, MAX_PATH), 0u);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    plat::Sys().SetLastError(0);
    EXPECT_EQ(call(P("no such folder\\x.txt"), buf, MAX_PATH), 0u);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }
}

// ---------------------------------------------------------------------------------------

TEST_F(FilesContract, FactsTimesAndSizes) {
  auto& f = plat::Files();
  Write("facts.txt", std::string(1234, 'z'));
  Folder("Folder");
  const uint64_t created = FileTimeOf(2014, 3, 9, 8, 7, 6, 500);
  const uint64_t accessed = FileTimeOf(2015, 6, 1, 12, 34, 56, 789);
  const uint64_t written = FileTimeOf(2016, 2, 29, 23, 59, 58, 1);
  ASSERT_TRUE(f.SetFileTimes(P("facts.txt").c_str(), &created, &accessed, &written));

  plat::FileFacts facts;
  ASSERT_TRUE(f.GetFileFacts(P("facts.txt").c_str(), &facts));
  EXPECT_EQ(facts.size, 1234u);
  EXPECT_EQ(facts.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(facts.lastAccess, accessed);
  EXPECT_EQ(facts.lastWrite, written);
  // Wine cannot keep a creation time on its Unix drives and shows the last write time
  // instead; Windows keeps what was set, and so does the simulated machine.
  EXPECT_EQ(facts.creation, env_->IsSimulated() ? created : written);

  // A null time is left alone.
  const uint64_t later = FileTimeOf(2017, 1, 1, 0, 0, 0, 0);
  ASSERT_TRUE(f.SetFileTimes(P("facts.txt").c_str(), nullptr, nullptr, &later));
  ASSERT_TRUE(f.GetFileFacts(P("facts.txt").c_str(), &facts));
  EXPECT_EQ(facts.lastWrite, later);
  EXPECT_EQ(facts.lastAccess, accessed);

  // Folders: the folder bit, no size, times settable.
  ASSERT_TRUE(f.SetFileTimes(P("Folder").c_str(), nullptr, nullptr, &written));
  plat::FileFacts folder;
  ASSERT_TRUE(f.GetFileFacts(P("Folder").c_str(), &folder));
  EXPECT_NE(folder.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(folder.size, 0u);
  EXPECT_EQ(folder.lastWrite, written);

  // A folder walk reports the same facts.
  plat::FileFacts listed;
  ASSERT_TRUE(f.ForEachEntry(folder_.c_str(), "facts.txt",
                             [&](const char*, const plat::FileFacts& ff) { listed = ff; }));
  EXPECT_EQ(listed.size, 1234u);
  EXPECT_EQ(listed.lastWrite, later);
  EXPECT_EQ(listed.attributes, facts.attributes);

  plat::Sys().SetLastError(0);
  EXPECT_FALSE(f.GetFileFacts(P("missing.txt").c_str(), &facts));
  EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(f.SetFileTimes(P("missing.txt").c_str(), nullptr, nullptr, &later));
  EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesContract, FileTimesConvertToLocalCalendarTime) {
  // Whatever the zone, local time differs from UTC by whole quarter hours within 14 hours,
  // seconds and milliseconds stay, and the weekday fits the date.
  struct Case {
    int y, m, d, hh, mm, ss, ms;
  };
  const Case cases[] = {{2015, 6, 1, 12, 34, 56, 789}, {2016, 2, 29, 0, 0, 1, 0},
                        {1999, 12, 31, 23, 59, 59, 999}, {1601, 1, 2, 12, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.y);
    uint64_t utc = FileTimeOf(c.y, c.m, c.d, c.hh, c.mm, c.ss, c.ms);
    plat::SystemTime t;
    ASSERT_TRUE(plat::Files().FileTimeToLocalSystemTime(utc, &t));
    uint64_t local = FileTimeOf(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
    int64_t minutes = (static_cast<int64_t>(local) - static_cast<int64_t>(utc)) / 600000000;
    EXPECT_EQ((static_cast<int64_t>(local) - static_cast<int64_t>(utc)) % 600000000, 0);
    EXPECT_EQ(minutes % 15, 0);
    EXPECT_LE(std::abs(minutes), 14 * 60);
    EXPECT_EQ(t.second, c.ss);
    EXPECT_EQ(t.milliseconds, c.ms);
    // 1601-01-01 was a Monday.
    EXPECT_EQ(t.dayOfWeek, (local / 10000000ull / 86400 + 1) % 7);
  }
  plat::SystemTime t;
  plat::Sys().SetLastError(0);
  EXPECT_FALSE(plat::Files().FileTimeToLocalSystemTime(0x8000000000000000ull, &t));
  EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// ---------------------------------------------------------------------------------------

TEST_F(FilesContract, FolderWalksMatchPatterns) {
  for (const char* name : {"a.txt", "B.TXT", "c.log", "notes", "page.html", "bcd.txt"})
    Write(name, "x");
  Folder("sub.dir");
  Write("sub.dir\\inner.txt", "x");
  using Names = std::vector<std::string>;
  const Names all = {"a.txt", "B.TXT", "c.log", "notes", "page.html", "bcd.txt", "sub.dir"};
  struct Case {
    const char* pattern;
    Names expected;
  };
  const Case cases[] = {
      {"*", all},
      {"*.*", all},
      {"*.txt", {"a.txt", "B.TXT", "bcd.txt"}},
      {"*.TXT", {"a.txt", "B.TXT", "bcd.txt"}},
      {"b*", {"B.TXT", "bcd.txt"}},
      {"?.txt", {"a.txt", "B.TXT"}},
      {"PAGE.HTML", {"page.html"}},
      {"*.htm", {"page.html"}},  // through its short name
      {"*.dir", {"sub.dir"}},
      {"x*", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    Names names;
    ASSERT_TRUE(plat::Files().ForEachEntry(folder_.c_str(), c.pattern,
                                           [&](const char* name, const plat::FileFacts&) {
                                             names.push_back(name);
                                           }));
    EXPECT_THAT(names, UnorderedElementsAreArray(c.expected));
  }

  // The (name, attributes) form, and folders told apart.
  Names folders;
  ASSERT_TRUE(plat::Files().ForEachEntry(folder_.c_str(), "*", [&](const char* name, DWORD attrs) {
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(name);
  }));
  EXPECT_EQ(folders, Names{"sub.dir"});
  // A trailing separator on the folder is fine.
  Names inner;
  ASSERT_TRUE(plat::Files().ForEachEntry((P("sub.dir") + "\\").c_str(), "*",
                                         [&](const char* name, DWORD) { inner.push_back(name); }));
  EXPECT_EQ(inner, Names{"inner.txt"});

  plat::Sys().SetLastError(0);
  EXPECT_FALSE(plat::Files().ForEachEntry(P("nowhere").c_str(), "*", [](const char*, DWORD) {}));
  EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

// ---------------------------------------------------------------------------------------

TEST_F(FilesContract, MovesFollowTheRulesOfWindows) {
  struct Case {
    const char* what;
    const char* from;
    const char* to;
    DWORD flags;
    DWORD error;  // 0: the move succeeds
  };
  const Case cases[] = {
      {"rename a file", "a.txt", "c.txt", 0, 0},
      {"into another folder", "a.txt", "other\\a.txt", 0, 0},
      {"a folder with what it holds", "dir", "moved", 0, 0},
      {"onto an existing file", "a.txt", "b.txt", 0, ERROR_ALREADY_EXISTS},
      {"onto an existing file, replacing", "a.txt", "b.txt", MOVEFILE_REPLACE_EXISTING, 0},
      {"a folder onto a folder", "dir", "other", 0, ERROR_ALREADY_EXISTS},
      {"a folder replacing a folder", "dir", "other", MOVEFILE_REPLACE_EXISTING, ERROR_ACCESS_DENIED},
      {"a file replacing a folder", "a.txt", "other", MOVEFILE_REPLACE_EXISTING, ERROR_ACCESS_DENIED},
      {"a folder into itself", "dir", "dir\\sub", 0, ERROR_INVALID_PARAMETER},
      {"a missing file", "none.txt", "x.txt", 0, ERROR_FILE_NOT_FOUND},
      {"into a missing folder", "a.txt", "nowhere\\x.txt", 0, ERROR_PATH_NOT_FOUND},
      {"onto itself", "a.txt", "a.txt", 0, 0},
  };
  auto& f = plat::Files();
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string base = "case" + std::to_string(n++);
    Folder(base);
    Folder(base + "\\dir");
    Folder(base + "\\other");
    Write(base + "\\a.txt", "A");
    Write(base + "\\b.txt", "B");
    Write(base + "\\dir\\in.txt", "in");
    std::string from = P(base + "\\" + c.from), to = P(base + "\\" + c.to);
    plat::Sys().SetLastError(0);
    BOOL ok = f.MoveFileExA(from.c_str(), to.c_str(), c.flags);
    EXPECT_EQ(ok != 0, c.error == 0);
    if (c.error) {
      EXPECT_EQ(LastError(), c.error);
      continue;
    }
    EXPECT_TRUE(Present(to));
    if (std::strcmp(c.from, c.to) != 0) {
      EXPECT_FALSE(Present(from));
    }
  }
  EXPECT_EQ(Read(P("case4\\b.txt")), "A");
  EXPECT_EQ(Read(P("case2\\moved\\in.txt")), "in");

  // A read-only file may be renamed and stays read-only.
  Write("ro.txt", "r");
  ASSERT_TRUE(f.SetFileAttributesA(P("ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(f.MoveFileExA(P("ro.txt").c_str(), P("ro2.txt").c_str(), 0));
  EXPECT_EQ(Attributes(P("ro2.txt")), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(f.SetFileAttributesA(P("ro2.txt").c_str(), FILE_ATTRIBUTE_NORMAL));

  // A change of case alone renames: Windows then lists the new case. Wine keeps the old
  // name on its Unix drives; the simulated machine follows Windows.
  Write("case.txt", "c");
  ASSERT_TRUE(f.MoveFileExA(P("case.txt").c_str(), P("CASE.TXT").c_str(), 0));
  std::vector<std::string> names;
  ASSERT_TRUE(f.ForEachEntry(folder_.c_str(), "case.txt",
                             [&](const char* name, DWORD) { names.push_back(name); }));
  EXPECT_EQ(names, std::vector<std::string>{env_->IsSimulated() ? "CASE.TXT" : "case.txt"});
}

TEST_F(FilesContract, CopiesAndDeletionsFollowTheRulesOfWindows) {
  auto& f = plat::Files();
  Write("src.txt", "source");
  Write("dst.txt", "old");
  Folder("Folder");
  Write("Folder\\in.txt", "in");
  const uint64_t written = FileTimeOf(2012, 5, 6, 7, 8, 9, 0);
  ASSERT_TRUE(f.SetFileTimes(P("src.txt").c_str(), nullptr, nullptr, &written));

  auto copy = [&](const char* a, const char* b, BOOL failIfExists) {
    return Try([&] { return f.CopyFileA(P(a).c_str(), P(b).c_str(), failIfExists) != 0; });
  };
  const Expect copies[] = {
      {"onto an existing file, failing", copy("src.txt", "dst.txt", TRUE), ERROR_FILE_EXISTS},
      {"onto itself", copy("src.txt", "SRC.TXT", FALSE), ERROR_SHARING_VIOLATION},
      {"a folder", copy("Folder", "Folder2", FALSE), ERROR_ACCESS_DENIED},
      {"onto a folder", copy("src.txt", "Folder", FALSE), ERROR_ACCESS_DENIED},
      {"a missing file", copy("none.txt", "x.txt", FALSE), ERROR_FILE_NOT_FOUND},
      {"into a missing folder", copy("src.txt", "nowhere\\x.txt", FALSE), ERROR_PATH_NOT_FOUND},
      {"a new copy", copy("src.txt", "new.txt", TRUE), 0},
      {"over an existing file", copy("src.txt", "dst.txt", FALSE), 0},
  };
  for (const Expect& e : copies) Check(e);
  EXPECT_EQ(Read(P("dst.txt")), "source");
  EXPECT_EQ(Read(P("new.txt")), "source");
  plat::FileFacts facts;
  ASSERT_TRUE(f.GetFileFacts(P("new.txt").c_str(), &facts));
  // A copy keeps the last write time. Windows makes it a new file (a new creation time);
  // Wine copies the creation time as well.
  EXPECT_EQ(facts.lastWrite, written);
  if (env_->IsSimulated()) {
    EXPECT_NE(facts.creation, written);
  }

  auto call = [&](BOOL (plat::IFileSystem::*fn)(const char*), const char* name) {
    return Try([&] { return (f.*fn)(P(name).c_str()) != 0; });
  };
  using FS = plat::IFileSystem;
  const Expect removals[] = {
      {"delete a folder as a file", call(&FS::DeleteFileA, "Folder"), ERROR_ACCESS_DENIED},
      {"delete in a missing folder", call(&FS::DeleteFileA, "nowhere\\x"), ERROR_PATH_NOT_FOUND},
      {"delete a missing file", call(&FS::DeleteFileA, "none.txt"), ERROR_FILE_NOT_FOUND},
      {"remove a file as a folder", call(&FS::RemoveDirectoryA, "src.txt"), 267 /*ERROR_DIRECTORY*/},
      {"remove a folder that holds a file", call(&FS::RemoveDirectoryA, "Folder"),
       ERROR_DIR_NOT_EMPTY},
      {"remove a missing folder", call(&FS::RemoveDirectoryA, "nowhere"), ERROR_FILE_NOT_FOUND},
      {"remove below a missing folder", call(&FS::RemoveDirectoryA, "nowhere\\x"),
       ERROR_PATH_NOT_FOUND},
      {"make a folder over a file", call(&FS::CreateDirectoryA, "src.txt"), ERROR_ALREADY_EXISTS},
      {"make a folder in a missing one", call(&FS::CreateDirectoryA, "nowhere\\x"),
       ERROR_PATH_NOT_FOUND},
      {"attributes of a missing file",
       Try([&] { return f.SetFileAttributesA(P("none").c_str(), 0) != 0; }), ERROR_FILE_NOT_FOUND},
      {"attributes in a missing folder",
       Try([&] { return f.SetFileAttributesA(P("nowhere\\none").c_str(), 0) != 0; }),
       ERROR_PATH_NOT_FOUND},
  };
  for (const Expect& e : removals) Check(e);
}

TEST_F(FilesContract, DelayedOperationsAreRecordedForTheNextStart) {
  auto& reg = plat::Reg();
  const char* key = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  const char* value = "PendingFileRenameOperations";
  auto readValue = [&](bool* present) {
    std::string data;
    *present = false;
    plat::RegKey k(reg);
    if (k.Open(HKEY_LOCAL_MACHINE, key, KEY_QUERY_VALUE) != ERROR_SUCCESS) return data;
    DWORD type = 0, size = 0;
    if (reg.RegQueryValueExA(k.get(), value, &type, nullptr, &size) != ERROR_SUCCESS) return data;
    data.resize(size);
    if (reg.RegQueryValueExA(k.get(), value, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS) {
      *present = type == REG_MULTI_SZ;
      data.resize(size);
    }
    return data;
  };
  bool hadValue = false;
  const std::string before = readValue(&hadValue);

  Write("later.txt", "x");
  auto& f = plat::Files();
  ASSERT_TRUE(f.MoveFileExA(P("later.txt").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(f.MoveFileExA(P("later.txt").c_str(), P("renamed.txt").c_str(),
                            MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  // The source need not exist yet: the operation is only recorded.
  ASSERT_TRUE(f.MoveFileExA(P("not yet.txt").c_str(), P("then.txt").c_str(),
                            MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_TRUE(Present(P("later.txt")));
  // Windows refuses the two flags together; Wine records the operation anyway.
  BOOL both = f.MoveFileExA(P("later.txt").c_str(), nullptr,
                            MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_COPY_ALLOWED);
  DWORD bothError = LastError();

  bool present = false;
  std::string after = readValue(&present);
  EXPECT_TRUE(present);
  const std::string nt = "\\??\\";
  std::string expected = nt + P("later.txt") + '\0' + '\0' + nt + P("later.txt") + '\0' + "!" +
                         nt + P("renamed.txt") + '\0' + nt + P("not yet.txt") + '\0' + nt +
                         P("then.txt") + '\0';
  EXPECT_NE(after.find(expected), std::string::npos);
  ASSERT_GE(after.size(), 2u);
  EXPECT_EQ(after.substr(after.size() - 2), std::string(2, '\0'));
  if (env_->IsSimulated()) {
    EXPECT_FALSE(both);
    EXPECT_EQ(bothError, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }

  // The machine keeps what it had before.
  plat::RegKey k(reg);
  ASSERT_EQ(k.Open(HKEY_LOCAL_MACHINE, key, KEY_SET_VALUE), ERROR_SUCCESS);
  if (hadValue)
    reg.RegSetValueExA(k.get(), value, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before.data()),
                       static_cast<DWORD>(before.size()));
  else
    reg.RegDeleteValueA(k.get(), value);
}

// ---------------------------------------------------------------------------------------

TEST_F(FilesContract, PathLengthLimits) {
  auto& f = plat::Files();
  auto pathOf = [&](size_t length) {
    std::string p = P("");
    return p + std::string(length - p.size(), 'n');
  };
  // 259 characters is the longest path the *A functions take.
  std::string longest = pathOf(259);
  ASSERT_TRUE(f.WriteFileBytes(longest.c_str(), "x")) << LastError();
  EXPECT_TRUE(f.OpenForRead(longest.c_str()));
  EXPECT_EQ(Read(longest), "x");
  ASSERT_TRUE(f.DeleteFileA(longest.c_str()));

  std::string tooLong = pathOf(300);
  char out[MAX_PATH];
  const Expect cases[] = {
      {"GetFileAttributesA",
       Try([&] { return f.GetFileAttributesA(tooLong.c_str()) != INVALID_FILE_ATTRIBUTES; }),
       ERROR_FILENAME_EXCED_RANGE},
      {"OpenForRead", Try([&] { return f.OpenForRead(tooLong.c_str()); }),
       ERROR_FILENAME_EXCED_RANGE},
      {"WriteFileBytes", Try([&] { return f.WriteFileBytes(tooLong.c_str(), "x"); }),
       ERROR_FILENAME_EXCED_RANGE},
      {"CreateDirectoryA", Try([&] { return f.CreateDirectoryA(tooLong.c_str()) != 0; }),
       ERROR_FILENAME_EXCED_RANGE},
      {"GetShortPathNameA",
       Try([&] { return f.GetShortPathNameA(tooLong.c_str(), out, MAX_PATH) != 0; }),
       ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Expect& e : cases) Check(e);

  // At 260 characters Windows stops (MAX_PATH counts the zero); Wine still takes the path.
  // CreateDirectoryA keeps room for an 8.3 name and takes at most 248 characters; Wine
  // takes more. The simulated machine follows Windows.
  std::string at260 = pathOf(260), folder249 = pathOf(249), folder248 = pathOf(248);
  bool wrote260 = f.WriteFileBytes(at260.c_str(), "x");
  DWORD error260 = LastError();
  bool made249 = f.CreateDirectoryA(folder249.c_str()) != 0;
  DWORD error249 = LastError();
  EXPECT_TRUE(f.CreateDirectoryA(folder248.c_str()));
  if (env_->IsSimulated()) {
    EXPECT_FALSE(wrote260);
    EXPECT_EQ(error260, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(made249);
    EXPECT_EQ(error249, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  }
  if (wrote260) f.DeleteFileA(at260.c_str());
  if (made249) f.RemoveDirectoryA(folder249.c_str());
  f.RemoveDirectoryA(folder248.c_str());
}

TEST_F(FilesContract, SpecialFoldersExistAndAreFolders) {
  struct Case {
    const char* what;
    int csidl;
  };
  const Case cases[] = {{"Startup", plat::kCsidlStartup},
                        {"Common Startup", plat::kCsidlCommonStartup},
                        {"AppData", plat::kCsidlAppData},
                        {"Local AppData", plat::kCsidlLocalAppData},
                        {"Program Files", plat::kCsidlProgramFiles},
                        {"Program Files (x86)", plat::kCsidlProgramFilesX86},
                        {"System", plat::kCsidlSystem},
                        {"System x86", plat::kCsidlSystemX86},
                        {"Windows", plat::kCsidlWindows},
                        {"Cookies", plat::kCsidlCookies},
                        {"Internet cache", plat::kCsidlInternetCache},
                        {"Profile", plat::kCsidlProfile},
                        {"Common AppData", plat::kCsidlCommonAppData}};
  auto folderOf = [](int csidl) {
    char out[MAX_PATH] = {};
    return plat::Files().SHGetSpecialFolderPathA(csidl, out) ? std::string(out) : std::string();
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string folder = folderOf(c.csidl);
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder.substr(1, 2), ":\\");
    DWORD attrs = plat::Files().GetFileAttributesA(folder.c_str());
    ASSERT_NE(attrs, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attrs & FILE_ATTRIBUTE_DIRECTORY, 0u);
  }
  // How they relate.
  char windows[MAX_PATH] = {}, system[MAX_PATH] = {};
  plat::Sys().GetWindowsDirectoryA(windows, MAX_PATH);
  plat::Sys().GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_TRUE(EqualNoCase(folderOf(plat::kCsidlWindows), windows));
  EXPECT_TRUE(EqualNoCase(folderOf(plat::kCsidlSystem), system));
  std::string profile = Upper(folderOf(plat::kCsidlProfile)) + "\\";
  for (int under : {plat::kCsidlAppData, plat::kCsidlLocalAppData, plat::kCsidlStartup,
                    plat::kCsidlCookies, plat::kCsidlInternetCache})
    EXPECT_EQ(Upper(folderOf(under)).rfind(profile, 0), 0u) << under;
  EXPECT_EQ(Upper(folderOf(plat::kCsidlStartup)).rfind(Upper(folderOf(plat::kCsidlAppData)), 0), 0u);
  EXPECT_EQ(Upper(folderOf(plat::kCsidlCommonStartup))
                .rfind(Upper(folderOf(plat::kCsidlCommonAppData)), 0),
            0u);
  if (plat::Sys().Is64BitProcess()) {
    // The 64-bit program sees both program folders and both system folders.
    EXPECT_FALSE(EqualNoCase(folderOf(plat::kCsidlProgramFiles), folderOf(plat::kCsidlProgramFilesX86)));
    EXPECT_TRUE(EqualNoCase(folderOf(plat::kCsidlSystemX86), std::string(windows) + "\\SysWOW64"));
  }
  EXPECT_EQ(folderOf(0x7ff0), "");
}

TEST_F(FilesContract, ErrorModeAndRedirectionSwitch) {
  auto& f = plat::Files();
  UINT old = f.SetErrorMode(plat::kSemFailCriticalErrors | plat::kSemNoOpenFileErrorBox);
  EXPECT_EQ(f.SetErrorMode(old), plat::kSemFailCriticalErrors | plat::kSemNoOpenFileErrorBox);
  EXPECT_EQ(f.SetErrorMode(old), old);

  // A 64-bit program has no redirection to switch off: the call fails.
  if (plat::Sys().Is64BitProcess()) {
    void* value = nullptr;
    plat::Sys().SetLastError(0);
    EXPECT_FALSE(f.Wow64DisableWow64FsRedirection(&value));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  }
}

}  // namespace
