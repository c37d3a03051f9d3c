// The get command of FetchRun: the request, the files as they end, and the summary.
#include "fetch/fetchrun.h"

#include "fetch/remotewalk.h"
#include "record/downloadrecorder.h"
#include "transfer/downloadreceiver.h"
#include "transfer/newfiles.h"

#include <QDir>

#include <algorithm>
#include <QJsonArray>
#include <QJsonObject>

namespace {
constexpr int kRecordLimitMs = 120000;

QString endText(ClientSession::End end)
{
    switch (end) {
    case ClientSession::End::Completed: return QStringLiteral("completed");
    case ClientSession::End::LinkLost: return QStringLiteral("link lost");
    case ClientSession::End::Stalled: return QStringLiteral("stalled");
    case ClientSession::End::Refused: return QStringLiteral("refused");
    case ClientSession::End::Closed: return QStringLiteral("closed");
    case ClientSession::End::Stopped: return QStringLiteral("stopped");
    }
    return QString();
}
} // namespace

bool FetchRun::prepareDownloadFolder()
{
    if (!QDir().mkpath(m_options.to)) {
        m_out.error(tr("cannot make the download folder %1").arg(m_options.to));
        return false;
    }
    const QString problem = DownloadRecorder::checkWritable(m_options.to);
    if (!problem.isEmpty()) {
        m_out.error(problem);
        return false;
    }
    return true;
}

void FetchRun::runGet()
{
    m_session->setDownloadPath(m_options.to);
    // Ours first: the code is settled before the recorder can report its record finished.
    connect(m_session, &ClientSession::fileEnded, this, &FetchRun::onFileEnded);
    connect(m_session, &ClientSession::downloadEnded, this, &FetchRun::onDownloadEnded);
    m_recorder = new DownloadRecorder(m_session, this);
    connect(m_recorder, &DownloadRecorder::recordUpdated, this, &FetchRun::onRecordUpdated);
    DownloadReceiver *receiver = m_session->receiver();
    connect(receiver, &DownloadReceiver::totalChanged, this, [this](int total) { m_total = total; });
    connect(receiver, &DownloadReceiver::currentFileSizeChanged, this, [this](qint64 size) {
        m_currentSize = size;
        m_currentBytes = 0;
    });
    connect(receiver, &DownloadReceiver::bytesReceived, this, [this](qint64 fileBytes, qint64 rate) {
        m_currentBytes = fileBytes;
        m_rate = rate;
        showProgress(rate);
    });

    // A plain request goes out as the window's would; only picking files needs the walk.
    if (!m_options.newOnly && !m_options.dryRun && !m_options.hasFilters())
        return request(m_options.paths);
    walk(true, m_options.paths, [this] {
        QStringList wanted;
        for (const RemoteItem &item : m_walk->items())
            if (!item.folder && m_filter.accepts(item.below))
                wanted << item.path;
        if (m_options.newOnly) {
            // What counts as present is the window's own rule for "only new".
            const int all = wanted.size();
            wanted = NewFiles::missing(wanted, m_options.to);
            m_skipped = all - wanted.size();
        }
        if (m_options.dryRun) {
            for (const QString &path : qAsConst(wanted))
                m_out.data(path);
            return finish(m_unfetched.isEmpty() ? ExitCode::kDone : ExitCode::kSomeFailed);
        }
        request(wanted);
    });
}

void FetchRun::request(const QStringList &paths)
{
    if (paths.isEmpty()) {
        m_out.note(tr("Nothing to fetch."));
        m_pendingCode = m_unfetched.isEmpty() ? ExitCode::kDone : ExitCode::kSomeFailed;
        return summarise();
    }
    m_downloading = true;
    m_out.note(tr("Requesting %n path(s)", nullptr, paths.size()));
    if (!m_session->startDownload(paths)) {
        m_downloading = false;
        m_out.error(tr("the download could not be requested: the connection is gone"));
        return finish(ExitCode::kLinkLost);
    }
}

void FetchRun::showProgress(qint64 bytesPerSecond)
{
    const double share = m_currentSize > 0 ? double(m_currentBytes) / m_currentSize : 0.0;
    m_out.progress(m_done, m_total, share, m_bytes + m_currentBytes, bytesPerSecond);
}

void FetchRun::onFileEnded(const FileOutcome &outcome)
{
    ++m_done;
    m_currentBytes = 0;
    m_currentSize = -1;
    switch (outcome.kind) {
    case FileOutcome::Kind::Stored:
    case FileOutcome::Kind::Replaced:
        m_bytes += qMax<qint64>(0, outcome.stored);
        m_out.note(tr("%1 %2 (%3)").arg(outcome.kind == FileOutcome::Kind::Stored ? tr("stored") : tr("replaced"),
                                         outcome.localPath, FetchOutput::bytesText(outcome.stored)));
        break;
    case FileOutcome::Kind::Failed:
    case FileOutcome::Kind::Refused:
        m_out.error(tr("%1: %2").arg(outcome.remotePath, outcome.failure.detail));
        break;
    case FileOutcome::Kind::NeverSent:
        m_out.error(tr("%1: announced but never sent").arg(outcome.remotePath));
        break;
    case FileOutcome::Kind::Discarded:
        m_out.note(tr("%1: sent without being announced, not kept").arg(outcome.remotePath));
        break;
    }
    showProgress(m_rate);
}

