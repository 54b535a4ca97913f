#include "tools/sspack/Suggest.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace sspack {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Letters to change, leave out or add to turn one name into the other, letter case aside.
std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t change = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({change, above + 1, row[j - 1] + 1});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string Quote(std::string_view name, bool quoted) {
    return quoted ? "\"" + std::string(name) + "\"" : std::string(name);
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<std::string_view> NearestName(std::string_view given, std::span<const std::string_view> known) {
    std::optional<std::string_view> best;
    std::size_t bestDistance = 0;
    for (const auto name : known) {
        const std::size_t d = Distance(given, name);
        if (!best || d < bestDistance) {
            best = name;
            bestDistance = d;
        }
    }
    // A third of the name may be wrong, and one letter of any name; names as short as "11" are
    // more likely another name than a typing error.
    if (given.size() < 3) {
        return best && bestDistance == 0 ? best : std::nullopt;
    }
    const std::size_t allowed = std::max<std::size_t>(1, given.size() / 3);
    return best && bestDistance <= allowed ? best : std::nullopt;
}

std::string SuggestionText(std::string_view given, std::span<const std::string_view> known, bool quoted) {
    if (const auto near = NearestName(given, known)) {
        return "; did you mean " + Quote(*near, quoted) + "?";
    }
    std::string list;
    for (const auto name : known) {
        list += (list.empty() ? "" : ", ") + Quote(name, quoted);
    }
    return " (known: " + list + ")";
}

}  // namespace sspack
