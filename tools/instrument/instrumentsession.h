#pragma once
#include "tools/instrument/instrumentoptions.h"
#include "tools/instrument/instrumenttree.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class QIODevice;
class QTcpSocket;

// One client of the stand-in instrument: its login, current folder and download.
// Output is written only as the socket drains, so neither a large file nor a slow client
// makes the buffers grow: file bytes are read from disk piece by piece, and browse
// commands wait while answers are still queued.
class InstrumentSession : public QObject
{
    Q_OBJECT
public:
    InstrumentSession(QTcpSocket *socket, const InstrumentOptions &options,
                      const InstrumentTree &tree, int id, QObject *parent = nullptr);
    ~InstrumentSession() override;

    int id() const { return m_id; }
    // The most output ever waiting in this session: the socket's buffer and queued lines.
    qint64 peakQueuedBytes() const { return m_peakQueued; }

    // Output is written to the socket only while it holds fewer bytes than this.
    static constexpr qint64 kHighWater = 1024 * 1024;
    static constexpr qint64 kFilePiece = 256 * 1024;
    // Longest line accepted from a client; a longer one closes the connection.
    static constexpr int kMaxLine = 4 * 1024 * 1024;

signals:
    void lineReceived(const QByteArray &line); // without its line feed
    void loggedIn(const QString &account);
    void downloadFinished(int filesSent, bool cancelled);
    void closed();

private slots:
    void readInput();
    void pump();
    void socketClosed();

private:
    enum class Stage { Login, Browsing, Announced, SendingFile, AwaitingAck, Endless };

    void handleLine(const QByteArray &line);
    void handleLogin(const QByteArray &line);
    void handleCd(const QByteArray &argument);
    void sendPwd();
    void sendList();
    void startDownload(const QByteArray &argument);
    void sendNextFile();
    QByteArray fileBytesDone(); // the end line (and what must share its write)
    void finishDownload();
    void releaseHeld();
    void startEndless();
    QByteArray endlessPiece();

    void send(const QByteArray &bytes);
    void sendBrowseAnswer(QByteArray line);
    QByteArray nextPiece();
    qint64 queuedBytes() const;
    bool inDownload() const { return m_stage != Stage::Login && m_stage != Stage::Browsing; }
    void fail(const QString &why);

    void note(const QString &text) const;
    void trace(const QString &direction, const QByteArray &bytes) const;

    QTcpSocket *m_socket;
    const InstrumentOptions m_options;
    const InstrumentTree m_tree;
    const int m_id;

    Stage m_stage = Stage::Login;
    QString m_account;
    QString m_current = InstrumentTree::kRemoteRoot;

    QByteArray m_input;
    QByteArrayList m_held; // browse commands that arrived during a download
    qint64 m_heldBytes = 0;
    bool m_inReadInput = false;

    QByteArrayList m_output; // whole writes not yet handed to the socket
    qint64 m_outputBytes = 0;
    qint64 m_peakQueued = 0;
    QTimer m_pieceTimer;     // the delay between pieces
    bool m_inPump = false;
    bool m_closeWhenWritten = false;
    bool m_stalled = false;

    // The download under way.
    QStringList m_files;
    int m_realFiles = 0; // the rest are the --outside-path fakes
    bool m_extraSent = false;
    qint64 m_endlessSent = 0;
    int m_nextFile = 0;
    int m_filesSent = 0;
    bool m_cancelled = false;
    bool m_completedSent = false;
    QString m_currentFile;
    std::unique_ptr<QIODevice> m_source;
    qint64 m_remaining = 0;
    qint64 m_fileBytesTotal = 0; // file bytes sent on this connection
};
