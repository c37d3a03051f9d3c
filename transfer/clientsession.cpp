#include "transfer/clientsession.h"

#include "link/instrumentlink.h"
#include "link/linklog.h"
#include "transfer/downloadreceiver.h"
#include "transfer/downloadrequest.h"

#include <QHostAddress>
#include <QTcpSocket>

ClientSession::ClientSession(QObject *parent)
    : QObject(parent), m_link(new InstrumentLink(this)), m_receiver(new DownloadReceiver(this)),
      m_lifecycle(m_receiver), m_browse(m_link)
{
    qRegisterMetaType<ClientSession::Result>();
    m_receiver->setObjectName(QStringLiteral("downloadReceiver"));
    m_link->reader().setDownloadStream(&m_lifecycle);
    connect(m_receiver, &DownloadReceiver::sendLine, m_link, &InstrumentLink::sendLine);
    connect(m_receiver, &DownloadReceiver::fileEnded, this, [this](FileOutcome outcome) {
        if (m_stoppingNow && outcome.failure.kind == TransferFailure::Kind::Interrupted)
            outcome.failure.detail = tr("stopped while it arrived");
        if (m_downloading)
            m_result.files.append(outcome);
        emit fileEnded(outcome);
    });
    connect(m_receiver, &DownloadReceiver::totalChanged, this, [this] { m_partAnnounced = true; });
    // The end of a download is read inside a socket read; what it leads to runs after.
    connect(m_receiver, &DownloadReceiver::endNoticeReceived, this, &ClientSession::onEndNotice,
            Qt::QueuedConnection);
    connect(m_receiver, &DownloadReceiver::stalled, this, [this] {
        const QString seconds = QString::number(m_receiver->stallLimit() / 1000.0, 'g', 3);
        endEarly(End::Stalled,
                 tr("The instrument sent nothing for %1 s, so the download was stopped.").arg(seconds));
    });
    connect(&m_link->reader(), &MessageReader::refused, this, [this](const QString &reason) {
        // Queued behind the read that found it: the reader is still inside its feed.
        QMetaObject::invokeMethod(this, [this, reason] { endEarly(End::Refused, reason); },
                                  Qt::QueuedConnection);
    });
    connect(&m_link->reader(), &MessageReader::streamReleased, this, &ClientSession::drain,
            Qt::QueuedConnection);
    connect(m_link, &InstrumentLink::linkLost, this, &ClientSession::onLinkLost);
    connect(&m_browse, &BrowseExchange::pwdShown, this, &ClientSession::onPwdShown);
    connect(&m_browse, &BrowseExchange::listShown, this, &ClientSession::onListShown);
    m_drainLimit.setSingleShot(true);
    m_drainLimit.setInterval(FileWriter::kSettleLimitMs);
    connect(&m_drainLimit, &QTimer::timeout, this, [this] {
        if (m_draining) {
            qCWarning(lcDownload) << "the disk took too long after the link was lost";
            m_draining = false;
            endEarly(End::LinkLost, tr("The connection to the instrument was lost during the download."));
        }
    });
}

ClientSession::~ClientSession()
{
    m_browse.reset(QString());
}

int ClientSession::Result::count(FileOutcome::Kind kind) const
{
    return int(std::count_if(files.begin(), files.end(),
                             [kind](const FileOutcome &f) { return f.kind == kind; }));
}

ReaderMode ClientSession::readerMode() const
{
    return m_lifecycle.mode(m_link->reader());
}

QTcpSocket *ClientSession::newSocket()
{
    return m_link->newSocket(); // the closed link of an earlier session goes
}

bool ClientSession::begin(QTcpSocket *socket, const QString &account)
{
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
        m_link->drop();
        return false;
    }
    m_host = socket->peerAddress().toString();
    m_account = account;
    m_lossSeen = false;
    m_folderKnown = false;
    m_link->attach(socket);
    qCDebug(lcLink) << "logged in to" << m_host;
    m_browse.showHome();
    return true;
}

void ClientSession::logIn(const Login &login)
{
    delete m_login;
    m_login = new LoginExchange(this);
    m_login->setConnectTimeout(login.connectTimeoutMs);
    m_login->setAnswerTimeout(login.answerTimeoutMs);
    QTcpSocket *socket = newSocket();
    m_login->setSocket(socket);
    m_account = login.anonymous ? QString() : login.account;
    connect(m_login, &LoginExchange::accepted, this, [this, socket] {
        m_login->deleteLater();
        m_login = nullptr;
        if (begin(socket, m_account))
            emit loggedIn();
        else
            emit loginFailed(LoginExchange::Failure::LinkClosed, tr("The instrument closed the connection."));
    });
    connect(m_login, &LoginExchange::failed, this, [this](LoginExchange::Failure failure) {
        const QString detail = m_link->socket() ? m_link->socket()->errorString() : QString();
        m_login->deleteLater();
        m_login = nullptr;
        m_link->drop();
        emit loginFailed(failure, detail);
    });
    m_login->start(login.host, Protocol::kPort, login.anonymous, login.account, login.password);
}

