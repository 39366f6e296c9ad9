// The command-line layer: the rules' documentation against the engine, and
// the machine formats read back with a real JSON parser.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "lint/LintRun.h"
#include "lint/RuleDocs.h"
#include "scan/clsOculon.h"
#include "support/Cases.h"

namespace {

// The rule ids an example files when scanned at level 3 as `file`.
std::set<std::string> rulesFiled(const std::string& file, std::string code) {
    scan::clsOculon engine(cases::path("lint/cases/none.txt"));
    size_t at = 0;
    while ((at = code.find('\n', at)) != std::string::npos) code.replace(at, 1, "\r\n"), at += 2;
    engine.LoadFromText(file, code + "\r\n", nullptr, 3);
    std::set<std::string> ids;
    for (const scan::tFinding& f : engine.findings()) ids.insert(scan::ruleId(scan::catalogueEntry(f.id)));
    return ids;
}

TEST(RuleDocs, DocumentEveryRowWithExamplesThatFileItAndDoNot) {
    ASSERT_EQ(lint::ruleDocs().size(), scan::messageCatalogue().size());
    for (const lint::RuleDoc& d : lint::ruleDocs()) {
        const std::string id = d.id;
        EXPECT_EQ(id, scan::ruleId(lint::catalogueRow(d)));
        EXPECT_EQ(lint::ruleDoc("sf" + id.substr(2)), &d);
        // Two rows are never filed as the rules stand; their examples must not pretend otherwise.
        const bool filed = id != "SF011" && id != "SF030";
        EXPECT_EQ(rulesFiled(d.file, d.fires).count(id), filed ? 1u : 0u) << id;
        EXPECT_EQ(rulesFiled(d.file, d.passes).count(id), 0u) << id;
    }
    EXPECT_EQ(lint::ruleDoc("SF031"), nullptr);
}

// Runs the command-line scan; what it writes.
std::string output(lint::Options o) {
    o.quiet = true,
    o.output = (std::filesystem::temp_directory_path() / ("lint-" + std::to_string(::getpid()))).string();
    std::ostringstream err;
    lint::run(o, stdout, err);
    std::string text = cases::read(*o.output);
    std::filesystem::remove(*o.output);
    return text;
}

// The same, parsed.
nlohmann::json scanned(lint::Format format, int level, std::vector<std::string> paths) {
    lint::Options o;
    o.format = format, o.level = level, o.paths = std::move(paths);
    return nlohmann::json::parse(output(o));  // throws on anything that is not JSON
}

// (uri, fingerprint) of every SARIF result.
std::multiset<std::string> fingerprints(const nlohmann::json& sarif) {
    std::multiset<std::string> out;
    for (const auto& r : sarif["runs"][0]["results"])
        out.insert(r["locations"][0]["physicalLocation"]["artifactLocation"]["uri"].get<std::string>() + " " +
                   r["partialFingerprints"]["siftonFinding/v1"].get<std::string>());
    return out;
}

TEST(MachineFormats, ParseAtEveryLevelWithDocumentedRulesAndDistinctFingerprints) {
    const std::vector<std::string> inputs{cases::path("app/cases/lint"), cases::path("lint/cases")};
    for (int level = 1; level <= 3; ++level) {
        const nlohmann::json json = scanned(lint::Format::Json, level, inputs);
        long errors = 0;
        for (const auto& f : json["files"]) errors += f["errors"].get<long>();
        EXPECT_EQ(json["summary"]["errors"], errors);

        const nlohmann::json sarif = scanned(lint::Format::Sarif, level, inputs);
        const auto& rules = sarif["runs"][0]["tool"]["driver"]["rules"];
        ASSERT_EQ(rules.size(), lint::ruleDocs().size() + 1);  // and the notes on suppression comments
        for (const auto& r : rules) {
            EXPECT_TRUE(r["fullDescription"].contains("text") && r["help"].contains("text")) << r["id"];
            if (const lint::RuleDoc* d = lint::ruleDoc(r["id"].get<std::string>())) {
                EXPECT_EQ(r["fullDescription"]["text"], d->checks);
                EXPECT_EQ(r["help"]["text"], lint::explainText(*d));
                EXPECT_EQ(r["help"]["markdown"], lint::explainMarkdown(*d));
            }
        }
        const std::multiset<std::string> prints = fingerprints(sarif);
        EXPECT_EQ(std::set<std::string>(prints.begin(), prints.end()).size(), prints.size()) << "level " << level;
    }
}

TEST(MachineFormats, FingerprintsStayWhenLinesMoveOrLineEndsChange) {
    const std::string text = cases::read(cases::path("lint/cases/modTwice.bas"));
    cases::ScratchDir dir;
    auto printsOf = [&](const std::string& variant) {
        std::ofstream(dir.path("modTwice.bas"), std::ios::binary) << variant;
        return fingerprints(scanned(lint::Format::Sarif, 3, {dir.path("modTwice.bas")}));
    };
    const std::multiset<std::string> before = printsOf(text);
    std::string lf = text;
    for (size_t at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(printsOf(lf), before);
    EXPECT_EQ(printsOf("' moved\r\n\r\n" + text), before);
    EXPECT_EQ(std::set<std::string>(before.begin(), before.end()).size(), before.size());
}

// One line of 2,000 names, each with findings: no format repeats the line
// per finding.
TEST(MachineFormats, GrowWithTheFindingsNotWithFindingsTimesTheLine) {
    cases::ScratchDir dir;
    std::string line = "Dim v0 As Long";
    for (int i = 1; i < 2000; ++i) line += ", v" + std::to_string(i) + " As Long";
    std::ofstream(dir.path("modWide.bas"), std::ios::binary) << "Public Sub Wide()\r\n" << line << "\r\nEnd Sub\r\n";
    lint::Options o;
    o.level = 3, o.paths = {dir.path("modWide.bas")}, o.format = lint::Format::Gcc;
    const std::size_t gcc = output(o).size();
    EXPECT_GT(gcc, 2000u * 60);
    for (lint::Format f : {lint::Format::Json, lint::Format::Sarif}) {
        o.format = f;
        EXPECT_LT(output(o).size(), 10 * gcc);
    }
    o.writeBaseline = dir.path("wide.baseline");
    output(o);
    EXPECT_LT(cases::read(*o.writeBaseline).size(), 3 * gcc);
}

// Several workers: the first file streams while the later ones are held (the
// second past what its spool keeps in memory); the output is the one
// worker's, file after file.
TEST(OrderedOutput, SeveralWorkersWriteTheFilesInOrderAsOneWorkerDoes) {
    cases::ScratchDir dir;
    const std::string procedure =
        "Public Sub P()\r\n    Dim lCount As Long\r\n    lCount = Left(lCount, 1)\r\nEnd Sub\r\n";
    const std::vector<int> procedures{8000, 8000, 3, 0, 5, 1};  // two findings each
    lint::Options o;
    o.level = 3, o.format = lint::Format::Gcc;
    for (std::size_t i = 0; i < procedures.size(); ++i) {
        o.paths.push_back(dir.path("f" + std::to_string(i) + ".bas"));
        std::ofstream file(o.paths.back(), std::ios::binary);
        file << "Attribute VB_Name = \"modF" << i << "\"\r\nOption Explicit\r\n";
        for (int k = 0; k < procedures[i]; ++k) file << procedure;
    }
    o.jobs = 1;
    const std::string one = output(o);
    o.jobs = 4;
    EXPECT_EQ(output(o), one);
    std::vector<int> perFile(procedures.size(), 0);
    std::size_t last = 0;
    std::istringstream lines(one);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t file = std::stoul(line.substr(line.find("/f") + 2));
        EXPECT_GE(file, last);
        last = file;
        ++perFile[file];
    }
    for (std::size_t i = 0; i < procedures.size(); ++i) EXPECT_EQ(perFile[i], 2 * procedures[i]) << i;

    o.format = lint::Format::Json;
    o.jobs = 1;
    const nlohmann::json json = nlohmann::json::parse(output(o));
    ASSERT_EQ(json["files"].size(), procedures.size());
    EXPECT_EQ(json["files"][1]["findings"].size(), 16000u);
    o.jobs = 4;
    EXPECT_EQ(nlohmann::json::parse(output(o)), json);
}

}  // namespace
