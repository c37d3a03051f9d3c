#pragma once
#include "common/testaddress.h"
// Runs the built tarvelo-fetch as a real process against a stand-in instrument living in the
// test process: the waits spin the event loop, so the instrument answers meanwhile.
#include "common/clientlines.h"
#include "link/protocol.h"
#include "tools/instrument/instrumentserver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace Fetch {

struct Outcome
{
    int code = -1;
    QByteArray out;
    QByteArray err;
    QStringList outLines() const { return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList errLines() const { return QString::fromUtf8(err).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

inline Outcome run(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
                   int limitMs = 60000)
{
    qRegisterMetaType<QProcess::ExitStatus>();
    QProcess p;
    p.setProcessEnvironment(env);
    QSignalSpy done(&p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    p.start(QStringLiteral(TARVELO_FETCH_BIN), args);
    Outcome o;
    if (!p.waitForStarted(10000) || (done.isEmpty() && !done.wait(limitMs))) {
        p.kill();
        p.waitForFinished(5000);
        return o;
    }
    o.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.out = p.readAllStandardOutput();
    o.err = p.readAllStandardError();
    return o;
}

inline QByteArray bytes(int size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator g(seed);
    for (char &c : b)
        c = char(g.bounded(256));
    return b;
}

inline QByteArray fileSha(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

// Every file below `dir`, relative to it, without the program's own record.
inline QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString rel = QDir(dir).relativeFilePath(it.next());
        if (!rel.startsWith(QLatin1String(".tarvelo/")))
            files << rel;
    }
    files.sort();
    return files;
}

// An instrument tree in a temporary folder, served at `address`, and a download folder.
struct Bench
{
    QTemporaryDir tmp;
    QString root = tmp.filePath(QStringLiteral("root"));
    QString to = tmp.filePath(QStringLiteral("to"));
    QString address;
    std::unique_ptr<InstrumentServer> server;

    Bench() { QDir().mkpath(root); }

    // The port is fixed, so the address is what tells instruments apart: one checked free.
    bool start(InstrumentOptions options = InstrumentOptions())
    {
        options.root = root;
        options.quiet = true;
        server = std::make_unique<InstrumentServer>(options);
        address = TestAddress::listen(
            [this](const QString &a) { return server->listen(QHostAddress(a), TestAddress::kPort); });
        if (address.isEmpty())
            return false;
        ClientLines::record(server.get()); // for scripts/clientlines.sh
        return true;
    }
    // The same tree every time: files at the top and three levels down.
    QStringList makeTree()
    {
        const QStringList names{QStringLiteral("top.bin"), QStringLiteral("d1/a.tif"), QStringLiteral("d1/sub/b.tif"),
                                QStringLiteral("d1/sub/deep/c.pdf"), QStringLiteral("d2/x.txt")};
        quint32 seed = 1;
        for (const QString &n : names)
            writeFile(root + QLatin1Char('/') + n, bytes(1000 + int(seed) * 777, seed)), ++seed;
        return names;
    }
    QString remote(const QString &rel) const { return QStringLiteral("/TARVELO/") + rel; }
    QString local(const QString &rel) const { return to + QLatin1Char('/') + rel; }
    QStringList args(const QStringList &rest) const { return QStringList{address} + rest; }
};

} // namespace Fetch
