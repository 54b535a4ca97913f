// sspack: builds a screen saver from a runtime and a manifest (or a folder of pictures), lists what
// a built saver carries, and checks that its package reads, every piece comes out whole and the
// screen saver would show or play each.
//
// Exit codes: 0 success; 1 a failure (a package that does not check, a file that cannot be read
// or written); 2 a bad manifest, a piece the screen saver would skip, or a bad command line.

#include <filesystem>
#include <iostream>

#include <CLI/CLI.hpp>

#include "package/PackageReader.h"
#include "tools/sspack/Checker.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/FolderManifest.h"
#include "tools/sspack/Listing.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/Overview.h"
#include "tools/sspack/PackageWriter.h"
#include "tools/sspack/ProgressLine.h"
#include "tools/sspack/RuntimeLocation.h"

namespace {

constexpr int kFailure = 1;
constexpr int kBadInput = 2;

struct BuildArgs {
    std::string manifest;
    sspack::FolderSaver folder;
    std::string runtime;
    std::string output;
    bool nameResource = false;
    bool noNameResource = false;
    bool allowSkipped = false;
    bool quiet = false;
};

// The manifest given, or the one made from the folder; files left out of a folder are named.
sspack::Manifest ReadManifest(const BuildArgs& args) {
    if (args.folder.pictures.empty()) {
        return sspack::LoadManifest(args.manifest);
    }
    auto made = sspack::FolderManifest(args.folder);
    for (const auto& file : made.leftOut) {
        if (!args.quiet) {
            std::cerr << "sspack: left out " << file << "\n";
        }
    }
    return std::move(made.manifest);
}

// The runtime given, or the first that exists where one is looked for.
std::optional<std::string> FindRuntime(const std::string& given) {
    if (!given.empty()) {
        return given;
    }
    const auto candidates = sspack::RuntimeCandidates();
    for (const auto& candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate;
        }
    }
    std::cerr << "sspack: no runtime to build on; looked for";
    for (const auto& candidate : candidates) {
        std::cerr << " " << candidate;
    }
    std::cerr << "\nsspack: give one with --runtime FILE (the cross build makes build/win32/bin/saver.scr)\n";
    return std::nullopt;
}

// Checks every piece on every core; on a terminal, unless asked to be quiet, with a line that counts
// the files checked.
std::vector<std::string> CheckPieces(const sspack::Manifest& manifest, bool quiet) {
    sspack::ProgressLine line(std::cout);
    sspack::CheckProgress progress;
    if (!quiet && sspack::OutputIsTerminal()) {
        progress = [&line](std::size_t done, std::size_t total) { line.Show(done, total); };
    }
    auto problems = sspack::ManifestProblems(manifest, sspack::CheckWorkers(), progress);
    line.End();
    return problems;
}

