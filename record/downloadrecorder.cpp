#include "record/downloadrecorder.h"

#include "link/linklog.h"
#include "record/recordformat.h"
#include "record/recordpaths.h"
#include "record/transferrecord.h"
#include "transfer/downloadreceiver.h"

#include <QDir>
#include <QPointer>
#include <QThreadPool>

namespace {

Record::Outcome outcomeOf(FileOutcome::Kind kind)
{
    switch (kind) {
    case FileOutcome::Kind::Stored: return Record::Outcome::Stored;
    case FileOutcome::Kind::Replaced: return Record::Outcome::Replaced;
    case FileOutcome::Kind::Failed: return Record::Outcome::Failed;
    case FileOutcome::Kind::Refused: return Record::Outcome::Refused;
    case FileOutcome::Kind::NeverSent: return Record::Outcome::NeverSent;
    case FileOutcome::Kind::Discarded: return Record::Outcome::Discarded;
    }
    return Record::Outcome::Failed;
}

Record::File lineOf(const FileOutcome &outcome, const QString &folder)
{
    Record::File line;
    line.time = outcome.time;
    line.remote = outcome.remotePath;
    QString local = outcome.localPath;
    if (!local.isEmpty())
        local = QDir(folder).relativeFilePath(local);
    else
        local = RecordPaths::localRelative(outcome.remotePath);
    line.local = QDir::fromNativeSeparators(local);
    if (outcome.announced >= 0)
        line.announced = outcome.announced;
    if (outcome.stored >= 0)
        line.stored = outcome.stored;
    line.sha256 = QString::fromLatin1(outcome.sha256);
    line.outcome = outcomeOf(outcome.kind);
    if (outcome.kind == FileOutcome::Kind::Failed || outcome.kind == FileOutcome::Kind::Refused)
        line.reason = outcome.failure.detail;
    return line;
}

} // namespace

DownloadRecorder::DownloadRecorder(ClientSession *session, QObject *parent)
    : QObject(parent), m_session(session)
{
    connect(session, &ClientSession::downloadStarted, this, &DownloadRecorder::onStarted);
    connect(session, &ClientSession::fileEnded, this, &DownloadRecorder::onFile);
    connect(session, &ClientSession::downloadEnded, this, &DownloadRecorder::onEnded);
}

DownloadRecorder::~DownloadRecorder() = default;

QString DownloadRecorder::checkWritable(const QString &downloadFolder)
{
    // The folder is made as the first file would make it; one that cannot be made is told.
    QDir().mkpath(downloadFolder);
    TransferRecord record(downloadFolder);
    return record.checkWritable();
}

void DownloadRecorder::note(const QString &problem)
{
    qCWarning(lcDownload) << "transfer record:" << problem;
    if (m_problem.isEmpty())
        m_problem = problem;
}

void DownloadRecorder::onStarted(const QStringList &requested)
{
    m_problem.clear();
    m_lastFolder = m_session->downloadPath();
    m_record = std::make_shared<TransferRecord>(m_lastFolder);
    const QString account = m_session->account().isEmpty() ? QStringLiteral("anonymous")
                                                            : m_session->account();
    Record::Start start = Record::startNow(m_session->host(), account, requested);
    QString error;
    if (!m_record->beginDownload(start, &error))
        note(error);
    m_lastDownload = m_record->currentDownload();
    // A stored file's line is written on the writer's thread before the file replaces its
    // old copy: the window's thread does none of that work, and a record that will not take
    // the line leaves the old copy, and the checksum list, as they were.
    m_session->receiver()->setRecordGate([record = m_record, folder = m_lastFolder](const FileOutcome &outcome) {
        QString error;
        return record->appendFile(lineOf(outcome, folder), &error) ? QString() : error;
    });
}

void DownloadRecorder::onFile(const FileOutcome &outcome)
{
    if (!m_record || outcome.recorded)
        return;
    QString error;
    if (!m_record->appendFile(lineOf(outcome, m_lastFolder), &error)) {
        note(error);
        m_session->receiver()->recordFailed(error);
    }
}

void DownloadRecorder::onEnded(const ClientSession::Result &result)
{
    m_session->receiver()->setRecordGate(nullptr);
    if (!m_record || result.requested.isEmpty())
        return;
    std::shared_ptr<TransferRecord> record = std::move(m_record);
    // Stopped at once, or the link closed by the user's Disconnect: the download was stopped
    // on purpose, not lost.
    const bool closedByUser = result.end == ClientSession::End::Stopped || result.end == ClientSession::End::Closed;
    const bool stopped = result.stopped || closedByUser;
    const bool linkLost = result.end != ClientSession::End::Completed && !closedByUser;
    QPointer<DownloadRecorder> self(this);
    QString problem = m_problem;
    // The sync and the checksum list read and write the whole record: off the window's thread.
    QThreadPool::globalInstance()->start([record, stopped, linkLost, self, problem]() mutable {
        QString error;
        if (!record->endDownload(stopped, linkLost, &error) && problem.isEmpty())
            problem = error;
        const QString notice = record->takeNotice();
        if (!notice.isEmpty())
            problem = problem.isEmpty() ? notice : notice + QLatin1Char(' ') + problem;
        record.reset();
        QMetaObject::invokeMethod(self, [self, problem] {
            if (self)
                emit self->recordUpdated(problem);
        }, Qt::QueuedConnection);
    });
}
