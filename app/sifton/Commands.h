#pragma once
// The commands of sifton. main() parses the options and calls one of them;
// each returns the exit status.
#include <optional>
#include <string>

#include "lint/LintRun.h"

// PATH...: scan and write the findings in the chosen format.
int cmdScan(const lint::Options& options);
// --list-messages: the message catalogue, one finding per line.
int cmdListMessages();
// --lsp: the language server on standard input and output.
int cmdLanguageServer();
// --explain RULE: the rule's documentation; 2 when there is no such rule.
int cmdExplain(const std::string& rule);
// No paths: the scanner window.
int runScannerWindow(int argc, char** argv, const std::optional<std::string>& userDefs);
