// Reading the user definitions file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScanTestSupport.h"

using namespace scan;

namespace {

class UserDefs : public ::testing::Test {
protected:
    // An engine that reads the given file contents as its user definitions.
    clsOculon withDefs(const std::string& contents) {
        {
            std::ofstream out(path, std::ios::binary);
            out << contents;
        }
        return clsOculon(path);
    }
    void TearDown() override { std::filesystem::remove(path); }

    std::string path = std::string(VARNEL_BINARY_DIR) + "/scan-userdefs-test.txt";
    platform::RecordingDesktop desktop;
};

TEST_F(UserDefs, MissingFileLeavesBothListsEmpty) {
    clsOculon o(std::string(VARNEL_BINARY_DIR) + "/no/such/UserDefs.txt");
    EXPECT_EQ(o.controlStyles(), "");
    EXPECT_EQ(o.variablePrefixes(), "");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(UserDefs, ControlStylesThenTypePrefixes) {
    clsOculon o = withDefs("; my controls\r\nTextBox=txb\r\nGauge=gau\r\n;VARIABLE_PREFIXES\r\n"
                           "  Integer_int  \r\n; a comment\r\nLong\r\nlng\r\n");
    EXPECT_EQ(o.controlStyles(), "TextBox=txb_Gauge=gau_");
    EXPECT_EQ(o.variablePrefixes(), "_Integer_int_Long_lng_");
}

TEST_F(UserDefs, MarkersInEitherOrder) {
    // The first marker is then only a comment.
    clsOculon o = withDefs(";CONTROL_STYLES\nTextBox=txb\n;VARIABLE_PREFIXES\nInteger_int\n");
    EXPECT_EQ(o.controlStyles(), "TextBox=txb_");
    EXPECT_EQ(o.variablePrefixes(), "_Integer_int_");
    // A control-styles marker after the prefixes ends the reading.
    clsOculon p = withDefs("Box=bx\n;VARIABLE_PREFIXES\nInteger_int\n;CONTROL_STYLES\nGauge=gau\nLong_lng\n");
    EXPECT_EQ(p.controlStyles(), "Box=bx_");
    EXPECT_EQ(p.variablePrefixes(), "_Integer_int_");
}

TEST_F(UserDefs, MarkersAreExactAndMayCarryMoreText) {
    clsOculon o = withDefs("A=a\n;variable_prefixes\nB=b\n;VARIABLE_PREFIXES (types)\nC_c\n");
    EXPECT_EQ(o.controlStyles(), "A=a_B=b_");
    EXPECT_EQ(o.variablePrefixes(), "_C_c_");
}

TEST_F(UserDefs, ControlEntriesKeepTheirBlanksEmptyLinesAreEntries) {
    clsOculon o = withDefs(" Gauge=gau \n\n;VARIABLE_PREFIXES\n\n");
    EXPECT_EQ(o.controlStyles(), " Gauge=gau __");
    EXPECT_EQ(o.variablePrefixes(), "__");
}

TEST_F(UserDefs, FileWithoutPrefixSection) {
    clsOculon o = withDefs("Gauge=gau\n");
    EXPECT_EQ(o.controlStyles(), "Gauge=gau_");
    EXPECT_EQ(o.variablePrefixes(), "_");
    clsOculon e = withDefs("");
    EXPECT_EQ(e.controlStyles(), "");
    EXPECT_EQ(e.variablePrefixes(), "_");
}

TEST_F(UserDefs, ReadErrorKeepsWhatWasRead) {
    std::ofstream(path, std::ios::binary) << "A=a\nB=b\nC=c\n;VARIABLE_PREFIXES\nInteger_int\n";
    platform::FaultyFileSystem faulty(platform::realFileSystem());
    faulty.failOn("read", 3, platform::err::DeviceIO);
    platform::ScopedServices scope({.files = &faulty});
    clsOculon o(path);
    EXPECT_EQ(o.controlStyles(), "A=a_B=b_");
    EXPECT_EQ(o.variablePrefixes(), "");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(UserDefs, ReadFromTheProgramsFolderByDefault) {
    std::string beside = std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/UserDefs.txt";
    ASSERT_FALSE(std::filesystem::exists(beside));
    {
        std::ofstream(beside, std::ios::binary) << "Gauge=gau\r\n;VARIABLE_PREFIXES\r\nInteger_int\r\n";
    }
    clsOculon o;
    std::filesystem::remove(beside);
    EXPECT_EQ(o.controlStyles(), "Gauge=gau_");
    EXPECT_EQ(o.variablePrefixes(), "_Integer_int_");
}

}  // namespace
