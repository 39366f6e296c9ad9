// Saving where a rename would change more than the text: a symbolic link, a
// read-only file, a file with a second hard link, a folder this user may not
// write, an owner a new file could not get. Each case is saved cleanly, then
// with every file operation failing in turn; then as the user "nobody".
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

const std::string Old = "Option Explicit\r\n\r\nPrivate Sub Alpha()\r\n    x = 1\r\nEnd Sub\r\n";
const std::string Alpha = "Private Sub Alpha()\r\n    x = 2\r\nEnd Sub\r\n";
const std::string SavedAlpha = Old.substr(0, 19) + Alpha + "\r\n";

struct stat info(const std::string& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st;
}

// MAIN.BAS and an old MAIN.BAK in `folder` ("/" at its end); REAL.BAS stays
// where it is MAIN.BAS's other name or the file its link points to.
void layOut(const std::string& folder, const std::string& setup) {
    robustness::writeBytes(folder + "REAL.BAS", Old);
    robustness::writeBytes(folder + "MAIN.BAK", "old backup");
    if (setup == "link") fs::create_symlink("REAL.BAS", folder + "MAIN.BAS");
    if (setup != "link") fs::create_hard_link(folder + "REAL.BAS", folder + "MAIN.BAS");
    if (setup != "hardlink" && setup != "link") fs::remove(folder + "REAL.BAS");
    if (setup == "readonly") fs::permissions(folder + "MAIN.BAS", fs::perms::owner_read | fs::perms::others_read);
}

class SaveInPlace : public ::testing::TestWithParam<std::tuple<const char*, Mode>> {
protected:
    // Lays out the case, opens MAIN.BAS and saves entity Alpha (or the whole
    // text) with the nth call of `kind` failing; calls: the save's calls.
    bool save(const std::string& kind, int nth, std::map<std::string, int>* calls = nullptr) {
        const std::string setup = std::get<0>(GetParam());
        dir.clear();
        fs::create_directory(dir.path("tmp"));
        layOut(dir.path(""), setup);
        inodeBefore = info(dir.path("MAIN.BAS")).st_ino;
        platform::RecordingDesktop desktop;
        editor::MemoryView view;
        editor::SourceDocument doc(view);
        doc.OpenSourceFile(dir.path("MAIN.BAS"), std::get<1>(GetParam()));
        if (std::get<1>(GetParam()) == Mode::Entity) doc.cbProc_Click(1);
        view.setEditorText(std::get<1>(GetParam()) == Mode::Entity ? Alpha : Old + "' more");
        platform::FaultyFileSystem faulty(platform::realFileSystem());
        faulty.tempFolderOverride = dir.path("tmp");
        faulty.adjustFacts = [&](platform::FileFacts& f) {
            f.folderWritable = f.folderWritable && setup != "folder";
            f.ownerKept = f.ownerKept && setup != "owner";
        };
        if (!kind.empty()) faulty.failOn(kind, nth);
        platform::ScopedServices scope({.files = &faulty});
        const bool saved = doc.mnuFileSave_Click();
        if (calls) *calls = faulty.calls;
        boxes = desktop.boxes.shown;
        return saved;
    }
    robustness::ScratchDir dir;
    std::vector<platform::ShownBox> boxes;
    ino_t inodeBefore = 0;
};

