#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

// What the next bytes from the instrument are expected to be. The stored values are fixed.
enum ReaderMode : qint32 {
    Browsing = 0,         // no transfer under way
    ReceivingList = 1,    // the file announcement is still incomplete
    ListAcknowledged = 2, // announcement parsed and acknowledged; waiting for the first file
    ReceivingFile = 3,    // file bytes are being collected
    FileStored = 4,       // a file was stored; waiting for the next file or the end notice
    Refreshing = 5        // the download has ended; the next "$LIST:" answer closes it
};

// The download side of the stream. The reader hands it everything that belongs to a
// download; the download receiver implements it.
class DownloadStream
{
public:
    virtual ~DownloadStream() = default;
    // Announcement bytes; the first call starts with "$DOWNLOAD REQUEST: LIST<START>".
    // Returns how many of the bytes belong to the announcement and sets *complete once its
    // end marker has been consumed.
    virtual qint64 announcementData(const char *data, qint64 size, bool *complete) = 0;
    // One header line "$DOWNLOAD:<path>...", without its line feed (a carriage return is cut).
    virtual void fileHeader(const QByteArray &line) = 0;
    // Bytes of the file being received. Returns how many belong to the file, its end line
    // included, and sets *finished once the end line has been consumed.
    virtual qint64 fileData(const char *data, qint64 size, bool *finished) = 0;
    // "$DOWNLOAD: COMPLETED" arrived.
    virtual void downloadCompleted() = 0;
};

// Turns the byte stream from the instrument into messages, however it is split into reads.
// Partial lines are kept until their line feed arrives.
class MessageReader : public QObject
{
    Q_OBJECT
public:
    explicit MessageReader(QObject *parent = nullptr);

    void setDownloadStream(DownloadStream *stream) { m_stream = stream; }
    ReaderMode mode() const { return m_readerMode; }
    void setMode(ReaderMode mode) { m_readerMode = mode; }

    // Bytes as they came from the socket.
    void feed(const QByteArray &bytes);
    // Handles a pending unterminated browse line now (when no more bytes are waiting).
    // It is handled again, whole, if the rest of it arrives later.
    void flushUnterminated();
    // Forgets partial input (the link was closed).
    void reset();

signals:
    // A "$PWD:" line (line feed and carriage return removed).
    void pwdAnswer(const QString &line);
    // A "$LIST:" line; the receiver of the signal reports through listAccepted() whether it
    // took it, since the end of a download waits for an accepted listing.
    void listAnswer(const QString &line);
    // Mode was Refreshing and an accepted "$LIST:" answer arrived: the download is over.
    void downloadFinished();

public:
    // Called by the listing's handler during listAnswer().
    void listAccepted(bool accepted) { m_listAccepted = accepted; }

private:
    DownloadStream *m_stream = nullptr;
    ReaderMode m_readerMode = Browsing;
    QByteArray m_pending;
    bool m_listAccepted = false;
};
