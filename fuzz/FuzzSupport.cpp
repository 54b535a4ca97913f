#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/Sim.h"

namespace fs = std::filesystem;

namespace fuzz {

namespace {

const std::string& Root() {
    static const std::string root = [] {
        const fs::path dir = fs::temp_directory_path() / ("saver-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(dir / "pieces");
        return dir.string();
    }();
    return root;
}

}  // namespace

const std::string& PieceFolder() {
    static const std::string folder = [] {
        const std::string f = Root() + "/pieces/";
        sim::M().tempPath = f;
        return f;
    }();
    return folder;
}

std::string WriteInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Root() + "/input.scr";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

void ClearPieces() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(PieceFolder(), ignored)) {
        fs::remove(entry.path(), ignored);
    }
}

}  // namespace fuzz
