#pragma once
// sifton as a language server (LSP 3.17): one process per editor session,
// speaking the protocol on two file descriptors.
//
// The editor's unsaved text is checked by the same engine, with the same
// finding records, as `sifton --format json` on the bytes the editor would
// save (the text in Windows-1252). Checks run on a worker thread; the newest
// text of a document wins, so a burst of changes never publishes a result for
// a version older than one already sent.
//
// Threads: one reads and frames the input (and notes cancellations at once),
// the caller's thread answers the messages in order, one worker checks.
#include <ostream>

namespace lsp {

// Serves until the client sends `exit` or the input ends. Returns the exit
// status: 0 after shutdown and exit, 1 otherwise. Nothing but protocol goes
// to `outFd`; problems with the input are logged to `log`.
int runServer(int inFd, int outFd, std::ostream& log);

}  // namespace lsp
