#pragma once

// Shared by the fuzz targets: the simulated machine's temporary folder in a folder of this
// process's own, and the input written to a file there (the reader works on files).

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The folder pieces are taken out to; emptied before each input.
const std::string& PieceFolder();

// Writes the input to this process's input file and returns its path.
std::string WriteInput(const std::uint8_t* data, std::size_t size);

// Removes the files earlier inputs left in the piece folder.
void ClearPieces();

}  // namespace fuzz
