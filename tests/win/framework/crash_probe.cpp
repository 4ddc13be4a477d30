// A test program that crashes on purpose, after installing the crash handler
// as the programs do: "crash_probe access-violation" writes through a null
// pointer, "crash_probe throw" lets a C++ exception go uncaught. Built only
// for the tests.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "framework/crash_report.h"
#include "framework/program_log.h"

int main(int argc, char** argv) {
    kavuno::ui::SetLogName(L"crash_probe");
    kavuno::ui::InstallCrashHandler(L"crash_probe");
    if (argc > 1 && std::strcmp(argv[1], "access-violation") == 0) {
        volatile std::uintptr_t address = 0;  // not known to the compiler: a real fault, no trap instruction
        *reinterpret_cast<volatile int*>(address) = 1;
    } else if (argc > 1 && std::strcmp(argv[1], "throw") == 0) {
        throw std::runtime_error("thrown on purpose");
    }
    return 0;
}
