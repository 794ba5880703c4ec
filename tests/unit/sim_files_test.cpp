// What only the simulated file system does, or does as Windows where Wine cannot show it:
// short names as Windows makes them, what it keeps beside the drives across machines, WOW64
// redirection for a 32-bit program, drives that nothing leaves, moves between drives, the
// pending operations, and the machine's time zone and folders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/sim/sim_files_meta.h"
#include "platform/sim/sim_machine.h"

namespace fs = std::filesystem;

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;

// A host folder of the test's own, removed at the end: machines made on it keep it.
class HostFolder {
 public:
  HostFolder() {
    static std::atomic<int> counter{0};
    path_ = (fs::temp_directory_path() /
             ("tw-simfiles-" + std::to_string(getpid()) + "-" + std::to_string(counter++)))
                .string();
    std::error_code ec;
    fs::remove_all(path_, ec);
    fs::create_directories(path_, ec);
  }
  ~HostFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

sim::MachineConfig Config(bool windows64, bool process64, const std::string& root = {}) {
  sim::MachineConfig c;
  c.windows64 = windows64;
  c.process64 = process64;
  c.hostRoot = root;
  return c;
}

void WriteHostFile(const std::string& path, const std::string& text) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  std::ofstream(path, std::ios::binary) << text;
}

