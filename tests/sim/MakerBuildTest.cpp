// The maker's Build and Install on the simulated machine: the build runs on a worker with the
// builder's own checks and writer, so its saver is the bytes `sspack build` writes; its progress
// reaches the main thread; a refusal names the pieces as sspack does; a cancel, or the window
// closing mid-build, leaves no file behind. Install copies the saver where the shell would and
// makes it the user's screen saver.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageLoop.h"
#include "tests/support/Savers.h"
#include "tools/ssmaker/BuildJob.h"
#include "tools/ssmaker/Install.h"
#include "tools/sspack/CheckPool.h"
#include "tools/sspack/ContentCheck.h"
#include "tools/sspack/FileIo.h"
#include "tools/sspack/ManifestParser.h"
#include "tools/sspack/PackageWriter.h"

namespace {

using maker::BuildOutcome;
using testing_support::Bytes;
using testing_support::Json;
using testing_support::ListFiles;
using testing_support::ReadBytes;
using Result = BuildOutcome::Result;

struct Told {
    std::size_t done = 0;
    std::size_t total = 0;
    bool onMain = false;
};

class MakerBuild : public testing_support::SaverTest {
protected:
    void SetUp() override { Put("runtime.bin", testing_support::FakeRuntime()); }

    // A manifest of that many pictures, a logo and a background, written as m.json and read back
    // as the builder reads it.
    sspack::Manifest Pictures(int count, const Json& extraItems = Json::array()) {
        Json items = Json::array();
        for (int i = 0; i < count; ++i) {
            const std::string name = "p" + std::to_string(i) + ".bmp";
            Put(name, testing_support::SolidBmp(8 + i, 6, static_cast<std::uint8_t>(20 * i), 90, 200));
            items.push_back({{"file", name}});
        }
        for (const auto& item : extraItems) {
            items.push_back(item);
        }
        Put("logo.bmp", testing_support::SolidBmp(4, 4, 255, 255, 0));
        Put("back.bmp", testing_support::SolidBmp(16, 12, 0, 0, 64));
        const Json manifest = {{"strings", {{"SaverName", "Holiday"}}},
                               {"items", items},
                               {"logo", {{"file", "logo.bmp"}}},
                               {"background", {{"file", "back.bmp"}}}};
        WriteText("m.json", manifest.dump());
        return sspack::LoadManifest(Path("m.json"));
    }

    void WriteText(const std::string& name, const std::string& text) { Put(name, Bytes(text.begin(), text.end())); }

    maker::BuildRequest Request(sspack::Manifest manifest, const std::string& output = "Holiday.scr") {
        return {std::move(manifest), Path("runtime.bin"), Path(output)};
    }

    // Starts the build and runs the machine until nothing more can happen; onProgress runs in the
    // window's progress handler after the call is recorded.
    void BuildAndRun(maker::BuildRequest request, const std::function<void(const Told&)>& onProgress = {}) {
        ASSERT_TRUE(job_->Start(
            std::move(request),
            [this, onProgress](std::size_t done, std::size_t total) {
                told_.push_back({done, total, std::this_thread::get_id() == main_});
                if (onProgress) {
                    onProgress(told_.back());
                }
            },
            [this](const BuildOutcome& outcome) {
                outcomes_.push_back(outcome);
                doneOnMain_ = std::this_thread::get_id() == main_;
                runningInDone_ = job_ && job_->Running();
            }));
        plat::RunMessageLoop();
        EXPECT_EQ(sim::WorkersInBody(), 0);
    }

    // The one outcome Done told.
    BuildOutcome Outcome() {
        EXPECT_EQ(outcomes_.size(), 1u);
        return outcomes_.empty() ? BuildOutcome{} : outcomes_.front();
    }

