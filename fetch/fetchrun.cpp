#include "fetch/fetchrun.h"

#include "fetch/remotewalk.h"
#include "link/remotepath.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

FetchRun::FetchRun(const FetchOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_out(options.json, options.verbose),
      m_filter(options.includes, options.excludes)
{
    m_recordLimit.setSingleShot(true);
}

FetchRun::~FetchRun() = default;

void FetchRun::start()
{
    m_clock.start();
    if (m_options.command == FetchOptions::Command::Get && !prepareDownloadFolder())
        return finish(ExitCode::kUsage);
    // A mistyped folder must not pass as "nothing unverified" before the instrument is wiped.
    if (m_options.command == FetchOptions::Command::Verify && !QFileInfo(m_options.to).isDir()) {
        m_out.error(tr("there is no download folder %1").arg(m_options.to));
        return finish(ExitCode::kUsage);
    }
    if (!m_options.needsInstrument()) // verify of the download folder alone
        return finish(verifyLocal(QStringList()));

    m_session = new ClientSession(this);
    m_session->setStallLimit(m_options.stallMs);
    m_session->setAnswerLimit(m_options.answerTimeoutMs);
    connect(m_session, &ClientSession::loggedIn, this, &FetchRun::onLoggedIn);
    connect(m_session, &ClientSession::loginFailed, this, &FetchRun::onLoginFailed);
    connect(m_session, &ClientSession::linkClosed, this, &FetchRun::onLinkClosed);
    ClientSession::Login login;
    login.host = m_options.address;
    login.anonymous = m_options.anonymous;
    login.account = m_options.account;
    login.password = m_options.password;
    login.connectTimeoutMs = m_options.connectTimeoutMs;
    login.answerTimeoutMs = m_options.answerTimeoutMs;
    m_out.note(tr("Connecting to %1").arg(m_options.address));
    m_session->logIn(login);
}

void FetchRun::interrupt(int code)
{
    if (m_finished || m_interruptCode)
        return;
    m_interruptCode = code;
    m_out.error(tr("interrupted"));
    if (m_downloading && m_session) {
        m_session->close(); // the download ends as closed; its end comes back through onDownloadEnded
        return;
    }
    if (!m_awaitingRecord)
        finish(code);
}

void FetchRun::onLoggedIn()
{
    m_out.note(tr("Logged in to %1 as %2").arg(m_options.address,
                                               m_options.anonymous ? QStringLiteral("anonymous") : m_options.account));
    switch (m_options.command) {
    case FetchOptions::Command::Ls: return runLs();
    case FetchOptions::Command::Get: return runGet();
    case FetchOptions::Command::Verify: return runVerify();
    }
}

void FetchRun::onLoginFailed(LoginExchange::Failure failure, const QString &detail)
{
    QString why;
    switch (failure) {
    case LoginExchange::Failure::ConnectFailed:
        why = tr("cannot connect to %1").arg(m_options.address);
        break;
    case LoginExchange::Failure::Refused:
        why = tr("the instrument at %1 refused the login").arg(m_options.address);
        break;
    case LoginExchange::Failure::NoAnswer:
        why = tr("the instrument at %1 did not answer the login").arg(m_options.address);
        break;
    case LoginExchange::Failure::LinkClosed:
        why = tr("the instrument at %1 closed the connection during the login").arg(m_options.address);
        break;
    }
    if (!detail.isEmpty() && failure != LoginExchange::Failure::Refused)
        why += QStringLiteral(" (%1)").arg(detail);
    m_out.error(why);
    finish(ExitCode::kNoLogin);
}

void FetchRun::onLinkClosed(ClientSession::End why, const QString &reason)
{
    if (m_downloading || m_awaitingRecord || m_finished)
        return; // the download's own end says what happened
    m_out.error(reason.isEmpty() ? tr("the connection to the instrument was lost") : reason);
    Q_UNUSED(why) // lost, stalled or refused: the link is gone either way
    finish(ExitCode::kLinkLost);
}

void FetchRun::finish(int code)
{
    if (m_finished)
        return;
    m_finished = true;
    m_exitCode = code;
    m_out.endProgress();
    if (m_session)
        m_session->close();
    QMetaObject::invokeMethod(this, [this, code] { emit finished(code); }, Qt::QueuedConnection);
}

void FetchRun::walk(bool recursive, const QStringList &targets, std::function<void()> then)
{
    m_walk = new RemoteWalk(m_session, this);
    connect(m_walk, &RemoteWalk::progress, this, [this](int folders) {
        if (folders % 100 == 0)
            m_out.note(tr("%1 folders listed").arg(folders));
    });
    connect(m_walk, &RemoteWalk::finished, this, [this, then](bool ok, const QString &error) {
        if (!ok) {
            m_out.error(error);
            return finish(m_session && m_session->isConnected() ? ExitCode::kSomeFailed : ExitCode::kLinkLost);
        }
        for (const QString &path : m_walk->missing())
            unfetched(path, tr("not on the instrument"));
        then();
    });
    m_walk->start(targets, recursive);
}

void FetchRun::unfetched(const QString &path, const QString &reason)
{
    m_out.error(QStringLiteral("%1: %2").arg(path, reason));
    m_unfetched.append({path, reason});
}

QString FetchRun::localPath(const QString &remote) const
{
    return m_options.to.isEmpty() ? QString() : RemotePath::toLocalPath(remote, m_options.to);
}

bool FetchRun::localCopyExists(const QString &remote, bool folder) const
{
    const QString local = localPath(remote);
    if (local.isEmpty())
        return false;
    const QFileInfo info(local);
    return folder ? info.isDir() : info.isFile();
}

void FetchRun::runLs()
{
    walk(m_options.recursive, m_options.paths, [this] {
        for (const RemoteItem &item : m_walk->items()) {
            // Patterns pick files; folders stay unless excluded, so a tree keeps its shape.
            if (!(item.folder ? PathFilter({}, m_options.excludes).accepts(item.below)
                              : m_filter.accepts(item.below)))
                continue;
            if (m_options.json) {
                QJsonObject o{{QStringLiteral("path"), item.path},
                              {QStringLiteral("kind"), item.folder ? QStringLiteral("folder") : QStringLiteral("file")}};
                if (!m_options.to.isEmpty())
                    o.insert(QStringLiteral("local"), localCopyExists(item.path, item.folder));
                m_out.data(o);
            } else {
                m_out.data(item.folder ? item.path + QLatin1Char('/') : item.path);
            }
        }
        finish(m_unfetched.isEmpty() ? ExitCode::kDone : ExitCode::kSomeFailed);
    });
}
