#pragma once
#include "link/listing.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <deque>
#include <functional>
#include <memory>

class InstrumentLink;

// What a listing of one folder came to.
struct FolderListResult
{
    bool ok = false;
    QString folder;                   // as the instrument's "$PWD:" answer named it
    QVector<Listing::Entry> entries;  // in the instrument's order
    QString error;                    // why there are none, for the user
};

// Pairs the browse commands with their answers. The instrument answers "$PWD" and "$LIST"
// in the order they were sent and names no request, so every answer goes to whoever asked
// for the oldest one still open: the folder the user sees (its answers go out as signals,
// as they arrive, for the tree and list) or the program's own listings, which are sent one
// at a time and answered through a callback without touching what the user sees.
class BrowseExchange : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(const FolderListResult &)>;

    // An answer line delivered unfinished (no line feed yet) and then quiet for this long
    // is taken as it stands.
    static constexpr int kSettleMs = 300;
    static constexpr int kDefaultAnswerLimitMs = 30000;

    explicit BrowseExchange(InstrumentLink *link, QObject *parent = nullptr);

    // "$CD <path>", "$PWD", "$LIST" for the folder the user sees; `home` sends "$CD $HOME".
    void showFolder(const QString &remotePath);
    void showHome();
    // The same and one more "$LIST", as after every download.
    void showFolderTwice(const QString &remotePath);
    // The program's listing of `remotePath`; queued behind earlier ones.
    void listFolder(const QString &remotePath, Done done);
    // Program listings not yet answered are forgotten (their answers, if they come, are
    // dropped); with `why`, each is answered as a failure first.
    void abandon(const QString &why = QString());
    // The link was closed: nothing open will be answered.
    void reset(const QString &why);
    bool hasProgramWork() const { return m_current || !m_queue.empty(); }
    void setAnswerLimit(int ms) { m_answerTimer.setInterval(ms); }

signals:
    // Answers for the folder the user sees; `lineId` as the reader gives it.
    void pwdShown(const QString &line, quint64 lineId);
    void listShown(const QString &line, quint64 lineId, bool complete);

private:
    enum class Expect { Pwd, List };
    struct Open
    {
        Expect expect;
        quint64 owner; // 0: the folder the user sees; otherwise a program listing
    };
    struct Request
    {
        quint64 id;
        QString path;
        Done done;
    };

    void send(const QByteArray &cd, int lists, quint64 owner);
    quint64 ownerOf(Expect expect, quint64 lineId);
    void onPwd(const QString &line);
    void onList(const QString &line);
    void sendNext();
    void finishCurrent(bool ok, const QString &error);
    void onAnswerTimeout();

    InstrumentLink *m_link;
    std::deque<Open> m_open;
    std::deque<Request> m_queue;
    std::unique_ptr<Request> m_current;
    FolderListResult m_result;
    QString m_listText;       // the current request's "$LIST:" line as it stands
    quint64 m_nextId = 1;
    quint64 m_lastLineId = 0; // the reader's id of the answer line last given an owner
    quint64 m_lastOwner = 0;
    Expect m_lastExpect = Expect::Pwd;
    QTimer m_settleTimer;
    QTimer m_answerTimer;
};
