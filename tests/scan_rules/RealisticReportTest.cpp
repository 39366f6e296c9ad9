// Whole level-3 reports of a realistic form, class and module, scanned one
// after the other by one engine as the scanner window does, compared with
// reports worked out by hand.
//
// The expected files are written with LF line ends and "<TAB>" for the tab
// characters of the report head, and "<today>" for the date; the comparison
// turns them into the report's CR LF, tabs and today's date.
#include <fstream>
#include <sstream>

#include "RuleTestSupport.h"

namespace scanrules {
namespace {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string expectedReport(const std::string& name) {
    std::ifstream in(std::string(SCAN_RULES_CASES) + "/" + name + ".level3.txt", std::ios::binary);
    EXPECT_TRUE(in.good()) << name;
    std::ostringstream text;
    text << in.rdbuf();
    return replaceAll(replaceAll(replaceAll(text.str(), "\n", "\r\n"), "<TAB>", "\t"), "<today>",
                      scan::clsOculon::sToday());
}

class RealisticReport : public RuleTest {};

// The second order scans the module again after the others: nothing of one
// file (procedure list, module label, counters) leaks into the next.
TEST_F(RealisticReport, FormClassAndModuleInOneRun) {
    for (const auto& order : {std::vector<std::string>{"ORDERS.FRM", "CUSTOMER.CLS", "ORDERUTIL.BAS"},
                              std::vector<std::string>{"ORDERUTIL.BAS", "ORDERS.FRM", "CUSTOMER.CLS", "ORDERUTIL.BAS"}}) {
        scan::clsOculon engine(std::string(SCAN_RULES_CASES) + "/NoUserDefs.txt");
        for (const std::string& name : order) {
            SCOPED_TRACE(name);
            engine.Load(std::string(SCAN_RULES_CASES) + "/" + name);
            EXPECT_EQ(visible(expectedReport(name)), visible(engine.sFillMessages()));
        }
    }
}

}  // namespace
}  // namespace scanrules
