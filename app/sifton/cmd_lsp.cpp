// The language server: the protocol on standard input and output, logs on
// standard error.
#include <unistd.h>

#include <iostream>

#include "Commands.h"
#include "lsp/Server.h"

int cmdLanguageServer() { return lsp::runServer(STDIN_FILENO, STDOUT_FILENO, std::cerr); }
