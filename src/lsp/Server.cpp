#include "lsp/Server.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <thread>

#include "editor/EntitySplit.h"
#include "indent/Indent.h"
#include "lint/LintRun.h"
#include "lint/ProjectConfig.h"
#include "lint/RuleDocs.h"
#include "lint/Suppressions.h"
#include "lsp/Analysis.h"
#include "lsp/MessageReader.h"
#include "lsp/TextDocument.h"
#include "textlib/TextLib.h"

namespace lsp {

using json = nlohmann::json;

namespace {

// Error codes of the protocol.
constexpr int ParseError = -32700, InvalidRequest = -32600, MethodNotFound = -32601, InvalidParams = -32602,
              InternalError = -32603, ServerNotInitialized = -32002, RequestCancelled = -32800;

// A request whose parameters do not fit: answered with InvalidParams.
struct BadParams : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------
// Output: whole messages, one writer at a time.

class Channel {
public:
    explicit Channel(int fd) : fd_(fd) {}
    void send(const json& message) {
        const std::string body = message.dump(-1, ' ', false, json::error_handler_t::replace);
        const std::string frame = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        std::lock_guard<std::mutex> lock(mutex_);
        std::size_t done = 0;
        while (done < frame.size() && !broken_) {
            const ssize_t n = ::write(fd_, frame.data() + done, frame.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) broken_ = true;
            else done += static_cast<std::size_t>(n);
        }
    }
    void notify(const std::string& method, json params) {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
    }

private:
    int fd_;
    std::mutex mutex_;
    bool broken_ = false;
};

// ---------------------------------------------------------------------------
// Input: the reader thread frames and parses; the server takes the messages
// in order. Cancellations are noted as they arrive, so that a request still
// waiting is answered as cancelled.

struct Inbound {
    enum Kind { Message, Malformed, End } kind = Message;
    json message;
    std::string problem;
};

class Inbox {
public:
    void push(Inbound item) {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(std::move(item));
        ready_.notify_one();
    }
    Inbound pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return !items_.empty(); });
        Inbound item = std::move(items_.front());
        items_.pop_front();
        return item;
    }
    void cancel(const json& id) {
        std::lock_guard<std::mutex> lock(mutex_);
        cancelled_.insert(id.dump());
    }
    // Whether the request was cancelled; forgets it.
    bool takeCancelled(const json& id) {
        std::lock_guard<std::mutex> lock(mutex_);
        return cancelled_.erase(id.dump()) > 0;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Inbound> items_;
    std::set<std::string> cancelled_;
};

// Reads until the input ends or `stopFd` becomes readable (the server is done).
void readInput(int fd, int stopFd, Inbox& inbox) {
    MessageReader reader;
    char buffer[1 << 16];
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents != 0) return;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        MessageReader::Item item;
        while (reader.next(item)) {
            if (!item.ok) {
                inbox.push({Inbound::Malformed, nullptr, item.error});
                continue;
            }
            json message = json::parse(item.body, nullptr, false);
            if (message.is_discarded()) {
                inbox.push({Inbound::Malformed, nullptr, "a message that is no JSON"});
                continue;
            }
            if (message.is_object() && message.value("method", "") == "$/cancelRequest" && message.contains("params") &&
                message["params"].is_object() && message["params"].contains("id"))
                inbox.cancel(message["params"]["id"]);
            inbox.push({Inbound::Message, std::move(message), ""});
        }
    }
    const std::string rest = reader.atEnd();
    inbox.push({Inbound::End, nullptr, rest});
}

// ---------------------------------------------------------------------------
// The worker: the newest text of each document is checked; a result is
// published only while its version is still the document's newest.

struct CheckJob {
    std::string uri, path;
    TextDocument doc;
    Settings settings;
};

class Checker {
public:
    explicit Checker(Channel& channel) : channel_(channel), worker_([this] { run(); }) {}
    ~Checker() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
            ready_.notify_one();
        }
        worker_.join();
    }
    void submit(CheckJob job) {
        std::lock_guard<std::mutex> lock(mutex_);
        newest_[job.uri] = job.doc.version();
        const std::string uri = job.uri;
        pending_.insert_or_assign(uri, std::move(job));
        ready_.notify_one();
    }
    // The document is closed: its diagnostics are cleared, and nothing more
    // is published for it.
    void forget(const std::string& uri) {
        std::lock_guard<std::mutex> publishing(publishMutex_);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            newest_.erase(uri);
            pending_.erase(uri);
            results_.erase(uri);
        }
        channel_.notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
    }
    // The items published for this version of the document, waiting for the
    // worker when it is still checking it; nullopt when it never will.
    std::optional<std::vector<Item>> published(const std::string& uri, long version) {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            auto it = results_.find(uri);
            if (it != results_.end() && it->second.first == version) return it->second.second;
            auto newest = newest_.find(uri);
            if (newest == newest_.end() || newest->second != version || stop_) return std::nullopt;
            done_.wait(lock);
        }
    }

