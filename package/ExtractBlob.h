#pragma once

#include <cstdint>
#include <string>

namespace pkg {

// Copies one piece of the package into a file of its own. Stored pieces are copied in chunks of
// 512 KiB; compressed pieces are one zlib stream of storedSize bytes that inflates to at most size
// bytes. Returns false on any error, after removing the partial target so that no stale or short
// file is mistaken for the piece. The source is opened so that others may still read it.
bool ExtractBlob(const std::string& source, const std::string& target, bool compressed, std::int64_t size,
                 std::int64_t storedSize, std::int64_t offset);

}  // namespace pkg
