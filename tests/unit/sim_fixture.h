// A fresh simulated machine and a fresh process state for every test case.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/process_state.h"
#include "platform/registry_access.h"
#include "platform/sim/sim_machine.h"

namespace testing_support {

class SimTest : public ::testing::Test {
 protected:
  explicit SimTest(sim::MachineConfig config = {}) : machine_(config) {}
  void SetUp() override {
    machine_.Install();
    app::ResetProcessState();
  }
  void TearDown() override {
    app::ResetProcessState();
    plat::Install(nullptr);
  }

  // Text and DWORD values as the registry holds them, read past the program's own layer.
  std::string RegText(HKEY root, const std::string& path, const char* name, REGSAM view = 0) {
    plat::RegKey key(machine_.registry());
    if (key.Open(root, path.c_str(), KEY_READ | view) != ERROR_SUCCESS) return "<no key>";
    char buf[2048] = {};
    DWORD size = sizeof buf - 1, type = 0;
    if (machine_.registry().RegQueryValueExA(key.get(), name, &type,
                                             reinterpret_cast<BYTE*>(buf), &size) !=
        ERROR_SUCCESS)
      return "<no value>";
    if (type == REG_DWORD) return "dword:" + std::to_string(*reinterpret_cast<DWORD*>(buf));
    return buf;
  }
  bool KeyExists(HKEY root, const std::string& path) {
    plat::RegKey key(machine_.registry());
    return key.Open(root, path.c_str(), KEY_READ) == ERROR_SUCCESS;
  }
  void Seed(const std::string& regText) {
    std::string error;
    ASSERT_TRUE(machine_.registry().LoadRegText(regText, "seed.reg", &error)) << error;
  }

  sim::SimMachine machine_;
};

}  // namespace testing_support
