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
#endif
#ifdef SIGPIPE
    // A reader that goes away is a write error like any other: a message and exit code 1.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    return RunTool(argc, argv, stdout, stderr);
}
