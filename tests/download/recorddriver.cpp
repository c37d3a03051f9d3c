// A program that downloads like the window does, with its record, and nothing else: the
// record test kills it with SIGKILL in the middle of a download.
// Usage: recorddriver <instrument address> <download folder> <remote path>...
#include "record/downloadrecorder.h"
#include "transfer/clientsession.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: recorddriver ADDRESS FOLDER REMOTE...\n");
        return 2;
    }
    ClientSession session;
    DownloadRecorder recorder(&session);
    const QString problem = DownloadRecorder::checkWritable(args.at(2));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    QObject::connect(&session, &ClientSession::loginFailed, [](auto, const QString &detail) {
        std::fprintf(stderr, "login failed: %s\n", qPrintable(detail));
        QCoreApplication::exit(1);
    });
    QObject::connect(&session, &ClientSession::loggedIn, [&] {
        session.setDownloadPath(args.at(2));
        if (!session.startDownload(args.mid(3)))
            QCoreApplication::exit(1);
    });
    QObject::connect(&recorder, &DownloadRecorder::recordUpdated, [](const QString &problem) {
        if (!problem.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(problem));
        QCoreApplication::exit(problem.isEmpty() ? 0 : 1);
    });
    ClientSession::Login login;
    login.host = args.at(1);
    session.logIn(login);
    // Bounded: a test that lost its stand-in must not leave this running.
    QTimer::singleShot(120000, [] { QCoreApplication::exit(3); });
    return app.exec();
}
