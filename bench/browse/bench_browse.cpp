// How long a listing takes to appear in the real window, for 1,000, 20,000 and 100,000
// entries (one in N a folder, the rest images, half of them present locally in a folder of
// their own). Each round times, in turn (the order reversed every other round), from an
// empty list and tree branch:
//   bare fill   the least a QListWidget needs to show the same rows: their texts and icons,
//               decided beforehand, put into the window's list a block of rows at a time;
//   item fill   the same rows added one QListWidgetItem at a time (the usual way);
//   light fill  the same rows as the window's own lighter items, put in with the model quiet
//               and the view told once (the least the window's way of filling needs);
//   apply       the window applying the "$LIST:" answer: reading the answer, reading the
//               local folder for the ticks, the folder's tree branch and the list;
// each once until it returns and once until the list is laid out and painted; and
//   from the wire  the same answer written to the window's socket by a peer thread, timed
//               from its first byte until the list is painted (reading and framing included).
// Ratios are
// taken per round (apply against the fills of the same round) and summarised by their
// median and range.
#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "browser/browserpanel.h"
#include "browser/listentryitem.h"
#include "link/instrumentlink.h"
#include "link/listing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QScrollBar>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr int kWarmUp = 1;
constexpr qint64 kPaintDeadlineMs = 10000;

struct Summary
{
    double median, low, high;
};

Summary summarise(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.at(v.size() / 2), v.first(), v.last()};
}

QString describe(const QVector<double> &v, int decimals)
{
    const Summary s = summarise(v);
    return QStringLiteral("%1 (%2 .. %3)")
        .arg(s.median, 0, 'f', decimals)
        .arg(s.low, 0, 'f', decimals)
        .arg(s.high, 0, 'f', decimals);
}

QByteArray entryName(int i, int folderEvery)
{
    return i % folderEvery == 0 ? "run_" + QByteArray::number(i)
                                : "image_" + QByteArray::number(i) + ".tif";
}

// Counts the list's paints that show a finished layout, which the scroll bar's range tells.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QListWidget *list) : m_list(list)
    {
        list->viewport()->installEventFilter(this);
    }
    void expect(int scrollMaximum) { m_expected = scrollMaximum; }
    int laidOutPaints() const { return m_paints; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_list->verticalScrollBar()->maximum() == m_expected)
            ++m_paints;
        return false;
    }

private:
    QListWidget *m_list;
    int m_expected = -1;
    int m_paints = 0;
};

} // namespace

class BrowseBench
{
public:
    BrowseBench(const QString &downloadPath, int folderEvery);
    static QString folderName(int entries) { return QStringLiteral("run%1").arg(entries); }
    static bool makeLocalCopies(const QString &downloadPath, int entries, int folderEvery);
    // The apply's times until painted; a low of -1 when the list was not shown in full.
    Summary measure(int entries, int rounds, QTextStream &out, double *ratio20k);
    // How many entries of a listing shown in full one MB of resident memory holds.
    double entriesPerMB(int entries);
    Summary lastFromTheWire() const { return m_lastWire; }

private:
    QString answer(int entries) const;
    void empty();
    bool waitForPaint(int scrollMaximum);
    bool connectPeer();
    double fromTheWire(const QByteArray &bytes, bool *shown);

    int m_folderEvery;
    Summary m_lastWire{};  // from the wire to painted, of the latest measure()
    int m_peer = -1; // the instrument's end of the window's link: a plain blocking socket
    MainWindow m_window;
    QListWidget *m_list;
    PaintWatch m_watch;
    int m_fullMaximum = 0; // the scroll range with the whole listing laid out
    QTreeWidgetItem *m_branch = nullptr;
};

BrowseBench::BrowseBench(const QString &downloadPath, int folderEvery)
    : m_folderEvery(folderEvery), m_list(m_window.form()->FILE_LISTWIDGET), m_watch(m_list)
{
    m_window.setDownloadPath(downloadPath);
    m_window.resize(1024, 768);
    m_window.show();
    BrowserPanel *browser = m_window.browser();
    browser->applyPwdAnswer(QStringLiteral("$PWD:/TARVELO"));
    browser->applyListAnswer(QStringLiteral("$LIST: <d,run1000><d,run20000><d,run100000>"));
    if (!connectPeer())
        qFatal("cannot connect the window's link on loopback");
}

