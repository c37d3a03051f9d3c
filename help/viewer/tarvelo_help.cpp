// TARVELO_Help.exe: the utility's help viewer, which is the installed Qt Assistant under the
// name the utility starts. The process replaces itself with Assistant, so the remote-control
// commands on standard input and the utility's close request reach the viewer directly.
#include "help/viewer/assistantplaces.h"

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

int main(int argc, char *argv[])
{
    const QStringList places = AssistantPlaces::candidates();
    const QByteArray installed = places.first().toLocal8Bit();

    std::vector<char *> args;
    args.reserve(size_t(argc) + 1);
    args.push_back(nullptr);
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);

    // Only returns when the program could not be started: try the next place.
    int firstError = 0;
    for (const QString &place : places) {
        QByteArray program = place.toLocal8Bit();
        args.front() = program.data();
        if (place.contains(QLatin1Char('/')))
            execv(program.constData(), args.data());
        else
            execvp(program.constData(), args.data());
        if (!firstError)
            firstError = errno;
    }
    std::fprintf(stderr, "TARVELO_Help.exe: cannot start Qt Assistant (%s): %s\n",
                 installed.constData(), std::strerror(firstError));
    return 127;
}
