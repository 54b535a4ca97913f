// The package reader's speed: the tables of a 10,000-item package, and taking a 50 MB stored piece
// out against a plain copy of the same bytes measured in the same run.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "package/ExtractBlob.h"
#include "package/PackageReader.h"
#include "platform/Files.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/PackageWriter.h"

namespace fs = std::filesystem;

namespace {

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / "saver-bench-package";
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

void WriteFile(const fs::path& path, std::size_t size, char fill) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> chunk(1 << 20, fill);
    for (std::size_t left = size; left > 0;) {
        const std::size_t n = std::min(left, chunk.size());
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
}

std::string BuildSaver(const std::string& name, const sspack::Json& manifest) {
    const fs::path out = Folder() / name;
    if (!fs::exists(out)) {
        const std::vector<std::uint8_t> runtime(4096, 0x90);
        sspack::BuildPackageFile(sspack::ParseManifest(manifest, Folder().string()), runtime, out.string(),
                                 {false});
    }
    return out.string();
}

const std::string& TenThousandItems() {
    static const std::string saver = [] {
        WriteFile(Folder() / "tiny.jpg", 64, 'j');
        sspack::Json items = sspack::Json::array();
        for (int i = 0; i < 10000; ++i) {
            items.push_back({{"file", "tiny.jpg"}, {"caption", {{"text", "Item " + std::to_string(i)}}}});
        }
        return BuildSaver("items10000.scr", {{"strings", {{"SaverName", "Bench"}}}, {"items", items}});
    }();
    return saver;
}

struct Big {
    std::string saver;
    std::int64_t offset = 0;
    std::int64_t size = 0;
};

const Big& FiftyMegabytes() {
    static const Big big = [] {
        constexpr std::size_t kSize = 50u << 20;
        WriteFile(Folder() / "big.avi", kSize, 'v');
        Big b;
        b.saver = BuildSaver("big50.scr", {{"strings", {{"SaverName", "Bench"}}}, {"items", {{{"file", "big.avi"}}}}});
        const pkg::Package package = pkg::ReadPackage(b.saver);
        b.offset = pkg::PackageStart(package.header) + package.items[0].BlobOffset;
        b.size = package.items[0].BlobSize;
        return b;
    }();
    return big;
}

// The reference: the same bytes read and written in the same chunks by plain calls.
void PlainCopy(const std::string& source, const std::string& target, std::int64_t offset, std::int64_t size) {
    plat::File in = plat::File::OpenRead(source);
    plat::File out = plat::File::Create(target);
    in.Seek(offset);
    std::vector<std::uint8_t> chunk(0x80000);
    for (std::int64_t left = size; left > 0;) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size())));
        in.ReadExact(chunk.data(), n);
        out.Write(chunk.data(), n);
        left -= static_cast<std::int64_t>(n);
    }
}

double Seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_ReadTables10000Items(benchmark::State& state) {
    const std::string& saver = TenThousandItems();
    const auto tableBytes = static_cast<std::int64_t>(10000 * 840);
    double reader = 0;
    double plain = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { benchmark::DoNotOptimize(pkg::ReadPackage(saver)); });
        reader += once;
        state.SetIterationTime(once);
        plain += Seconds([&] {
            plat::File f = plat::File::OpenRead(saver);
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(tableBytes));
            f.Seek(4096);
            f.ReadExact(bytes.data(), bytes.size());
            benchmark::DoNotOptimize(bytes.data());
        });
    }
    state.counters["ratio_to_plain_read"] = reader / plain;
    state.SetBytesProcessed(state.iterations() * tableBytes);
}
// The time shown is the reader's alone; the reference runs in the same loop.
BENCHMARK(BM_ReadTables10000Items)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_ExtractBlob50MBStored(benchmark::State& state) {
    const Big& big = FiftyMegabytes();
    const std::string target = (Folder() / "SSIMG.AVI").string();
    const std::string copy = (Folder() / "copy.avi").string();
    double extract = 0;
    double plain = 0;
    for (auto _ : state) {
        const double once = Seconds([&] { pkg::ExtractBlob(big.saver, target, false, big.size, 0, big.offset); });
        extract += once;
        state.SetIterationTime(once);
        plain += Seconds([&] { PlainCopy(big.saver, copy, big.offset, big.size); });
    }
    state.counters["ratio_to_plain_copy"] = extract / plain;
    state.SetBytesProcessed(state.iterations() * big.size);
}
BENCHMARK(BM_ExtractBlob50MBStored)->Unit(benchmark::kMillisecond)->Iterations(10)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
