// sspack: builds a screen saver from a runtime and a manifest, lists what a built saver carries,
// and checks that its package reads and every piece comes out whole.
//
// Exit codes: 0 success; 1 a failure (a package that does not check, a file that cannot be read
// or written); 2 a bad manifest or command line.

#include <iostream>

#include <CLI/CLI.hpp>

#include "package/PackageReader.h"
#include "tools/sspack/Checker.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/Listing.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/PackageWriter.h"

namespace {

constexpr int kFailure = 1;
constexpr int kBadInput = 2;

struct BuildArgs {
    std::string manifest;
    std::string runtime;
    std::string output;
    bool nameResource = false;
    bool noNameResource = false;
};

int Build(const BuildArgs& args) {
    sspack::Manifest manifest;
    try {
        manifest = sspack::LoadManifest(args.manifest);
    } catch (const sspack::ManifestError& e) {
        std::cerr << "sspack: " << e.what() << "\n";
        return kBadInput;
    }
    try {
        const auto runtime = sspack::ReadFileBytes(args.runtime);
        sspack::BuildOptions options;
        options.patchNameResource = !args.noNameResource;
        const auto result = sspack::BuildPackageFile(manifest, runtime, args.output, options);
        // Only someone who asked for the name patch is told that it could not be done.
        if (args.nameResource && !result.namePatched) {
            std::cerr << "sspack: " << args.runtime
                      << " has no 30-character name resource (string 1, language neutral); left unchanged\n";
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "sspack: " << e.what() << "\n";
        return kFailure;
    }
}

int List(const std::string& file, bool json) {
    try {
        const auto listing = sspack::ListPackage(file);
        if (json) {
            std::cout << listing.dump(2) << "\n";
        } else {
            std::cout << sspack::FormatListing(listing);
        }
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "sspack: " << file << ": " << e.what() << "\n";
        return kFailure;
    }
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

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Builds, lists and checks screen savers."};
    app.require_subcommand(1);

    BuildArgs build;
    auto* buildCommand = app.add_subcommand("build", "Append the package a manifest describes to a runtime copy.");
    buildCommand->add_option("MANIFEST", build.manifest, "the manifest (JSON)")->required();
    buildCommand->add_option("--runtime", build.runtime, "the runtime to copy (saver.scr)")->required();
    buildCommand->add_option("-o,--output", build.output, "the saver to write")->required();
    auto* on = buildCommand->add_flag("--name-resource", build.nameResource,
                                      "write the saver's name into the runtime's name resource (the default)");
    buildCommand->add_flag("--no-name-resource", build.noNameResource, "leave the name resource as it is")
        ->excludes(on);

    std::string listFile;
    bool listJson = false;
    auto* listCommand = app.add_subcommand("list", "Print what a built saver carries.");
    listCommand->add_option("FILE", listFile, "the built saver")->required();
    listCommand->add_flag("--json", listJson, "print JSON, with full strings");

    std::string checkFile;
    auto* checkCommand =
        app.add_subcommand("check", "Check that a built saver's package reads and its pieces extract.");
    checkCommand->add_option("FILE", checkFile, "the built saver")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : kBadInput;
    }
    if (buildCommand->parsed()) {
        return Build(build);
    }
    if (listCommand->parsed()) {
        return List(listFile, listJson);
    }
    return Check(checkFile);
}
