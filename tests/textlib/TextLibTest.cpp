// The text functions, each row of cases/textlib.txt one call.
#include <gtest/gtest.h>

#include <functional>

#include "support/Cases.h"
#include "textlib/TextLib.h"

using namespace textlib;

TEST(TextLib, EveryRowOfTheTableAndAWalkOfAllLines) {
    using Row = std::vector<std::string>;
    auto n = [](const std::string& s) { return std::stoll(s); };
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    auto consumed = [](std::string (*f)(std::string&)) { return [f](Row r) { return f(r[1]) + " | " + r[1]; }; };
    const std::map<std::string, std::function<std::string(Row)>> call = {
        {"MLCount", [&](Row r) { return std::to_string(MLCount(r[1], static_cast<int>(n(r[2])))); }},
        {"MemoLine", [&](Row r) { return MemoLine(r[1], static_cast<int>(n(r[2])), n(r[3])); }},
        {"LastAt", [&](Row r) { return std::to_string(LastAt(r[1], r[2])); }},
        {"ExtractWord", [&](Row r) { return ExtractWord(r[1], r[2]) + " | " + r[1]; }},
        {"IsAlpha", [&](Row r) { return b(IsAlpha(r[1])); }},
        {"IsDigit", [&](Row r) { return b(IsDigit(r[1])); }},
        {"LeadingSpaces", [&](Row r) { return std::to_string(LeadingSpaces(r[1])); }},
        {"ReplaceFirst", [&](Row r) { return ReplaceFirst(r[1], r[2], r[3]) + " | " + r[1]; }},
        {"ReplaceAll", [&](Row r) { return ReplaceAll(r[1], r[2], r[3]); }},
        {"ReplaceAllText", [&](Row r) { return ReplaceAllText(r[1], r[2], r[3]); }},
        {"NextCodeWord", consumed(NextCodeWord)},
        {"NextSpacedWord", consumed(NextSpacedWord)},
        {"Trim", [&](Row r) { return Trim(r[1]); }},
        {"UCase", [&](Row r) { return UCase(r[1]); }},
        {"LCase", [&](Row r) { return LCase(r[1]); }},
        {"InStr", [&](Row r) { return std::to_string(InStr(n(r[1]), r[2], r[3])); }},
        {"InStrText", [&](Row r) { return std::to_string(InStrText(n(r[1]), r[2], r[3])); }},
        {"EqualsText", [&](Row r) { return b(EqualsText(r[1], r[2])); }},
        {"Mid", [&](Row r) { return Mid(r[1], n(r[2]), n(r[3])); }},
        {"Right", [&](Row r) { return Right(r[1], n(r[2])); }},
    };
    ResetMemoCursor();
    for (const Row& r : cases::rows("textlib/cases/textlib.txt")) {
        if (r[0] == "reset") {
            ResetMemoCursor();
            continue;
        }
        const bool two = r[0] == "ExtractWord" || r[0] == "ReplaceFirst" || r[0].starts_with("Next");
        const std::size_t args = r.size() - (two ? 2 : 1);
        std::string want = r[args];
        if (two) want += " | " + r[args + 1];
        ASSERT_TRUE(call.contains(r[0])) << r[0];
        EXPECT_EQ(call.at(r[0])(r), want) << r[0] << "(" << r[1] << (args > 2 ? ", " + r[2] : "") << ")";
    }
    // Walk of all lines rebuilds the text.
    std::string t, rebuilt;
    for (int i = 0; i < 1000; ++i) t += "line " + std::to_string(i) + "\r\n";
    ASSERT_EQ(MLCount(t, 0), 1000);
    for (std::int64_t i = 1; i <= 1000; ++i) rebuilt += MemoLine(t, 0, i) + "\r\n";
    EXPECT_EQ(rebuilt, t);
}