std::string ShortOf(sim::SimFileSystem& f, const std::string& path) {
  char out[MAX_PATH] = {};
  DWORD n = f.GetShortPathNameA(path.c_str(), out, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(out, n) : "<" + std::to_string(f.GetFileAttributesA(path.c_str())) + ">";
}

std::string LongOf(sim::SimFileSystem& f, const std::string& path) {
  char out[MAX_PATH] = {};
  DWORD n = f.GetLongPathNameA(path.c_str(), out, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(out, n) : std::string();
}

std::string LastName(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

std::string Read(sim::SimFileSystem& f, const std::string& path) {
  std::string bytes;
  return f.ReadFileBytes(path.c_str(), &bytes, 1 << 16) ? bytes : "<unreadable>";
}

uint64_t FileTimeOf(int y, int m, int d, int hh, int mm, int ss, int ms) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t days = era * 146097 + doe - 719468 + 134774;
  return static_cast<uint64_t>(days * 86400 + hh * 3600 + mm * 60 + ss) * 10000000ull +
         static_cast<uint64_t>(ms) * 10000ull;
}

// ---------------------------------------------------------------------------------------
// Short names

TEST(SimFileNames, ShortNamesAreMadeAsWindowsMakesThem) {
  sim::SimMachine m;
  auto& f = m.files();
  struct Case {
    const char* longName;
    const char* shortName;
  };
  const Case cases[] = {
      {"Long File Name.text", "LONGFI~1.TEX"},
      {"Program Files Extra", "PROGRA~1"},
      {".htaccess", "HTACCE~1"},
      {"a+b=c;d.txt", "A_B_C_~1.TXT"},
      {"my.file.name.html", "MYFILE~1.HTM"},
      {"x y.z", "XY~1.Z"},
      {"ABCDEFGHI", "ABCDEF~1"},
      {"ab.cdef", "AB~1.CDE"},
      {"a.b.c", "AB~1.C"},
      // Already 8.3: their own short name, in their own case.
      {"notepad.exe", "notepad.exe"},
      {"NotePad.EXE", "NotePad.EXE"},
      {"README", "README"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.longName);
    std::string folder = "C:\\names" + std::to_string(n++);
    ASSERT_TRUE(f.CreateDirectoryA(folder.c_str()));
    std::string path = folder + "\\" + c.longName;
    ASSERT_TRUE(f.WriteFileBytes(path.c_str(), "x"));
    std::string shortPath = ShortOf(f, path);
    EXPECT_EQ(LastName(shortPath), c.shortName);
    // The short form is a path like any other.
    EXPECT_EQ(LongOf(f, shortPath), path);
    EXPECT_EQ(f.HostPath(shortPath), f.HostPath(path));
    EXPECT_EQ(Read(f, shortPath), "x");
  }
}

TEST(SimFileNames, LookAlikesAreNumberedInCreationOrderAndKeptByTheNextMachine) {
  HostFolder root;
  const std::string folder = "C:\\Look";
  {
    sim::SimMachine m(Config(true, true, root.path()));
    auto& f = m.files();
    ASSERT_TRUE(f.CreateDirectoryA(folder.c_str()));
    for (const char* name : {"Long File B.txt", "Long File A.txt", "Long File C.txt"})
      ASSERT_TRUE(f.WriteFileBytes((folder + "\\" + name).c_str(), name));
    EXPECT_EQ(LastName(ShortOf(f, folder + "\\Long File B.txt")), "LONGFI~1.TXT");
    EXPECT_EQ(LastName(ShortOf(f, folder + "\\Long File A.txt")), "LONGFI~2.TXT");
    EXPECT_EQ(LastName(ShortOf(f, folder + "\\Long File C.txt")), "LONGFI~3.TXT");
    // The machine's own folders too: Program Files first, then Program Files (x86).
    EXPECT_EQ(ShortOf(f, "C:\\Program Files (x86)"), "C:\\PROGRA~2");
  }
  sim::SimMachine again(Config(true, true, root.path()));
  auto& f = again.files();
  EXPECT_EQ(LongOf(f, folder + "\\LONGFI~2.TXT"), folder + "\\Long File A.txt");
  EXPECT_EQ(Read(f, folder + "\\longfi~1.txt"), "Long File B.txt");
  EXPECT_EQ(ShortOf(f, "C:\\Program Files"), "C:\\PROGRA~1");
  // A freed short name is given again; a rename gets a new one.
  ASSERT_TRUE(f.DeleteFileA((folder + "\\Long File B.txt").c_str()));
  ASSERT_TRUE(f.WriteFileBytes((folder + "\\Long File D.txt").c_str(), "d"));
  EXPECT_EQ(LastName(ShortOf(f, folder + "\\Long File D.txt")), "LONGFI~1.TXT");
  ASSERT_TRUE(f.MoveFileExA((folder + "\\Long File C.txt").c_str(),
                            (folder + "\\Other Name.txt").c_str(), 0));
  EXPECT_EQ(LastName(ShortOf(f, folder + "\\Other Name.txt")), "OTHERN~1.TXT");
  EXPECT_FALSE(f.OpenForRead((folder + "\\LONGFI~3.TXT").c_str()));
  // Files put on the host behind the machine's back are numbered when first seen, oldest
  // first, whatever their names.
  std::string host = again.HostPath(folder);
  WriteHostFile(host + "/Report Z.txt", "z");
  WriteHostFile(host + "/Report A.txt", "a");
  const uint64_t older = FileTimeOf(2005, 1, 1, 0, 0, 0, 0), newer = FileTimeOf(2010, 1, 1, 0, 0, 0, 0);
  ASSERT_TRUE(f.SetFileTimes((folder + "\\Report Z.txt").c_str(), nullptr, nullptr, &older));
  ASSERT_TRUE(f.SetFileTimes((folder + "\\Report A.txt").c_str(), nullptr, nullptr, &newer));
  EXPECT_EQ(Read(f, folder + "\\REPORT~1.TXT"), "z");
  EXPECT_EQ(LastName(ShortOf(f, folder + "\\Report A.txt")), "REPORT~2.TXT");
  // A folder walk matches short names and lists long ones.
  std::vector<std::string> names;
  ASSERT_TRUE(f.ForEachEntry(folder.c_str(), "LONGFI~2.*", [&](const char* n, DWORD) { names.push_back(n); }));
  EXPECT_THAT(names, ElementsAre("Long File A.txt"));
}

// ---------------------------------------------------------------------------------------
// What is kept beside the drives

TEST(SimFileMeta, AttributesAndCreationTimesSurviveANewMachine) {
  HostFolder root;
  const uint64_t created = FileTimeOf(2011, 11, 11, 11, 11, 11, 0);
  {
    sim::SimMachine m(Config(true, true, root.path()));
    auto& f = m.files();
    ASSERT_TRUE(f.WriteFileBytes("C:\\kept.txt", "k"));
    ASSERT_TRUE(f.SetFileAttributesA("C:\\kept.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(f.SetFileTimes("C:\\kept.txt", &created, nullptr, nullptr));
    ASSERT_TRUE(f.CreateDirectoryA("C:\\Locked"));
    ASSERT_TRUE(f.SetFileAttributesA("C:\\Locked", FILE_ATTRIBUTE_READONLY));
    // A folder that moves takes what is kept about its files along.
    ASSERT_TRUE(f.CreateDirectoryA("C:\\Box"));
    ASSERT_TRUE(f.WriteFileBytes("C:\\Box\\inside.txt", "i"));
    ASSERT_TRUE(f.SetFileAttributesA("C:\\Box\\inside.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(f.MoveFileExA("C:\\Box", "C:\\Crate", 0));
  }
  // A file put on the host behind the machine's back has the defaults.
  WriteHostFile(root.path() + "/C/fixture.txt", "f");

  sim::SimMachine m(Config(true, true, root.path()));
  auto& f = m.files();
  EXPECT_EQ(f.GetFileAttributesA("C:\\kept.txt"),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  plat::FileFacts facts;
  ASSERT_TRUE(f.GetFileFacts("C:\\KEPT.TXT", &facts));
  EXPECT_EQ(facts.creation, created);
  EXPECT_EQ(f.GetFileAttributesA("C:\\Locked"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(f.RemoveDirectoryA("C:\\Locked"));
  EXPECT_EQ(m.system().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(f.GetFileAttributesA("C:\\Crate\\inside.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(f.GetFileAttributesA("C:\\fixture.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(f.GetFileFacts("C:\\fixture.txt", &facts));
  EXPECT_EQ(facts.creation, facts.lastWrite);
  // What a deleted file had is not given to the next file of that name.
  ASSERT_TRUE(f.SetFileAttributesA("C:\\kept.txt", FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(f.DeleteFileA("C:\\kept.txt"));
  ASSERT_TRUE(f.WriteFileBytes("C:\\kept.txt", "new"));
  EXPECT_EQ(f.GetFileAttributesA("C:\\kept.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(f.GetFileFacts("C:\\kept.txt", &facts));
  EXPECT_NE(facts.creation, created);
}

TEST(SimFileMeta, StoreLinesThatAreNotRightAreSkipped) {
  const std::string header = "TallowickSimFiles 1\n";
  struct Case {
    const char* what;
    std::string text;
    size_t entries;
  };
  const Case cases[] = {
      {"good", header + "22\t130000000000000000\tLONGFI~1.TXT\tdir/Long File.txt\n", 1},
      {"line ends in CR LF", header + "22\t1\t-\ta.txt\r\n", 1},
      {"another header", "TallowickSimFiles 2\n22\t1\t-\ta.txt\n", 0},
      {"no header", "22\t1\t-\ta.txt\n", 0},
      {"binary garbage", std::string("\x00\xff\x10\n\t\t\t\n", 9), 0},
      {"too few fields", header + "22\t1\ta.txt\n", 0},
      {"attributes not hex", header + "zz\t1\t-\ta.txt\n", 0},
      {"attributes too large", header + "1ffffffff\t1\t-\ta.txt\n", 0},
      {"time not a number", header + "22\t-5\t-\ta.txt\n", 0},
      {"time beyond FILETIME", header + "22\t18446744073709551615\t-\ta.txt\n", 0},
      {"short name not 8.3", header + "22\t1\tLONG NAME~1\ta.txt\n", 0},
      {"path leaves the drive", header + "22\t1\t-\tdir/../../x\n", 0},
      {"absolute path", header + "22\t1\t-\t/etc/passwd\n", 0},
      {"empty path", header + "22\t1\t-\t\n", 0},
      {"cut short", header + "22\t13000", 0},
      {"good among bad", header + "zz\n22\t1\t-\ta.txt\n\t\t\t\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(sim::DriveMetaStore::Parse(c.text).size(), c.entries);
  }
  // What is written reads back the same.
  auto entries = sim::DriveMetaStore::Parse(cases[0].text);
  EXPECT_EQ(sim::DriveMetaStore::Serialize(entries), cases[0].text);
  ASSERT_EQ(entries.count("dir/Long File.txt"), 1u);
  EXPECT_EQ(entries["dir/Long File.txt"].attributes, 0x22u);
  EXPECT_EQ(entries["dir/Long File.txt"].shortName, "LONGFI~1.TXT");
}

TEST(SimFileMeta, ADamagedStoreGivesTheDefaults) {
  HostFolder root;
  {
    sim::SimMachine m(Config(true, true, root.path()));
    ASSERT_TRUE(m.files().WriteFileBytes("C:\\data.txt", "d"));
    ASSERT_TRUE(m.files().SetFileAttributesA("C:\\data.txt", FILE_ATTRIBUTE_HIDDEN));
  }
  {
    std::ofstream(root.path() + "/C.meta", std::ios::binary | std::ios::trunc)
        << std::string("TallowickSimFiles 1\n\x01\x02\t\t\xff", 24);
  }
  sim::SimMachine m(Config(true, true, root.path()));
  EXPECT_EQ(m.files().GetFileAttributesA("C:\\data.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(Read(m.files(), "C:\\data.txt"), "d");
  // The store is whole again after the next change.
  ASSERT_TRUE(m.files().SetFileAttributesA("C:\\data.txt", FILE_ATTRIBUTE_READONLY));
  sim::SimMachine next(Config(true, true, root.path()));
  EXPECT_EQ(next.files().GetFileAttributesA("C:\\data.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

// ---------------------------------------------------------------------------------------
// WOW64 redirection

TEST(SimFileRedirection, System32IsRedirectedForA32BitProgramOn64BitWindows) {
  struct Case {
    const char* what;
    bool windows64, process64, switchedOff;
    const char* path;
    const char* expected;  // the content read, or "<unreadable>"
  };
  const Case cases[] = {
      {"32-bit program", true, false, false, "C:\\Windows\\System32\\probe.txt", "wow64"},
      {"32-bit program, any case", true, false, false, "c:\\WINDOWS\\system32\\PROBE.TXT", "wow64"},
      {"32-bit program, shared hosts", true, false, false, "C:\\Windows\\System32\\drivers\\etc\\hosts", "native hosts"},
      {"32-bit program, shared spool", true, false, false, "C:\\Windows\\System32\\spool\\job.txt", "native spool"},
      {"32-bit program, other drivers", true, false, false, "C:\\Windows\\System32\\drivers\\x.sys", "wow64 driver"},
      {"32-bit program, Sysnative", true, false, false, "C:\\Windows\\Sysnative\\probe.txt", "native"},
      {"32-bit program, switched off", true, false, true, "C:\\Windows\\System32\\probe.txt", "native"},
      {"32-bit program, switched off, no Sysnative", true, false, true, "C:\\Windows\\Sysnative\\probe.txt", "<unreadable>"},
      {"64-bit program", true, true, false, "C:\\Windows\\System32\\probe.txt", "native"},
      {"64-bit program, no Sysnative", true, true, false, "C:\\Windows\\Sysnative\\probe.txt", "<unreadable>"},
      {"32-bit Windows", false, false, false, "C:\\Windows\\System32\\probe.txt", "native"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::SimMachine m(Config(c.windows64, c.process64));
    auto& f = m.files();
    // Fixtures are written as the disk holds them.
    ASSERT_TRUE(f.WriteFileText("C:\\Windows\\System32\\probe.txt", "native"));
    ASSERT_TRUE(f.WriteFileText("C:\\Windows\\System32\\drivers\\etc\\hosts", "native hosts"));
    ASSERT_TRUE(f.WriteFileText("C:\\Windows\\System32\\spool\\job.txt", "native spool"));
    if (c.windows64) {
      ASSERT_TRUE(f.WriteFileText("C:\\Windows\\SysWOW64\\probe.txt", "wow64"));
      ASSERT_TRUE(f.WriteFileText("C:\\Windows\\SysWOW64\\drivers\\etc\\hosts", "wow64 hosts"));
      ASSERT_TRUE(f.WriteFileText("C:\\Windows\\SysWOW64\\drivers\\x.sys", "wow64 driver"));
    }
    void* old = nullptr;
    if (c.switchedOff) {
      ASSERT_TRUE(f.Wow64DisableWow64FsRedirection(&old));
    }
    EXPECT_EQ(Read(f, c.path), c.expected);
    if (c.switchedOff) {
      ASSERT_TRUE(f.Wow64RevertWow64FsRedirection(old));
    }
  }
}

TEST(SimFileRedirection, ARedirectedFolderKeepsItsNameAndReceivesNewFiles) {
  sim::SimMachine m(Config(true, false));
  auto& f = m.files();
  ASSERT_TRUE(f.WriteFileBytes("C:\\Windows\\System32\\new32.dll", "32"));
  EXPECT_TRUE(f.Exists("C:\\Windows\\SysWOW64\\new32.dll"));
  EXPECT_FALSE(f.Exists("C:\\Windows\\System32\\new32.dll"));
  // The names say System32, as the program asked.
  EXPECT_EQ(LongOf(f, "C:\\Windows\\System32\\new32.dll"), "C:\\Windows\\System32\\new32.dll");
  EXPECT_EQ(ShortOf(f, "C:\\Windows\\System32\\new32.dll"), "C:\\Windows\\System32\\new32.dll");
  std::vector<std::string> names;
  ASSERT_TRUE(f.ForEachEntry("C:\\Windows\\System32", "*.dll", [&](const char* n, DWORD) { names.push_back(n); }));
  EXPECT_THAT(names, ElementsAre("new32.dll"));
  EXPECT_EQ(f.ProgramHostPath("C:\\Windows\\System32\\new32.dll"),
            f.HostPath("C:\\Windows\\SysWOW64\\new32.dll"));

  // The switch nests: the old value comes back.
  void* outer = nullptr;
  void* inner = nullptr;
  ASSERT_TRUE(f.Wow64DisableWow64FsRedirection(&outer));
  ASSERT_TRUE(f.Wow64DisableWow64FsRedirection(&inner));
  ASSERT_TRUE(f.Wow64RevertWow64FsRedirection(inner));
  EXPECT_TRUE(f.redirectionOff());
  ASSERT_TRUE(f.Wow64RevertWow64FsRedirection(outer));
  EXPECT_FALSE(f.redirectionOff());

  // On a 32-bit Windows there is nothing to switch off.
  sim::SimMachine old(Config(false, false));
  void* value = nullptr;
  EXPECT_FALSE(old.files().Wow64DisableWow64FsRedirection(&value));
  EXPECT_EQ(old.system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

// ---------------------------------------------------------------------------------------
// Nothing leaves the drive

TEST(SimFileSafety, LinksThatLeaveTheDriveAreNeitherFollowedNorListed) {
  HostFolder outside;
  WriteHostFile(outside.path() + "/secret.txt", "secret");
  sim::SimMachine m;
  auto& f = m.files();
  std::string c = m.HostPath("C:\\");
  fs::create_directory_symlink(outside.path(), c + "/out");
  fs::create_symlink(outside.path() + "/made-through-link.txt", c + "/dangling");
  fs::create_symlink(outside.path() + "/secret.txt", c + "/secret-link.txt");
  fs::create_directory_symlink(c + "/Windows", c + "/inner");
  fs::create_symlink("Windows/win.ini", c + "/relative-link.ini");
  ASSERT_TRUE(f.WriteFileBytes("C:\\Windows\\win.ini", "[windows]\r\n"));

  struct Case {
    const char* what;
    bool ok;
  };
  std::string bytes;
  const Case refused[] = {
      {"open through a folder link", f.OpenForRead("C:\\out\\secret.txt")},
      {"read through a file link", f.ReadFileBytes("C:\\secret-link.txt", &bytes, 100)},
      {"attributes", f.GetFileAttributesA("C:\\out\\secret.txt") != INVALID_FILE_ATTRIBUTES},
      {"write through a folder link", f.WriteFileBytes("C:\\out\\new.txt", "x")},
      {"write through a dangling link", f.WriteFileBytes("C:\\dangling", "x")},
      {"append through a file link", f.AppendFileBytes("C:\\secret-link.txt", "x")},
      {"delete through a link", f.DeleteFileA("C:\\out\\secret.txt") != 0},
      {"move out", f.MoveFileExA("C:\\out\\secret.txt", "C:\\stolen.txt", 0) != 0},
      {"copy out", f.CopyFileA("C:\\secret-link.txt", "C:\\stolen.txt", FALSE) != 0},
      {"make a folder through a link", f.CreateDirectoryA("C:\\out\\made") != 0},
      {"walk a link", f.ForEachEntry("C:\\out", "*", [](const char*, DWORD) {})},
  };
  for (const Case& r : refused) {
    SCOPED_TRACE(r.what);
    EXPECT_FALSE(r.ok);
  }
  EXPECT_FALSE(f.OpenForRead("C:\\out\\secret.txt"));
  EXPECT_EQ(m.system().GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(f.HostPath("C:\\out\\secret.txt"), "");
  // Nothing changed outside.
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(outside.path())) left.push_back(e.path().filename().string());
  EXPECT_THAT(left, ElementsAre("secret.txt"));
  std::ifstream secret(outside.path() + "/secret.txt");
  std::string text((std::istreambuf_iterator<char>(secret)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "secret");

  // Links that stay inside work; the others are not listed.
  EXPECT_EQ(Read(f, "C:\\inner\\win.ini"), "[windows]\r\n");
  EXPECT_EQ(Read(f, "C:\\relative-link.ini"), "[windows]\r\n");
  std::vector<std::string> names;
  ASSERT_TRUE(f.ForEachEntry("C:\\", "*", [&](const char* n, DWORD) { names.push_back(n); }));
  EXPECT_THAT(names, ::testing::Contains("inner"));
  EXPECT_THAT(names, ::testing::Not(::testing::Contains("out")));
  EXPECT_THAT(names, ::testing::Not(::testing::Contains("dangling")));
  EXPECT_THAT(names, ::testing::Not(::testing::Contains("secret-link.txt")));
}

TEST(SimFileSafety, PathsAreNormalisedWithinTheDrive) {
  sim::SimMachine m;
  auto& f = m.files();
  const std::string c = m.HostPath("C:\\");
  ASSERT_TRUE(f.WriteFileBytes("C:\\top.txt", "top"));
  // ".." never climbs above the root, as Windows has it.
  EXPECT_EQ(Read(f, "C:\\..\\..\\..\\top.txt"), "top");
  EXPECT_EQ(Read(f, "C:\\Windows\\..\\..\\top.txt"), "top");
  EXPECT_EQ(f.HostPath("C:\\..\\..\\etc\\passwd"), c + "/etc/passwd");
  // Names a Windows path cannot hold on the host are not listed.
  WriteHostFile(c + "/a:b", "x");
  WriteHostFile(c + "/star*", "x");
  WriteHostFile(c + "/back\\slash", "x");
  std::vector<std::string> names;
  ASSERT_TRUE(f.ForEachEntry("C:\\", "*", [&](const char* n, DWORD) { names.push_back(n); }));
  for (const std::string& n : names) EXPECT_EQ(n.find_first_of(":*\\"), std::string::npos) << n;

  struct Case {
    const char* what;
    std::string path;
    DWORD error;
  };
  const Case cases[] = {
      {"a network path", "\\\\server\\share\\x.txt", ERROR_PATH_NOT_FOUND},
      {"a device path", "\\\\?\\C:\\top.txt", ERROR_PATH_NOT_FOUND},
      {"an unknown drive", "Q:\\x.txt", ERROR_PATH_NOT_FOUND},  // Wine: ERROR_FILE_NOT_FOUND
      {"a name of 256 characters", "C:\\" + std::string(256, 'n'), ERROR_INVALID_NAME},
      {"a path of 260 characters", "C:\\" + std::string(200, 'n') + "\\" + std::string(56, 'n'),
       ERROR_FILENAME_EXCED_RANGE},
      {"an empty path", "", ERROR_PATH_NOT_FOUND},
  };
  for (const Case& e : cases) {
    SCOPED_TRACE(e.what);
    m.system().SetLastError(0);
    EXPECT_EQ(f.GetFileAttributesA(e.path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(m.system().GetLastError(), e.error);
    EXPECT_FALSE(f.WriteFileBytes(e.path.c_str(), "x"));
  }
}

// ---------------------------------------------------------------------------------------
// Moves

TEST(SimFileMoves, FilesMoveBetweenDrivesOnlyWhenCopyingIsAllowed) {
  sim::SimMachine m;
  auto& f = m.files();
  ASSERT_TRUE(f.AddDrive('d'));
  ASSERT_TRUE(f.WriteFileBytes("C:\\file.txt", "content"));
  ASSERT_TRUE(f.SetFileAttributesA("C:\\file.txt", FILE_ATTRIBUTE_HIDDEN));
  const uint64_t written = FileTimeOf(2013, 4, 5, 6, 7, 8, 0);
  ASSERT_TRUE(f.SetFileTimes("C:\\file.txt", nullptr, nullptr, &written));
  ASSERT_TRUE(f.CreateDirectoryA("C:\\Folder"));
  ASSERT_TRUE(f.WriteFileBytes("C:\\Folder\\in.txt", "in"));
  ASSERT_TRUE(f.WriteFileBytes("D:\\taken.txt", "taken"));

  struct Case {
    const char* what;
    const char* from;
    const char* to;
    DWORD flags;
    DWORD error;
  };
  const Case cases[] = {
      {"a file without the flag", "C:\\file.txt", "D:\\file.txt", 0, ERROR_NOT_SAME_DEVICE},
      {"a folder without the flag", "C:\\Folder", "D:\\Folder", 0, ERROR_NOT_SAME_DEVICE},
      // A folder is never copied: Windows answers as it does for the copy of a folder.
      {"a folder with the flag", "C:\\Folder", "D:\\Folder", MOVEFILE_COPY_ALLOWED, ERROR_ACCESS_DENIED},
      {"onto a file there", "C:\\file.txt", "D:\\taken.txt", MOVEFILE_COPY_ALLOWED, ERROR_ALREADY_EXISTS},
      {"to a drive that is not there", "C:\\file.txt", "E:\\file.txt", MOVEFILE_COPY_ALLOWED, ERROR_PATH_NOT_FOUND},
      {"a file with the flag", "C:\\file.txt", "D:\\file.txt", MOVEFILE_COPY_ALLOWED, 0},
      {"and back", "D:\\file.txt", "C:\\file.txt", MOVEFILE_COPY_ALLOWED, 0},
      {"back, replacing", "C:\\file.txt", "D:\\taken.txt",
       MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m.system().SetLastError(0);
    EXPECT_EQ(f.MoveFileExA(c.from, c.to, c.flags) != 0, c.error == 0);
    if (c.error) {
      EXPECT_EQ(m.system().GetLastError(), c.error);
      EXPECT_TRUE(f.Exists(c.from));
    } else {
      EXPECT_FALSE(f.Exists(c.from));
    }
  }
  EXPECT_TRUE(f.Exists("C:\\Folder\\in.txt"));
  EXPECT_FALSE(f.Exists("D:\\Folder"));
  // The file arrived whole, with its attributes and last write time.
  EXPECT_EQ(Read(f, "D:\\taken.txt"), "content");
  EXPECT_EQ(f.GetFileAttributesA("D:\\taken.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  plat::FileFacts facts;
  ASSERT_TRUE(f.GetFileFacts("D:\\taken.txt", &facts));
  EXPECT_EQ(facts.lastWrite, written);
}

TEST(SimFileMoves, WindowsRulesWineDoesNotShow) {
  sim::SimMachine m;
  auto& f = m.files();
  auto error = [&](bool ok) { return ok ? 0 : m.system().GetLastError(); };
  ASSERT_TRUE(f.WriteFileBytes("C:\\plain.txt", "p"));
  ASSERT_TRUE(f.WriteFileBytes("C:\\hidden.txt", "h"));
  ASSERT_TRUE(f.SetFileAttributesA("C:\\hidden.txt", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(f.WriteFileBytes("C:\\system.txt", "s"));
  ASSERT_TRUE(f.SetFileAttributesA("C:\\system.txt", FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(f.WriteFileBytes("C:\\hidden2.txt", "h2"));
  ASSERT_TRUE(f.SetFileAttributesA("C:\\hidden2.txt", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(f.CreateDirectoryA("C:\\Folder"));
  ASSERT_TRUE(f.SetFileAttributesA("C:\\Folder", FILE_ATTRIBUTE_READONLY));

  struct Case {
    const char* what;
    DWORD got;
    DWORD expected;
  };
  const Case cases[] = {
      {"CREATE_ALWAYS over a system file", error(f.WriteFileBytes("C:\\system.txt", "x")), ERROR_ACCESS_DENIED},
      {"copy over a hidden file from a plain one",
       error(f.CopyFileA("C:\\plain.txt", "C:\\hidden.txt", FALSE) != 0), ERROR_ACCESS_DENIED},
      {"copy over a hidden file from a hidden one",
       error(f.CopyFileA("C:\\hidden2.txt", "C:\\hidden.txt", FALSE) != 0), 0},
      {"remove a read-only folder", error(f.RemoveDirectoryA("C:\\Folder") != 0), ERROR_ACCESS_DENIED},
      {"a folder replacing a file",
       error(f.MoveFileExA("C:\\Folder", "C:\\plain.txt", MOVEFILE_REPLACE_EXISTING) != 0),
       ERROR_ACCESS_DENIED},
      {"delete at the next start and copy", error(f.MoveFileExA("C:\\plain.txt", nullptr,
                                                                MOVEFILE_DELAY_UNTIL_REBOOT |
                                                                    MOVEFILE_COPY_ALLOWED) != 0),
       ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.got, c.expected);
  }
  EXPECT_EQ(Read(f, "C:\\hidden.txt"), "h2");
  EXPECT_EQ(Read(f, "C:\\plain.txt"), "p");
}

TEST(SimFileMoves, DelayedOperationsAreKeptAsWindowsKeepsThem) {
  sim::SimMachine m;
  auto& f = m.files();
  EXPECT_THAT(f.PendingFileOperations(), IsEmpty());
  ASSERT_TRUE(f.MoveFileExA("C:\\Windows\\old.dll", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(f.MoveFileExA("c:/Temp/../new.dll", "C:\\Windows\\new.dll",
                            MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  ASSERT_TRUE(f.MoveFileExA("C:\\a.txt", "C:\\b.txt", MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_THAT(f.PendingFileOperations(),
              ElementsAre(Pair("\\??\\C:\\Windows\\old.dll", ""),
                          Pair("\\??\\C:\\new.dll", "!\\??\\C:\\Windows\\new.dll"),
                          Pair("\\??\\C:\\a.txt", "\\??\\C:\\b.txt")));
  // In the registry, where the program and Windows read them.
  plat::RegKey key(m.registry());
  ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                     KEY_QUERY_VALUE),
            ERROR_SUCCESS);
  char data[512] = {};
  DWORD type = 0, size = sizeof data;
  ASSERT_EQ(m.registry().RegQueryValueExA(key.get(), "PendingFileRenameOperations", &type,
                                          reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  std::string expected = std::string("\\??\\C:\\Windows\\old.dll") + '\0' + '\0' +
                         "\\??\\C:\\new.dll" + '\0' + "!\\??\\C:\\Windows\\new.dll" + '\0' +
                         "\\??\\C:\\a.txt" + '\0' + "\\??\\C:\\b.txt" + '\0' + '\0';
  EXPECT_EQ(std::string(data, size), expected);
}

// ---------------------------------------------------------------------------------------
// Times, folders, relative paths

TEST(SimFileTimes, LocalTimeUsesTheMachinesTimeZone) {
  sim::SimMachine m;
  auto& f = m.files();
  struct Case {
    const char* what;
    uint64_t utc;
    long bias;
    plat::SystemTime expected;  // year, month, dayOfWeek, day, hour, minute, second, ms
  };
  const Case cases[] = {
      {"UTC", FileTimeOf(2015, 6, 1, 12, 34, 56, 789), 0, {2015, 6, 1, 1, 12, 34, 56, 789}},
      {"two hours east", FileTimeOf(2015, 6, 1, 12, 34, 56, 789), -120, {2015, 6, 1, 1, 14, 34, 56, 789}},
      {"back over a leap day", FileTimeOf(2016, 3, 1, 2, 0, 0, 0), 300, {2016, 2, 1, 29, 21, 0, 0, 0}},
      {"over a new year", FileTimeOf(1999, 12, 31, 23, 30, 0, 0), -60, {2000, 1, 6, 1, 0, 30, 0, 0}},
      {"the first day", 0, 0, {1601, 1, 1, 1, 0, 0, 0, 0}},
      {"half an hour", FileTimeOf(2020, 2, 29, 0, 0, 0, 0), -330, {2020, 2, 6, 29, 5, 30, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    f.SetTimeZoneBias(c.bias);
    plat::SystemTime t;
    ASSERT_TRUE(f.FileTimeToLocalSystemTime(c.utc, &t));
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds}),
              std::vector<int>({c.expected.year, c.expected.month, c.expected.dayOfWeek, c.expected.day,
                                c.expected.hour, c.expected.minute, c.expected.second,
                                c.expected.milliseconds}));
  }
  // Before 1601 in local time there is nothing to show.
  f.SetTimeZoneBias(-60);
  plat::SystemTime t;
  EXPECT_TRUE(f.FileTimeToLocalSystemTime(0, &t));
  f.SetTimeZoneBias(60);
  EXPECT_FALSE(f.FileTimeToLocalSystemTime(0, &t));
  EXPECT_EQ(m.system().GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(SimFileTimes, NewFilesAreStampedWithTheHostClock) {
  sim::SimMachine m;
  auto& f = m.files();
  auto now = [] {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<uint64_t>(ts.tv_sec + 11644473600ll) * 10000000ull + ts.tv_nsec / 100;
  };
  uint64_t before = now() - 20000000;  // host file systems may round down
  ASSERT_TRUE(f.WriteFileBytes("C:\\stamped.txt", "s"));
  uint64_t after = now() + 20000000;
  plat::FileFacts facts;
  ASSERT_TRUE(f.GetFileFacts("C:\\stamped.txt", &facts));
  for (uint64_t t : {facts.creation, facts.lastWrite}) {
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
  }
  // Writing again changes the write time only.
  const uint64_t old = FileTimeOf(2000, 1, 1, 0, 0, 0, 0);
  ASSERT_TRUE(f.SetFileTimes("C:\\stamped.txt", &old, &old, &old));
  ASSERT_TRUE(f.AppendFileBytes("C:\\stamped.txt", "+"));
  ASSERT_TRUE(f.GetFileFacts("C:\\stamped.txt", &facts));
  EXPECT_EQ(facts.creation, old);
  EXPECT_GE(facts.lastWrite, before);
}

TEST(SimSpecialFolders, FollowTheKindOfMachine) {
  struct Case {
    const char* what;
    bool windows64, process64;
    std::map<int, std::string> expected;
  };
  const Case cases[] = {
      {"64-bit Windows, 64-bit program", true, true,
       {{plat::kCsidlProgramFiles, "C:\\Program Files"},
        {plat::kCsidlProgramFilesX86, "C:\\Program Files (x86)"},
        {plat::kCsidlSystem, "C:\\Windows\\system32"},
        {plat::kCsidlSystemX86, "C:\\Windows\\SysWOW64"}}},
      {"64-bit Windows, 32-bit program", true, false,
       {{plat::kCsidlProgramFiles, "C:\\Program Files (x86)"},
        {plat::kCsidlProgramFilesX86, "C:\\Program Files (x86)"},
        {plat::kCsidlSystem, "C:\\Windows\\system32"},
        {plat::kCsidlSystemX86, "C:\\Windows\\SysWOW64"}}},
      {"32-bit Windows", false, false,
       {{plat::kCsidlProgramFiles, "C:\\Program Files"},
        {plat::kCsidlProgramFilesX86, "C:\\Program Files"},
        {plat::kCsidlSystemX86, "C:\\Windows\\system32"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::SimMachine m(Config(c.windows64, c.process64));
    for (const auto& [csidl, path] : c.expected) {
      char out[MAX_PATH] = {};
      EXPECT_TRUE(m.files().SHGetSpecialFolderPathA(csidl, out)) << csidl;
      EXPECT_EQ(std::string(out), path) << csidl;
    }
    char out[MAX_PATH] = {};
    ASSERT_TRUE(m.files().SHGetSpecialFolderPathA(plat::kCsidlStartup, out));
    EXPECT_EQ(std::string(out),
              "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");
  }
  // A folder named anew must exist to be given.
  sim::SimMachine m;
  char out[MAX_PATH] = {};
  m.files().SetSpecialFolder(plat::kCsidlCookies, "D:\\Elsewhere\\Cookies");
  EXPECT_FALSE(m.files().SHGetSpecialFolderPathA(plat::kCsidlCookies, out));
  EXPECT_EQ(std::string(out), "");
  m.files().SetSpecialFolder(plat::kCsidlCookies, "C:\\Windows\\Cookies");
  ASSERT_TRUE(m.files().CreateDirectoryA("C:\\Windows\\Cookies"));
  EXPECT_TRUE(m.files().SHGetSpecialFolderPathA(plat::kCsidlCookies, out));
  EXPECT_EQ(std::string(out), "C:\\Windows\\Cookies");
}

TEST(SimFilePaths, RelativeNamesStartFromTheCurrentFolderAndOpenFileSearches) {
  sim::SimMachine m;
  auto& f = m.files();
  ASSERT_TRUE(f.WriteFileText("C:\\Program Files\\Tallowick\\here.txt", "here"));
  ASSERT_TRUE(f.WriteFileText("C:\\Windows\\only-in-windows.ini", "w"));
  ASSERT_TRUE(f.WriteFileText("C:\\Windows\\system32\\only-in-system.dll", "s"));
  ASSERT_TRUE(f.WriteFileText("C:\\Tools\\on-the-path.exe", "p"));
  m.system().SetEnv("PATH", "C:\\Nowhere;C:\\Tools");

  // The program's folder is the current folder until it is changed.
  EXPECT_EQ(Read(f, "here.txt"), "here");
  EXPECT_EQ(Read(f, ".\\sub\\..\\here.txt"), "here");
  EXPECT_EQ(Read(f, "\\Program Files\\Tallowick\\here.txt"), "here");
  EXPECT_EQ(Read(f, "C:here.txt"), "here");
  // A relative name stays relative in its short form.
  EXPECT_EQ(ShortOf(f, "here.txt"), "here.txt");
  f.SetCurrentFolder("C:\\");
  EXPECT_EQ(ShortOf(f, "Program Files\\Tallowick"), "PROGRA~1\\TALLOW~1");
  EXPECT_FALSE(f.OpenForRead("here.txt"));

  // OpenFile looks for a bare name in the program's, the current, the System and the
  // Windows folder, then along the PATH; CreateFile only in the current folder.
  for (const char* name : {"here.txt", "only-in-windows.ini", "only-in-system.dll", "on-the-path.exe"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(f.OpenFileExists(name));
  }
  EXPECT_FALSE(f.OpenForRead("only-in-windows.ini"));
  EXPECT_FALSE(f.OpenFileExists("nowhere.txt"));
  EXPECT_EQ(m.system().GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
