#include "tools/instrument/instrumentsession.h"

#include <QBuffer>
#include <QHostAddress>
#include <QFile>
#include <QSet>
#include <QTcpSocket>

#include <cstdio>

namespace {

// The instrument's own texts. Written out here rather than shared with the client, so that
// a wrong constant on the client's side shows up in the tests instead of being mirrored.
const QByteArray kWaitLogin = "$WAIT LOGIN:\n";
const QByteArray kLoginPrefix = "$LOGIN: ";
const QByteArray kLoginOk = "$LOGIN: OK\n";
const QByteArray kLoginNg = "$LOGIN: NG\n";
const QByteArray kCdHome = "$CD $HOME";
const QByteArray kCdPrefix = "$CD ";
const QByteArray kPwd = "$PWD";
const QByteArray kList = "$LIST";
const QByteArray kRequestPrefix = "$DOWNLOAD REQUEST ";
const QByteArray kListAck = "$DOWNLOAD REQUEST: LIST COMPLETED";
const QByteArray kFileAckPrefix = "$DOWNLOAD COMPLETED ";
const QByteArray kCancel = "$DOWNLOAD CANCEL";
const QByteArray kListStart = "$DOWNLOAD REQUEST: LIST<START>";
const QByteArray kListEnd = "$DOWNLOAD REQUEST: LIST<END>\n";
const QByteArray kCompleted = "$DOWNLOAD: COMPLETED\n";

// What a path from --outside-path carries: the instrument never reads outside its root.
const QByteArray kOutsideContent =
    "This file was announced with a path outside the instrument's tree.\n"
    "A careful client refuses to store it.\n";

// Commands held back during a download, at most this many bytes; more closes the link.
constexpr qint64 kMaxHeld = 1024 * 1024;

// The faults are for the first connections only when so asked.
InstrumentOptions forConnection(InstrumentOptions options, int id)
{
    if (options.faultyConnections > 0 && id > options.faultyConnections) {
        options.closeAfterFileBytes = -1;
        options.stallAfterFileBytes = -1;
    }
    return options;
}

// A made-up file, read as a file is.
class GeneratedFile : public QIODevice
{
public:
    explicit GeneratedFile(qint64 size) : m_size(size) { open(QIODevice::ReadOnly); }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin(maxSize, m_size - pos());
        if (n <= 0)
            return n < 0 ? -1 : 0;
        const QByteArray bytes = InstrumentTree::generatedBytes(pos(), n);
        memcpy(data, bytes.constData(), size_t(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_size;
};

void print(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

InstrumentSession::InstrumentSession(QTcpSocket *socket, const InstrumentOptions &options,
                                     const InstrumentTree &tree, int id, QObject *parent)
    : QObject(parent), m_socket(socket), m_options(forConnection(options, id)), m_tree(tree), m_id(id)
{
    m_socket->setParent(this);
    // Qt stops reading from the network while this much waits unread, so a client that
    // floods commands is slowed by TCP instead of filling memory.
    m_socket->setReadBufferSize(256 * 1024);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_pieceTimer.setSingleShot(true);

    connect(&m_pieceTimer, &QTimer::timeout, this, &InstrumentSession::pump);
    connect(m_socket, &QTcpSocket::readyRead, this, &InstrumentSession::readInput);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &InstrumentSession::pump);
    connect(m_socket, &QTcpSocket::disconnected, this, &InstrumentSession::socketClosed);

    note(QStringLiteral("connected from %1 port %2")
             .arg(m_socket->peerAddress().toString())
             .arg(m_socket->peerPort()));
    send(kWaitLogin);
}

InstrumentSession::~InstrumentSession()
{
    m_socket->disconnect(this);
}

// --- input ---

void InstrumentSession::readInput()
{
    if (m_inReadInput)
        return;
    m_inReadInput = true;
    int pos = 0;
    while (m_socket->state() == QAbstractSocket::ConnectedState) {
        // Answers not yet taken by the client hold further commands back.
        if (!inDownload() && queuedBytes() >= kHighWater)
            break;
        const int lineFeed = m_input.indexOf('\n', pos);
        if (lineFeed < 0) {
            m_input.remove(0, pos);
            pos = 0;
            if (m_input.size() >= kMaxLine) {
                fail(QStringLiteral("a line longer than %1 bytes arrived; closing").arg(kMaxLine));
                break;
            }
            const QByteArray more = m_socket->read(kMaxLine - m_input.size());
            if (more.isEmpty())
                break;
            m_input += more;
            continue;
        }
        QByteArray line = m_input.mid(pos, lineFeed - pos);
        pos = lineFeed + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        emit lineReceived(line);
        trace(QStringLiteral("<<"), line);
        handleLine(line);
    }
    m_input.remove(0, pos);
    m_inReadInput = false;
}

void InstrumentSession::handleLine(const QByteArray &line)
{
    const QByteArray command = line.trimmed();
    if (m_stage == Stage::Login) {
        if (line.startsWith(kLoginPrefix))
            handleLogin(line);
        else
            note(QStringLiteral("not logged in: ignored"));
        return;
    }

    // The download's own messages are taken at once, even while a file is going out.
    if (command == kListAck) {
        if (m_stage == Stage::Announced)
            sendNextFile();
        return;
    }
    if (line.startsWith(kFileAckPrefix)) {
        if (m_stage != Stage::AwaitingAck)
            return;
        const QString path = QString::fromUtf8(line.mid(kFileAckPrefix.size()));
        if (path != m_currentFile)
            note(QStringLiteral("acknowledgement names %1, expected %2").arg(path, m_currentFile));
        if (m_cancelled)
            finishDownload();
        else
            sendNextFile();
        return;
    }
    if (command == kCancel) {
        if (!inDownload())
            return;
        m_cancelled = true;
        // A file already on its way is finished first, so its framing stays whole; the end
        // notice then follows its acknowledgement.
        if (m_stage != Stage::SendingFile)
            finishDownload();
        return;
    }

    if (inDownload()) {
        // Answering now would put the answer among file bytes.
        m_heldBytes += line.size();
        if (m_heldBytes > kMaxHeld) {
            fail(QStringLiteral("too many commands during a download; closing"));
            return;
        }
        m_held.append(line);
        return;
    }

    if (command == kCdHome)
        m_current = InstrumentTree::kRemoteRoot;
    else if (line.startsWith(kCdPrefix))
        handleCd(line.mid(kCdPrefix.size()));
    else if (command == kPwd)
        sendPwd();
    else if (command == kList && !m_options.endlessLine.isEmpty() && !m_options.endlessLine.startsWith("$DOWNLOAD"))
        startEndless();
    else if (command == kList)
        sendList();
    else if (line.startsWith(kRequestPrefix) && m_options.endlessLine.startsWith("$DOWNLOAD"))
        startEndless();
    else if (line.startsWith(kRequestPrefix))
        startDownload(line.mid(kRequestPrefix.size()));
    else if (line.startsWith(kLoginPrefix))
        handleLogin(line);
    else
        note(QStringLiteral("unknown command ignored"));
}

void InstrumentSession::handleLogin(const QByteArray &line)
{
    const QByteArray body = line.mid(kLoginPrefix.size());
    bool ok = false;
    QString account;
    if (body.startsWith('<') && body.endsWith('>') && body.size() >= 2) {
        const QString inner = QString::fromUtf8(body.mid(1, body.size() - 2));
        // The client does not escape, so the first comma has to be the separator.
        const int comma = inner.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            account = inner.left(comma);
            const QString password = inner.mid(comma + 1);
            if (m_options.accounts.contains(account))
                ok = m_options.accounts.value(account) == password;
            else
                ok = m_options.anonymous && account == QLatin1String("anonymous")
                    && password.isEmpty();
        }
    }
    send(ok ? kLoginOk : kLoginNg);
    if (!ok) {
        note(QStringLiteral("login refused"));
        m_stage = Stage::Login;
        return;
    }
    m_account = account;
    m_stage = Stage::Browsing;
    m_current = InstrumentTree::kRemoteRoot;
    note(QStringLiteral("logged in as %1").arg(account));
    emit loggedIn(account);
}

void InstrumentSession::handleCd(const QByteArray &argument)
{
    const QString path = QString::fromUtf8(argument);
    if (m_tree.localFolder(path).isEmpty()) {
        note(QStringLiteral("no folder %1 (refused or missing): staying in %2").arg(path, m_current));
        return;
    }
    m_current = InstrumentTree::normalised(path);
}

void InstrumentSession::sendPwd()
{
    sendBrowseAnswer("$PWD: " + m_current.toUtf8() + '\n');
}

void InstrumentSession::sendList()
{
    QByteArray line = "$LIST: ";
    for (const InstrumentTree::Entry &entry : m_tree.list(m_current))
        line += (entry.folder ? "<d," : "<f,") + entry.name.toUtf8() + '>';
    sendBrowseAnswer(line + '\n');
}

void InstrumentSession::sendBrowseAnswer(QByteArray line)
{
    if (m_options.noFinalNewline)
        line.chop(1);
    send(line);
}

// --- downloads ---

void InstrumentSession::startDownload(const QByteArray &argument)
{
    QStringList requested;
    QByteArray token;
    bool inside = false;
    for (const char c : argument) {
        if (!inside) {
            if (c == '<') {
                inside = true;
                token.clear();
            }
        } else if (c == '>') {
            inside = false;
            requested.append(QString::fromUtf8(token));
        } else {
            token += c;
        }
    }

    m_files.clear();
    QSet<QString> seen;
    for (const QString &path : requested) {
        const QStringList files = m_tree.expand(path);
        if (files.isEmpty() && m_tree.localPath(path).isEmpty())
            note(QStringLiteral("%1 is refused or missing: left out").arg(path));
        for (const QString &file : files) {
            if (!seen.contains(file)) {
                seen.insert(file);
                m_files.append(file);
            }
        }
    }
    m_realFiles = m_files.size();
    m_files += m_options.outsidePaths;
    m_extraSent = m_options.extraFile.isEmpty();

    m_nextFile = 0;
    m_filesSent = 0;
    m_cancelled = false;
    m_completedSent = false;
    m_currentFile.clear();
    m_stage = Stage::Announced;

    QByteArray announcement = kListStart;
    for (int i = 0; i < m_files.size(); ++i)
        announcement += (i ? ",<" : "<") + m_files.at(i).toUtf8() + '>';
    send(announcement + kListEnd);
    for (const QString &left : m_options.leaveOut) {
        const int at = m_files.indexOf(left);
        if (at >= 0 && at < m_realFiles) {
            m_files.removeAt(at);
            --m_realFiles;
        }
    }
    note(QStringLiteral("download of %1 file(s) announced").arg(m_files.size()));
}

void InstrumentSession::sendNextFile()
{
    while (m_nextFile < m_files.size()) {
        const int index = m_nextFile++;
        const QString remote = m_files.at(index);
        std::unique_ptr<QIODevice> source;
        if (index >= m_realFiles) {
            auto buffer = std::make_unique<QBuffer>();
            buffer->setData(kOutsideContent);
            buffer->open(QIODevice::ReadOnly);
            source = std::move(buffer);
        } else if (m_tree.generatedSize(remote) >= 0) {
            source = std::make_unique<GeneratedFile>(m_tree.generatedSize(remote));
        } else {
            // Looked up again: the tree may have changed since the announcement.
            const QString local = m_tree.localPath(remote);
            auto file = std::make_unique<QFile>(local);
            if (local.isEmpty() || !file->open(QIODevice::ReadOnly)) {
                note(QStringLiteral("%1 can no longer be read: skipped").arg(remote));
                continue;
            }
            source = std::move(file);
        }
        m_currentFile = remote;
        m_remaining = source->size();
        m_source = std::move(source);
        m_stage = Stage::SendingFile;
        QByteArray header = "$DOWNLOAD:<" + remote.toUtf8() + '>';
        if (!m_options.noSize)
            header += '<' + QByteArray::number(qMax<qint64>(0, m_remaining + m_options.sizeError)) + '>';
        const bool empty = m_remaining == 0;
        send(header + '\n'); // the bytes follow from pump() as the socket drains
        if (empty)
            send(fileBytesDone());
        return;
    }
    if (!m_extraSent && !m_options.extraAfterCompleted) {
        m_extraSent = true;
        m_files.append(m_options.extraFile);
        m_realFiles = m_files.size();
        sendNextFile();
        return;
    }
    finishDownload();
}

QByteArray InstrumentSession::fileBytesDone()
{
    if (m_options.trace)
        print(QStringLiteral("[#%1] >> (%2 bytes of file data)").arg(m_id).arg(m_source->size()));
    m_source.reset();
    ++m_filesSent;
    m_stage = Stage::AwaitingAck;
    QByteArray tail = "$DOWNLOAD:<" + m_currentFile.toUtf8() + "><END>\n";
    if (m_options.completedWithLastFile && m_nextFile >= m_files.size()) {
        tail += kCompleted;
        m_completedSent = true;
    }
    return tail;
}

void InstrumentSession::finishDownload()
{
    if (!m_completedSent)
        send(kCompleted);
    if (!m_extraSent && m_options.extraAfterCompleted) { // a file nobody waits for any more
        m_extraSent = true;
        m_files.append(m_options.extraFile);
        m_realFiles = m_files.size();
        m_completedSent = true;
        sendNextFile();
        return;
    }
    m_stage = Stage::Browsing;
    m_source.reset();
    note(QStringLiteral("download ended: %1 file(s) sent%2")
             .arg(m_filesSent)
             .arg(m_cancelled ? QStringLiteral(", cancelled") : QString()));
    emit downloadFinished(m_filesSent, m_cancelled);
    releaseHeld();
}

void InstrumentSession::releaseHeld()
{
    const QByteArrayList held = std::move(m_held);
    m_held.clear();
    m_heldBytes = 0;
    for (const QByteArray &line : held)
        handleLine(line); // a held request starts a download, and the rest is held again
}

// --- output ---

void InstrumentSession::send(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    trace(QStringLiteral(">>"), bytes);
    m_output.append(bytes);
    m_outputBytes += bytes.size();
    pump();
}

qint64 InstrumentSession::queuedBytes() const
{
    return m_socket->bytesToWrite() + m_outputBytes;
}

QByteArray InstrumentSession::nextPiece()
{
    if (m_stalled || m_closeWhenWritten)
        return QByteArray();
    const int chunk = m_options.chunk;
    if (!m_output.isEmpty()) {
        QByteArray &front = m_output.first();
        QByteArray piece;
        if (chunk > 0 && front.size() > chunk) {
            piece = front.left(chunk);
            front.remove(0, chunk);
        } else {
            piece = m_output.takeFirst();
        }
        m_outputBytes -= piece.size();
        return piece;
    }
    if (m_stage == Stage::Endless)
        return endlessPiece();
    if (m_stage != Stage::SendingFile || m_remaining <= 0)
        return QByteArray();

    qint64 n = qMin(m_remaining, chunk > 0 ? qint64(chunk) : kFilePiece);
    if (m_options.closeAfterFileBytes >= 0)
        n = qMin(n, m_options.closeAfterFileBytes - m_fileBytesTotal);
    if (m_options.stallAfterFileBytes >= 0)
        n = qMin(n, m_options.stallAfterFileBytes - m_fileBytesTotal);
    QByteArray data = n > 0 ? m_source->read(n) : QByteArray();
    if (n > 0 && data.size() != n) {
        fail(QStringLiteral("%1 could not be read to its end; closing").arg(m_currentFile));
        return QByteArray();
    }
    m_remaining -= n;
    m_fileBytesTotal += n;

    if (m_options.closeAfterFileBytes >= 0 && m_fileBytesTotal >= m_options.closeAfterFileBytes) {
        note(QStringLiteral("closing after %1 bytes of file data").arg(m_fileBytesTotal));
        m_closeWhenWritten = true;
    } else if (m_options.stallAfterFileBytes >= 0
               && m_fileBytesTotal >= m_options.stallAfterFileBytes) {
        note(QStringLiteral("stalling after %1 bytes of file data").arg(m_fileBytesTotal));
        m_stalled = true;
    } else if (m_remaining == 0) {
        const QByteArray tail = fileBytesDone();
        if (m_options.completedWithLastFile && chunk == 0) {
            trace(QStringLiteral(">>"), tail);
            data += tail; // one write: the end of the file and whatever follows it
        } else {
            send(tail);
        }
    }
    return data;
}

void InstrumentSession::pump()
{
    if (m_inPump)
        return;
    m_inPump = true;
    while (m_socket->state() == QAbstractSocket::ConnectedState && !m_pieceTimer.isActive()
           && m_socket->bytesToWrite() < kHighWater) {
        const QByteArray piece = nextPiece();
        if (piece.isEmpty())
            break;
        m_socket->write(piece);
        m_peakQueued = qMax(m_peakQueued, queuedBytes());
        if (m_options.chunk > 0) {
            m_socket->flush();
            if (m_options.chunkDelayMs > 0) {
                m_pieceTimer.start(m_options.chunkDelayMs);
                break;
            }
        }
    }
    m_inPump = false;
    if (m_closeWhenWritten && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost(); // what was written still goes out first
    else if (!inDownload() && queuedBytes() < kHighWater && !m_inReadInput)
        readInput();
}

void InstrumentSession::startEndless()
{
    note(QStringLiteral("sending a line that never ends"));
    m_stage = Stage::Endless;
    m_endlessSent = 0;
    send(m_options.endlessLine);
}

QByteArray InstrumentSession::endlessPiece()
{
    if (m_endlessSent >= m_options.endlessBytes) {
        note(QStringLiteral("%1 bytes of a line without end sent; closing").arg(m_endlessSent));
        m_closeWhenWritten = true;
        return QByteArray();
    }
    static const QByteArray filler = QByteArray("<f,no end in sight>").repeated(int(kFilePiece / 19));
    const QByteArray piece = filler.left(int(qMin<qint64>(filler.size(), m_options.endlessBytes - m_endlessSent)));
    m_endlessSent += piece.size();
    return piece;
}

void InstrumentSession::socketClosed()
{
    m_pieceTimer.stop();
    m_source.reset();
    note(QStringLiteral("connection closed"));
    emit closed();
}

void InstrumentSession::fail(const QString &why)
{
    note(why);
    m_source.reset();
    m_socket->abort();
}

// --- printing ---

void InstrumentSession::note(const QString &text) const
{
    if (!m_options.quiet)
        print(QStringLiteral("[#%1] %2").arg(m_id).arg(text));
}

void InstrumentSession::trace(const QString &direction, const QByteArray &bytes) const
{
    if (!m_options.trace || bytes.isEmpty())
        return;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const bool last = i == lines.size() - 1;
        if (last && lines.at(i).isEmpty())
            break; // the part behind a final line feed
        QString text = QString::fromUtf8(lines.at(i));
        if (last && direction == QLatin1String(">>"))
            text += QStringLiteral("  (no line feed)");
        print(QStringLiteral("[#%1] %2 %3").arg(m_id).arg(direction, text));
    }
}
