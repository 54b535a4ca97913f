#pragma once

// Fixture savers for the builder's tests: small generated files in the test's own folder, a
// manifest as JSON, and the builder's C++ entry points.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/SimFixture.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/PackageWriter.h"

namespace sspack_test {

using Bytes = std::vector<std::uint8_t>;
using Json = sspack::Json;

// Bytes that differ from every other seed's, so that a piece taken from the wrong place shows.
inline Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(x >> 16);
    }
    return b;
}

// Compressible bytes, so that the zlib stream is shorter than the piece.
inline Bytes Text(std::size_t n, char seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(seed + static_cast<char>(i % 7));
    }
    return b;
}

class SspackTest : public testing_support::SimTest {
protected:
    std::string Path(const std::string& name) { return Dir().File(name); }

    void Put(const std::string& name, const Bytes& bytes) { testing_support::WriteBytes(Path(name), bytes); }

    sspack::Manifest Parse(const Json& manifest) { return sspack::ParseManifest(manifest, Dir().Path()); }

    // Builds a saver from the manifest and returns its path.
    std::string Build(const Json& manifest, const Bytes& runtime, const std::string& name = "built.scr") {
        sspack::BuildPackageFile(Parse(manifest), runtime, Path(name));
        return Path(name);
    }
};

}  // namespace sspack_test
