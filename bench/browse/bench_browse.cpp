// How long a listing takes to appear in the real window. For 1,000, 20,000 and 100,000
// entries (one in N a folder, the rest images, half of them present locally in a folder of
// their own) each round
// times, back to back:
//   fill     filling the list with the same icons and texts, decided beforehand (the floor);
//   apply    applying the "$LIST:" answer to tree and list;
// each once alone and once until the list is laid out and painted. The per-round ratios
// apply/fill are summarised by their median and range.
#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "browser/browserpanel.h"
#include "browser/listing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

class BrowseBench
{
public:
    BrowseBench(const QString &downloadPath, int folderEvery);
    static QString folderName(int entries) { return QStringLiteral("run%1").arg(entries); }
    static bool makeLocalCopies(const QString &downloadPath, int entries, int folderEvery);
    void measure(int entries, int rounds, QTextStream &out);

private:
    QString answer(int entries) const;
    void empty();
    void paint();

    int m_folderEvery;
    MainWindow m_window;
    QListWidget *m_list;
    QTreeWidgetItem *m_branch = nullptr;
};

namespace {

constexpr int kWarmUp = 1;

struct Summary
{
    double median, low, high;
};

Summary summarise(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.at(v.size() / 2), v.first(), v.last()};
}

QString describe(const Summary &s, int decimals)
{
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

} // namespace

BrowseBench::BrowseBench(const QString &downloadPath, int folderEvery)
    : m_folderEvery(folderEvery), m_list(m_window.form()->FILE_LISTWIDGET)
{
    m_window.setDownloadPath(downloadPath);
    m_window.resize(1024, 768);
    m_window.show();
    BrowserPanel *browser = m_window.browser();
    browser->applyPwdAnswer(QStringLiteral("$PWD:/TARVELO"));
    browser->applyListAnswer(QStringLiteral("$LIST: <d,run1000><d,run20000><d,run100000>"));
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
    paint();
}

// Until the list is laid out and its visible part painted.
void BrowseBench::paint()
{
    QCoreApplication::processEvents();
    m_list->viewport()->repaint();
    QCoreApplication::processEvents();
}

void BrowseBench::measure(int entries, int rounds, QTextStream &out)
{
    const QString line = answer(entries);
    BrowserPanel *browser = m_window.browser();
    const QString path = QStringLiteral("/TARVELO/") + folderName(entries);
    browser->applyPwdAnswer(QStringLiteral("$PWD:") + path);
    m_branch = browser->findTreeItem(path);
    browser->applyListAnswer(line);
    QVector<QPair<QIcon, QString>> shown;
    shown.reserve(m_list->count());
    for (int i = 0; i < m_list->count(); ++i)
        shown.append({m_list->item(i)->icon(), m_list->item(i)->text()});

    const std::function<void()> fill = [&] {
        for (const auto &row : shown)
            m_list->addItem(new QListWidgetItem(row.first, row.second));
    };
    const std::function<void()> apply = [&] { browser->applyListAnswer(line); };
    QElapsedTimer timer;
    auto time = [&](const std::function<void()> &step, bool painted) {
        empty();
        timer.start();
        step();
        if (painted)
            paint();
        return timer.nsecsElapsed() / 1e6;
    };
    QVector<double> fillMs, applyMs, fillPaintMs, applyPaintMs, ratio, paintRatio, readMs;
    FolderListing alone;
    const QString localFolder = browser->toLocalPath(path);
    for (int round = 0; round < kWarmUp + rounds; ++round) {
        const double f = time(fill, false);
        const double a = time(apply, false);
        const double fp = time(fill, true);
        const double ap = time(apply, true);
        timer.start();
        alone.apply(line, 0, path, localFolder);
        const double r = timer.nsecsElapsed() / 1e6;
        if (round < kWarmUp)
            continue;
        fillMs.append(f);
        applyMs.append(a);
        fillPaintMs.append(fp);
        applyPaintMs.append(ap);
        ratio.append(a / f);
        paintRatio.append(ap / fp);
        readMs.append(r);
    }
    if (m_list->count() != shown.size())
        out << "  list has " << m_list->count() << " rows, expected " << shown.size() << '\n';

    out << entries << " entries, " << rounds << " rounds after " << kWarmUp
        << " warm-up (ms: median (min .. max))\n";
    out << "  fill alone        " << describe(summarise(fillMs), 1) << '\n';
    out << "  apply alone       " << describe(summarise(applyMs), 1) << '\n';
    out << "  of which reading  " << describe(summarise(readMs), 1)
        << "  (the answer and the local folder, no widgets)\n";
    out << "  fill, painted     " << describe(summarise(fillPaintMs), 1) << '\n';
    out << "  apply, painted    " << describe(summarise(applyPaintMs), 1) << '\n';
    out << "  ratio apply/fill  " << describe(summarise(ratio), 2) << '\n';
    out << "  ratio painted     " << describe(summarise(paintRatio), 2) << '\n';
    out.flush();
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
    out << "goal: 100,000 entries painted within 500 ms; applying 20,000 entries at most 1.2x "
           "a bare fill\n";
    BrowseBench bench(download.path(), folderEvery);
    for (int entries : sizes)
        bench.measure(entries, rounds, out);
    return 0;
}
