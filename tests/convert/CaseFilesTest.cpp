// Whole xBase files and their Basic conversions, worked out by hand, side by
// side in cases/: NAME.prg converts to NAME.bas. Both are kept with LF line
// ends; the input is read the way the command line reads a file (a bare LF
// is a line end) and the expected lines end with CR LF.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ConvertTestSupport.h"
#include "convert/ConvertXBase.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string casePath(const std::string& name) { return std::string(VARNEL_SOURCE_DIR) + "/tests/convert/cases/" + name; }

// Lines of an LF text; a final LF ends the last line.
converttest::Lines lfLines(const std::string& text) {
    converttest::Lines lines;
    std::size_t from = 0;
    while (from < text.size()) {
        auto end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

class ConvertCaseFile : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(ConvertCaseFile, ConvertsAsWorkedOut) {
    const std::string name = GetParam();
    const auto expected = lfLines(readFile(casePath(name + ".bas")));
    const auto actual = converttest::splitCrLf(convert::ConvertXBaseSource(readFile(casePath(name + ".prg"))));
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "output line " << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Cases, ConvertCaseFile, ::testing::Values("examples", "program"));

TEST(ConvertSource, BareLineFeedsAndCrLfConvertAlike) {
    EXPECT_EQ(convert::ConvertXBaseSource("x := 1\ny := 2\n"), "x = 1\r\ny = 2\r\n");
    EXPECT_EQ(convert::ConvertXBaseSource("x := 1\r\ny := 2\r\n"), "x = 1\r\ny = 2\r\n");
    EXPECT_EQ(convert::ConvertXBaseSource("x := 1\r\n\ny := 2"), "x = 1\r\n\r\ny = 2\r\n");
    EXPECT_EQ(convert::ConvertXBaseSource(""), "");
}

TEST(ConvertSource, BytesAboveAsciiPassThrough) {
    EXPECT_EQ(convert::ConvertXBaseSource("? 'Gr\xFC\xDF" "e'\n"), "? \"Gr\xFC\xDF" "e\"\r\n");
}
