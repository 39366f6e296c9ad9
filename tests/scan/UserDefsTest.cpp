// Reading the user definitions file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScanTestSupport.h"

using namespace scan;

namespace {

class UserDefs : public ::testing::Test {
protected:
    void write(const std::string& contents) { std::ofstream(path, std::ios::binary) << contents; }
    void TearDown() override { std::filesystem::remove(path); }

    std::string path = std::string(VARNEL_BINARY_DIR) + "/scan-userdefs-test.txt";
    platform::RecordingDesktop desktop;
};

TEST_F(UserDefs, ControlStylesThenTypePrefixes) {
    const struct { const char* contents; const char* styles; const char* prefixes; } cases[] = {
        {"; my controls\r\nTextBox=txb\r\nGauge=gau\r\n;VARIABLE_PREFIXES\r\n  Integer_int  \r\n; a comment\r\nLong\r\nlng\r\n",
         "TextBox=txb_Gauge=gau_", "_Integer_int_Long_lng_"},
        // Markers in either order: the first is then only a comment ...
        {";CONTROL_STYLES\nTextBox=txb\n;VARIABLE_PREFIXES\nInteger_int\n", "TextBox=txb_", "_Integer_int_"},
        // ... and a control-styles marker after the prefixes ends the reading.
        {"Box=bx\n;VARIABLE_PREFIXES\nInteger_int\n;CONTROL_STYLES\nGauge=gau\nLong_lng\n", "Box=bx_", "_Integer_int_"},
        // Markers are exact and may carry more text.
        {"A=a\n;variable_prefixes\nB=b\n;VARIABLE_PREFIXES (types)\nC_c\n", "A=a_B=b_", "_C_c_"},
        // Control entries keep their blanks; empty lines are entries.
        {" Gauge=gau \n\n;VARIABLE_PREFIXES\n\n", " Gauge=gau __", "__"},
        // A file without a prefix section.
        {"Gauge=gau\n", "Gauge=gau_", "_"},
        {"", "", "_"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        write(c.contents);
        clsOculon o(path);
        EXPECT_EQ(o.controlStyles(), c.styles);
        EXPECT_EQ(o.variablePrefixes(), c.prefixes);
    }
}

TEST_F(UserDefs, MissingFileLeavesBothListsEmpty) {
    clsOculon o(std::string(VARNEL_BINARY_DIR) + "/no/such/UserDefs.txt");
    EXPECT_EQ(o.controlStyles(), "");
    EXPECT_EQ(o.variablePrefixes(), "");
    EXPECT_TRUE(desktop.boxes.shown.empty());
}

TEST_F(UserDefs, ReadErrorKeepsWhatWasRead) {
    write("A=a\nB=b\nC=c\n;VARIABLE_PREFIXES\nInteger_int\n");
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
    std::ofstream(beside, std::ios::binary) << "Gauge=gau\r\n;VARIABLE_PREFIXES\r\nInteger_int\r\n";
    clsOculon o;
    std::filesystem::remove(beside);
    EXPECT_EQ(o.controlStyles(), "Gauge=gau_");
    EXPECT_EQ(o.variablePrefixes(), "_Integer_int_");
}

}  // namespace