int Build(const BuildArgs& args) {
    sspack::Manifest manifest;
    try {
        manifest = ReadManifest(args);
    } catch (const sspack::ManifestError& e) {
        std::cerr << "sspack: " << e.what() << "\n";
        return kBadInput;
    }
    const auto problems = CheckPieces(manifest, args.quiet);
    // Built anyway, they are only notes.
    for (const auto& problem : problems) {
        if (!args.allowSkipped || !args.quiet) {
            std::cerr << "sspack: " << problem << "\n";
        }
    }
    if (!problems.empty() && !args.allowSkipped) {
        std::cerr << "sspack: nothing written: the screen saver would skip these; fix them, or build anyway with "
                     "--allow-skipped\n";
        return kBadInput;
    }
    const auto runtimePath = FindRuntime(args.runtime);
    if (!runtimePath) {
        return kBadInput;
    }
    try {
        const auto runtime = sspack::ReadFileBytes(*runtimePath);
        sspack::BuildOptions options;
        options.patchNameResource = !args.noNameResource;
        const auto result = sspack::BuildPackageFile(manifest, runtime, args.output, options);
        // Only someone who asked for the name patch is told that it could not be done.
        if (args.nameResource && !result.namePatched) {
            std::cerr << "sspack: " << *runtimePath
                      << " has no 30-character name resource (string 1, language neutral); left unchanged\n";
        }
        if (!args.quiet) {
            std::cout << sspack::SummaryLine(args.output, pkg::ReadPackage(args.output)) << "\n";
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "sspack: " << e.what() << "\n";
        return kFailure;
    }
}

enum class ListForm { Overview, All, Json };

int List(const std::string& file, ListForm form) {
    try {
        if (form == ListForm::Overview) {
            std::cout << sspack::FormatOverview(file, pkg::ReadPackage(file));
            return 0;
        }
        const auto listing = sspack::ListPackage(file);
        std::cout << (form == ListForm::Json ? listing.dump(2) + "\n" : sspack::FormatListing(listing));
        return 0;
    } catch (const pkg::NoPackageError&) {
        std::cerr << "sspack: " << file << ": " << sspack::kNoPackage << "\n";
    } catch (const std::exception& e) {
        std::cerr << "sspack: " << file << ": " << e.what() << "\n";
    }
    return kFailure;
}

int Check(const std::string& file) {
    try {
        const auto problems = sspack::CheckPackage(file);
        for (const auto& problem : problems) {
            std::cout << file << ": " << problem << "\n";
        }
        return problems.empty() ? 0 : kFailure;
    } catch (const std::exception& e) {
        std::cerr << "sspack: " << file << ": " << e.what() << "\n";
        return kFailure;
    }
}

void AddBuild(CLI::App& app, BuildArgs& build) {
    auto* command = app.add_subcommand("build", "Make a screen saver: a runtime copy with a package appended.");
    auto* manifest = command->add_option("MANIFEST", build.manifest, "the manifest (JSON; see docs/manifest.md)");
    auto* pictures =
        command->add_option("--pictures", build.folder.pictures,
                            "make it without a manifest: every picture and video of this folder, in name order");
    manifest->excludes(pictures);
    command->add_option("--music", build.folder.music, "with --pictures: music tracks, in this order")->needs(pictures);
    command->add_option("--name", build.folder.name, "with --pictures: the screen saver's name")->needs(pictures);
    command->add_option("--runtime", build.runtime,
                        "the runtime to copy; by default saver.scr beside sspack, or the cross build's");
    command->add_option("-o,--output", build.output, "the screen saver to write (NAME.scr)")->required();
    command->add_flag("--allow-skipped", build.allowSkipped,
                      "build even when the screen saver would skip a piece, or has no item to show");
    command->add_flag("-q,--quiet", build.quiet,
                      "print nothing on success: no progress, no summary, and no note of what is left out or built "
                      "anyway");
    auto* on = command->add_flag("--name-resource", build.nameResource,
                                 "write the saver's name into the runtime's name resource (the default)");
    command->add_flag("--no-name-resource", build.noNameResource, "leave the name resource as it is")->excludes(on);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Builds, lists and checks screen savers."};
    app.require_subcommand(1);

    BuildArgs build;
    AddBuild(app, build);

    std::string listFile;
    bool listAll = false;
    bool listJson = false;
    auto* listCommand = app.add_subcommand("list", "Print what a built saver carries.");
    listCommand->add_option("FILE", listFile, "the built saver")->required();
    auto* all = listCommand->add_flag("--all", listAll, "every field of the package, offsets included");
    listCommand->add_flag("--json", listJson, "every field as JSON, with full strings")->excludes(all);

    std::string checkFile;
    auto* checkCommand = app.add_subcommand(
        "check", "Check that a built saver's package reads and the screen saver would show or play every piece.");
    checkCommand->add_option("FILE", checkFile, "the built saver")->required();

    try {
        app.parse(argc, argv);
        auto* buildCommand = app.get_subcommand("build");
        if (buildCommand->parsed() && build.manifest.empty() == build.folder.pictures.empty()) {
            throw CLI::ValidationError("build", "give a MANIFEST or --pictures DIR");
        }
        if (buildCommand->parsed() && !build.folder.pictures.empty() && build.folder.name.empty()) {
            throw CLI::ValidationError("--pictures", "--name NAME is needed too");
        }
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kBadInput;
    }
    if (app.get_subcommand("build")->parsed()) {
        return Build(build);
    }
    if (listCommand->parsed()) {
        return List(listFile, listAll ? ListForm::All : listJson ? ListForm::Json : ListForm::Overview);
    }
    return Check(checkFile);
}
