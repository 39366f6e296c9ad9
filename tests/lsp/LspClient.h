#pragma once
// A small client of the language server for the tests: the server runs in
// this process (on pipes, so that its threads are checked like any other
// code) or as the program `sifton --lsp`. Everything the server writes is
// read at once by a thread of the client, so a test that reads late never
// blocks the server.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "lsp/MessageReader.h"
#include "lsp/Server.h"

using json = nlohmann::json;

class LspClient {
public:
    // The server in this process.
    LspClient() {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("pipe");
        toServer_ = in[1];
        fromServer_ = out[0];
        server_ = std::thread([this, r = in[0], w = out[1]] {
            const int status = lsp::runServer(r, w, log_);
            ::close(w);
            ::close(r);
            std::lock_guard<std::mutex> lock(mutex_);
            status_ = status;
        });
        reader_ = std::thread([this] { readAll(); });
    }
    // The program, as `program --lsp`.
    explicit LspClient(const std::string& program) {
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
            ::execl(program.c_str(), program.c_str(), "--lsp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        toServer_ = in[1];
        fromServer_ = out[0];
        reader_ = std::thread([this] { readAll(); });
    }
    ~LspClient() { finish(); }

    void sendRaw(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(toServer_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }
    static std::string frame(const std::string& body) {
        return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    }
    void send(const json& message) { sendRaw(frame(message.dump())); }
    void notify(const std::string& method, const json& params) {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }
    // Sends a request and waits for its response (the whole response object).
    json request(const std::string& method, const json& params = json::object(), int seconds = 20) {
        const int id = ++lastId_;
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
        return waitFor([&](const json& m) { return m.contains("id") && m["id"] == id && !m.contains("method"); },
                       seconds);
    }
    json initialize(const json& options = nullptr) {
        json r =
            request("initialize",
                    {{"processId", nullptr}, {"capabilities", json::object()}, {"initializationOptions", options}});
        notify("initialized", json::object());
        return r;
    }
    void open(const std::string& uri, const std::string& text, int version = 1) {
        notify("textDocument/didOpen",
               {{"textDocument", {{"uri", uri}, {"languageId", "vb"}, {"version", version}, {"text", text}}}});
    }
    // The first message received (earlier or within 20 s) that `match`
    // accepts; it is taken out of the received ones. Null after the time.
    json waitFor(const std::function<bool(const json&)>& match, int seconds = 20) {
        std::unique_lock<std::mutex> lock(mutex_);
        json found;
        ready_.wait_for(lock, std::chrono::seconds(seconds), [&] {
            for (auto it = received_.begin(); it != received_.end(); ++it) {
                if (match(*it)) {
                    found = std::move(*it);
                    received_.erase(it);
                    return true;
                }
            }
            return ended_;
        });
        return found;
    }
    // The next diagnostics published for a document.
    json diagnostics(const std::string& uri, int seconds = 20) {
        return waitFor(
            [&](const json& m) {
                return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri;
            },
            seconds);
    }
    // Ends the input; the server's exit status (or -1 when it is still running after 20 s).
    int finish() {
        if (toServer_ >= 0) ::close(toServer_);
        toServer_ = -1;
        int status = -1;
        if (pid_ > 0) {
            for (int i = 0; i < 2000; ++i) {
                int ws = 0;
                if (::waitpid(pid_, &ws, WNOHANG) == pid_) {
                    status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 128;
                    pid_ = -1;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (pid_ > 0) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                pid_ = -1;
            }
        }
        if (server_.joinable()) server_.join();
        if (reader_.joinable()) reader_.join();
        if (fromServer_ >= 0) ::close(fromServer_);
        fromServer_ = -1;
        std::lock_guard<std::mutex> lock(mutex_);
        return pid_ == -1 && status >= 0 ? status : status_;
    }
    // The server's process when it runs as the program; -1 otherwise.
    pid_t pid() const { return pid_; }

private:
    void readAll() {
        lsp::MessageReader reader;
        char buffer[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fromServer_, buffer, sizeof buffer);
            if (n <= 0) break;
            reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
            lsp::MessageReader::Item item;
            while (reader.next(item)) {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.push_back(item.ok ? json::parse(item.body) : json{{"framing error", item.error}});
                ready_.notify_all();
            }
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        ready_.notify_all();
    }

    int toServer_ = -1, fromServer_ = -1;
    pid_t pid_ = -1;
    std::thread server_, reader_;
    std::ostringstream log_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<json> received_;
    bool ended_ = false;
    int status_ = -1;
    int lastId_ = 0;
};
