// The saver's name in the runtime's string resource: patched in place in the real runtime, read
// back with the same parser, and left alone in anything that is not a PE image with that field.

#include <filesystem>

#include "package/PackageReader.h"
#include "tests/unit/SspackFixture.h"
#include "tools/sspack/NameResource.h"

namespace {

using namespace sspack_test;
using testing_support::ReadBytes;

class SspackNameResource : public SspackTest {
protected:
    // The cross build's runtime, when it has been built.
    Bytes Runtime() {
        if (!std::filesystem::exists(SAVER_WIN32_RUNTIME)) {
            return {};
        }
        return ReadBytes(SAVER_WIN32_RUNTIME);
    }
};

TEST_F(SspackNameResource, TheRealRuntimeGetsTheSaverName) {
    const Bytes runtime = Runtime();
    if (runtime.empty()) {
        GTEST_SKIP() << SAVER_WIN32_RUNTIME << " is not built";
    }
    ASSERT_EQ(sspack::ReadNameResource(runtime), "Screen Saver                  ");
    const auto field = sspack::FindNameField(runtime);
    ASSERT_TRUE(field.has_value());
    Put("a.jpg", Pattern(10, 1));

    const struct {
        const char* name;
        const char* field;
    } cases[] = {
        {"Caf\xC3\xA9 Saver", "Caf\xC3\xA9 Saver                    "},  // é through Windows-1252
        {"A name much longer than thirty characters", "A name much longer than thirty"},
        {"", "                              "},
    };
    for (const auto& c : cases) {
        const Json manifest = {{"strings", {{"SaverName", c.name}}}, {"items", {{{"file", "a.jpg"}}}}};
        const Bytes built = ReadBytes(Build(manifest, runtime));
        const Bytes prefix(built.begin(), built.begin() + static_cast<std::ptrdiff_t>(runtime.size()));
        EXPECT_EQ(sspack::ReadNameResource(prefix), c.field);
        // Nothing but the 60 bytes of the field changes, and the package starts where the runtime ends.
        for (std::size_t i = 0; i < runtime.size(); ++i) {
            if (i < *field || i >= *field + 60) {
                ASSERT_EQ(prefix[i], runtime[i]) << "byte " << i;
            }
        }
        EXPECT_EQ(pkg::PackageStart(pkg::ReadPackage(Path("built.scr")).header),
                  static_cast<std::int64_t>(runtime.size()));
    }

    sspack::BuildOptions keep;
    keep.patchNameResource = false;
    const auto result = sspack::BuildPackageFile(
        Parse({{"strings", {{"SaverName", "Other"}}}}), runtime, Path("kept.scr"), keep);
    EXPECT_FALSE(result.namePatched);
    EXPECT_EQ(sspack::ReadNameResource(ReadBytes(Path("kept.scr"))), "Screen Saver                  ");
}

TEST_F(SspackNameResource, AnythingElseIsLeftUntouched) {
    const Bytes notPe = Pattern(4000, 5);
    Bytes copy = notPe;
    EXPECT_FALSE(sspack::PatchNameResource(copy, "Name"));
    EXPECT_EQ(copy, notPe);
    const auto result = sspack::BuildPackageFile(Parse({{"strings", {{"SaverName", "N"}}}}), notPe, Path("x.scr"));
    EXPECT_FALSE(result.namePatched);

    // A runtime cut anywhere must not lead the parser outside the bytes it has.
    const Bytes runtime = Runtime();
    for (std::size_t n = 0; n < runtime.size(); n += 997) {
        Bytes cut(runtime.begin(), runtime.begin() + static_cast<std::ptrdiff_t>(n));
        const auto field = sspack::FindNameField(cut);
        if (field) {
            EXPECT_LE(*field + 60, n);
        }
    }
}

}  // namespace
