#pragma once
#include "link/messagereader.h"

// What the next bytes from the instrument are expected to be, as one number. The stored
// values are fixed.
enum ReaderMode : qint32 {
    Browsing = 0,         // no transfer under way
    ReceivingList = 1,    // the file announcement is still incomplete
    ListAcknowledged = 2, // announcement parsed and acknowledged; waiting for the first file
    ReceivingFile = 3,    // file bytes are being collected
    FileStored = 4,       // a file was stored; waiting for the next file or the end notice
    Refreshing = 5        // the download has ended; the next shown listing closes it
};

// Where a download stands between the messages of its stream. It sits between the reader
// and the receiver, so it sees every step of the stream in order; the one who starts a
// download tells it when a request goes out and when a listing has been shown.
class DownloadLifecycle : public DownloadStream
{
public:
    explicit DownloadLifecycle(DownloadStream *stream) : m_stream(stream) {}
    // What the steps go on to: the receiver, or a stand-in in tests.
    void setStream(DownloadStream *stream) { m_stream = stream; }

    // Inside an announcement or a file, the reader's framing says it; between messages,
    // the download's phase does.
    ReaderMode mode(const MessageReader &reader) const;
    ReaderMode phase() const { return m_phase; }
    // A request is about to go out, or the download was ended early.
    void restart() { m_phase = Browsing; }
    // A listing from the instrument was shown. True when it is the refreshed listing that
    // closes a download whose end notice has come.
    bool listingShown();

    qint64 announcementData(const char *data, qint64 size, bool *complete) override;
    bool fileHeader(const QByteArray &line) override { return m_stream->fileHeader(line); }
    qint64 fileData(const char *data, qint64 size, bool *finished) override;
    void downloadCompleted() override;
    void activity() override { m_stream->activity(); }
    QString refusal() const override { return m_stream->refusal(); }
    bool holding() const override { return m_stream->holding(); }
    void setSource(const ReadBuffer &buffer) override { m_stream->setSource(buffer); }
    void onRelease(std::function<void()> handler) override { m_stream->onRelease(std::move(handler)); }

private:
    DownloadStream *m_stream;
    ReaderMode m_phase = Browsing;
};
