#pragma once

#include "gfx/Bitmap32.h"
#include "package/PackageFormat.h"
#include "platform/Text.h"

namespace show {

// The caption's font: the item's font name, or "Verdana" when it has none; its size, colour and
// style bits (1 underline, 2 bold, 4 italic, 8 strike-out).
plat::Font CaptionFont(const pkg::ItemRecord& item);

// Where the caption's text block goes on a frame of that size, by the item's position code and
// offsets.
gfx::IntRect CaptionBlock(const pkg::ItemRecord& item, gfx::IntSize frame);

// Draws the item's caption: nothing for an empty text. Unless the item says no box, the block
// enlarged by 5 pixels on every side is filled with the box colour first. Split into lines, each
// line is drawn anti-aliased from the block's left edge, one "A" height below the one before;
// otherwise the block is drawn with plain text output. A shadow is the text in opaque black one
// pixel right and down, under the text.
void DrawCaption(const pkg::ItemRecord& item, gfx::TBitmap32& frame);

}  // namespace show
