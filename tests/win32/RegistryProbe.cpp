// Writes and reads string values of the current user's hive through the program's own registry
// code, for the end-to-end tests; values are given and printed as hexadecimal bytes:
//   registry_probe write KEY NAME HEX   stores the bytes as a string value
//   registry_probe read KEY NAME        prints the stored string's bytes, or "error"

#include <cstdio>
#include <string>

#include "platform/Registry.h"

namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return 2;
    }
    const std::string command = argv[1];
    try {
        if (command == "write" && argc == 5) {
            const auto key = plat::RegistryKey::Open(argv[2], true);
            if (!key) {
                return 1;
            }
            key->WriteString(argv[3], FromHex(argv[4]));
            return 0;
        }
        if (command == "read" && argc == 4) {
            const auto key = plat::RegistryKey::Open(argv[2], false);
            if (!key) {
                std::printf("error\n");
                return 0;
            }
            for (const char c : key->ReadString(argv[3])) {
                std::printf("%02X", static_cast<unsigned char>(c));
            }
            std::printf("\n");
            return 0;
        }
    } catch (const plat::RegistryError&) {
        std::printf("error\n");
        return 0;
    }
    return 2;
}
