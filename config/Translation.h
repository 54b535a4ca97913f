#pragma once

#include <string>

namespace config {

// The process-wide translation table of the user interface: pairs of designed caption and its
// translation, in the order the package's text gives them. Lines without "=" name the section of
// the lines that follow; only pairs of the section asked for are taken (all of them when the
// section asked for is empty).
void BuildTranslationTable(const std::string& text, const std::string& section);

// The translation of a caption; the caption itself when no table exists or it has no entry. Line
// breaks are written "#13" in the table.
std::string Translate(const std::string& text);

void FreeTranslationTable();

}  // namespace config
