#include "tests/win32/flash_control/ControlLog.h"

#include <windows.h>

#include <cstdio>

namespace test_control {

namespace {

std::string Environment(const char* name) {
    char value[1024];
    const DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

}  // namespace

void Log(const std::string& text) {
    const std::string file = Environment("FLASH_CONTROL_LOG");
    if (file.empty()) {
        return;
    }
    // Opened for each line, so that the log is whole even when the process is ended.
    if (std::FILE* f = std::fopen(file.c_str(), "a")) {
        std::fprintf(f, "%10lu %s\n", static_cast<unsigned long>(::GetTickCount()), text.c_str());
        std::fclose(f);
    }
}

std::string Fault() { return Environment("FLASH_CONTROL_FAULT"); }

}  // namespace test_control
