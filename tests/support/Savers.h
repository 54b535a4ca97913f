#pragma once

// Fixture savers: small generated files in the test's own folder, a manifest as JSON, and the
// builder's C++ entry points. No test assembles package bytes by hand.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/SimFixture.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/PackageWriter.h"

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;
using Json = sspack::Json;

// Bytes that differ from every other seed's, so that a piece taken from the wrong place shows.
Bytes Pattern(std::size_t n, std::uint8_t seed);

// Compressible bytes, so that the zlib stream is shorter than the piece.
Bytes Text(std::size_t n, char seed);

// A 24-bit Windows bitmap of one colour.
Bytes SolidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Stands for the program in front of the package.
Bytes FakeRuntime();

class SaverTest : public SimTest {
protected:
    std::string Path(const std::string& name) { return Dir().File(name); }

    void Put(const std::string& name, const Bytes& bytes) { WriteBytes(Path(name), bytes); }

    sspack::Manifest Parse(const Json& manifest) { return sspack::ParseManifest(manifest, Dir().Path()); }

    // Builds a saver from the manifest and returns its path.
    std::string Build(const Json& manifest, const Bytes& runtime = FakeRuntime(),
                      const std::string& name = "built.scr") {
        sspack::BuildPackageFile(Parse(manifest), runtime, Path(name));
        return Path(name);
    }

    // Runs a program with the arguments (a shell's words) in the test's folder; its standard output
    // and error are kept for Out() and Err(). Returns its exit code, -1 when it did not exit.
    int Run(const std::string& program, const std::string& args);
    std::string Out();
    std::string Err();
    // The file in the test's folder, quoted for the shell.
    std::string Quoted(const std::string& name) { return "'" + Path(name) + "'"; }
};

}  // namespace testing_support