void ClientSession::close()
{
    // A login under way is given up with the rest: its answer would reopen a closed session.
    if (m_login) {
        m_login->disconnect(this);
        m_login->cancel();
        m_login->deleteLater();
        m_login = nullptr;
    }
    if (m_downloading && !m_ending)
        conclude(End::Closed, QString());
    closeLink();
}

void ClientSession::closeLink()
{
    m_draining = false;
    m_drainLimit.stop();
    m_browse.reset(tr("The connection to the instrument was closed."));
    m_link->close();
}

bool ClientSession::isConnected() const
{
    return m_link->isConnected();
}

void ClientSession::listFolder(const QString &remotePath, BrowseExchange::Done done)
{
    if (!isConnected() || m_downloading) {
        FolderListResult failed;
        failed.error = isConnected() ? tr("A download is under way.")
                                     : tr("Not connected to an instrument.");
        QMetaObject::invokeMethod(this, [done, failed] { done(failed); }, Qt::QueuedConnection);
        return;
    }
    m_browse.listFolder(remotePath, std::move(done));
}

void ClientSession::onPwdShown(const QString &line, quint64 lineId)
{
    m_currentFolder = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
    m_folderKnown = true;
    emit pwdShown(line, lineId);
}

void ClientSession::onListShown(const QString &line, quint64 lineId, bool complete)
{
    emit listShown(line, lineId, complete);
    // The refreshed listing closes a download whose end notice has come; a listing before
    // any folder was named belongs to no folder and closes nothing.
    if (!m_folderKnown || !m_lifecycle.listingShown())
        return;
    if (m_downloading) {
        if (!m_ending)
            conclude(End::Completed, QString());
        return;
    }
    // An end notice with no download of ours: whoever waits for an end is let go.
    emit downloadEnded(Result());
}

void ClientSession::stopDownload()
{
    m_result.stopped = true;
    m_receiver->requestCancel();
}

void ClientSession::setStallLimit(int ms)
{
    m_receiver->setStallLimit(ms);
}

void ClientSession::onEndNotice()
{
    if (!m_downloading || m_draining || !isConnected())
        return;
    if (continueWithNextPart())
        return;
    qCDebug(lcDownload) << "end notice; listing" << m_currentFolder << "again";
    m_browse.showFolderTwice(m_currentFolder);
}

void ClientSession::onLinkLost()
{
    if (m_lossSeen)
        return; // told once by the socket's error and once by its state
    m_lossSeen = true;
    qCDebug(lcLink) << "link lost";
    if (!m_downloading) {
        closeLink();
        emit linkClosed(End::LinkLost, QString());
        return;
    }
    // The instrument's last bytes may still wait in the socket: a file that arrived whole
    // is kept. Each file in them is made durable before the next is read.
    m_draining = true;
    m_drainRounds = 0;
    m_drainLimit.start();
    drain();
}

// Goes on each time the download stream stops holding; every round takes at least one
// file's framing out of a bounded buffer.
void ClientSession::drain()
{
    if (!m_draining)
        return;
    if (m_link->readPending() && ++m_drainRounds < DownloadReceiver::kSocketReadBuffer)
        return;
    m_draining = false;
    m_drainLimit.stop();
    endEarly(End::LinkLost, tr("The connection to the instrument was lost during the download."));
}

void ClientSession::endEarly(End why, const QString &reason)
{
    if (m_draining && why == End::LinkLost)
        return;
    if (m_downloading && !m_ending) {
        m_ending = true;
        m_receiver->endWhenIdle(true, [this, why, reason] {
            m_link->trimReadBuffers();
            m_link->reader().leaveStream();
            m_lifecycle.restart();
            noteUnannounced();
            m_downloading = false;
            m_ending = false;
            m_result.end = why;
            m_result.reason = reason;
            closeLink();
            emit downloadEnded(m_result);
            emit linkClosed(why, reason);
        });
        return;
    }
    if (m_ending)
        return;
    closeLink();
    emit linkClosed(why, reason);
}

void ClientSession::conclude(End why, const QString &reason)
{
    m_ending = true;
    m_receiver->endWhenIdle(why != End::Completed, [this, why, reason] {
        m_link->trimReadBuffers();
        if (why != End::Completed) { // broken off: nothing of its stream is read any more
            m_link->reader().leaveStream();
            m_lifecycle.restart();
        }
        noteUnannounced();
        m_downloading = false;
        m_ending = false;
        m_stoppingNow = false;
        m_result.end = why;
        m_result.reason = reason;
        qCDebug(lcDownload) << "download ended:" << why;
        emit downloadEnded(m_result);
    });
}
