// Whole xBase files and their Basic conversions, worked out by hand, side by
// side in cases/: NAME.prg converts to NAME.bas. Both are kept with LF line
// ends; the input is read the way the command line reads a file (a bare LF
// is a line end) and the expected lines end with CR LF.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ConvertTestSupport.h"

namespace {

std::string readCase(const std::string& name) {
    std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/tests/convert/cases/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << name;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(ConvertCaseFile, ConvertsAsWorkedOut) {
    for (const std::string name : {"examples", "program"}) {
        SCOPED_TRACE(name);
        std::string expected = readCase(name + ".bas");
        for (std::size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2) expected.insert(at, "\r");
        const auto want = converttest::splitCrLf(expected);
        const auto got = converttest::splitCrLf(convert::ConvertXBaseSource(readCase(name + ".prg")));
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "output line " << i + 1;
    }
}

TEST(ConvertSource, LineEndsAndBytes) {
    EXPECT_EQ(convert::ConvertXBaseSource("x := 1\ny := 2\n"), "x = 1\r\ny = 2\r\n");
    EXPECT_EQ(convert::ConvertXBaseSource("x := 1\r\ny := 2\r\n"), "x = 1\r\ny = 2\r\n");
    EXPECT_EQ(convert::ConvertXBaseSource("x := 1\r\n\ny := 2"), "x = 1\r\n\r\ny = 2\r\n");
    EXPECT_EQ(convert::ConvertXBaseSource(""), "");
    // Bytes above ASCII pass through.
    EXPECT_EQ(convert::ConvertXBaseSource("? 'Gr\xFC\xDF" "e'\n"), "? \"Gr\xFC\xDF" "e\"\r\n");
}
