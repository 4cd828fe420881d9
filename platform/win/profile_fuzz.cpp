// Fuzzes the profile reader (and writer) on arbitrary file contents: reads a
// few names and the name lists, then writes a key and checks that it reads
// back.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/win/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory where possible: every write syncs the file.
    static const std::string path = [] {
        static std::string p = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                               "/tarnwick-profile-fuzz-" + std::to_string(::getpid()) + ".ini";
        std::atexit([] { std::remove(p.c_str()); });
        return p;
    }();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    char buffer[256];
    for (const char* section : {"S", "Watch", " s ", ""}) {
        for (const char* key : {"k", "MaxClose", ""}) {
            win::GetPrivateProfileStringA(section, key, "NotFound", buffer, sizeof buffer, path.c_str());
        }
        win::GetPrivateProfileStringA(section, nullptr, "", buffer, sizeof buffer, path.c_str());
    }
    win::GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 7, path.c_str());

    if (!win::WritePrivateProfileStringA("Fuzz", "Key", "-1", path.c_str())) __builtin_trap();
    const auto n = win::GetPrivateProfileStringA("Fuzz", "Key", "NotFound", buffer, sizeof buffer,
                                                 path.c_str());
    if (n != 2 || std::strcmp(buffer, "-1") != 0) __builtin_trap();
    return 0;
}
