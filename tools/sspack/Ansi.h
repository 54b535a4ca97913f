#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sspack {

// Package text is 8-bit ANSI. The builder reads and writes it as Windows-1252, the Western code
// page, so that manifests and listings can stay UTF-8 (which JSON requires).

// The Unicode character of one Windows-1252 byte; the five unassigned bytes map to the control
// characters of the same number, as Windows does.
char32_t AnsiToCodePoint(unsigned char c);

std::string AnsiToUtf8(std::string_view ansi);

// Nothing when the text is not valid UTF-8 or holds a character Windows-1252 cannot carry.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

// Appends one character as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace sspack