    const std::thread::id main_ = std::this_thread::get_id();
    std::unique_ptr<maker::TBuildJob> job_ = std::make_unique<maker::TBuildJob>();
    std::vector<Told> told_;
    std::vector<BuildOutcome> outcomes_;
    bool doneOnMain_ = false;
    bool runningInDone_ = true;
};

TEST_F(MakerBuild, TheSaverIsTheBytesSspackWritesAndProgressRisesToItsTotalOnTheMainThread) {
    const sspack::Manifest manifest = Pictures(5);
    BuildAndRun(Request(manifest));

    const BuildOutcome outcome = Outcome();
    ASSERT_EQ(outcome.result, Result::Built) << outcome.error;
    EXPECT_TRUE(doneOnMain_);
    EXPECT_FALSE(runningInDone_) << "the job is free again when Done runs";
    EXPECT_FALSE(job_->Running());
    const Bytes built = ReadBytes(Path("Holiday.scr"));
    EXPECT_EQ(outcome.fileSize, static_cast<std::int64_t>(built.size()));

    sspack::BuildPackageFile(manifest, testing_support::FakeRuntime(), Path("writer.scr"));
    EXPECT_EQ(built, ReadBytes(Path("writer.scr")));

    // Seven checks (five pictures, the logo, the background), then seven pieces and the file.
    const std::size_t total = 15;
    ASSERT_EQ(told_.size(), total);
    for (std::size_t i = 0; i < told_.size(); ++i) {
        EXPECT_EQ(told_[i].done, i + 1);
        EXPECT_EQ(told_[i].total, total);
        EXPECT_TRUE(told_[i].onMain) << "call " << i;
    }
}

TEST_F(MakerBuild, TheSspackCommandWritesTheSameSaver) {
#ifndef SSPACK_EXE
    GTEST_SKIP() << "the sspack program is not known to this test";
#else
    Pictures(3);
    ASSERT_EQ(Run(SSPACK_EXE, "build " + Quoted("m.json") + " --runtime runtime.bin -q -o cli.scr"), 0) << Err();
    BuildAndRun(Request(sspack::LoadManifest(Path("m.json"))));
    ASSERT_EQ(Outcome().result, Result::Built);
    EXPECT_EQ(ReadBytes(Path("Holiday.scr")), ReadBytes(Path("cli.scr")));
#endif
}

TEST_F(MakerBuild, APieceTheSaverWouldSkipIsRefusedAsSspackNamesItAndNothingIsWritten) {
    Put("broken.jpg", testing_support::Pattern(300, 4));
    Put("empty.png", {});
    const Bytes older = testing_support::Pattern(500, 9);
    Put("Holiday.scr", older);
    BuildAndRun(Request(Pictures(2, Json::array({{{"file", "broken.jpg"}}, {{"file", "empty.png"}}}))));

    const BuildOutcome outcome = Outcome();
    ASSERT_EQ(outcome.result, Result::Refused);
    EXPECT_EQ(outcome.problems, (std::vector<std::string>{Path("broken.jpg") + ": not a JPEG file",
                                                          Path("empty.png") + ": an empty file"}));
    EXPECT_EQ(ReadBytes(Path("Holiday.scr")), older);
#ifdef SSPACK_EXE
    EXPECT_EQ(Run(SSPACK_EXE, "build " + Quoted("m.json") + " --runtime runtime.bin -o cli.scr"), 2);
    std::string lines;
    for (const auto& problem : outcome.problems) {
        lines += "sspack: " + problem + "\n";
    }
    EXPECT_EQ(Err().substr(0, lines.size()), lines);
#endif

    // Without items there is nothing to show, which sspack refuses too.
    job_ = std::make_unique<maker::TBuildJob>();
    outcomes_.clear();
    WriteText("none.json", Json{{"items", Json::array()}}.dump());
    BuildAndRun(Request(sspack::LoadManifest(Path("none.json"))));
    ASSERT_EQ(Outcome().result, Result::Refused);
    EXPECT_EQ(Outcome().problems, std::vector<std::string>{sspack::kNoItems});
    EXPECT_EQ(ReadBytes(Path("Holiday.scr")), older);
}

TEST_F(MakerBuild, CancelDuringTheChecksEndsCancelledWithTheOlderFileUntouched) {
    const Bytes older = testing_support::Pattern(500, 9);
    Put("Holiday.scr", older);
    const sspack::Manifest manifest = Pictures(40);
    const auto before = ListFiles(Dir().Path());
    BuildAndRun(Request(manifest), [this](const Told&) { job_->Cancel(); });

    EXPECT_EQ(Outcome().result, Result::Cancelled);
    EXPECT_EQ(told_.size(), 1u) << "nothing more is told after a cancel";
    EXPECT_EQ(ReadBytes(Path("Holiday.scr")), older);
    EXPECT_EQ(ListFiles(Dir().Path()), before) << "no file, no temporary";
}

TEST_F(MakerBuild, CancelDuringTheWritingStopsAtTheNextPieceAndLeavesNoFile) {
    const sspack::Manifest manifest = Pictures(6);
    const std::size_t writing = sspack::BuildSteps(manifest);
    const auto before = ListFiles(Dir().Path());
    BuildAndRun(Request(manifest), [this, writing](const Told& told) {
        if (told.done == told.total - writing + 1) {
            job_->Cancel();  // the first piece is read
        }
    });

    EXPECT_EQ(Outcome().result, Result::Cancelled);
    ASSERT_FALSE(told_.empty());
    EXPECT_EQ(told_.back().done, told_.back().total - writing + 1);
    EXPECT_EQ(ListFiles(Dir().Path()), before) << "no file, no temporary";
}

TEST_F(MakerBuild, TheWindowClosingMidBuildEndsItWithoutAWordAndWithoutAFile) {
    const sspack::Manifest manifest = Pictures(6);
    const std::size_t checks = 8;  // six pictures, the logo, the background
    const auto files = ListFiles(Dir().Path());

    // Closed as soon as the build started, at the first check, and at the first piece written.
    for (const std::size_t closeAt : {std::size_t{0}, std::size_t{1}, checks + 1}) {
        SCOPED_TRACE(closeAt);
        job_ = std::make_unique<maker::TBuildJob>();
        told_.clear();
        ASSERT_TRUE(job_->Start(
            Request(manifest),
            [this, closeAt](std::size_t done, std::size_t) {
                told_.push_back({done, 0, true});
                if (done == closeAt) {
                    job_.reset();
                }
            },
            [this](const BuildOutcome& outcome) { outcomes_.push_back(outcome); }));
        if (closeAt == 0) {
            job_.reset();
        }
        plat::RunMessageLoop();
        EXPECT_EQ(sim::WorkersInBody(), 0);
        EXPECT_TRUE(outcomes_.empty()) << "Done is not called once the window has gone";
        ASSERT_EQ(told_.size(), closeAt);
        EXPECT_EQ(ListFiles(Dir().Path()), files);
    }

    // Before the process ends, a build left running is waited for.
    job_ = std::make_unique<maker::TBuildJob>();
    ASSERT_TRUE(job_->Start(Request(manifest), {}, {}));
    job_.reset();
    maker::TBuildJob::WaitForAll();
    EXPECT_EQ(sim::WorkersInBody(), 0);
    EXPECT_EQ(ListFiles(Dir().Path()), files);
}

TEST_F(MakerBuild, WhatTheBuilderCannotDoIsToldAsFailed) {
    const sspack::Manifest manifest = Pictures(2);
    BuildAndRun({manifest, Path("no-runtime.bin"), Path("Holiday.scr")});
    EXPECT_EQ(Outcome().result, Result::Failed);
    EXPECT_EQ(Outcome().error, "cannot open " + Path("no-runtime.bin"));

    outcomes_.clear();
    job_ = std::make_unique<maker::TBuildJob>();
    BuildAndRun(Request(manifest, "no-folder/Holiday.scr"));
    EXPECT_EQ(Outcome().result, Result::Failed);
    EXPECT_EQ(Outcome().error.rfind("cannot write " + Path("no-folder/Holiday.scr"), 0), 0u) << Outcome().error;
    EXPECT_FALSE(job_->Running());
}

TEST_F(MakerBuild, OneBuildAtATime) {
    const sspack::Manifest manifest = Pictures(2);
    ASSERT_TRUE(job_->Start(Request(manifest), {}, [this](const BuildOutcome& o) { outcomes_.push_back(o); }));
    EXPECT_TRUE(job_->Running());
    EXPECT_FALSE(job_->Start(Request(manifest, "second.scr"), {}, {}));
    plat::RunMessageLoop();
    EXPECT_EQ(Outcome().result, Result::Built);
    EXPECT_FALSE(std::filesystem::exists(Path("second.scr")));
}

// The checks a cancel skips are never run: with one worker, a stop asked for when the first check
// is told ends the list there.
TEST(MakerBuildChecks, ChecksNotYetStartedAreSkippedOnceStopIsAsked) {
    std::atomic<int> ran{0};
    const std::vector<sspack::PieceCheck> checks(6, [&ran]() -> std::optional<std::string> {
        ++ran;
        return "refused";
    });
    std::stop_source stop;
    std::vector<std::size_t> told;
    const auto answers = sspack::RunChecks(
        checks, 1,
        [&](std::size_t done, std::size_t) {
            told.push_back(done);
            stop.request_stop();
        },
        stop.get_token());
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(told, std::vector<std::size_t>{1});
    ASSERT_EQ(answers.size(), 6u);
    EXPECT_EQ(answers[0], "refused");
    EXPECT_EQ(answers[1], std::nullopt);
}

class MakerInstall : public testing_support::SaverTest {
protected:
    void SetUp() override {
        std::filesystem::create_directory(Path("Local"));
        Machine().localAppDataFolder = Path("Local");
        Put("Holiday.scr", testing_support::Pattern(3000, 1));
    }

