#pragma once
#include "record/recordindex.h"

#include <QObject>
#include <QString>
#include <QVector>

#include <atomic>

class QThread;

// The outcome of checking a download folder's copies against its record.
struct VerifyResult
{
    enum Status { Verified, Changed, Missing, Unreadable, NotInRecord };
    struct Item
    {
        QString local;          // relative to the download folder
        QString remote;         // empty for a file the record does not know
        Status status = Verified;
        QString recorded;       // SHA-256 in the record
        QString actual;         // SHA-256 now; empty when it could not be computed
        QString detail;         // why a file could not be read
    };
    QVector<Item> items;        // in the order of the paths
    bool stopped = false;
    QString recordMessage;      // lines or files of the record that could not be read
    QString manifestError;      // the checksum list could not be brought up to date

    int count(Status s) const;
    bool isVerified(const QString &local) const;
    static QString statusText(Status s);
    // One line for the top of the result window.
    QString summary() const;
};
Q_DECLARE_METATYPE(VerifyResult)

// Re-reads every copy the record knows on a thread of its own, compares it with its
// recorded hash, and lists the files in the folder the record does not know.
class Verifier : public QObject
{
    Q_OBJECT
public:
    explicit Verifier(QObject *parent = nullptr);
    ~Verifier() override;

    void start(const QString &downloadFolder);
    // The thread gives up within one block read; finished() follows with stopped set.
    void stop();
    bool isRunning() const;

    // The work itself, on the calling thread; for start() and for tests.
    static VerifyResult run(const QString &downloadFolder, const std::atomic_bool &stop,
                            const std::function<void(qint64 done, qint64 total, const QString &current)> &progress = {});

signals:
    void progress(qint64 bytesDone, qint64 bytesTotal, const QString &current);
    void finished(const VerifyResult &result);

private:
    QThread *m_thread = nullptr;
    std::atomic_bool m_stop{false};
};

// The files of an instrument folder without a verified local copy: what must be copied
// before the instrument may be wiped.
struct InstrumentCheck
{
    int total = 0;
    QStringList withoutCopy;    // remote paths, in the order given
    QString answer;             // the one line for the user
};
InstrumentCheck compareWithInstrument(const QString &instrumentFolder, const QStringList &remoteFiles,
                                      const VerifyResult &verified);
