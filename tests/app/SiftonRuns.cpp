// sifton on the command line, one test per case of the case files in
// cases/runs/: a shell script run in a fresh folder, the files it finds
// there, and the exit status, standard output and standard error expected.
//   === TITLE
//   (the script; $sifton and $varnel are the programs, $root the source
//    tree, as_user runs a command as nobody when the tests run as root,
//    skip REASON skips the case)
//   --- file NAME    (a file put there first: these lines, each ended by CR LF)
//   --- status       (the exit status of the script's last command)
//   --- out          (the whole standard output; each line ended by LF)
//   --- err          (the whole standard error, the same way)
// A section left out is not checked. "<work>" in out and err stands for the
// folder the script runs in; the time on the summary line reads "<time>".
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>

#include "support/Cases.h"

namespace {

namespace fs = std::filesystem;

struct RunCase {
    std::string file;
    std::size_t index;  // in its file, from 1
    cases::Case c;
    friend void PrintTo(const RunCase& rc, std::ostream* os) { *os << rc.file << ": " << rc.c.title; }
};

std::vector<RunCase> allCases() {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(cases::path("app/cases/runs")))
        if (e.path().extension() == ".txt") files.push_back(e.path().filename().string());
    std::sort(files.begin(), files.end());
    std::vector<RunCase> out;
    for (const std::string& f : files)
        for (std::size_t n = 1; cases::Case & c : cases::read_cases("app/cases/runs/" + f))
            out.push_back({f, n++, std::move(c)});
    return out;
}

// A test name of a case: the file's stem, the case's number there, and the
// title's letters and digits.
std::string testName(const RunCase& rc) {
    return fs::path(rc.file).stem().string() + "_" + std::to_string(rc.index) + "_" + cases::testName(rc.c.title);
}

// The lines of a section, each ended by LF; blank lines at its end only
// part it from the next case.
std::string joined(cases::Lines lines, const std::string& work) {
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    for (auto at = s.find("<work>"); at != std::string::npos; at = s.find("<work>", at + work.size()))
        s.replace(at, 6, work);
    return s;
}

const char* const Prelude =
    "sifton=" SIFTON_PROGRAM " varnel=" VARNEL_PROGRAM " root=" VARNEL_SOURCE_DIR
    "\n"
    "as_user() { if [ \"$(id -u)\" = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups \"$@\";"
    " else \"$@\"; fi; }\n"
    "skip() { echo \"$*\" >&2; exit 77; }\n";

class SiftonRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(SiftonRuns, Case) {
    const cases::Case& c = GetParam().c;
    std::string work = (fs::temp_directory_path() / "sifton-run-XXXXXX").string();
    ASSERT_NE(::mkdtemp(work.data()), nullptr);
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removed(&work, [](const std::string* w) {
        // A folder left behind is no fault of the case.
        [[maybe_unused]] const int status =
            std::system(("chmod -R u+rwx '" + *w + "' 2>/dev/null; rm -rf '" + *w + "'").c_str());
    });
    // Others may enter, so that a case can run a command as another user.
    fs::permissions(work, fs::perms::all);
    for (const auto& [name, lines] : c.sections) {
        if (!name.starts_with("file ")) continue;
        const fs::path file = fs::path(work) / name.substr(5);
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << cases::crlf(lines);
    }
    std::ofstream(work + "/.script", std::ios::binary) << Prelude << joined(c["in"], work);
    const std::string command = "cd '" + work + "' && bash .script </dev/null >.out 2>.err";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    const int status = WEXITSTATUS(raw);
    const std::string err =
        std::regex_replace(cases::read(work + "/.err"), std::regex(", [0-9]+\\.[0-9]+ s\n"), ", <time>\n");
    if (status == 77) GTEST_SKIP() << err;
    if (c.has("status")) {
        EXPECT_EQ(std::to_string(status), c["status"].at(0)) << err;
    }
    if (c.has("out")) {
        EXPECT_EQ(joined(c["out"], work), cases::read(work + "/.out"));
    }
    if (c.has("err")) {
        EXPECT_EQ(joined(c["err"], work), err);
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, SiftonRuns, ::testing::ValuesIn(allCases()),
                         [](const auto& test) { return testName(test.param); });

}  // namespace