void FetchRun::onDownloadEnded(const ClientSession::Result &result)
{
    if (!m_downloading)
        return;
    m_downloading = false;
    m_awaitingRecord = true;
    m_result = result;
    m_out.endProgress();
    const int failed = result.count(FileOutcome::Kind::Failed) + result.count(FileOutcome::Kind::Refused)
        + result.count(FileOutcome::Kind::NeverSent);
    if (m_interruptCode) {
        m_pendingCode = m_interruptCode;
    } else if (result.end == ClientSession::End::LinkLost || result.end == ClientSession::End::Stalled
        || result.end == ClientSession::End::Refused) {
        m_out.error(result.reason.isEmpty() ? tr("the connection to the instrument was lost") : result.reason);
        m_pendingCode = ExitCode::kLinkLost;
    } else {
        m_pendingCode = failed > 0 || !m_unfetched.isEmpty() ? ExitCode::kSomeFailed : ExitCode::kDone;
        if (result.end == ClientSession::End::Completed)
            checkSilentPaths();
    }
    // The record's end line and checksum list are made durable on a worker; the run ends
    // only once they are, so a script that reads the record next finds it whole.
    m_recordLimit.setInterval(kRecordLimitMs);
    connect(&m_recordLimit, &QTimer::timeout, this, [this] {
        m_out.error(tr("the transfer record was not finished in time"));
        onRecordUpdated(QStringLiteral("timeout"));
    });
    m_recordLimit.start();
}

// A path the instrument sent nothing for is either an empty folder or a file it did not
// give (or never had): a script must not take the latter for success.
void FetchRun::checkSilentPaths()
{
    QStringList silent;
    for (const QString &asked : qAsConst(m_result.requested)) {
        const bool answered = std::any_of(m_result.files.cbegin(), m_result.files.cend(), [&asked](const FileOutcome &f) {
            return f.remotePath == asked || f.remotePath.startsWith(asked + QLatin1Char('/'));
        });
        if (!answered)
            silent << asked;
    }
    if (silent.isEmpty() || !m_session->isConnected())
        return;
    m_checkingSilent = true;
    walk(false, silent, [this] {
        for (const QString &path : m_walk->fileTargets())
            unfetched(path, tr("the instrument sent nothing for it"));
        if (!m_unfetched.isEmpty() && m_pendingCode == ExitCode::kDone)
            m_pendingCode = ExitCode::kSomeFailed;
        m_checkingSilent = false;
        if (!m_awaitingRecord)
            summarise();
    });
}

void FetchRun::onRecordUpdated(const QString &problem)
{
    m_recordLimit.stop();
    m_awaitingRecord = false;
    if (!problem.isEmpty() && problem != QLatin1String("timeout"))
        m_out.error(problem);
    // Files without their lines are not vouched for: a script must not take this for success.
    if (!problem.isEmpty() && m_pendingCode == ExitCode::kDone)
        m_pendingCode = ExitCode::kSomeFailed;
    if (!m_checkingSilent)
        summarise();
}

void FetchRun::summarise()
{
    if (m_options.json) {
        QJsonArray failed;
        for (const FileOutcome &f : qAsConst(m_result.files)) {
            QString reason;
            if (f.kind == FileOutcome::Kind::Failed || f.kind == FileOutcome::Kind::Refused)
                reason = f.failure.detail;
            else if (f.kind == FileOutcome::Kind::NeverSent)
                reason = QStringLiteral("announced but never sent");
            if (!reason.isEmpty())
                failed.append(QJsonObject{{QStringLiteral("path"), f.remotePath}, {QStringLiteral("reason"), reason}});
        }
        for (const auto &u : qAsConst(m_unfetched))
            failed.append(QJsonObject{{QStringLiteral("path"), u.first}, {QStringLiteral("reason"), u.second}});
        const int stored = m_result.count(FileOutcome::Kind::Stored) + m_result.count(FileOutcome::Kind::Replaced);
        m_out.data(QJsonObject{{QStringLiteral("stored"), stored},
                               {QStringLiteral("replaced"), m_result.count(FileOutcome::Kind::Replaced)},
                               {QStringLiteral("skipped"), m_skipped},
                               {QStringLiteral("failed"), failed},
                               {QStringLiteral("bytes"), double(m_bytes)},
                               {QStringLiteral("seconds"), m_clock.elapsed() / 1000.0},
                               {QStringLiteral("end"), m_result.requested.isEmpty() ? QStringLiteral("nothing to fetch")
                                                                                    : endText(m_result.end)},
                               {QStringLiteral("exit"), m_pendingCode}});
    }
    finish(m_pendingCode);
}
