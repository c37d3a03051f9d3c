#pragma once
// Files in a download folder and their record lines, for the record's tests.
#include "record/recordformat.h"
#include "record/transferrecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace RecordFixture {

// Hashes are checked against Qt's own SHA-256, an implementation apart from libcrypto's.
inline QString qtHash(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline Record::File fileLine(const QString &local, const QByteArray &bytes,
                             Record::Outcome outcome = Record::Outcome::Stored, const QString &reason = {})
{
    Record::File f;
    f.remote = QStringLiteral("/TARVELO/") + local;
    f.local = local;
    f.announced = bytes.size();
    if (Record::isCopy(outcome)) {
        f.stored = bytes.size();
        f.sha256 = qtHash(bytes);
    }
    f.outcome = outcome;
    f.reason = reason;
    return f;
}

// Writes the file into the folder and records it as stored.
inline bool store(TransferRecord &record, const QString &folder, const QString &local, const QByteArray &bytes)
{
    QString error;
    const bool ok = writeFile(folder + QLatin1Char('/') + local, bytes)
        && record.appendFile(fileLine(local, bytes), &error);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    return ok;
}

inline Record::Start start(const QStringList &request = {QStringLiteral("/TARVELO/run")})
{
    return Record::startNow(QStringLiteral("127.0.0.1"), QStringLiteral("anonymous"), request);
}

// `sha256sum -c` of the manifest, run where the manifest says it must be: in the folder.
inline int sha256sumCheck(const QString &folder, QByteArray *output = nullptr)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("sha256sum"), {QStringLiteral("-c"), QStringLiteral(".tarvelo/manifest-sha256.txt")});
    if (!p.waitForFinished(60000))
        return -1;
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace RecordFixture
