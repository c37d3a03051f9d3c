#pragma once
#include "transfer/clientsession.h"

#include <QObject>

#include <memory>

class TransferRecord;

// Keeps the transfer record of every download a session runs: the start line when the
// request goes out, a line for each file as it ends and before its acknowledgement goes out
// (a stored file's on the writer's thread, before it replaces its old copy), and the end
// line. A file whose line the record will not take is not acknowledged, and the download
// stops. The end line's sync and the checksum list are brought up to date on a worker, so
// a long record never holds up the window.
class DownloadRecorder : public QObject
{
    Q_OBJECT
public:
    explicit DownloadRecorder(ClientSession *session, QObject *parent = nullptr);
    ~DownloadRecorder() override;

    // Empty when a download into `downloadFolder` can be recorded; otherwise why not, for
    // the user, before anything is asked of the instrument.
    static QString checkWritable(const QString &downloadFolder);
    // The id of the download recorded last (its lines carry it).
    QString lastDownload() const { return m_lastDownload; }
    QString lastFolder() const { return m_lastFolder; }

signals:
    // The download's record is complete and durable; `problem` is empty when all of it was
    // written, else a sentence for the user (including a record started afresh beside a
    // damaged one).
    void recordUpdated(const QString &problem);

private:
    void onStarted(const QStringList &requested);
    void onFile(const FileOutcome &outcome);
    void onEnded(const ClientSession::Result &result);
    void note(const QString &problem);

    ClientSession *m_session;
    std::shared_ptr<TransferRecord> m_record;
    QString m_problem;
    QString m_lastDownload;
    QString m_lastFolder;
};
