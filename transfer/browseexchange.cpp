#include "transfer/browseexchange.h"

#include "link/instrumentlink.h"
#include "link/linklog.h"
#include "link/protocol.h"


BrowseExchange::BrowseExchange(InstrumentLink *link, QObject *parent)
    : QObject(parent), m_link(link)
{
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(kSettleMs);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] { finishCurrent(true, QString()); });
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(kDefaultAnswerLimitMs);
    connect(&m_answerTimer, &QTimer::timeout, this, &BrowseExchange::onAnswerTimeout);
    connect(&m_link->reader(), &MessageReader::pwdAnswer, this, &BrowseExchange::onPwd);
    connect(&m_link->reader(), &MessageReader::listAnswer, this, &BrowseExchange::onList);
}

void BrowseExchange::send(const QByteArray &cd, int lists, quint64 owner)
{
    m_link->sendLine(cd);
    m_link->sendLine(Protocol::kPwd);
    m_open.push_back({Expect::Pwd, owner});
    for (int i = 0; i < lists; ++i) {
        m_link->sendLine(Protocol::kList);
        m_open.push_back({Expect::List, owner});
    }
}

void BrowseExchange::showFolder(const QString &remotePath)
{
    send(QByteArray(Protocol::kCdPrefix) + remotePath.toUtf8() + '\n', 1, 0);
}

void BrowseExchange::showHome()
{
    send(QByteArray(Protocol::kCdHome), 1, 0);
}

void BrowseExchange::showFolderTwice(const QString &remotePath)
{
    send(QByteArray(Protocol::kCdPrefix) + remotePath.toUtf8() + '\n', 2, 0);
}

void BrowseExchange::listFolder(const QString &remotePath, Done done)
{
    m_queue.push_back({m_nextId++, remotePath, std::move(done)});
    sendNext();
}

void BrowseExchange::sendNext()
{
    if (m_current || m_queue.empty())
        return;
    m_current = std::make_unique<Request>(std::move(m_queue.front()));
    m_queue.pop_front();
    m_result = FolderListResult();
    m_listText.clear();
    qCDebug(lcLink) << "listing" << m_current->path << "for the program";
    send(QByteArray(Protocol::kCdPrefix) + m_current->path.toUtf8() + '\n', 1, m_current->id);
    m_answerTimer.start();
}

// An answer that grows (delivered before its line feed, then again) keeps its owner; a new
// one goes to the oldest open command of its kind. Open commands of the other kind before
// it were not answered and never will be.
quint64 BrowseExchange::ownerOf(Expect expect, quint64 lineId)
{
    if (lineId != 0 && lineId == m_lastLineId && expect == m_lastExpect)
        return m_lastOwner;
    quint64 owner = 0;
    for (auto it = m_open.begin(); it != m_open.end(); ++it) {
        if (it->expect == expect) {
            owner = it->owner;
            m_open.erase(m_open.begin(), it + 1);
            break;
        }
    }
    m_lastLineId = lineId;
    m_lastExpect = expect;
    m_lastOwner = owner;
    return owner;
}

void BrowseExchange::onPwd(const QString &line)
{
    const MessageReader &reader = m_link->reader();
    const quint64 owner = ownerOf(Expect::Pwd, reader.lineId());
    if (owner == 0) {
        emit pwdShown(line, reader.lineId());
        return;
    }
    if (!m_current || owner != m_current->id)
        return; // the answer to a listing given up
    m_result.folder = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
    m_answerTimer.start();
}

void BrowseExchange::onList(const QString &line)
{
    const MessageReader &reader = m_link->reader();
    const quint64 owner = ownerOf(Expect::List, reader.lineId());
    if (owner == 0) {
        emit listShown(line, reader.lineId(), reader.lineComplete());
        return;
    }
    if (!m_current || owner != m_current->id)
        return;
    m_listText = line;
    m_answerTimer.start();
    if (reader.lineComplete())
        finishCurrent(true, QString());
    else
        m_settleTimer.start();
}

void BrowseExchange::onAnswerTimeout()
{
    finishCurrent(false, tr("The instrument did not answer within %1 s.")
                             .arg(m_answerTimer.interval() / 1000));
}

void BrowseExchange::finishCurrent(bool ok, const QString &error)
{
    m_settleTimer.stop();
    m_answerTimer.stop();
    if (!m_current)
        return;
    std::unique_ptr<Request> request = std::move(m_current);
    FolderListResult result = std::move(m_result);
    result.ok = ok;
    result.error = error;
    if (ok)
        result.entries = Listing::parse(m_listText);
    m_listText.clear();
    // The next one goes out first: a callback that queues more finds the line busy.
    sendNext();
    if (request->done)
        request->done(result);
}

void BrowseExchange::abandon(const QString &why)
{
    m_settleTimer.stop();
    m_answerTimer.stop();
    std::deque<Request> dropped;
    dropped.swap(m_queue);
    if (m_current)
        dropped.push_front(std::move(*m_current));
    m_current.reset();
    if (why.isEmpty())
        return;
    FolderListResult failed;
    failed.error = why;
    for (Request &request : dropped) {
        if (request.done)
            request.done(failed);
    }
}

void BrowseExchange::reset(const QString &why)
{
    m_open.clear();
    m_lastLineId = 0;
    abandon(why);
}
