// The xBase converter: whole files (cases/NAME.prg to cases/NAME.bas), blocks
// (cases/blocks.txt), single rewrites and word scanners (cases/lines.txt).
#include <gtest/gtest.h>

#include <functional>

#include "convert/ConvertXBase.h"
#include "support/Recording.h"
#include "platform/RuntimeError.h"
#include "support/Cases.h"

using convert::ConvertXBase;

TEST(Convert, WholeFilesAndBlocks) {
    for (const std::string name : {"examples", "program"}) {
        const std::string expected = cases::crlf(cases::lines("convert/cases/" + name + ".bas"));
        EXPECT_EQ(convert::ConvertXBaseSource(cases::read(cases::path("convert/cases/" + name + ".prg"))), expected)
            << name;
    }
    for (const auto& r : cases::rows("convert/cases/sources.txt"))
        EXPECT_EQ(convert::ConvertXBaseSource(r[0]), r[1]) << r[0];
    // One converter for all blocks: each block starts afresh, and adds to what
    // the output already holds.
    platform::RecordingDesktop desktop;
    ConvertXBase converter;
    for (const cases::Case& c : cases::read_cases("convert/cases/blocks.txt")) {
        std::string out = "kept";
        converter.ConvertXBaseBlock(cases::crlf(c["in"], false), out);
        EXPECT_EQ(out, "kept" + cases::crlf(c["out"])) << c.title;
    }
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST(Convert, RewritesAndScanners) {
    using Rewrite = std::function<std::string(ConvertXBase&, std::string&)>;
    const std::map<std::string, Rewrite> call = {
        {"ConvertIncDecOperators", &ConvertXBase::ConvertIncDecOperators},
        {"ConvertPlusEquals", &ConvertXBase::ConvertPlusEquals},
        {"ConvertMinusEquals", &ConvertXBase::ConvertMinusEquals},
        {"ProcessStringOperator", [](ConvertXBase& c, std::string& l) { return c.ProcessStringOperator(l); }},
        {"ChangeResWords", [](ConvertXBase& c, std::string& l) { return c.ChangeResWords(l); }},
        {"GetNextVBWord", &ConvertXBase::GetNextVBWord},
        {"GetNextPSOWord", &ConvertXBase::GetNextPSOWord}};
    for (const auto& r : cases::rows("convert/cases/lines.txt")) {
        SCOPED_TRACE(r[0] + " | " + r[1]);
        ConvertXBase c;
        std::string line = r[1];
        if (r[0] == "GetNextWord") {
            c.SetTokenSource(line);
            for (std::size_t i = 2; i <= r.size(); ++i) EXPECT_EQ(c.GetNextWord(), i < r.size() ? r[i] : "");
        } else if (r[0].starts_with("GetNext")) {
            for (std::size_t i = 2; i + 1 < r.size(); ++i) EXPECT_EQ(call.at(r[0])(c, line), r[i]);
            if (r.back() != "*") {
                EXPECT_EQ(line, r.back());
            }
        } else {
            EXPECT_EQ(call.at(r[0])(c, line), r[2]);
            // Renaming and the expression forms of ++ and -- change the line in place too.
            if (r[0] == "ChangeResWords" || (r[0].ends_with("DecOperators") && r[2].find('(') != std::string::npos)) {
                EXPECT_EQ(line, r[2]);
            }
        }
    }
}

// A converter whose renaming fails on its third call.
struct FailingConverter : ConvertXBase {
    std::string ChangeResWords(std::string& s) override {
        if (++calls == 3) throw platform::RuntimeError(platform::err::Overflow, "Overflow");
        return ConvertXBase::ChangeResWords(s);
    }
    int calls = 0;
};

TEST(Convert, ErrorIsReportedAndConvertedLinesStay) {
    platform::RecordingDesktop desktop;
    FailingConverter converter;
    std::string out;
    converter.ConvertXBaseBlock("a := 1\r\nb := 2\r\nc := 3\r\nd := 4", out);
    EXPECT_EQ(out, "a = 1\r\nb = 2\r\n");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(std::tie(desktop.boxes.last().text, desktop.boxes.last().title, desktop.boxes.last().icon),
              std::tuple("Err Code: 6\nErr Desc: Overflow\nProcname: ConvertXBaseBlock\nSub Proc: ", "Program Error",
                         platform::Icon::Stop));
}
