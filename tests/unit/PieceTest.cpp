// Taking single pieces out of a file: stored and zlib pieces, the limits that keep a broken piece
// from writing anything, the temporary folder rule and safe extensions.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "package/Extension.h"
#include "package/ExtractBlob.h"
#include "package/TempFolder.h"
#include "platform/Files.h"
#include "tests/support/SimFixture.h"

namespace {

using testing_support::ReadBytes;
using testing_support::SimTest;
using testing_support::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t n, std::uint8_t seed = 1) {
    Bytes b(n);
    std::uint32_t x = seed;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(x >> 16);
    }
    return b;
}

Bytes Deflate(const Bytes& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 6), Z_OK);
    out.resize(size);
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

class ExtractBlobTest : public SimTest {
protected:
    std::string source = Dir().File("source.bin");
    std::string target = Dir().File("SSIMG.JPG");
};

TEST_F(ExtractBlobTest, StoredAndCompressedPiecesGiveTheSameFile) {
    const Bytes piece = Pattern(0x80000 * 2 + 17);  // more than two copy chunks
    const Bytes stream = Deflate(piece);
    const Bytes file = Concat({Pattern(100, 9), piece, stream, Pattern(230, 3)});
    WriteBytes(source, file);

    ASSERT_TRUE(pkg::ExtractBlob(source, target, false, piece.size(), 0, 100));
    EXPECT_EQ(ReadBytes(target), piece);
    ASSERT_TRUE(pkg::ExtractBlob(source, target, true, piece.size(), stream.size(), 100 + piece.size()));
    EXPECT_EQ(ReadBytes(target), piece);
    ASSERT_TRUE(pkg::ExtractBlob(source, target, false, 0, 0, 5));
    EXPECT_TRUE(ReadBytes(target).empty());
}

TEST_F(ExtractBlobTest, ABrokenPieceLeavesNoFileBehind) {
    const Bytes piece = Pattern(5000);
    const Bytes stream = Deflate(piece);
    Bytes corrupt = stream;
    corrupt[corrupt.size() / 2] ^= 0xFF;
    const Bytes file = Concat({stream, corrupt, Pattern(300)});
    WriteBytes(source, file);
    const auto streamSize = static_cast<std::int64_t>(stream.size());
    struct Case {
        const char* what;
        bool compressed;
        std::int64_t size, stored, offset;
    };
    const Case cases[] = {
        {"truncated stream", true, 5000, streamSize - 10, 0},
        {"stream longer than declared", true, 4999, streamSize, 0},
        {"corrupt stream", true, 5000, streamSize, streamSize},
        {"stored piece past the end", false, 400, 0, static_cast<std::int64_t>(file.size()) - 399},
        {"negative offset", false, 10, 0, -1},
        {"negative size", false, -10, 0, 0},
        {"negative stored size", true, 5000, -1, 0},
        {"offset past a 32-bit file", false, 10, 0, std::int64_t{1} << 33},
    };
    for (const Case& c : cases) {
        WriteBytes(target, Bytes{1, 2, 3});  // a stale file from an earlier item
        EXPECT_FALSE(pkg::ExtractBlob(source, target, c.compressed, c.size, c.stored, c.offset)) << c.what;
        EXPECT_FALSE(plat::FileExists(target)) << c.what;
    }
    EXPECT_FALSE(pkg::ExtractBlob(Dir().File("missing.scr"), target, false, 1, 0, 0));
}

TEST_F(ExtractBlobTest, AShortStreamWritesWhatItInflatesTo) {
    const Bytes piece = Pattern(1000);
    const Bytes stream = Deflate(piece);
    WriteBytes(source, stream);
    ASSERT_TRUE(pkg::ExtractBlob(source, target, true, 5000, stream.size(), 0));
    EXPECT_EQ(ReadBytes(target), piece);
}

TEST(Extension, OnlyADotAndUpToSevenSafeCharacters) {
    for (const char* ok : {".JPG", ".jpeg", ".a", ".MPEG", ".abc_123"}) {
        EXPECT_TRUE(pkg::IsSafeExtension(ok)) << ok;
    }
    for (const char* bad : {"", ".", "JPG", ".abcdefgh", "..", "./x", ".\\x", ".a.b", ".a b", ".a:b", "..\\..\\x",
                            "/etc/passwd"}) {
        EXPECT_FALSE(pkg::IsSafeExtension(bad)) << bad;
    }
    EXPECT_FALSE(pkg::IsSafeExtension(std::string(".a\0b", 4)));
}

class TempFolderTest : public SimTest {};

TEST_F(TempFolderTest, TheTempFolderBesideHistoryOnTheSystemsThatHaveIt) {
    const std::string history = Dir().File("Local/History");
    const std::string sibling = Dir().File("Local/Temp");
    std::filesystem::create_directories(history);
    Machine().historyFolder = history;
    Machine().tempPath = Dir().File("fallback");  // without its separator

    Machine().version = {true, 5, 1};
    EXPECT_EQ(pkg::TempFolder(), Dir().File("fallback/")) << "no Temp folder beside History yet";
    std::filesystem::create_directories(sibling);
    for (const plat::SystemVersion v : {plat::SystemVersion{true, 5, 0}, {true, 5, 1}, {true, 6, 0}, {true, 6, 3}}) {
        Machine().version = v;
        EXPECT_EQ(pkg::TempFolder(), sibling + "/") << v.major << "." << v.minor;
    }
    for (const plat::SystemVersion v : {plat::SystemVersion{true, 5, 2}, {true, 10, 0}, {false, 4, 10}}) {
        Machine().version = v;
        EXPECT_EQ(pkg::TempFolder(), Dir().File("fallback/")) << v.major << "." << v.minor;
    }
    Machine().version = {true, 6, 1};
    Machine().historyFolder.reset();
    EXPECT_EQ(pkg::TempFolder(), Dir().File("fallback/"));
}

}  // namespace
