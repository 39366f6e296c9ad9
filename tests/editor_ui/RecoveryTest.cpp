// Recovery after a crash, on the real window (offscreen) in processes of its
// own: one opens a file, types and is killed with SIGKILL once its recovery
// file holds what was typed; the next opens the file again, is asked, answers
// Yes and must show exactly the edited text, with the file on disk untouched.
// Then the record itself: its format read back, and the question.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <csignal>
#include <regex>
#include <set>
#include <sys/wait.h>

#include "editor/Recovery.h"
#include "editor/ui/frmEdit32.h"
#include "support/Cases.h"
#include "support/Recording.h"
#include "textbox/SourceTextView.h"

namespace {

using editor::Mode;

const std::string Module =
    "Attribute VB_Name = \"modMain\"\r\nOption Explicit\r\n\r\nPrivate Sub Alpha()\r\n"
    "    x = 1\r\nEnd Sub\r\n\r\nPrivate Sub Beta()\r\n    y = 2\r\nEnd Sub\r\n";

// Runs the window in a child process: opens `file` (from the command line in
// whole-file mode; through the document on the entity Beta in entity mode),
// then `act` with the window. Returns the child's id.
pid_t runWindow(const std::string& state, const std::string& file, Mode mode,
                const std::function<void(editor::ui::frmEdit32&, platform::RecordingDesktop&)>& act) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "varnel";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    platform::RecordingDesktop desktop;
    desktop.boxes.answerNext(platform::Answer::Yes);
    editor::ui::frmEdit32 window(mode == Mode::WholeFile ? file : "");
    window.keepRecovery(state, std::chrono::milliseconds(50), std::chrono::milliseconds(500));
    window.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    if (mode == Mode::Entity) {
        window.document().OpenSourceFile(file, Mode::Entity);
        if (window.document().currentEntityName() != "Beta") window.document().cbProc_Click(2);
    }
    act(window, desktop);
    ::_exit(0);
}

class KillAndRecover : public ::testing::TestWithParam<Mode> {};

TEST_P(KillAndRecover, TheEditedTextComesBackAndTheFileIsUntouched) {
    cases::ScratchDir dir;
    const std::string file = dir.path("MAIN.BAS"), state = dir.path("state"), result = dir.path("result");
    std::ofstream(file, std::ios::binary) << Module;
    const Mode mode = GetParam();
    const std::string shown = mode == Mode::WholeFile ? Module : "Private Sub Beta()\r\n    y = 2\r\nEnd Sub\r\n";

    const pid_t typist = runWindow(state, file, mode, [&](editor::ui::frmEdit32& window, auto&) {
        QTest::keyClicks(window.findChild<QWidget*>("txtEdit"), "' typed");
        static_cast<void>(QTest::qWaitFor([&] {
            const QStringList records = QDir(QString::fromStdString(state)).entryList({"*.rec"});
            return !records.empty() &&
                   cases::read(state + "/" + records[0].toStdString()).find("' typed") != std::string::npos;
        }));
        std::ofstream(result) << "ready";
        for (;;) QTest::qWait(50);
    });
    for (int i = 0; i < 1000 && !std::filesystem::exists(result); ++i) ::usleep(10000);
    ASSERT_TRUE(std::filesystem::exists(result)) << "the recovery file was never written";
    ::kill(typist, SIGKILL);
    ::waitpid(typist, nullptr, 0);

    const pid_t second =
        runWindow(state, file, mode, [&](editor::ui::frmEdit32& window, platform::RecordingDesktop& desktop) {
            static_cast<void>(QTest::qWaitFor([&] { return !desktop.boxes.shown.empty(); }));
            std::ofstream out(result, std::ios::binary);
            out << (desktop.boxes.shown.empty() ? "" : desktop.boxes.shown[0].text) << '\0' << window.editorText()
                << '\0' << window.document().changed() << window.document().currentEntityName();
        });
    ::waitpid(second, nullptr, 0);
    const std::string got = cases::read(result);
    const std::size_t one = got.find('\0'), two = got.find('\0', one + 1);
    ASSERT_NE(two, std::string::npos) << got;
    EXPECT_TRUE(std::regex_match(got.substr(0, one),
                                 std::regex("varnel found unsaved changes to " + file +
                                            " from \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\. Recover them\\?")))
        << got.substr(0, one);
    EXPECT_EQ(got.substr(one + 1, two - one - 1), "' typed" + shown);
    EXPECT_EQ(got.substr(two + 1), mode == Mode::WholeFile ? "1" : "1Beta");
    EXPECT_EQ(cases::read(file), Module);
}

INSTANTIATE_TEST_SUITE_P(BothModes, KillAndRecover, ::testing::Values(Mode::WholeFile, Mode::Entity),
                         [](const auto& test) { return test.param == Mode::WholeFile ? "WholeFile" : "Entity"; });

// Locks that killed windows left without a record go; a living window's, one
// beside a record and files not named as ours stay.
TEST(RecoveryFolder, StrayLocksOfEndedWindowsGo) {
    cases::ScratchDir dir;
    std::set<std::string> kept{"12-00000000000000ff.lock", "12-00000000000000ff.rec", "notes.lock",
                               "4711-0123456789abcdeg.lock", "-0123456789abcdef.lock"};
    for (const std::string& name : kept) std::ofstream(dir.path(name)) << "";
    std::ofstream(dir.path("4711-0123456789abcdef.lock")) << "";
    const editor::RecoveryFile living(dir.path(""));
    kept.insert(std::filesystem::path(living.path()).replace_extension(".lock").filename().string());
    EXPECT_TRUE(editor::findLeftOvers(dir.path(""), "/nowhere").empty());
    EXPECT_EQ(dir.names(), kept);
}

TEST(RecoveryRecord, ReadsBackWhatItWritesAndAsksInWords) {
    editor::RecoveryRecord r{
        "/src/a\nb%.BAS", Mode::Entity, "Form_Load", 42, 1700000000123456789, 0, std::string("x\r\n\0\xFF", 5)};
    const auto back = editor::parseRecovery(editor::formatRecovery(r));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::tie(back->file, back->mode, back->entity, back->fileSize, back->fileModified, back->text),
              std::tie(r.file, r.mode, r.entity, r.fileSize, r.fileModified, r.text));
    const std::string cut = editor::formatRecovery(r);
    EXPECT_FALSE(editor::parseRecovery(cut.substr(0, cut.size() - 1))) << "a record cut short is no record";
    EXPECT_FALSE(editor::parseRecovery("not a record"));

    ::setenv("TZ", "UTC", 1);
    r.file = "/src/MAIN.BAS";
    r.written = 1765115400;  // 2025-12-07 13:50:00 UTC
    EXPECT_EQ(editor::recoveryQuestion(r, false),
              "varnel found unsaved changes to /src/MAIN.BAS from 2025-12-07 13:50:00. Recover them?");
    EXPECT_EQ(editor::recoveryQuestion(r, true),
              "varnel found unsaved changes to /src/MAIN.BAS from 2025-12-07 13:50:00. Recover them?\r\n\r\n"
              "/src/MAIN.BAS has been changed on disk since then.");
    r.file.clear();
    EXPECT_EQ(editor::recoveryQuestion(r, false),
              "varnel found unsaved changes to an untitled text from 2025-12-07 13:50:00. Recover them?");
}

}  // namespace
