// The receiver's ledger: how each file ended, told before its acknowledgement goes out, and
// the end of a download once the writer has done all it was given.
#include "transfer/downloadreceiver.h"

#include "link/protocol.h"

void DownloadReceiver::continueWith(int pathsToCome)
{
    // What the earlier requests announced and never sent stays pending: it is told as
    // never sent when the whole download ends.
    m_earlierAnnounced = m_announced;
    m_earlierPending = m_downloadList;
    m_pathsToCome = pathsToCome;
    m_ended = false;
    m_inList = false;
    m_listBuffer.clear();
    touch();
}

void DownloadReceiver::endWhenIdle(bool early, std::function<void()> done)
{
    // A file being written is dropped at once; whatever was committed before is taken in
    // from the writer's results first.
    if (early && m_inFile && !m_fileUnasked)
        m_interrupted = m_fileRemote;
    if (early && m_fileState == FileState::Writing) {
        m_writer.discard();
        m_fileState = FileState::Discarding;
    }
    m_writer.whenIdle([this, done = std::move(done)] {
        if (m_active)
            reportNeverSent();
        dropFile();
        becomeIdle();
        if (done)
            done();
    });
}

void DownloadReceiver::reportNeverSent()
{
    if (!m_active || m_endReported)
        return;
    m_endReported = true;
    QStringList missing = m_downloadList;
    if (!m_interrupted.isEmpty())
        missing.removeAll(m_interrupted);
    if (!m_interrupted.isEmpty()) {
        FileOutcome outcome;
        outcome.kind = FileOutcome::Kind::Failed;
        outcome.remotePath = m_interrupted;
        outcome.announced = m_fileSize;
        outcome.time = QDateTime::currentDateTimeUtc();
        outcome.failure = {TransferFailure::Kind::Interrupted, m_interrupted,
                           tr("the download ended while it arrived")};
        emit fileEnded(outcome);
    }
    for (const QString &remote : qAsConst(missing)) {
        FileOutcome outcome;
        outcome.kind = FileOutcome::Kind::NeverSent;
        outcome.remotePath = remote;
        outcome.time = QDateTime::currentDateTimeUtc();
        emit fileEnded(outcome);
    }
}

void DownloadReceiver::recordFile()
{
    FileOutcome outcome;
    outcome.remotePath = m_fileRemote;
    outcome.localPath = m_fileLocal;
    outcome.announced = m_fileSize;
    outcome.time = QDateTime::currentDateTimeUtc();
    if (m_fileFailure.isEmpty()) {
        m_stored.append(m_fileRemote);
        m_createdFolders.clear();
        outcome.kind = m_fileReplaces ? FileOutcome::Kind::Replaced : FileOutcome::Kind::Stored;
        outcome.stored = m_fileBytes;
        outcome.sha256 = m_fileSha256;
        outcome.recorded = m_fileRecorded;
    } else {
        const TransferFailure failure{m_fileFailureKind, m_fileRemote, m_fileFailure};
        m_failures.append(failure);
        removeCreatedFolders(true);
        outcome.kind = FileOutcome::isRefusal(failure.kind) ? FileOutcome::Kind::Refused
                                                            : FileOutcome::Kind::Failed;
        outcome.failure = failure;
    }
    m_fileSha256.clear();
    m_fileRecorded = false;
    emit fileEnded(outcome);
}

// What a download leaves behind, given back once its writer is done.
void DownloadReceiver::becomeIdle()
{
    m_active = false;
    m_inList = false;
    m_listBuffer.clear();
    m_listBuffer.squeeze();
    m_writer.trim();
    m_stallTimer.stop();
    noteDiskWait();
}

FileWriter::BeforeReplace DownloadReceiver::recordGate()
{
    m_fileRecorded = bool(m_recordGate);
    if (!m_recordGate)
        return nullptr;
    FileOutcome outcome;
    outcome.kind = m_fileReplaces ? FileOutcome::Kind::Replaced : FileOutcome::Kind::Stored;
    outcome.remotePath = m_fileRemote;
    outcome.localPath = m_fileLocal;
    outcome.announced = m_fileSize;
    outcome.stored = m_fileBytes;
    outcome.recorded = true;
    return [gate = m_recordGate, outcome](const QByteArray &sha256) mutable {
        outcome.sha256 = sha256;
        outcome.time = QDateTime::currentDateTimeUtc();
        return gate(outcome);
    };
}

void DownloadReceiver::recordFailed(const QString &reason)
{
    if (m_active && m_recordFailure.isEmpty())
        m_recordFailure = reason;
}

void DownloadReceiver::acknowledge(bool counted)
{
    // Without its line in the record a file is not vouched for, and neither would the next
    // one be: the instrument is asked to stop rather than to go on.
    if (!m_active || m_cancelRequested || !m_recordFailure.isEmpty()) {
        emit sendLine(QByteArray(Protocol::kCancel));
        return;
    }
    emit sendLine(Protocol::kFileAckPrefix + m_rawPath + '\n');
    if (!counted)
        return;
    ++m_acknowledged;
    emit completedChanged(m_acknowledged);
}