TEST_P(SaveInPlace, KeepsWhatTheFileIsAndLosesNothingOnFailure) {
    const std::string setup = std::get<0>(GetParam()), file = setup == "link" ? "REAL.BAS" : "MAIN.BAS";
    const std::string after = std::get<1>(GetParam()) == Mode::Entity ? SavedAlpha : Old + "' more\r\n";
    const bool refused = setup == "readonly" && ::geteuid() != 0;  // the superuser may write it
    std::map<std::string, int> calls;
    ASSERT_EQ(save("", 0, &calls), !refused) << (boxes.empty() ? "" : boxes[0].text);
    EXPECT_EQ(readBytes(dir.path(file)), refused ? Old : after);
    EXPECT_EQ(fs::is_symlink(dir.path("MAIN.BAS")), setup == "link");
    EXPECT_EQ(readBytes(dir.path("REAL.BAS")), setup == "hardlink" || setup == "link" ? after : "");
    EXPECT_EQ(info(dir.path(file)).st_ino == inodeBefore, setup != "link" && setup != "readonly");
    EXPECT_EQ(boxes.empty() ? "" : boxes[0].text, refused ? "Permission denied" : "");
    const auto names = dir.names();
    for (const auto& [kind, count] : calls) {
        for (int nth = 1; nth <= count; ++nth) {
            SCOPED_TRACE(kind + " #" + std::to_string(nth));
            const bool saved = save(kind, nth);
            const std::string now = readBytes(dir.path(file)), box = boxes.empty() ? "" : boxes[0].text;
            EXPECT_EQ(now, saved ? after : now == Old ? Old : "the old text or the box names its copy");
            EXPECT_TRUE(saved || !boxes.empty()) << "the user is told";
            if (!saved && now != Old) {  // putting the old bytes back failed too
                EXPECT_EQ(readBytes(box.substr(box.rfind(" in ") + 4, box.size() - box.rfind(" in ") - 5)), Old);
            } else if (kind != "remove") {  // a copy that cannot be removed stays
                EXPECT_EQ(dir.names(), names);
                EXPECT_TRUE(fs::is_empty(dir.path("tmp")));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveInPlace,
                         ::testing::Combine(::testing::Values("link", "readonly", "hardlink", "folder", "owner"),
                                            ::testing::Values(Mode::Entity, Mode::WholeFile)),
                         [](const auto& i) { return std::get<0>(i.param) + std::string(i.index % 2 ? "Whole" : "Entity"); });

// The same cases saved through the command line by a user without the
// superuser's rights: the files are root's where that is the point.
TEST(SaveAsAnotherUser, LinkReadOnlyHardLinkFolderAndOwner) {
    if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0 ||
        !fs::exists(VARNEL_BINARY_DIR "/app/varnel/varnel"))
        GTEST_SKIP() << "needs root, setpriv and the varnel program to run it as the user nobody";
    robustness::ScratchDir dir;
    fs::permissions(dir.path(""), fs::perms::all);
    for (const std::string s : {"link", "readonly", "hardlink", "folder", "owner"}) {
        SCOPED_TRACE(s);
        const std::string sub = dir.path(s) + "/", file = sub + (s == "link" ? "REAL.BAS" : "MAIN.BAS");
        fs::create_directory(sub);
        layOut(sub, s);
        const std::string give = s == "owner"    ? "chmod 666 MAIN.BAS MAIN.BAK && chmod 777 ."
                                 : s == "folder" ? "chmod 666 MAIN.BAS MAIN.BAK"
                                                 : "chmod 777 . && chown -h nobody *";
        const std::string run = "cd " + sub + " && " + give + " && printf 'Private Sub Alpha()\\r\\n    x = 2\\r\\n"
                                "End Sub\\r\\n' | setpriv --reuid=nobody --regid=nogroup --clear-groups "
                                VARNEL_BINARY_DIR "/app/varnel/varnel --save-entity Alpha MAIN.BAS 2>../err.txt";
        const int status = WEXITSTATUS(std::system(run.c_str()));
        EXPECT_EQ(status, s == "readonly" ? 1 : 0) << readBytes(dir.path("err.txt"));
        EXPECT_EQ(readBytes(file), status ? Old : SavedAlpha);
        EXPECT_EQ(readBytes(sub + "MAIN.BAK"), status ? "old backup" : Old);
        EXPECT_EQ(readBytes(dir.path("err.txt")), status ? "Kestrin Error: Permission denied\n" : "");
        EXPECT_EQ(fs::is_symlink(sub + "MAIN.BAS"), s == "link");
        EXPECT_EQ(info(file).st_uid, s == "owner" || s == "folder" ? 0u : info(sub + "MAIN.BAK").st_uid);
        EXPECT_EQ(readBytes(sub + "REAL.BAS"), s == "hardlink" || s == "link" ? SavedAlpha : "");
    }
}

}  // namespace