// The window's link to a socket of this program on loopback (a port of the kernel's choice).
bool BrowseBench::connectPeer()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &length) != 0)
        return false;
    auto *client = new QTcpSocket(&m_window);
    client->connectToHost(QHostAddress(QHostAddress::LocalHost), ntohs(addr.sin_port));
    m_peer = client->waitForConnected(5000) ? ::accept(listener, nullptr, nullptr) : -1;
    ::close(listener);
    m_window.link()->attach(client);
    return m_peer >= 0;
}

// Writes the bytes from another thread, as the instrument would, and runs the window until
// the list is painted; milliseconds from the first byte.
double BrowseBench::fromTheWire(const QByteArray &bytes, bool *shown)
{
    empty();
    using Clock = std::chrono::steady_clock;
    std::atomic<Clock::rep> firstByte{0};
    std::thread writer([&] {
        firstByte = Clock::now().time_since_epoch().count();
        ssize_t n = 0; // a failed send ends the writing; the wait for the paint then fails
        for (qint64 sent = 0; sent < bytes.size() && n >= 0; sent += qMax<ssize_t>(n, 0))
            n = ::send(m_peer, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
    });
    *shown = waitForPaint(m_fullMaximum) && *shown;
    const auto painted = Clock::now().time_since_epoch().count();
    writer.join();
    return std::chrono::duration<double, std::milli>(Clock::duration(painted - firstByte.load())).count();
}

// Half of the entries present locally, in a folder of their own.
bool BrowseBench::makeLocalCopies(const QString &downloadPath, int entries, int folderEvery)
{
    const QString local = downloadPath + '/' + folderName(entries);
    if (!QDir().mkpath(local))
        return false;
    for (int i = 0; i < entries; i += 2) {
        const QString name = local + '/' + QString::fromLatin1(entryName(i, folderEvery));
        if (i % folderEvery == 0) {
            if (!QDir().mkdir(name))
                return false;
        } else {
            QFile file(name);
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
    }
    return true;
}

QString BrowseBench::answer(int entries) const
{
    QByteArray line = "$LIST: ";
    for (int i = 0; i < entries; ++i)
        line += (i % m_folderEvery == 0 ? "<d," : "<f,") + entryName(i, m_folderEvery) + '>';
    return QString::fromLatin1(line);
}

void BrowseBench::empty()
{
    m_list->clear();
    m_window.browser()->removeTreeChildren(m_branch);
    waitForPaint(0);
}

// Runs the event loop until the list has painted with its layout done, as a user sees it.
bool BrowseBench::waitForPaint(int scrollMaximum)
{
    m_watch.expect(scrollMaximum);
    const int before = m_watch.laidOutPaints();
    QElapsedTimer deadline;
    deadline.start();
    while (m_watch.laidOutPaints() == before && deadline.elapsed() < kPaintDeadlineMs)
        QCoreApplication::processEvents();
    return m_watch.laidOutPaints() != before;
}

static qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * 4096;
}

double BrowseBench::entriesPerMB(int entries)
{
    BrowserPanel *browser = m_window.browser();
    const QString path = QStringLiteral("/TARVELO/") + folderName(entries);
    browser->applyPwdAnswer(QStringLiteral("$PWD:") + path);
    QString line = answer(entries);
    waitForPaint(0);
    const qint64 before = residentBytes();
    browser->applyListAnswer(line);
    line = QString(); // the answer's text is gone once it has been applied
    m_list->scrollToBottom();
    QCoreApplication::processEvents();
    const double grown = double(residentBytes() - before);
    m_list->clear();
    return grown > 0 ? entries / (grown / 1e6) : 0;
}

Summary BrowseBench::measure(int entries, int rounds, QTextStream &out, double *ratio20k)
{
    const QString line = answer(entries);
    BrowserPanel *browser = m_window.browser();
    const QString path = QStringLiteral("/TARVELO/") + folderName(entries);
    browser->applyPwdAnswer(QStringLiteral("$PWD:") + path);
    m_branch = browser->findTreeItem(path);

    // The rows as the window shows them, and the scroll range of the list laid out.
    browser->applyListAnswer(line);
    QStringList texts;
    QVector<QIcon> icons;
    for (int i = 0; i < m_list->count(); ++i) {
        texts.append(m_list->item(i)->text());
        icons.append(m_list->item(i)->icon());
    }
    m_list->scrollToBottom();
    m_fullMaximum = m_list->verticalScrollBar()->maximum();
    m_list->scrollToTop();

    // Blocks of rows: a block of texts in one insertion, then its icons with the model quiet
    // (no view needs telling about rows it has not laid out yet). Cheaper than one insertion
    // for all rows, whose second pass over the items misses the cache.
    const std::function<void()> bareFill = [&] {
        constexpr int kBlock = 256;
        for (int first = 0; first < texts.size(); first += kBlock) {
            const int count = qMin(kBlock, texts.size() - first);
            m_list->insertItems(first, texts.mid(first, count));
            const QSignalBlocker quiet(m_list->model());
            for (int i = first; i < first + count; ++i)
                m_list->item(i)->setIcon(icons.at(i));
        }
    };
    const std::function<void()> itemFill = [&] {
        for (int i = 0; i < texts.size(); ++i)
            m_list->addItem(new QListWidgetItem(icons.at(i), texts.at(i)));
    };
    const std::function<void()> lightFill = [&] {
        {
            const QSignalBlocker quiet(m_list->model());
            for (int i = 0; i < texts.size(); ++i) {
                auto *item = new ListEntryItem(texts.at(i));
                item->setIconUntold(icons.at(i));
                m_list->insertItem(i, item);
            }
        }
        m_list->reset();
    };
    const std::function<void()> apply = [&] { browser->applyListAnswer(line); };
    const std::function<void()> *steps[] = {&bareFill, &itemFill, &lightFill, &apply};
    constexpr int kSteps = 4;
    constexpr int kApply = kSteps - 1;

    QElapsedTimer timer;
    bool allPainted = true;
    auto time = [&](const std::function<void()> &step, bool painted) {
        empty();
        timer.start();
        step();
        if (painted)
            allPainted = waitForPaint(m_fullMaximum) && allPainted;
        const double ms = timer.nsecsElapsed() / 1e6;
        if (m_list->count() != texts.size())
            allPainted = false;
        return ms;
    };
    QVector<double> alone[kSteps], painted[kSteps], ratio, ratioPainted, ratioItems, ratioLight,
        readMs, wireMs;
    const QByteArray wire = "$PWD:" + path.toUtf8() + "\r\n" + line.toLatin1() + "\r\n";
    FolderListing reading;
    const QString localFolder = browser->toLocalPath(path);
    for (int round = 0; round < kWarmUp + rounds; ++round) {
        double a[kSteps], p[kSteps];
        for (int k = 0; k < kSteps; ++k) {
            const int s = round % 2 ? kSteps - 1 - k : k;
            a[s] = time(*steps[s], false);
            p[s] = time(*steps[s], true);
        }
        timer.start();
        reading.apply(line, 0, path, localFolder);
        const double r = timer.nsecsElapsed() / 1e6;
        const double w = fromTheWire(wire, &allPainted);
        if (m_list->count() != texts.size())
            allPainted = false;
        if (round < kWarmUp)
            continue;
        wireMs.append(w);
        for (int s = 0; s < kSteps; ++s) {
            alone[s].append(a[s]);
            painted[s].append(p[s]);
        }
        ratio.append(a[kApply] / a[0]);
        ratioPainted.append(p[kApply] / p[0]);
        ratioItems.append(a[kApply] / a[1]);
        ratioLight.append(a[kApply] / a[2]);
        readMs.append(r);
    }

    out << entries << " entries, " << rounds << " rounds after " << kWarmUp
        << " warm-up (ms: median (min .. max))\n";
    if (!allPainted)
        out << "  THE LIST WAS NOT SHOWN IN FULL within " << kPaintDeadlineMs << " ms\n";
    out << "  bare fill                 " << describe(alone[0], 1) << '\n';
    out << "  item fill                 " << describe(alone[1], 1) << '\n';
    out << "  light fill                " << describe(alone[2], 1) << '\n';
    out << "  apply                     " << describe(alone[kApply], 1) << '\n';
    out << "    of which reading        " << describe(readMs, 1)
        << "  (the answer and the local folder, no widgets)\n";
    out << "  bare fill, painted        " << describe(painted[0], 1) << '\n';
    out << "  item fill, painted        " << describe(painted[1], 1) << '\n';
    out << "  light fill, painted       " << describe(painted[2], 1) << '\n';
    out << "  apply, painted            " << describe(painted[kApply], 1) << '\n';
    out << "  from the wire, painted    " << describe(wireMs, 1)
        << "  (first byte of the answer on the socket to the painted list)\n";
    out << "  ratio apply/bare fill     " << describe(ratio, 2) << '\n';
    out << "  ratio painted             " << describe(ratioPainted, 2) << '\n';
    out << "  ratio apply/item fill     " << describe(ratioItems, 2) << '\n';
    out << "  ratio apply/light fill    " << describe(ratioLight, 2)
        << "  (what reading the answer and the folder adds to the window's own fill)\n";
    out.flush();
    if (ratio20k && entries == 20000)
        *ratio20k = summarise(ratio).median;
    m_lastWire = summarise(wireMs);
    Summary shown = summarise(painted[kApply]);
    if (!allPainted)
        shown.low = -1;
    return shown;
}

// Arguments: the number of rounds (default 7) and one entry in how many is a folder
// (default 100).
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rounds = qMax(1, argc > 1 ? QByteArray(argv[1]).toInt() : 7);
    const int folderEvery = qMax(1, argc > 2 ? QByteArray(argv[2]).toInt() : 100);
    const int sizes[] = {1000, 20000, 100000};

    QTemporaryDir download;
    if (!download.isValid())
        return 1;
    for (int entries : sizes) {
        if (!BrowseBench::makeLocalCopies(download.path(), entries, folderEvery))
            return 1;
    }

    QTextStream out(stdout);
    out << "goals: \"100,000 entries painted within 0.5 s\"; "
           "\"applying 20,000 entries <= 1.2x a bare fill\"\n";
    BrowseBench bench(download.path(), folderEvery);
    // Memory first, while the heap has given nothing back that a listing could reuse.
    const double perMB = bench.entriesPerMB(sizes[2]);
    out << "memory: " << QString::number(perMB, 'f', 0) << " entries per MB of resident memory ("
        << QString::number(1e6 / perMB, 'f', 0) << " MB for a million; goal: under 250)\n";
    double ratio = -1;
    Summary painted{};
    for (int entries : sizes)
        painted = bench.measure(entries, rounds, out, &ratio);
    // Judged by the slowest round, from the answer's first byte on the socket: a user waits
    // for the one in front of them, answer and all. The time from the answer in memory beside.
    const Summary wire = bench.lastFromTheWire();
    out << "100,000 entries painted within 0.5 s: ";
    if (painted.low < 0)
        out << "not shown in full, NOT met\n";
    else
        out << "from the first byte, median " << QString::number(wire.median, 'f', 1) << " ms, slowest "
            << QString::number(wire.high, 'f', 1) << " ms"
            << (wire.high <= 500 ? ", met" : ", NOT met") << "; from the answer in memory, median "
            << QString::number(painted.median, 'f', 1) << " ms, slowest "
            << QString::number(painted.high, 'f', 1) << " ms\n";
    out << "applying 20,000 entries <= 1.2x a bare fill: median ratio "
        << QString::number(ratio, 'f', 2) << (ratio <= 1.2 ? ", met\n" : ", NOT met\n");
    return 0;
}
