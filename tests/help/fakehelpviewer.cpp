// Stands in for the help viewer in tests: records how it was started and every command line
// it reads, one entry a line, in the file named by TARVELO_FAKE_HELP_LOG.
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const char *logPath = std::getenv("TARVELO_FAKE_HELP_LOG");
    if (!logPath)
        return 2;
    if (std::getenv("TARVELO_FAKE_HELP_IGNORE_TERM"))
        std::signal(SIGTERM, SIG_IGN);
    std::ofstream log(logPath, std::ios::app);
    log << "start " << getpid() << '\n' << "program " << argv[0] << '\n';
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd))
        log << "cwd " << cwd << '\n';
    for (int i = 1; i < argc; ++i)
        log << "arg " << argv[i] << '\n';
    log << "ready" << std::endl;
    std::string line;
    while (std::getline(std::cin, line))
        log << "line " << line << std::endl;
    log << "eof" << std::endl;
    return 0;
}
