// Saving where a rename would change more than the text: a symbolic link, a
// read-only file, a file with a second hard link, a folder this user may not
// write, an owner a new file could not get. Each case is saved cleanly, then
// with every file operation failing in turn; then as the user "nobody".
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "RobustnessSupport.h"
#include "editor/SourceDocument.h"
#include "platform/Recording.h"

namespace {

namespace fs = std::filesystem;
using editor::Mode;
using robustness::readBytes;
using robustness::writeBytes;

const std::string Old = "Option Explicit\r\n\r\nPrivate Sub Alpha()\r\n    x = 1\r\nEnd Sub\r\n";
const std::string Alpha = "Private Sub Alpha()\r\n    x = 2\r\nEnd Sub\r\n";

struct Case {
    const char* setup;  // "link", "readonly", "hardlink", "folder", "owner"
    Mode mode;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.setup; }

struct stat info(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st;
}

// MAIN.BAS and an old MAIN.BAK in `folder` ("/" at its end); REAL.BAS stays
// where it is MAIN.BAS's other name or the file its link points to.
void layOut(const std::string& folder, const std::string& setup) {
    writeBytes(folder + "REAL.BAS", Old);
    writeBytes(folder + "MAIN.BAK", "old backup");
    if (setup == "link") fs::create_symlink("REAL.BAS", folder + "MAIN.BAS");
    else fs::create_hard_link(folder + "REAL.BAS", folder + "MAIN.BAS");
    if (setup != "hardlink" && setup != "link") fs::remove(folder + "REAL.BAS");
}

class SaveInPlace : public ::testing::TestWithParam<Case> {
protected:
    robustness::ScratchDir dir;
    // Lays out the case and saves entity Alpha (or the whole text) of MAIN.BAS.
    bool save(const std::string& kind, int nth, std::map<std::string, int>* calls = nullptr) {
        const std::string setup = GetParam().setup;
        dir.clear();
        fs::create_directory(dir.path("tmp"));
        layOut(dir.path(""), setup);
        inodeBefore = info(dir.path("MAIN.BAS")).st_ino;
        if (setup == "readonly") fs::permissions(dir.path("MAIN.BAS"), fs::perms::owner_read | fs::perms::others_read);
        platform::RecordingDesktop desktop;
        platform::FaultyFileSystem faulty(platform::realFileSystem());
        faulty.tempFolderOverride = dir.path("tmp");
        faulty.adjustFacts = [&](platform::FileFacts& f) {
            f.folderWritable = f.folderWritable && setup != "folder";
            f.ownerKept = f.ownerKept && setup != "owner";
        };
        platform::Services s;
        s.files = &faulty;
        platform::ScopedServices scope(s);
        editor::MemoryView view;
        editor::SourceDocument doc(view);
        doc.OpenSourceFile(dir.path("MAIN.BAS"), GetParam().mode);
        if (GetParam().mode == Mode::Entity) doc.cbProc_Click(1);
        view.setEditorText(GetParam().mode == Mode::Entity ? Alpha : Old + "' more");
        if (!kind.empty()) faulty.failOn(kind, faulty.calls[kind] + nth);
        auto before = faulty.calls;
        const bool saved = doc.mnuFileSave_Click();
        for (const auto& [k, n] : faulty.calls) (calls ? (*calls)[k] = n - before[k] : 0);
        boxes = desktop.boxes.shown;
        return saved;
    }
    std::vector<platform::ShownBox> boxes;
    ino_t inodeBefore = 0;
};

TEST_P(SaveInPlace, KeepsWhatTheFileIsAndLosesNothingOnFailure) {
    const std::string setup = GetParam().setup;
    const std::string file = setup == "link" ? "REAL.BAS" : "MAIN.BAS";
    const std::string after = GetParam().mode == Mode::Entity ? Old.substr(0, 19) + Alpha + "\r\n" : Old + "' more\r\n";
    std::map<std::string, int> calls;
    const bool root = ::geteuid() == 0;
    const bool refused = setup == "readonly" && !root;
    ASSERT_EQ(save("", 0, &calls), !refused) << (boxes.empty() ? "" : boxes[0].text);
    EXPECT_EQ(readBytes(dir.path(file)), refused ? Old : after);
    EXPECT_EQ(fs::is_symlink(dir.path("MAIN.BAS")), setup == "link");
    if (setup == "hardlink") { EXPECT_EQ(readBytes(dir.path("REAL.BAS")), after); }
    if (setup == "hardlink" || setup == "folder" || setup == "owner") { EXPECT_EQ(info(dir.path(file)).st_ino, inodeBefore); }
    if (refused) { EXPECT_EQ(boxes.at(0).text, "Permission denied"); }
    EXPECT_TRUE(fs::is_empty(dir.path("tmp")));
    const auto names = dir.names();
    for (const auto& [kind, count] : calls) {
        for (int nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(kind + " #" + std::to_string(nth));
            const bool saved = save(kind, nth);
            const std::string now = readBytes(dir.path(file));
            if (saved) { EXPECT_EQ(now, after); }
            if (!saved) { EXPECT_FALSE(boxes.empty()); }
            if (!saved && now != Old) {  // putting the old bytes back failed too: the box says where they are
                const std::string kept = boxes.at(0).text.substr(boxes.at(0).text.rfind(" in ") + 4);
                EXPECT_EQ(readBytes(kept.substr(0, kept.size() - 1)), Old) << boxes.at(0).text;
            } else if (kind != "remove") {  // a kept copy that cannot be removed stays
                EXPECT_EQ(dir.names(), names);
                EXPECT_TRUE(fs::is_empty(dir.path("tmp")));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveInPlace,
                         ::testing::Values(Case{"link", Mode::Entity}, Case{"link", Mode::WholeFile},
                                           Case{"readonly", Mode::Entity}, Case{"readonly", Mode::WholeFile},
                                           Case{"hardlink", Mode::Entity}, Case{"hardlink", Mode::WholeFile},
                                           Case{"folder", Mode::Entity}, Case{"folder", Mode::WholeFile},
                                           Case{"owner", Mode::Entity}, Case{"owner", Mode::WholeFile}),
                         [](const auto& i) { return std::string(i.param.setup) + (i.index % 2 ? "Whole" : "Entity"); });

// The same saves by a user without the superuser's rights, through the
// command line: the folder is the user's where the case needs it, the files
// are root's where that is the point.
TEST(SaveAsAnotherUser, LinkReadOnlyHardLinkFolderAndOwner) {
    if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0 ||
        !fs::exists(VARNEL_BINARY_DIR "/app/varnel/varnel"))
        GTEST_SKIP() << "needs root, setpriv and the varnel program to run it as the user nobody";
    robustness::ScratchDir dir;
    fs::permissions(dir.path(""), fs::perms::all);
    const std::string after = Old.substr(0, 19) + Alpha + "\r\n";
    struct Row { const char* setup; int exit; const char* file; };
    for (const Row r : {Row{"link", 0, "REAL.BAS"}, Row{"readonly", 1, "MAIN.BAS"}, Row{"hardlink", 0, "REAL.BAS"},
                        Row{"folder", 0, "MAIN.BAS"}, Row{"owner", 0, "MAIN.BAS"}}) {
        SCOPED_TRACE(r.setup);
        const std::string s = r.setup, sub = dir.path(s) + "/";
        fs::create_directory(sub);
        layOut(sub, s);
        const std::string give = s == "owner" ? "chmod 666 MAIN.BAS MAIN.BAK && chmod 777 ." :
                                 s == "folder" ? "chmod 666 MAIN.BAS MAIN.BAK" :
                                 s == "readonly" ? "chmod 777 . && chown nobody * && chmod 444 MAIN.BAS" :
                                                   "chmod 777 . && chown -h nobody *";
        const std::string run = "cd " + sub + " && " + give + " && printf 'Private Sub Alpha()\\r\\n    x = 2\\r\\nEnd Sub\\r\\n' |"
                                " setpriv --reuid=nobody --regid=nogroup --clear-groups " VARNEL_BINARY_DIR
                                "/app/varnel/varnel --save-entity Alpha MAIN.BAS 2>../err.txt";
        EXPECT_EQ(WEXITSTATUS(std::system(run.c_str())), r.exit) << readBytes(dir.path("err.txt"));
        EXPECT_EQ(readBytes(sub + r.file), r.exit ? Old : after);
        if (r.exit) { EXPECT_EQ(readBytes(dir.path("err.txt")), "Kestrin Error: Permission denied\n"); }
        EXPECT_EQ(fs::is_symlink(sub + "MAIN.BAS"), s == "link");
        if (s == "owner" || s == "folder") { EXPECT_EQ(info(sub + "MAIN.BAS").st_uid, 0u) << "root's file stays root's"; }
        if (s == "hardlink") { EXPECT_EQ(readBytes(sub + "MAIN.BAS"), after); }
    }
}

}  // namespace
