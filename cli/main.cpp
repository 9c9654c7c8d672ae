// norvathel-names: see run_tool.h.
#include <csignal>
#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "run_tool.h"

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The tool writes its own CR LF; binary mode keeps the C runtime from adding another CR.
    _setmode(_fileno(stdout), _O_BINARY);
    // --keys - reads the bytes as sent: no CR taken away (the tool drops one itself) and no
    // end of input at a Ctrl+Z byte.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
#ifdef SIGPIPE
    // A reader that goes away is a write error (EPIPE), which ends the tool with exit code 1
    // and no message, instead of a death by signal.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    return RunTool(argc, argv, stdout, stderr);
}
