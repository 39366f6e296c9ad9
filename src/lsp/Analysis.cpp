#include "lsp/Analysis.h"

#include <algorithm>

#include "lint/Findings.h"
#include "lint/Suppressions.h"

namespace lsp {

std::vector<Item> Analyser::check(const std::string& path, const std::string& text, const Settings& settings) {
    const std::string key = settings.userDefs.value_or("");
    auto it = engines_.find(key);
    if (it == engines_.end()) {
        it = engines_.emplace(key, settings.userDefs ? scan::clsOculon(*settings.userDefs) : scan::clsOculon()).first;
    }
    scan::clsOculon& engine = it->second;
    const auto reported = [&](const scan::CatalogueEntry& e) {
        return lint::withinLevel(e.grade, settings.level) && !settings.ignored.count(e.id);
    };
    engine.setFindingFilter([&](scan::MessageId id, long) { return reported(scan::catalogueEntry(id)); });
    // Every finding is filed; the document's own level is applied by the filter.
    engine.LoadFromText(path, toWindows1252(text), nullptr, 3);
    lint::FileResult result = lint::collectFindings(engine, path);
    lint::applySuppressions(engine, result, reported);

    std::vector<Item> items;
    for (const lint::Finding& f : result.findings) {
        if (f.suppressed) continue;
        Item item;
        item.entry = f.entry;
        item.firstLine = f.line > 0 ? f.line - 1 : 0;
        item.lastLine = item.firstLine + static_cast<long>(std::count(f.source.begin(), f.source.end(), '\n'));
        item.message = lint::windows1252ToUtf8(f.entry->text);
        item.usage = lint::windows1252ToUtf8(f.usage);
        items.push_back(std::move(item));
    }
    for (const lint::Note& n : result.notes) {
        Item item;
        item.firstLine = item.lastLine = n.line - 1;
        item.message = n.message;
        items.push_back(std::move(item));
    }
    return items;
}

nlohmann::json diagnosticsJson(const std::vector<Item>& items, const TextDocument& doc) {
    nlohmann::json out = nlohmann::json::array();
    for (const Item& item : items) {
        const long last = std::min(item.lastLine, std::max(0L, doc.lineCount() - 1));
        nlohmann::json d = {
            {"range",
             {{"start", {{"line", item.firstLine}, {"character", 0}}},
              {"end", {{"line", last}, {"character", doc.lineLength16(last)}}}}},
            {"source", DiagnosticSource},
            {"message", item.message},
        };
        if (item.entry) {
            d["severity"] = item.entry->grade == scan::Grade::Error     ? 1
                            : item.entry->grade == scan::Grade::Warning ? 2
                                                                        : 3;
            d["code"] = scan::ruleId(*item.entry);
            if (!item.usage.empty()) d["data"] = {{"usage", item.usage}};
        } else {
            d["severity"] = 3;
            d["code"] = lint::NoteRuleId;
        }
        out.push_back(std::move(d));
    }
    return out;
}

}  // namespace lsp
