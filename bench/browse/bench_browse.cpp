// Applies a "$LIST:" answer of 20,000 entries, half of them present locally, to the real
// window's tree and list, against the floor: filling the same list with the same items and
// icons and no checks at all. Both are timed in the same run, back to back, after a
// warm-up; the medians and their ratio are printed.
#include "app/mainwindow.h"
#include "browser/browserpanel.h"
#include "link/instrumentlink.h"
#include "viewer/fileopener.h"
#include "app/mainwindowui.h"
#include "browser/browseicons.h"
#include "browser/listing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

class BrowseBench
{
public:
    static int run(int folderEvery);
};

namespace {

constexpr int kEntries = 20000;
constexpr int kRounds = 15;
constexpr int kWarmUp = 2;

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int BrowseBench::run(int kFolderEvery)
{
    QTemporaryDir download;
    if (!download.isValid())
        return 1;
    const QString local = download.path() + QStringLiteral("/run");
    QDir().mkpath(local);

    QByteArray line = "$LIST: ";
    for (int i = 0; i < kEntries; ++i) {
        const bool folder = i % kFolderEvery == 0;
        const QByteArray name = (folder ? "run_" : "image_") + QByteArray::number(i)
            + (folder ? "" : ".tif");
        line += (folder ? "<d," : "<f,") + name + '>';
        if (i % 2 == 0) { // half of them present locally
            if (folder) {
                QDir().mkdir(local + '/' + QString::fromLatin1(name));
            } else {
                QFile file(local + '/' + QString::fromLatin1(name));
                file.open(QIODevice::WriteOnly);
            }
        }
    }
    const QString answer = QString::fromLatin1(line);

    MainWindow window;
    window.setDownloadPath(download.path());
    window.resize(1024, 768);
    window.show();
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:/TARVELO"));
    window.browser()->applyListAnswer(QStringLiteral("$LIST: <d,run>"));
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:/TARVELO/run"));
    QListWidget *list = window.form()->FILE_LISTWIDGET;
    QTreeWidgetItem *branch = window.browser()->findTreeItem(QStringLiteral("/TARVELO/run"));

    // The floor fills the list with what the answer shows, decided beforehand.
    window.browser()->applyListAnswer(answer);
    QVector<QPair<QIcon, QString>> shown;
    for (int i = 0; i < list->count(); ++i)
        shown.append({list->item(i)->icon(), list->item(i)->text()});
    int ticked = 0;
    const BrowseIcons &icons = window.browser()->icons();
    for (const auto &row : shown)
        ticked += row.first.cacheKey() == icons.fileChecked.cacheKey()
            || row.first.cacheKey() == icons.folderChecked.cacheKey();

    auto empty = [&] {
        list->clear();
        window.browser()->removeTreeChildren(branch);
        QCoreApplication::processEvents();
    };
    QElapsedTimer timer;
    QVector<double> floor, candidate, parse;
    FolderListing alone;
    for (int round = 0; round < kWarmUp + kRounds; ++round) {
        empty();
        timer.start();
        for (const auto &row : shown)
            list->addItem(new QListWidgetItem(row.first, row.second));
        const double f = timer.nsecsElapsed() / 1e6;
        empty();
        timer.start();
        window.browser()->applyListAnswer(answer);
        const double c = timer.nsecsElapsed() / 1e6;
        timer.start();
        alone.apply(answer, 0, QStringLiteral("/TARVELO/run"), local);
        const double p = timer.nsecsElapsed() / 1e6;
        if (round >= kWarmUp) {
            floor.append(f);
            candidate.append(c);
            parse.append(p);
        }
    }
    if (list->count() != shown.size() || branch->childCount() != kEntries / kFolderEvery)
        return 2;

    QTextStream out(stdout);
    out << "listing of " << kEntries << " entries (" << kEntries / kFolderEvery << " folders), "
        << ticked << " present locally, " << kRounds << " rounds after " << kWarmUp
        << " warm-up\n";
    out << QStringLiteral("floor (fill the list, no checks): median %1 ms\n").arg(median(floor), 0, 'f', 2);
    out << QStringLiteral("apply the answer to tree and list: median %1 ms\n").arg(median(candidate), 0, 'f', 2);
    out << QStringLiteral("  of which reading the answer and the local folder: median %1 ms\n").arg(median(parse), 0, 'f', 2);
    out << QStringLiteral("ratio: %1 (goal: at most 1.5)\n").arg(median(candidate) / median(floor), 0, 'f', 2);
    return 0;
}

// Argument: one entry in how many is a folder (default 100; the others are images).
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int folderEvery = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    return BrowseBench::run(qMax(1, folderEvery));
}
