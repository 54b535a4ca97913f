// The builder checks the pieces on several workers: the refusals come in the manifest's order and
// the saver is the same bytes whatever the number of workers, and on a terminal a line counts the
// files checked. Savers are made by the real command on real files.

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <stdexcept>

#include "tests/support/PictureEncoders.h"
#include "tests/unit/SspackFixture.h"
#include "tools/sspack/CheckPool.h"

namespace {

using namespace sspack_test;
using testing_support::ReadBytes;

gfx::TBitmap32 Solid(int w, int h) { return gfx::TBitmap32(w, h, 0xFF3060A0); }

class SspackWorkers : public SspackTest {
protected:
    void SetUp() override {
        Put("runtime.bin", Pattern(700, 2));
        Put("good.jpg", testing_support::EncodeJpeg(Solid(16, 12)));
    }

    // sspack with the given number of workers.
    int Sspack(int workers, const std::string& args) {
        return Run("env", "SSPACK_JOBS=" + std::to_string(workers) + " '" + SSPACK_EXE + "' " + args);
    }

    // Runs sspack in the test's folder with its standard output on a pseudo-terminal in raw mode, so
    // that the text arrives as written; its standard error goes to err.txt. Returns what it wrote on
    // the terminal.
    std::string OnTerminal(const std::vector<std::string>& args, int& code) {
        std::vector<std::string> words{SSPACK_EXE};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        const std::string dir = Dir().Path();
        const std::string err = Path("err.txt");

        termios raw{};
        cfmakeraw(&raw);
        int master = -1;
        int slave = -1;
        if (openpty(&master, &slave, nullptr, &raw, nullptr) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return {};
        }
        const pid_t pid = fork();
        if (pid == 0) {
            const int errFile = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (chdir(dir.c_str()) != 0 || dup2(slave, STDOUT_FILENO) < 0 || dup2(errFile, STDERR_FILENO) < 0) {
                _exit(126);
            }
            close(master);
            close(slave);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(slave);
        std::string out;
        char buffer[4096];
        // Reading ends with an error once the program has closed the terminal.
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) {
            out.append(buffer, static_cast<std::size_t>(n));
        }
        close(master);
        int status = 0;
        waitpid(pid, &status, 0);
        code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return out;
    }
};

TEST_F(SspackWorkers, RefusalsComeInTheManifestsOrderAndTheSaverIsTheSameWhateverTheWorkers) {
    // The first broken picture takes long to fail, the others fail at once: finishing order is
    // not list order.
    const Bytes large = testing_support::EncodeJpeg(Solid(3000, 2000));
    Put("large-cut.jpg", Bytes(large.begin(), large.end() - 2000));
    Put("empty.jpg", {});
    Put("notes.png", Bytes{'t', 'o', ' ', 'd', 'o'});
    Put("song.wav", Bytes{'d', 'i', 'n', 'g'});
    std::ofstream(Path("m.json")) << Json({{"items",
                                            {{{"file", "large-cut.jpg"}},
                                             {{"file", "good.jpg"}},
                                             {{"file", "empty.jpg"}},
                                             {{"file", "good.jpg"}},
                                             {{"file", "notes.png"}}}},
                                           {"music", {{{"file", "song.wav"}}}}})
                                         .dump();
    const std::string refusals =
        "sspack: large-cut.jpg: a damaged JPEG file, or a kind of JPEG the screen saver cannot decode (Premature end "
        "of JPEG file)\n"
        "sspack: empty.jpg: an empty file\n"
        "sspack: notes.png: not a PNG file\n"
        "sspack: song.wav: not a sound the screen saver can play (it plays WAV, MP3, MIDI, WMA, M4A and AAC)\n";

    for (const int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        EXPECT_EQ(Sspack(workers, "build m.json --runtime runtime.bin -o s.scr"), 2);
        EXPECT_EQ(Err(), refusals +
                             "sspack: nothing written: the screen saver would skip these; fix them, or build anyway "
                             "with --allow-skipped\n");
        const std::string saver = "s" + std::to_string(workers) + ".scr";
        ASSERT_EQ(Sspack(workers, "build m.json --allow-skipped --runtime runtime.bin -o " + saver), 0) << Err();
        EXPECT_EQ(Err(), refusals);
    }
    EXPECT_EQ(ReadBytes(Path("s4.scr")), ReadBytes(Path("s1.scr")));
}

TEST_F(SspackWorkers, OnATerminalALineCountsTheFilesCheckedPipedOrQuietThereIsOnlyTheSummary) {
    std::filesystem::create_directory(Path("photos"));
    Put("photos/a.jpg", testing_support::EncodeJpeg(Solid(40, 30)));
    Put("photos/b.png", testing_support::EncodePng(Solid(40, 30)));
    Put("photos/c.jpg", testing_support::EncodeJpeg(Solid(30, 40)));
    const std::vector<std::string> build{"build", "--pictures", "photos", "--name", "Holiday", "--runtime",
                                         "runtime.bin", "-o",   "h.scr"};

    ASSERT_EQ(Sspack(2, "build --pictures photos --name Holiday --runtime runtime.bin -o h.scr"), 0) << Err();
    const std::string summary = Out();
    EXPECT_EQ(summary.find('\r'), std::string::npos) << summary;
    EXPECT_EQ(summary.rfind("h.scr: 3 pictures, 10 effects, ", 0), 0u) << summary;

    int code = -1;
    EXPECT_EQ(OnTerminal(build, code),
              "\rchecked 1 of 3 files\rchecked 2 of 3 files\rchecked 3 of 3 files\n" + summary);
    EXPECT_EQ(code, 0) << Err();

    auto quiet = build;
    quiet.push_back("--quiet");
    EXPECT_EQ(OnTerminal(quiet, code), "");
    EXPECT_EQ(code, 0) << Err();

    // A refusal comes on a line of its own after the count.
    Put("photos/d.jpg", {});
    EXPECT_EQ(OnTerminal(build, code),
              "\rchecked 1 of 4 files\rchecked 2 of 4 files\rchecked 3 of 4 files\rchecked 4 of 4 files\n");
    EXPECT_EQ(code, 2);
    EXPECT_EQ(Err().rfind("sspack: photos/d.jpg: an empty file\n", 0), 0u) << Err();
}

// Two checks where the first can end only once the second has: their answers keep their places,
// and the count rises by one each time.
TEST(SspackCheckPool, AnswersKeepTheirPlacesWhileTheWorkersRunAtOnce) {
    std::promise<void> secondDone;
    auto second = secondDone.get_future();
    const std::vector<sspack::PieceCheck> checks{
        [&second] {
            // Bounded only so that a pool that runs one check at a time fails instead of hanging.
            const bool together = second.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
            return std::optional<std::string>(together ? "first" : "first, alone");
        },
        [&secondDone] {
            secondDone.set_value();
            return std::optional<std::string>("second");
        },
        [] { return std::optional<std::string>(); },
    };
    std::vector<std::pair<std::size_t, std::size_t>> counts;
    const auto count = [&counts](std::size_t done, std::size_t total) { counts.emplace_back(done, total); };
    const auto answers = sspack::RunChecks(checks, 2, count);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0], "first");
    EXPECT_EQ(answers[1], "second");
    EXPECT_EQ(answers[2], std::nullopt);
    EXPECT_EQ(counts, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 3}, {2, 3}, {3, 3}}));

    // A check that throws does not stop the others; its exception comes out once they have run.
    int ran = 0;
    const std::vector<sspack::PieceCheck> throwing{
        [&ran]() -> std::optional<std::string> {
            ++ran;
            throw std::runtime_error("unreadable");
        },
        [&ran] {
            ++ran;
            return std::optional<std::string>();
        },
    };
    EXPECT_THROW(sspack::RunChecks(throwing, 1), std::runtime_error);
    EXPECT_EQ(ran, 2);
}

}  // namespace
