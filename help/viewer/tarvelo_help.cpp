// TARVELO_Help.exe: the utility's help viewer, which is the installed Qt Assistant under the
// name the utility starts. The process replaces itself with Assistant, so the remote-control
// commands on standard input and the utility's close request reach the viewer directly.
#include <QByteArray>
#include <QLibraryInfo>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

int main(int argc, char *argv[])
{
    const QByteArray installed =
        QLibraryInfo::location(QLibraryInfo::BinariesPath).toLocal8Bit() + "/assistant";

    std::vector<char *> args;
    args.reserve(size_t(argc) + 1);
    args.push_back(const_cast<char *>(installed.constData()));
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);

    execv(installed.constData(), args.data());
    const int firstError = errno;
    // Not where this Qt keeps its tools: try the program search.
    args.front() = const_cast<char *>("assistant");
    execvp("assistant", args.data());
    std::fprintf(stderr, "TARVELO_Help.exe: cannot start Qt Assistant (%s): %s\n",
                 installed.constData(), std::strerror(firstError));
    return 127;
}
