// ClientSession: a download from its request (in parts, when long) to "Stop now".
#include "transfer/clientsession.h"

#include "link/instrumentlink.h"
#include "link/linklog.h"
#include "transfer/downloadreceiver.h"
#include "transfer/downloadrequest.h"

#include <QSet>
#include <QTcpSocket>

QStringList ClientSession::Result::rest() const
{
    QStringList paths;
    QSet<QString> seen;
    auto add = [&](const QString &path) {
        if (!seen.contains(path)) {
            seen.insert(path);
            paths.append(path);
        }
    };
    for (const FileOutcome &file : files) {
        if (file.kind == FileOutcome::Kind::NeverSent
            || (file.kind == FileOutcome::Kind::Failed
                && file.failure.kind == TransferFailure::Kind::Interrupted))
            add(file.remotePath);
    }
    for (const QString &path : unannounced)
        add(path);
    return paths;
}

bool ClientSession::startDownload(const QStringList &remotePaths)
{
    const QList<QStringList> parts = DownloadRequest::requestGroups(remotePaths);
    if (parts.isEmpty() || !isConnected() || m_downloading)
        return false;
    // Whatever the instrument left unfinished of an earlier download does not carry over.
    m_link->reader().leaveStream();
    m_lifecycle.restart();
    // Bytes the disk cannot take yet wait in the system's socket buffer, not in ours.
    m_link->socket()->setReadBufferSize(DownloadReceiver::kSocketReadBuffer);
    m_result = Result();
    m_result.requested = remotePaths;
    m_downloading = true;
    m_ending = false;
    m_stoppingNow = false;
    m_parts = parts;
    emit downloadStarted(remotePaths);
    m_receiver->begin(m_downloadPath);
    qCDebug(lcDownload) << "requesting" << remotePaths.size() << "paths in" << parts.size() << "lines";
    sendNextPart();
    return true;
}

void ClientSession::sendNextPart()
{
    m_partPaths = m_parts.takeFirst();
    m_partAnnounced = false;
    int toCome = 0;
    for (const QStringList &part : qAsConst(m_parts))
        toCome += int(part.size());
    m_receiver->continueWith(toCome);
    m_link->sendLine(DownloadRequest::requestLine(m_partPaths));
}

// The instrument has ended one request of several: the next goes out now, as a request of
// its own. The listing that closes a download comes once, after the last.
bool ClientSession::continueWithNextPart()
{
    if (m_parts.isEmpty() || m_result.stopped || m_receiver->cancelRequested())
        return false;
    qCDebug(lcDownload) << "next request;" << m_parts.size() << "to go";
    m_link->reader().leaveStream();
    m_lifecycle.restart();
    sendNextPart();
    return true;
}

void ClientSession::noteUnannounced()
{
    if (!m_partAnnounced)
        m_result.unannounced += m_partPaths;
    for (const QStringList &part : qAsConst(m_parts))
        m_result.unannounced += part;
    m_parts.clear();
    m_partPaths.clear();
    m_partAnnounced = false;
}

bool ClientSession::stopNow()
{
    if (!m_downloading || m_ending)
        return false;
    qCDebug(lcDownload) << "stopping at once";
    m_result.stopped = true;
    m_stoppingNow = true;
    m_receiver->requestCancel();
    conclude(End::Stopped, tr("The download was stopped at once."));
    closeLink();
    return true;
}
