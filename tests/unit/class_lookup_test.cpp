// Class ids to their servers, and the trace header.
#include <string>

#include "diag/testlog.h"
#include "diag/trace_header.h"
#include "platform/class_lookup.h"
#include "tests/contract/contract_support.h"
#include "tests/unit/sim_fixture.h"

namespace {

class ClassLookup : public testing_support::SimTest {
 protected:
  int Lookup(const std::string& clsid) { return lookup::GetInprocServerPath(&dll_, clsid, &name_); }
  std::string dll_, name_;
};

const char* const kClasses =
    "REGEDIT4\n\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{AAAAAAAA-0000-0000-0000-000000000001}]\n@=\"Tray Hook\"\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{AAAAAAAA-0000-0000-0000-000000000001}\\InprocServer32]\n"
    "@=\"C:\\\\PROGRA~1\\\\Vendor\\\\hook.dll\"\n"
    "[HKEY_CLASSES_ROOT\\CLSID\\{AAAAAAAA-0000-0000-0000-000000000002}]\n@=\"No Server\"\n"
    "[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{AAAAAAAA-0000-0000-0000-000000000003}]\n@=\"Old Hook\"\n"
    "[HKEY_CLASSES_ROOT\\Wow6432Node\\CLSID\\{AAAAAAAA-0000-0000-0000-000000000003}\\InprocServer32]\n"
    "@=\"C:\\\\Windows\\\\SysWOW64\\\\old.dll\"\n";

TEST_F(ClassLookup, ServersOfClassIds) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Vendor\\hook.dll", "MZ"));
  Seed(kClasses);
  reg::Set64BitFlag(false);
  EXPECT_EQ(Lookup("{AAAAAAAA-0000-0000-0000-000000000001}"), 1);
  EXPECT_EQ(dll_, "C:\\Program Files\\Vendor\\hook.dll");  // the long form
  EXPECT_EQ(name_, "Tray Hook");
  EXPECT_EQ(Lookup("AAAAAAAA-0000-0000-0000-000000000001"), 1);  // braces added
  EXPECT_EQ(Lookup("{AAAAAAAA-0000-0000-0000-000000000002}"), 0);
  EXPECT_EQ(dll_, "");
  // Only registered for 32-bit programs: found with the 64-bit flag alone.
  EXPECT_EQ(Lookup("{AAAAAAAA-0000-0000-0000-000000000003}"), 0);
  EXPECT_EQ(name_, "");
  reg::Set64BitFlag(true);
  EXPECT_EQ(Lookup("{AAAAAAAA-0000-0000-0000-000000000003}"), 1);
  EXPECT_EQ(dll_, "C:\\Windows\\SysWOW64\\old.dll");
  EXPECT_EQ(name_, "Old Hook");
  EXPECT_EQ(reg::ReadMask(), static_cast<REGSAM>(KEY_READ));  // the view is switched back
  EXPECT_EQ(Lookup("{AAAAAAAA-0000-0000-0000-00000000000F}"), 0);
}

TEST_F(ClassLookup, AppPathsNeedAnExistingFile) {
  ASSERT_TRUE(machine_.files().WriteFileText("C:\\Program Files\\Editor\\edit.exe", "MZ"));
  Seed("REGEDIT4\n\n"
       "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\edit.exe]\n"
       "@=\"\\\"C:\\\\Program Files\\\\Editor\\\\edit.exe\\\"\"\n\"Path\"=\"C:\\\\Program Files\\\\Editor\"\n"
       "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe]\n"
       "@=\"C:\\\\Gone\\\\gone.exe\"\n");
  std::string path, version;
  EXPECT_EQ(lookup::GetAppPath(&path, "edit.exe", &version), 1);
  EXPECT_EQ(path, "C:\\Program Files\\Editor");
  EXPECT_EQ(version, "");  // the fixture file has no version resource
  EXPECT_EQ(lookup::GetAppPath(&path, "gone.exe", &version), 0);
  EXPECT_EQ(path, "");
  EXPECT_EQ(lookup::GetAppPath(&path, "unknown.exe", &version), 0);
  EXPECT_EQ(lookup::GetAppPath(&path, std::string(260, 'x'), &version), 0);
}

TEST_F(ClassLookup, TraceHeader) {
  const std::string trace = "C:\\Windows\\Temp\\trace.txt";
  diag::SetTraceFile(trace);
  diag::SetTraceCounter(0);
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
       "\"Agent\"=\"C:\\\\Apps\\\\agent.exe -tray\"\n");
  sim::SimProcess p;
  p.mainModule = "C:\\Apps\\agent.exe";
  machine_.processes().Add(p);
  diag::InitializeTestLog();
  auto lines = contract::TraceLines(trace);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_TRUE(contract::TraceHas(lines, "agent.exe", "C:\\Apps\\agent.exe"));
  EXPECT_TRUE(contract::TraceHas(lines, "Agent", "C:\\Apps\\agent.exe -tray"));
  EXPECT_TRUE(contract::TraceHas(lines, "Init TestLog", "(x64)"));
  EXPECT_TRUE(contract::TraceHas(lines, "Testing:", "12/10/2026 10:00 AM"));
  EXPECT_TRUE(contract::TraceHas(lines, "Windows Version", "Windows 7 SP1"));
  EXPECT_TRUE(contract::TraceHas(lines, "---------------    Debug Info ", "  ------------------"));
}

}  // namespace

#include <filesystem>

namespace {

class ProductVersion : public testing_support::SimTest {
 protected:
  void Place(const char* fixture, const char* name) {
    std::string target = std::string("C:\\Program Files\\Tallowick\\") + name;
    ASSERT_TRUE(machine_.files().WriteFileText(target, ""));
    std::filesystem::copy_file(std::string(TW_PROGRAM_FIXTURE_DIR) + "/" + fixture,
                               machine_.HostPath(target),
                               std::filesystem::copy_options::overwrite_existing);
  }
  std::string Text(int mode) {
    std::string out = "untouched";
    lookup::GetProductVersionText(mode, &out);
    return out;
  }
};

TEST_F(ProductVersion, ModesOfTheVersionText) {
  EXPECT_EQ(Text(0), "untouched");  // neither program has a version
  EXPECT_EQ(Text(3), "untouched");
  Place("ver_single.exe", "TallowickEx.exe");
  EXPECT_EQ(Text(2), "5.6.7.8");
  EXPECT_EQ(Text(0), "5.6.7.8");
  EXPECT_EQ(Text(3), "Tallowick Explorer v5.6.7.8");
  EXPECT_EQ(Text(7), "untouched");
  Place("ver_single.exe", "Tallowick.exe");
  EXPECT_EQ(Text(0), "5.6.7.8:5.6.7.8");
  EXPECT_EQ(Text(3), "Tallowick v5.6.7.8 - Tallowick Explorer v5.6.7.8");
}

}  // namespace
