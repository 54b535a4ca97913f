#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace maker {

// The window's title, and the caption of its messages.
inline constexpr char kTitle[] = "Screen Saver Maker";

// A file's name without its folder, and its extension upper-cased as the package takes it.
std::string FileName(const std::string& path);
std::string Ext(const std::string& path);

// A message box over the window, traced as every message of ours is.
void Say(const std::string& text, std::uint32_t icon);

// What refused files are told, one line each, as the package builder names them; `what` the
// screen saver could not do with them ("show", "play"). Nothing for no lines.
void SayRefused(const std::vector<std::string>& lines, const std::string& what);

}  // namespace maker
