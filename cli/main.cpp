// norvathel-names: see run_tool.h.
#include <csignal>
#include <cstdio>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

#include "windows_text.h"
#endif

#include "run_tool.h"

#ifdef _WIN32
// Windows: the arguments as typed, whatever the code page, and names that a console shows.
int main()
{
    // The tool writes its own CR LF; binary mode keeps the C runtime from adding another CR.
    _setmode(_fileno(stdout), _O_BINARY);
    // --keys - reads the bytes as sent: no CR taken away (the tool drops one itself) and no
    // end of input at a Ctrl+Z byte.
    _setmode(_fileno(stdin), _O_BINARY);
    std::vector<std::string> arguments = Utf8Arguments();
    ReplayValuesInAnsi(arguments);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    ConsoleRelay out(stdout), err(stderr);
    int code = RunTool(static_cast<int>(arguments.size()), argv.data(), out.stream(), err.stream());
    bool shown = out.Finish();
    err.Finish();
    return code == 0 && !shown ? 1 : code;
}
#else
int main(int argc, char** argv)
{
#ifdef SIGPIPE
    // A reader that goes away is a write error (EPIPE), which ends the tool with exit code 1
    // and no message, instead of a death by signal.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    return RunTool(argc, argv, stdout, stderr);
}
#endif
