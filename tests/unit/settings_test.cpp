// Options and language strings.
#include <string>

#include "diag/testlog.h"
#include "settings/language.h"
#include "settings/options.h"
#include "tests/unit/sim_fixture.h"

namespace {

using settings::Opt;
constexpr const char* kOptions = "HKEY_CURRENT_USER\\Software\\Orvendel Studios\\Tallowick\\Options";

class Settings : public testing_support::SimTest {};

TEST_F(Settings, LoadOptionsReadsTextWithDefaults) {
  Seed(std::string("REGEDIT4\n\n[") + kOptions +
       "]\n\"Start\"=\"abc\"\n\"ToolTips\"=\"2\"\n\"Sound\"=\"\"\n\"HOSTFILE\"=\"9\"\n"
       "\"Services\"=dword:00000005\n\"TestLog\"=\"9989\"\n\"History\"=\"-3x\"\n");
  settings::LoadOptions();
  EXPECT_EQ(settings::Get(Opt::Start), 0);        // not a number
  EXPECT_EQ(settings::Get(Opt::ToolTips), 2);
  EXPECT_EQ(settings::Get(Opt::Sound), 1);        // empty: default
  EXPECT_EQ(settings::Get(Opt::Tasks), 11);       // missing: default
  EXPECT_EQ(settings::Get(Opt::HostFile), 9);     // names ignore case
  EXPECT_EQ(settings::Get(Opt::Services), 7);     // a DWORD reads as no text
  EXPECT_EQ(settings::Get(Opt::MaxCookie), 8092);
  EXPECT_EQ(settings::Get(Opt::History), -3);
  EXPECT_EQ(diag::TraceCounter(), 9989);  // the trace counter follows TestLog
  EXPECT_EQ(reg::WriteMask(), static_cast<REGSAM>(KEY_ALL_ACCESS));
}

TEST_F(Settings, EveryWriteIsMarkedForTheMonitor) {
  const std::string key = "Software\\Orvendel Studios\\Tallowick\\Options";
  settings::SetOption("Browser", -4);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, key, "Browser"), "-4");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, key, "Update"), "1");
  EXPECT_EQ(settings::GetOption("Browser", 1), -4);
  EXPECT_EQ(settings::GetOption("NoSuchOption", 77), 77);
}

TEST_F(Settings, SaveOptionsWritesTheFirstTableOnly) {
  settings::ResetOptions();
  settings::Value(Opt::Start) = 0;
  settings::Value(Opt::MaxCookie) = 5;
  settings::SaveOptions();
  const std::string key = "Software\\Orvendel Studios\\Tallowick\\Options";
  for (int i = 0; i < static_cast<int>(Opt::Count); ++i) {
    const auto& def = settings::Def(static_cast<Opt>(i));
    std::string stored = RegText(HKEY_CURRENT_USER, key, def.name);
    if (def.saved)
      EXPECT_EQ(stored, std::to_string(settings::Value(static_cast<Opt>(i)))) << def.name;
    else
      EXPECT_EQ(stored, "<no value>") << def.name;
  }
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, key, "Start"), "0");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, key, "Update"), "1");
}

TEST_F(Settings, StoredTranslationsOverrideOnlyOtherLanguages) {
  Seed("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvendel Studios\\Tallowick]\n"
       "\"LString606\"=\"Autostart\"\n\"LString31\"=\"one%ntwo%n\"\n\"LString7\"=\"\"\n");
  settings::SetLanguageId(settings::kLangEnglish);
  EXPECT_EQ(settings::LangString(606), " Startup Programs ");
  settings::SetLanguageId(7);
  EXPECT_EQ(settings::LangString(606), "Autostart");
  EXPECT_EQ(settings::LangString(31), "one\ntwo\n");
  // Cut to the buffer.
  char small[5];
  EXPECT_EQ(settings::LoadLanguageString(606, 5, small), 4);
  EXPECT_STREQ(small, "Auto");
  // An empty translation falls back to the table; an unknown number gives nothing.
  EXPECT_EQ(settings::LangString(9), "TallowickEx");
  EXPECT_EQ(settings::LangString(64999), "");
  // Before the language is known (id 0) translations count too.
  settings::SetLanguageId(0);
  EXPECT_EQ(settings::LangString(606), "Autostart");
}

TEST_F(Settings, LanguageCodesGiveTheirIds) {
  struct Case {
    const char* code;
    WORD id;
  } cases[] = {{"us", 9},  {"de", 7},  {"fr", 12}, {"br", 22}, {"no", 20},
               {"\xEA\xE0\xEA", 1}, {"cn", 4}, {"xx", 0}, {"deus", 9}, {"frde", 12}};
  for (const auto& c : cases) EXPECT_EQ(settings::LanguageIdFromCode(c.code), c.id) << c.code;
}

}  // namespace