private:
    void run() {
        Analyser analyser;
        for (;;) {
            std::optional<CheckJob> job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [&] { return stop_ || !pending_.empty(); });
                if (stop_) return;
                auto first = pending_.begin();
                job.emplace(std::move(first->second));
                pending_.erase(first);
            }
            std::vector<Item> items;
            try {
                items = analyser.check(job->path, job->doc.text(), job->settings);
            } catch (const std::exception&) {
                // Out of memory on a huge text: the document shows no findings.
            }
            json diagnostics = diagnosticsJson(items, job->doc);
            // Decided and sent under the publishing lock, so that a close in
            // between cannot be overtaken; the queue stays free meanwhile.
            std::lock_guard<std::mutex> publishing(publishMutex_);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                auto newest = newest_.find(job->uri);
                if (newest == newest_.end() || newest->second != job->doc.version()) continue;
                results_[job->uri] = {job->doc.version(), std::move(items)};
                done_.notify_all();
            }
            channel_.notify(
                "textDocument/publishDiagnostics",
                {{"uri", job->uri}, {"version", job->doc.version()}, {"diagnostics", std::move(diagnostics)}});
        }
    }

    Channel& channel_;
    std::mutex publishMutex_;  // taken before mutex_, never after
    std::mutex mutex_;
    std::condition_variable ready_;  // a job is pending
    std::condition_variable done_;   // a result is published
    std::map<std::string, CheckJob> pending_;
    std::map<std::string, long> newest_;
    std::map<std::string, std::pair<long, std::vector<Item>>> results_;
    bool stop_ = false;
    std::thread worker_;
};

// ---------------------------------------------------------------------------
// Helpers

// The file path of a "file:" URI (percent-escapes decoded); other URIs as they are.
std::string pathOfUri(const std::string& uri) {
    if (uri.rfind("file://", 0) != 0) return uri;
    std::string path;
    for (std::size_t i = 7; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
            path += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    return path;
}

Position positionOf(const json& j) {
    if (!j.is_object() || !j.contains("line") || !j.contains("character") || !j["line"].is_number_integer() ||
        !j["character"].is_number_integer())
        throw BadParams("a position needs line and character");
    return {j["line"].get<long>(), j["character"].get<long>()};
}

Range rangeOf(const json& j) {
    if (!j.is_object() || !j.contains("start") || !j.contains("end")) throw BadParams("a range needs start and end");
    return {positionOf(j["start"]), positionOf(j["end"])};
}

json rangeJson(long firstLine, long firstChar, long lastLine, long lastChar) {
    return {{"start", {{"line", firstLine}, {"character", firstChar}}},
            {"end", {{"line", lastLine}, {"character", lastChar}}}};
}

// The text after a line's first apostrophe outside a string; nullopt when none.
std::optional<std::string> commentOfLine(std::string_view line) {
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') inString = !inString;
        else if (line[i] == '\'' && !inString) return std::string(line.substr(i + 1));
    }
    return std::nullopt;
}

// Whether a line holds nothing but a suppression comment of the kind wanted
// (file-wide or not).
bool isSuppressionLine(std::string_view line, bool fileWide) {
    std::optional<std::string> comment = commentOfLine(line);
    if (!comment || !textlib::Trim(std::string(line.substr(0, line.find('\'')))).empty()) return false;
    bool file = false;
    return lint::parseSuppression(*comment, file).has_value() && file == fileWide;
}

// ---------------------------------------------------------------------------
// The server

struct OpenDocument {
    std::string path;
    TextDocument doc;
    Settings settings;
};

class Server {
public:
    Server(Channel& channel, std::ostream& log) : channel_(channel), log_(log), checker_(channel) {}

