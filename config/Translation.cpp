#include "config/Translation.h"

#include <optional>
#include <utility>
#include <vector>

namespace config {

namespace {

using Table = std::vector<std::pair<std::string, std::string>>;
std::optional<Table> g_table;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

}  // namespace

void BuildTranslationTable(const std::string& text, const std::string& section) {
    Table table;
    std::string current;
    for (const std::string& line : SplitLines(text)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            // A blank line separates entries; it does not end the section they belong to.
            if (!line.empty()) {
                current = line;
            }
            continue;
        }
        if (section.empty() || section == current) {
            table.emplace_back(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    g_table = std::move(table);
}

std::string Translate(const std::string& text) {
    if (!g_table) {
        return text;
    }
    const std::string key = ReplaceAll(text, "\r\n", "#13");
    for (const auto& [k, v] : *g_table) {
        if (k == key) {
            return ReplaceAll(v, "#13", "\r\n");
        }
    }
    return text;
}

void FreeTranslationTable() { g_table.reset(); }

}  // namespace config
