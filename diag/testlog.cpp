#include "diag/testlog.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace diag {

namespace {
std::string g_traceFile;
int g_counter = kTraceOff;
std::string g_lastMessage;
}  // namespace

void SetTraceFile(const std::string& path) { g_traceFile = path; }
const std::string& TraceFile() { return g_traceFile; }
void SetTraceCounter(int value) { g_counter = value; }
int TraceCounter() { return g_counter; }
const std::string& LastTraceMessage() { return g_lastMessage; }

void ResetTraceState() {
  g_traceFile.clear();
  g_counter = kTraceOff;
  g_lastMessage.clear();
}

int TestLog(const char* message, const char* label) {
  if (g_counter > kLastTraceLine) return 0;
  const char* msg = message ? message : "";
  g_lastMessage.assign(msg, std::min<size_t>(std::strlen(msg), 256));
  int line = g_counter++;

  auto& sys = plat::Sys();
  char key[64];
  std::snprintf(key, sizeof key, "%lu.%d", static_cast<unsigned long>(sys.GetTickCount()), line);
  plat::SystemTime t = sys.GetLocalTime();
  char when[64];
  std::snprintf(when, sizeof when, "%04d-%02d-%02d  %02d:%02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.milliseconds);
  std::string value = std::string(when) + " - " + (label ? label : "") + ": " + msg;
  // A trace line must stay one line of the INI file.
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  if (!g_traceFile.empty())
    plat::Profile().WritePrivateProfileStringA("TestLog", key, value.c_str(), g_traceFile.c_str());
  return 1;
}

std::string LastErrorText(DWORD* number) {
  auto& sys = plat::Sys();
  DWORD code = sys.GetLastError();
  if (number) *number = code;
  char buf[512];
  std::snprintf(buf, sizeof buf, "%lu  %s", static_cast<unsigned long>(code),
                sys.ErrorText(code).c_str());
  return buf;
}

DWORD GetLastErrorText(char* out) {
  DWORD code = 0;
  std::string text = LastErrorText(&code);
  std::snprintf(out, 512, "%s", text.c_str());
  return code;
}

void LogLastError(const char* label) { TestLog(LastErrorText().c_str(), label); }

void LogError(DWORD code, const char* label) {
  plat::Sys().SetLastError(code);
  LogLastError(label);
}

}  // namespace diag