    std::optional<sim::RegValue> Desktop(const std::string& name) {
        return Machine().registry.Get("Control Panel\\Desktop", name);
    }
};

TEST_F(MakerInstall, TheCopyInScreenSaversBecomesTheUsersScreenSaver) {
    const std::string installed = maker::InstallSaver(Path("Holiday.scr"), "Holiday");
    EXPECT_EQ(installed, Path("Local/Screen Savers/Holiday.scr"));
    EXPECT_EQ(ReadBytes(installed), ReadBytes(Path("Holiday.scr")));
    ASSERT_TRUE(Desktop("SCRNSAVE.EXE"));
    EXPECT_EQ(Desktop("SCRNSAVE.EXE")->type, sim::RegValue::Type::String);
    EXPECT_EQ(Desktop("SCRNSAVE.EXE")->text, installed);
    ASSERT_TRUE(Desktop("ScreenSaveActive"));
    EXPECT_EQ(Desktop("ScreenSaveActive")->type, sim::RegValue::Type::String);
    EXPECT_EQ(Desktop("ScreenSaveActive")->text, "1");
    EXPECT_EQ(Machine().screenSaverActive, true);

    // Installed again, a new build replaces the earlier copy.
    Put("Holiday.scr", testing_support::Pattern(1000, 2));
    EXPECT_EQ(maker::InstallSaver(Path("Holiday.scr"), "Holiday"), installed);
    EXPECT_EQ(ReadBytes(installed), testing_support::Pattern(1000, 2));
}

TEST_F(MakerInstall, ANameWithCharactersWindowsForbidsGetsThemReplaced) {
    const std::string installed = maker::InstallSaver(Path("Holiday.scr"), "Sun: Sea/Sand? \"Best\" <2026>|*.");
    EXPECT_EQ(installed, Path("Local/Screen Savers/Sun_ Sea_Sand_ _Best_ _2026___.scr"));
    EXPECT_EQ(ReadBytes(installed), ReadBytes(Path("Holiday.scr")));
    EXPECT_EQ(Desktop("SCRNSAVE.EXE")->text, installed);

    EXPECT_EQ(maker::InstalledFileName("Tab\there"), "Tab_here.scr");
    EXPECT_EQ(maker::InstalledFileName("con"), "con_.scr");
    EXPECT_EQ(maker::InstalledFileName(" . "), "Screen Saver.scr");
}

TEST_F(MakerInstall, WithoutALocalApplicationDataFolderOrASaverNothingChanges) {
    Machine().localAppDataFolder.reset();
    EXPECT_THROW(maker::InstallSaver(Path("Holiday.scr"), "Holiday"), std::runtime_error);
    Machine().localAppDataFolder = Path("Gone");
    EXPECT_THROW(maker::InstallSaver(Path("Holiday.scr"), "Holiday"), std::runtime_error);

    Machine().localAppDataFolder = Path("Local");
    try {
        maker::InstallSaver(Path("Missing.scr"), "Holiday");
        ADD_FAILURE() << "a saver that is not there was installed";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cannot be copied"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Desktop("SCRNSAVE.EXE"));
    EXPECT_FALSE(Desktop("ScreenSaveActive"));
    EXPECT_FALSE(Machine().screenSaverActive);
    EXPECT_EQ(ListFiles(Path("Local/Screen Savers")), std::vector<std::string>{});
}

}  // namespace