    // Handles one message; false once the client has sent exit.
    bool handle(const json& message, Inbox& inbox) {
        if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
            // A response to a request of ours, or nothing the protocol knows.
            if (message.is_object() && (message.contains("result") || message.contains("error"))) return true;
            reply(message.is_object() && message.contains("id") ? message["id"] : json(nullptr), nullptr,
                  Error{InvalidRequest, "not a request or notification"});
            return true;
        }
        const std::string method = message["method"];
        const bool isRequest = message.contains("id");
        const json id = isRequest ? message["id"] : json(nullptr);
        const json params = message.contains("params") ? message["params"] : json::object();
        if (method == "exit") {
            exitStatus_ = shutdown_ ? 0 : 1;
            return false;
        }
        if (!isRequest) {
            if (!initialized_) return true;  // notifications before initialize are dropped
            try {
                notification(method, params);
            } catch (const std::exception& e) {
                log_ << "sifton --lsp: " << method << ": " << e.what() << "\n";
            }
            return true;
        }
        if (!(id.is_string() || id.is_number_integer())) {
            reply(nullptr, nullptr, Error{InvalidRequest, "a request id must be a number or a string"});
            return true;
        }
        if (inbox.takeCancelled(id)) {
            reply(id, nullptr, Error{RequestCancelled, "cancelled"});
            return true;
        }
        if (method == "initialize") {
            if (initialized_) return reply(id, nullptr, Error{InvalidRequest, "initialize was sent before"});
        } else if (!initialized_) {
            return reply(id, nullptr, Error{ServerNotInitialized, "the server is not initialized"});
        } else if (shutdown_) {
            return reply(id, nullptr, Error{InvalidRequest, "the server is shutting down"});
        }
        try {
            std::optional<json> result = request(method, params);
            if (!result) return reply(id, nullptr, Error{MethodNotFound, "no method " + method});
            return reply(id, std::move(*result));
        } catch (const BadParams& e) {
            return reply(id, nullptr, Error{InvalidParams, e.what()});
        } catch (const json::exception& e) {
            return reply(id, nullptr, Error{InvalidParams, e.what()});
        } catch (const std::exception& e) {
            return reply(id, nullptr, Error{InternalError, e.what()});
        }
    }

    void malformed(const std::string& problem) {
        log_ << "sifton --lsp: " << problem << "\n";
        if (problem == "a message that is no JSON") reply(nullptr, nullptr, Error{ParseError, problem});
    }

    int exitStatus() const { return exitStatus_; }

