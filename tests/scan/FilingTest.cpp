// Filing findings: the check level, the counters, the slots and their texts.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "scan/BatchScan.h"

#include "ScanTestSupport.h"

using namespace scan;
using scantest::crlf;
using scantest::LevelGuard;

namespace {

const std::string Dim = "Warning: Module Level Dim does not clarify scope, Public/Private will.";
const std::string Untyped = "Error: Untyped Variable yields variant type.";
const std::string Casing = "Suggest: Variable names should start syllables with upper case letters.";

class Filing : public scantest::ScanTest {
protected:
    void SetUp() override { oculon.LoadFromText("T.BAS", crlf({"Option Explicit", "x = 1"})); }
    tSourceLine& line() { return ScanTestAccess::line(oculon, 2); }
    void post(MessageId id) { ScanTestAccess::post(oculon, id, line()); }
    void post(MessageId id, const std::string& usage) { ScanTestAccess::post(oculon, id, line(), usage); }
    void postModule(MessageId id, const std::string& a, const std::string& b) {
        ScanTestAccess::postModule(oculon, id, a, b);
    }
};

TEST_F(Filing, EachLevelKeepsItsGrades) {
    {
        LevelGuard level(1);
        post(MessageId::ModuleLevelDim, "Dim");
        post(MessageId::SyllableCase, "a} {a");
        EXPECT_TRUE(line().sMessages[1].empty());
        EXPECT_EQ(oculon.warningCount(), 0);
        EXPECT_EQ(oculon.suggestCount(), 0);
        post(MessageId::UntypedVariable, "x} {");
        EXPECT_EQ(line().sMessages[1], Untyped + "\r\n");
        EXPECT_EQ(oculon.errorCount(), 1);
    }
    {
        LevelGuard level(2);
        post(MessageId::SyllableCase);
        post(MessageId::ModuleLevelDim);
        EXPECT_EQ(line().sMessages[3], Dim + "\r\n\r\n");
        EXPECT_TRUE(line().sMessages[4].empty());
        EXPECT_EQ(oculon.warningCount(), 1);
        EXPECT_EQ(oculon.suggestCount(), 0);
    }
    LevelGuard level(3);
    // Raising the level does not refilter earlier findings.
    EXPECT_TRUE(line().sMessages[4].empty());
    post(MessageId::SyllableCase);
    EXPECT_EQ(line().sMessages[4], Casing + "\r\n\r\n");
    EXPECT_EQ(oculon.suggestCount(), 1);
    EXPECT_EQ(oculon.warningCount(), 1);
    EXPECT_EQ(oculon.errorCount(), 1);
}

TEST_F(Filing, SlotTextsWithAndWithoutUsage) {
    LevelGuard level(3);
    post(MessageId::ModuleLevelDim, "Dim");
    post(MessageId::ProcedureScope);
    post(MessageId::TypePrefix, "lCount} {l");
    EXPECT_EQ(line().sMessages[1], Dim + "\r\n");
    EXPECT_EQ(line().sMessages[2], "Look at:   {Dim}\r\n\r\n");
    EXPECT_EQ(line().sMessages[3], "Warning: Scope of procedure not specified.\r\n\r\n");
    EXPECT_EQ(line().sMessages[4], "Warning: DataType doesn't correspond to variable prefix.\r\n");
    EXPECT_EQ(line().sMessages[5], "Look at:   {lCount} {l}\r\n\r\n");
    EXPECT_TRUE(line().sMessages[6].empty());
    // An empty usage text still gives its line.
    post(MessageId::ProcedureScope, "");
    EXPECT_EQ(line().sMessages[7], "Look at:   {}\r\n\r\n");
}

TEST_F(Filing, LineSlotsOverflowQuietlyButAreCounted) {
    LevelGuard level(3);
    for (int i = 0; i < 18; ++i) post(MessageId::ProcedureScope);
    post(MessageId::TypePrefix, "a} {i");  // finds slot 19 free: uses 19 and 20
    EXPECT_EQ(line().sMessages[19], "Warning: DataType doesn't correspond to variable prefix.\r\n");
    EXPECT_EQ(line().sMessages[20], "Look at:   {a} {i}\r\n\r\n");
    post(MessageId::ProcedureScope);
    post(MessageId::UntypedVariable, "b} {");
    EXPECT_EQ(line().sMessages[20], "Look at:   {a} {i}\r\n\r\n");
    EXPECT_EQ(oculon.warningCount(), 20);
    EXPECT_EQ(oculon.errorCount(), 1);
    EXPECT_TRUE(desktop.boxes.shown.empty());

    // Twenty filled slots: the block has no asterisk line.
    std::string report = oculon.sFillMessages();
    EXPECT_TRUE(report.ends_with("Look at:   {a} {i}\r\n\r\n")) << report.substr(report.size() - 80);
    EXPECT_EQ(report.find("*****************"), std::string::npos);
}

TEST_F(Filing, NineteenPlainFindingsLeaveSlotTwentyEmpty) {
    LevelGuard level(3);
    for (int i = 0; i < 25; ++i) post(MessageId::ProcedureScope);
    EXPECT_FALSE(line().sMessages[19].empty());
    EXPECT_TRUE(line().sMessages[20].empty());
    EXPECT_EQ(oculon.warningCount(), 25);
    EXPECT_TRUE(oculon.sFillMessages().ends_with("*****************\r\n"));
}

TEST_F(Filing, ModuleFindingTexts) {
    LevelGuard level(3);
    postModule(MessageId::ControlPrefix, "Text1", "VB.TextBox} {txt");
    postModule(MessageId::ClsInternalName, "", "CLS");
    postModule(MessageId::AcceleratorKeys, "cmdOK} {\"OK\"", "");
    postModule(MessageId::OptionExplicit, "", "");
    EXPECT_TRUE(oculon.moduleMessages()[0].empty());
    EXPECT_EQ(moduleFindings(), (std::vector<std::string>{
                                    "Warning: DataType doesn't correspond to variable prefix.\r\n",
                                    "Usage | Std:   {Text1}{VB.TextBox} {txt}\r\n\r\n",
                                    "Suggest: CLS modules should have Internal Names prefixed by \"cls\".\r\n",
                                    "Usage | Std:   {CLS}\r\n\r\n",
                                    "Error: You should use accelerator keys on Command buttons.\r\n",
                                    "Usage | Std:   {cmdOK} {\"OK\"}\r\n\r\n",
                                    "Error: \"Option Explicit\" should be specified for this module.\r\n\r\n",
                                }));
    EXPECT_EQ(oculon.errorCount(), 2);
    EXPECT_EQ(oculon.warningCount(), 1);
    EXPECT_EQ(oculon.suggestCount(), 1);
}

TEST_F(Filing, ModuleSlotsOverflowQuietly) {
    LevelGuard level(3);
    for (int i = 0; i < 98; ++i) postModule(MessageId::OptionExplicit, "", "");
    postModule(MessageId::FileNameSubset, "A.BAS", "b");  // slots 99 and 100
    postModule(MessageId::OptionExplicit, "", "");
    const auto& m = oculon.moduleMessages();
    EXPECT_EQ(m[99], "Suggest: The Filename isn't a subset of the module Internal Name.\r\n");
    EXPECT_EQ(m[100], "Usage | Std:   {A.BAS}{b}\r\n\r\n");
    EXPECT_EQ(oculon.errorCount(), 99);
    EXPECT_EQ(oculon.suggestCount(), 1);
    std::string report = oculon.sFillMessages();
    EXPECT_NE(report.find("{A.BAS}{b}\r\n\r\n[Source Code Scan Results] \r\n"), std::string::npos);
}

TEST_F(Filing, EachLoadStartsWithNoFindings) {
    LevelGuard level(3);
    post(MessageId::ProcedureScope);
    postModule(MessageId::OptionExplicit, "", "");
    oculon.LoadFromText("T.BAS", crlf({"Option Explicit", "x = 1"}));
    EXPECT_EQ(oculon.warningCount(), 0);
    EXPECT_EQ(oculon.errorCount(), 0);
    EXPECT_TRUE(oculon.moduleMessages()[1].empty());
    EXPECT_TRUE(line().sMessages[1].empty());
}

TEST(MessageCatalogue, EveryRowIsGradedByItsFirstLetterAndListedOnce) {
    std::ostringstream listing;
    listMessages(listing);
    std::set<std::string> numbers;
    for (const CatalogueEntry& e : messageCatalogue()) {
        EXPECT_EQ(e.text.substr(0, 1), gradeLetter(e.grade)) << e.number;
        EXPECT_EQ(&catalogueEntry(e.id), &e);
        numbers.insert(e.number);
        std::string text = e.text;
        if (auto p = text.find("\r\n"); p != std::string::npos) text.replace(p, 2, "\n");
        EXPECT_NE(listing.str().find(text), std::string::npos) << e.number;
    }
    EXPECT_EQ(numbers.size(), 31u);
    for (int i = 1; i <= 30; ++i) EXPECT_TRUE(numbers.count(std::to_string(i))) << i;
    EXPECT_TRUE(numbers.count("4b"));
    EXPECT_EQ(messageText(MessageId::ControlPrefix), messageText(MessageId::TypePrefix));
    EXPECT_EQ(catalogueEntry(MessageId::ControlPrefix).kind, FindingKind::Module);
    EXPECT_NE(listing.str().find("4b  W  module  Warning: DataType"), std::string::npos);
    EXPECT_NE(listing.str().find("23  E  module  Error: \"Option Explicit\""), std::string::npos);
    EXPECT_NE(listing.str().find("1   E  line    Error:   Dim of multiple"), std::string::npos);
}

TEST(Trap, ReportsUnderTheProcedureNameAndGivesADefault) {
    platform::RecordingDesktop desktop;
    std::string s = trapErrors("mTypeRules", []() -> std::string { throw platform::RuntimeError(6, "Overflow"); });
    EXPECT_EQ(s, "");
    ASSERT_EQ(desktop.boxes.shown.size(), 1u);
    EXPECT_EQ(desktop.boxes.last().text, "Err Code: 6\nErr Desc: Overflow\nProcname: mTypeRules\nSub Proc: ");
    EXPECT_EQ(desktop.boxes.last().title, "Program Error");
    long n = trapErrors("msTypePrefixFor", []() -> long { return std::string("ab").at(5); });
    EXPECT_EQ(n, 0);
    EXPECT_NE(desktop.boxes.last().text.find("Err Code: 9\n"), std::string::npos);
    EXPECT_EQ(trapErrors("x", [] { return 7; }), 7);
    EXPECT_EQ(desktop.boxes.shown.size(), 2u);
}

}  // namespace
