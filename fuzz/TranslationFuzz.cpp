// Any text as the translation table, any section asked for: building it and translating its own
// keys, values and other captions never fails, and a caption that occurs nowhere in the text is
// its own translation.

#include <algorithm>
#include <cstdint>
#include <string>

#include "config/Translation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The section asked for comes first, up to a zero byte; the table is the rest.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string section = cut == std::string::npos ? std::string() : input.substr(0, cut);
    const std::string text = cut == std::string::npos ? input : input.substr(cut + 1);
    config::BuildTranslationTable(text, section);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        const std::size_t equals = line.find('=');
        config::Translate(line.substr(0, equals));
        if (equals != std::string::npos) {
            config::Translate(line.substr(equals + 1));
        }
        start = end + 1;
    }
    const std::string stranger = "\x01" "caption nowhere in the table";
    if (text.find(stranger.substr(1)) == std::string::npos && config::Translate(stranger) != stranger) {
        __builtin_trap();
    }
    config::FreeTranslationTable();
    return 0;
}