private:
    struct Error {
        int code;
        std::string message;
    };

    bool reply(const json& id, json result, std::optional<Error> error = std::nullopt) {
        json r = {{"jsonrpc", "2.0"}, {"id", id}};
        if (error) r["error"] = {{"code", error->code}, {"message", error->message}};
        else r["result"] = std::move(result);
        channel_.send(r);
        return true;
    }

    // ---- Requests ---------------------------------------------------------

    std::optional<json> request(const std::string& method, const json& params) {
        if (method == "initialize") return initialize(params);
        if (method == "shutdown") {
            shutdown_ = true;
            return json(nullptr);
        }
        if (method == "textDocument/diagnostic") {
            const OpenDocument& d = document(params);
            return json{{"kind", "full"}, {"items", diagnosticsJson(itemsOf(uriOf(params), d), d.doc)}};
        }
        if (method == "textDocument/documentSymbol") return documentSymbols(document(params));
        if (method == "textDocument/formatting") return formatting(document(params), std::nullopt);
        if (method == "textDocument/rangeFormatting") return formatting(document(params), rangeOf(params.at("range")));
        if (method == "textDocument/codeAction") return codeActions(params);
        if (method == "textDocument/hover") return hover(params);
        return std::nullopt;
    }

    json initialize(const json& params) {
        initialized_ = true;
        if (params.contains("initializationOptions")) clientSettings_ = params["initializationOptions"];
        if (params.contains("workspaceFolders") && params["workspaceFolders"].is_array())
            for (const json& f : params["workspaceFolders"])
                if (f.is_object() && f.contains("uri") && f["uri"].is_string())
                    log_ << "sifton --lsp: workspace folder " << pathOfUri(f["uri"]) << "\n";
        return {{"capabilities",
                 {{"positionEncoding", "utf-16"},
                  {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
                  {"documentSymbolProvider", true},
                  {"documentFormattingProvider", true},
                  {"documentRangeFormattingProvider", true},
                  {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
                  {"hoverProvider", true},
                  {"diagnosticProvider", {{"interFileDependencies", false}, {"workspaceDiagnostics", false}}}}},
                {"serverInfo", {{"name", "sifton"}, {"version", lint::toolVersion()}}}};
    }

    static std::string uriOf(const json& params) {
        if (!params.is_object() || !params.contains("textDocument") || !params["textDocument"].is_object() ||
            !params["textDocument"].contains("uri") || !params["textDocument"]["uri"].is_string())
            throw BadParams("textDocument.uri is missing");
        return params["textDocument"]["uri"];
    }

    OpenDocument& document(const json& params) {
        auto it = documents_.find(uriOf(params));
        if (it == documents_.end()) throw BadParams("the document is not open");
        return it->second;
    }

    // The document's items for its current version, as the worker publishes them.
    std::vector<Item> itemsOf(const std::string& uri, const OpenDocument& d) {
        if (auto items = checker_.published(uri, d.doc.version())) return *items;
        return analyser_.check(d.path, d.doc.text(), d.settings);
    }

    json documentSymbols(const OpenDocument& d) {
        json out = json::array();
        for (const editor::EntitySpan& e : editor::entitySpans(d.doc.text(), d.path)) {
            const std::string_view first = d.doc.line(e.firstLine);
            const bool declarations = e.name == "(declarations)";
            // The name as it stands in the heading, for the selection.
            json selection = rangeJson(e.firstLine, 0, e.firstLine, d.doc.lineLength16(e.firstLine));
            const std::size_t at = declarations ? std::string_view::npos : first.find(e.name);
            if (at != std::string_view::npos && !e.name.empty()) {
                const long start = utf16Length(first.substr(0, at));
                selection = rangeJson(e.firstLine, start, e.firstLine, start + utf16Length(e.name));
            }
            json symbol = {{"name", e.name},
                           {"kind", declarations ? 2 : 12},  // Module, Function
                           {"range", rangeJson(e.firstLine, 0, e.lastLine, d.doc.lineLength16(e.lastLine))},
                           {"selectionRange", std::move(selection)}};
            if (!declarations) symbol["detail"] = textlib::Trim(std::string(first));
            out.push_back(std::move(symbol));
        }
        return out;
    }

    // The quick indenter on lines first..last; one edit per line it changes.
    static void reindentLines(const TextDocument& doc, long first, long last, json& edits) {
        if (first > last) return;
        std::string text;
        for (long l = first; l <= last; ++l) (text += doc.line(l)) += "\r\n";
        const std::string out = indent::ReindentText(text);
        long l = first;
        for (std::size_t pos = 0; pos < out.size() && l <= last; ++l) {
            std::size_t end = out.find("\r\n", pos);
            if (end == std::string::npos) end = out.size();
            const std::string_view now = std::string_view(out).substr(pos, end - pos);
            pos = end + 2;
            if (now != doc.line(l))
                edits.push_back({{"range", rangeJson(l, 0, l, doc.lineLength16(l))}, {"newText", std::string(now)}});
        }
    }

    // Whole document: each procedure from its heading, as the editor indents
    // a procedure; the declarations and a form's description block keep
    // their layout. A range: its lines, as the editor's Indent Selected Text.
    json formatting(const OpenDocument& d, const std::optional<Range>& range) {
        json edits = json::array();
        if (range) {
            long last = range->end.line;
            if (range->end.character == 0 && last > range->start.line) --last;
            reindentLines(d.doc, std::max(0L, range->start.line), std::min(last, d.doc.lineCount() - 1), edits);
            return edits;
        }
        for (const editor::EntitySpan& e : editor::entitySpans(d.doc.text(), d.path))
            if (e.name != "(declarations)") reindentLines(d.doc, e.firstLine, e.lastLine, edits);
        return edits;
    }

    // The line end the document uses.
    static std::string lineEndOf(const TextDocument& doc) {
        const std::string& t = doc.text();
        const std::size_t lf = t.find('\n');
        return lf != std::string::npos && lf > 0 && t[lf - 1] == '\r' ? "\r\n" : "\n";
    }

    // An edit that adds `rule` to the suppression comment on line `at`, or
    // inserts a new comment line there.
    static json suppressionEdit(const TextDocument& doc, long at, bool existing, const std::string& indentOf,
                                const std::string& comment, const std::string& rule) {
        if (existing) {
            const long end = doc.lineLength16(at);
            return {{"range", rangeJson(at, end, at, end)}, {"newText", ", " + rule}};
        }
        return {{"range", rangeJson(at, 0, at, 0)}, {"newText", indentOf + comment + lineEndOf(doc)}};
    }

    json codeActions(const json& params) {
        const std::string uri = uriOf(params);
        OpenDocument& d = document(params);
        json actions = json::array();
        if (!params.contains("context") || !params["context"].contains("diagnostics")) return actions;
        for (const json& diag : params["context"]["diagnostics"]) {
            if (!diag.is_object() || !diag.contains("code") || !diag["code"].is_string()) continue;
            if (diag.value("source", "") != DiagnosticSource) continue;
            const scan::CatalogueEntry* entry = scan::findRule(diag["code"]);
            if (!entry || !diag.contains("range")) continue;
            const std::string rule = scan::ruleId(*entry);
            const long line = rangeOf(diag["range"]).start.line;
            const auto action = [&](const std::string& title, json edit) {
                actions.push_back({{"title", title},
                                   {"kind", "quickfix"},
                                   {"diagnostics", json::array({diag})},
                                   {"edit", {{"changes", {{uri, json::array({std::move(edit)})}}}}}});
            };
            if (entry->kind == scan::FindingKind::Line && line >= 0 && line < d.doc.lineCount()) {
                const std::string_view text = d.doc.line(line);
                const std::string indentOf(text.substr(
                    0, text.find_first_not_of(" \t") == std::string_view::npos ? 0 : text.find_first_not_of(" \t")));
                const bool above = line > 0 && isSuppressionLine(d.doc.line(line - 1), false);
                action("Ignore " + rule + " on this line", suppressionEdit(d.doc, above ? line - 1 : line, above,
                                                                           indentOf, "' sifton: ignore " + rule, rule));
            }
            action("Ignore " + rule + " in this file", fileSuppressionEdit(d, rule));
        }
        return actions;
    }

    // Where a file-wide suppression goes: onto one that is there, else after
    // the declarations' Option lines, else after their Attribute lines, else
    // at their start.
    json fileSuppressionEdit(const OpenDocument& d, const std::string& rule) {
        long start = 0, end = d.doc.lineCount() - 1;
        const std::vector<editor::EntitySpan> spans = editor::entitySpans(d.doc.text(), d.path);
        for (const editor::EntitySpan& e : spans) {
            if (e.name == "(declarations)") {
                start = e.firstLine;
                end = e.lastLine;
            } else if (spans.front().name != "(declarations)" || e.firstLine <= end) {
                end = std::min(end, e.firstLine - 1);
                break;
            }
        }
        long afterOption = -1, afterAttribute = -1;
        for (long l = start; l <= end; ++l) {
            const std::string_view text = d.doc.line(l);
            if (isSuppressionLine(text, true)) return suppressionEdit(d.doc, l, true, "", "", rule);
            if (text.rfind("Option ", 0) == 0) afterOption = l + 1;
            if (text.rfind("Attribute ", 0) == 0) afterAttribute = l + 1;
        }
        const long at = afterOption >= 0 ? afterOption : afterAttribute >= 0 ? afterAttribute : start;
        return suppressionEdit(d.doc, at, false, "", "' sifton: ignore-file " + rule, rule);
    }

    json hover(const json& params) {
        const std::string uri = uriOf(params);
        const OpenDocument& d = document(params);
        const Position p = positionOf(params.at("position"));
        std::string text;
        for (const Item& item : itemsOf(uri, d)) {
            if (!item.entry || p.line < item.firstLine || p.line > item.lastLine) continue;
            if (!text.empty()) text += "\n\n---\n\n";
            text += "**" + scan::ruleId(*item.entry) + "** (" + lint::gradeName(item.entry->grade) + ")\n\n" +
                    lint::windows1252ToUtf8(lint::oneLineMessage(*item.entry));
            if (!item.usage.empty()) text += "\n\nLook at: `" + item.usage + "`";
            if (const lint::RuleDoc* doc = lint::ruleDoc(scan::ruleId(*item.entry)))
                text += "\n\n" + lint::explainMarkdown(*doc);
        }
        if (text.empty()) return nullptr;
        return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
    }

    // ---- Notifications ----------------------------------------------------

    void notification(const std::string& method, const json& params) {
        if (method == "textDocument/didOpen") {
            const json& td = params.at("textDocument");
            const std::string uri = td.at("uri");
            OpenDocument d{pathOfUri(uri), TextDocument(td.at("text").get<std::string>(), td.value("version", 0L)), {}};
            d.settings = settingsFor(d.path);
            check(uri, documents_.insert_or_assign(uri, std::move(d)).first->second);
        } else if (method == "textDocument/didChange") {
            const std::string uri = uriOf(params);
            OpenDocument& d = document(params);
            for (const json& change : params.at("contentChanges")) {
                std::optional<Range> range;
                if (change.contains("range")) range = rangeOf(change["range"]);
                d.doc.replace(range, change.at("text").get<std::string>());
            }
            d.doc.setVersion(params["textDocument"].value("version", d.doc.version() + 1));
            check(uri, d);
        } else if (method == "textDocument/didSave") {
            // The project settings file may have changed with it.
            const std::string uri = uriOf(params);
            OpenDocument& d = document(params);
            d.settings = settingsFor(d.path);
            check(uri, d);
        } else if (method == "textDocument/didClose") {
            const std::string uri = uriOf(params);
            documents_.erase(uri);
            checker_.forget(uri);
        } else if (method == "workspace/didChangeConfiguration") {
            if (params.contains("settings")) clientSettings_ = params["settings"];
            for (auto& [uri, d] : documents_) {
                d.settings = settingsFor(d.path);
                check(uri, d);
            }
        }
        // Every other notification ($/cancelRequest, initialized, ...) needs nothing more.
    }

    void check(const std::string& uri, const OpenDocument& d) { checker_.submit({uri, d.path, d.doc, d.settings}); }

    // A document's settings: the client's where it gives them, else those of
    // the sifton.toml of the document's folder or the nearest one above.
    Settings settingsFor(const std::string& path) {
        Settings s;
        std::optional<lint::ProjectConfig> file;
        if (path.rfind('/', 0) == 0) {
            try {
                if (auto found = lint::findProjectConfig(path)) file = lint::readProjectConfig(*found);
            } catch (const lint::ProjectConfigError& e) {
                showMessage(1, std::string("sifton: ") + e.what());
            }
        }
        if (file) {
            if (file->level) s.level = *file->level;
            if (file->ignored) s.ignored = *file->ignored;
            s.userDefs = file->userDefs;
        }
        json c = clientSettings_.is_object() && clientSettings_.contains("sifton") ? clientSettings_["sifton"]
                                                                                   : clientSettings_;
        if (!c.is_object()) return s;
        if (c.contains("level") && c["level"].is_number_integer()) {
            const int level = c["level"].get<int>();
            if (level >= 1 && level <= 3) s.level = level;
            else showMessage(1, "sifton: level needs 1, 2 or 3");
        }
        if (c.contains("ignore")) {
            std::string list;
            if (c["ignore"].is_string()) list = c["ignore"];
            else if (c["ignore"].is_array())
                for (const json& item : c["ignore"])
                    if (item.is_string()) list += item.get<std::string>() + ",";
            std::vector<std::string> unknown;
            s.ignored = lint::parseRuleList(list, unknown);
            if (!unknown.empty()) showMessage(1, "sifton: ignore: no rule " + unknown.front());
        }
        if (c.contains("userdefs") && c["userdefs"].is_string()) s.userDefs = c["userdefs"].get<std::string>();
        return s;
    }

    void showMessage(int type, const std::string& text) {
        channel_.notify("window/showMessage", {{"type", type}, {"message", text}});
    }

    Channel& channel_;
    std::ostream& log_;
    Checker checker_;
    Analyser analyser_;  // for answers that cannot wait for the worker
    std::map<std::string, OpenDocument> documents_;
    json clientSettings_;
    bool initialized_ = false;
    bool shutdown_ = false;
    int exitStatus_ = 1;
};

}  // namespace

int runServer(int inFd, int outFd, std::ostream& log) {
    // A client that goes away must not end the server with a signal.
    std::signal(SIGPIPE, SIG_IGN);
    Channel channel(outFd);
    Inbox inbox;
    // Written to when the server is done, so that the reader stops even
    // while the client keeps its end of the input open.
    int stop[2];
    if (::pipe(stop) != 0) {
        log << "sifton --lsp: " << std::strerror(errno) << "\n";
        return 1;
    }
    std::thread reader([inFd, &stop, &inbox] { readInput(inFd, stop[0], inbox); });
    int status = 1;
    {
        Server server(channel, log);
        for (;;) {
            Inbound in = inbox.pop();
            if (in.kind == Inbound::End) {
                if (!in.problem.empty()) log << "sifton --lsp: " << in.problem << "\n";
                break;
            }
            if (in.kind == Inbound::Malformed) {
                server.malformed(in.problem);
                continue;
            }
            if (!server.handle(in.message, inbox)) break;
        }
        status = server.exitStatus();
    }
    const char done = 1;
    while (::write(stop[1], &done, 1) < 0 && errno == EINTR) {}
    reader.join();
    ::close(stop[0]);
    ::close(stop[1]);
    return status;
}

}  // namespace lsp
