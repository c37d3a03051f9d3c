// However a recorded conversation is split into reads, the tree, the list, the item kinds
// and the reader's modes come out the same.
#include "app/mainwindow.h"
#include "browser/browserpanel.h"
#include "download/downloadcontroller.h"
#include "link/instrumentlink.h"
#include "app/fileopener.h"
#include "app/mainwindowui.h"
#include "browser/browseicons.h"
#include "link/listing.h"
#include "link/remotepath.h"
#include "common/fakedownloadstream.h"
#include "transfer/downloadlifecycle.h"

#include <QtTest>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <utility>

namespace {

const QByteArray kCrlf = "\r\n";

QByteArray bigListing()
{
    QByteArray line = "$LIST: ";
    for (int i = 0; i < 2000; ++i) {
        if (i % 10 == 0)
            line += "<d,r" + QByteArray::number(i) + ">";
        else if (i % 100 == 7)
            line += "<f,\xC3\x9C" + QByteArray::number(i) + ">"; // a two-byte letter
        else
            line += "<f,i" + QByteArray::number(i) + ">";
    }
    return line;
}

// Login answers, several folder changes with their answers, a download and its refresh.
// Browse answers end with CRLF, or (an instrument that leaves their line feeds out) with
// nothing at all.
QByteArray conversation(bool lineFeeds)
{
    const QByteArray end = lineFeeds ? kCrlf : QByteArray();
    const QByteArray rootList = "$LIST: <d,runs><d,\xC3\x84rger><f,readme.txt>";
    const QByteArray runsList = "$LIST: <d,r10><d,r20><f,x.tif>";
    const QByteArray announcement = QByteArray(Protocol::kListStart) + "</TARVELO/runs/x.tif>"
        + Protocol::kListEnd;
    return "$WAIT LOGIN:" + kCrlf + "$LOGIN: OK" + kCrlf
        + "$PWD:/TARVELO" + end + rootList + end
        + "$PWD:/TARVELO/runs" + end + bigListing() + end
        + "$PWD:/TARVELO/runs/r10" + end + "$LIST: <d,deep><f,a.tif><f,b.tif>" + end
        + "$PWD:/TARVELO/runs/r10/deep" + end + "$LIST: " + end
        + "$PWD:/TARVELO/runs" + end + runsList + end
        + announcement + kCrlf
        + "$DOWNLOAD:</TARVELO/runs/x.tif><5>" + kCrlf + "hello"
        + "$DOWNLOAD:</TARVELO/runs/x.tif><END>" + kCrlf
        + "$DOWNLOAD: COMPLETED" + kCrlf
        + "$PWD:/TARVELO/runs" + end + runsList + end + runsList + end
        + "$PWD:/TARVELO" + end + rootList + end;
}

void makeLocalCopies(const QString &download)
{
    QDir().mkpath(download + "/runs/r20");
    QDir().mkpath(download + "/runs/x.tif"); // a folder where the instrument has a file
    const QStringList files{"readme.txt", "runs/i1", "runs/i99", "runs/i1501",
                            QString::fromUtf8("runs/\xC3\x9C" "107"), "runs/r30"};
    for (const QString &name : files) {
        QFile file(download + '/' + name);
        file.open(QIODevice::WriteOnly);
    }
}

enum Icon { ParentIcon, FolderIcon, FolderLocalIcon, FileIcon, FileLocalIcon, OtherIcon };

Icon iconOf(const ListRow &row)
{
    switch (row.role) {
    case ListRow::Parent:
        return ParentIcon;
    case ListRow::Folder:
        return row.local ? FolderLocalIcon : FolderIcon;
    case ListRow::File:
        break;
    }
    return row.local ? FileLocalIcon : FileIcon;
}

// What the user would see once a line has been handled. Containers are shared, not copied,
// so taking one costs next to nothing.
struct Snapshot
{
    int mode = 0;
    QString current;
    QString root;
    QMap<QString, QStringList> tree; // folder path -> its child folders, where it has some
    QVector<QPair<Icon, QString>> rows;
    QStringList log; // what reached the download side
    // The item kinds: the window's own map, or the listing the model builds them from.
    QMap<QString, QString> kinds;
    FolderListing listing;

    bool operator==(const Snapshot &o) const
    {
        return mode == o.mode && current == o.current && root == o.root && tree == o.tree
            && rows == o.rows && log == o.log && kinds == o.kinds
            && listing.folders() == o.listing.folders() && listing.files() == o.listing.files();
    }
    QString treeText(const QString &path, const QString &name) const
    {
        QStringList children;
        for (const QString &child : tree.value(path))
            children.append(treeText(path + '/' + child, child));
        return name + (children.isEmpty() ? QString() : '(' + children.join(',') + ')');
    }
    QString text() const
    {
        static const char *const icons[] = {"parent", "folder", "folder+", "file", "file+", "?"};
        QStringList shown;
        for (const auto &row : rows)
            shown.append(QLatin1String(icons[row.first]) + ' ' + row.second);
        QMap<QString, QString> all = kinds;
        if (all.isEmpty())
            listing.kinds(&all);
        QStringList kindList;
        for (auto it = all.begin(); it != all.end(); ++it)
            kindList.append(it.key() + '=' + it.value());
        return QStringLiteral("mode %1 | %2 | %3 | %4 | %5 | %6")
            .arg(mode)
            .arg(current, root.isEmpty() ? QString() : treeText(root, root), shown.join(','),
                 kindList.join(','), log.join(','));
    }
};

// Collects a snapshot per handled line, taken once its line has been handled (the end of a
// download that an accepted listing closes included).
struct Recorder
{
    QVector<Snapshot> snapshots;

    void lineHandled(const MessageReader &reader, const std::function<Snapshot()> &take)
    {
        if (reader.lineComplete())
            snapshots.append(take());
    }
};

// The browser's state without widgets, built from the same reader and listing code as the
// window, so that every split of the conversation can be tried quickly.
struct Model
{
    QStringList log;
    FakeDownloadStream stream{&log};
    DownloadLifecycle lifecycle{&stream};
    MessageReader reader;
    FolderListing listing;
    QString current;
    QString root;
    quint64 rootLine = 0;
    QMap<QString, QStringList> branches;
    QVector<QPair<Icon, QString>> rows;
    QString download;
    Recorder recorder;

    explicit Model(const QString &downloadPath) : download(downloadPath)
    {
        reader.setDownloadStream(&lifecycle);
        QObject::connect(&reader, &MessageReader::pwdAnswer, [this](const QString &line) {
            onPwd(line, reader.lineId());
            recorder.lineHandled(reader, [this] { return snapshot(); });
        });
        QObject::connect(&reader, &MessageReader::listAnswer, [this](const QString &line) {
            if (onList(line, reader.lineId()))
                lifecycle.listingShown();
            recorder.lineHandled(reader, [this] { return snapshot(); });
        });
    }
    void onPwd(const QString &line, quint64 id)
    {
        current = line.mid(line.indexOf(':') + 1).trimmed();
        if (rootLine == 0 || id == rootLine) {
            root = current;
            rootLine = id;
        }
    }
    bool inTree(const QString &path) const
    {
        if (path == root)
            return true;
        const int slash = path.lastIndexOf('/');
        return slash > 0 && inTree(path.left(slash))
            && branches.value(path.left(slash)).contains(path.mid(slash + 1));
    }
    bool onList(const QString &line, quint64 id)
    {
        if (rootLine == 0)
            return false;
        if (rows.size() != listing.rowCount())
            listing.invalidate();
        const ListingUpdate update =
            listing.apply(line, id, current, RemotePath::toLocalPath(current, download));
        const bool known = inTree(current);
        if (known && update.restarted) {
            branches.remove(current);
            for (auto it = branches.begin(); it != branches.end();)
                it = it.key().startsWith(current + '/') ? branches.erase(it) : it + 1;
        }
        if (update.restarted)
            rows.clear();
        for (int i = update.folderFrom; i < listing.folders().size(); ++i) {
            const ListRow &row = listing.folders().at(i);
            rows.insert(i, {iconOf(row), row.name});
            if (known && row.role == ListRow::Folder)
                branches[current].append(row.name);
        }
        for (int i = update.fileFrom; i < listing.files().size(); ++i)
            rows.append({iconOf(listing.files().at(i)), listing.files().at(i).name});
        return true;
    }
    Snapshot snapshot() const
    {
        return {lifecycle.mode(reader), current, root, branches, rows, log, {}, listing};
    }
    const QVector<Snapshot> &feed(const QByteArrayList &reads)
    {
        for (const QByteArray &bytes : reads) {
            reader.feed(bytes);
            reader.flushUnterminated(); // as the window does when nothing more is waiting
        }
        recorder.snapshots.append(snapshot());
        return recorder.snapshots;
    }
};

QByteArrayList bytewise(const QByteArray &all)
{
    QByteArrayList reads;
    for (char c : all)
        reads.append(QByteArray(1, c));
    return reads;
}

} // namespace

class tst_BrowseSplit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everySplit_data();
    void everySplit();
    void window_data();
    void window();

private:
    // Also counts the list rows made: each answer's rows once, however it arrived.
    QVector<Snapshot> windowSnapshots(const QByteArrayList &reads, int *inserted);
    QTemporaryDir m_download;
};

void tst_BrowseSplit::initTestCase()
{
#ifdef __GLIBC__
    // Tens of thousands of runs allocate and free the same few megabytes; handing them back
    // to the system and faulting them in again each time would cost more than the runs.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
#endif
    QVERIFY(m_download.isValid());
    makeLocalCopies(m_download.path());
}

void tst_BrowseSplit::everySplit_data()
{
    QTest::addColumn<bool>("lineFeeds");
    QTest::newRow("answers ended by CRLF") << true;
    QTest::newRow("answers without line feeds") << false;
}

void tst_BrowseSplit::everySplit()
{
    QFETCH(bool, lineFeeds);
    const QByteArray all = conversation(lineFeeds);
    Model whole(m_download.path());
    const QVector<Snapshot> expected = whole.feed({all});
    // The conversation went where it should: a listing of 2,000 entries with ticks, the
    // download's end closed by a listing, and back at the root.
    QCOMPARE(expected.size(), lineFeeds ? 16 : 15); // the last line only ends with the stream
    QCOMPARE(expected.at(3).rows.size(), 2001);
    const QString big = expected.at(3).text();
    QVERIFY(big.contains(",file+ i99,"));
    QVERIFY(big.contains(QString::fromUtf8(",file+ \xC3\x9C" "107,")));
    QVERIFY(big.contains(" | parent ..,folder r0,folder r10,folder+ r20,folder r30,"));
    QCOMPARE(expected.at(10).mode, 5);
    QVERIFY(expected.at(11).text().startsWith(QString::fromUtf8(
        "mode 0 | /TARVELO/runs | /TARVELO(runs(r10,r20),\xC3\x84rger) | "
        "parent ..,folder r10,folder+ r20,file x.tif | ")));
    QVERIFY(expected.at(11).text().endsWith(",completed"));
    QVERIFY(expected.last().text().startsWith(QString::fromUtf8(
        "mode 0 | /TARVELO | /TARVELO(runs,\xC3\x84rger) | "
        "folder+ runs,folder \xC3\x84rger,file+ readme.txt | ")));

    for (int at = 1; at < all.size(); ++at) {
        Model split(m_download.path());
        if (split.feed({all.left(at), all.mid(at)}) != expected)
            QFAIL(qPrintable(QStringLiteral("split at byte %1 of %2").arg(at).arg(all.size())));
    }
    Model single(m_download.path());
    QVERIFY(single.feed(bytewise(all)) == expected);
}

// The same, through the real window's widgets.
QVector<Snapshot> tst_BrowseSplit::windowSnapshots(const QByteArrayList &reads, int *inserted)
{
    MainWindow window;
    // Rows the list was given: told one block at a time, or all at once after the list was
    // emptied for a new answer (its views then start over from the whole list).
    *inserted = 0;
    bool afresh = false;
    QAbstractItemModel *model = window.form()->FILE_LISTWIDGET->model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [inserted](const QModelIndex &, int first, int last) { *inserted += last - first + 1; });
    connect(model, &QAbstractItemModel::modelReset, this, [&afresh] { afresh = true; });
    window.setDownloadPath(m_download.path());
    QStringList log;
    FakeDownloadStream stream(&log);
    window.downloads()->lifecycle().setStream(&stream); // the window's own phase kept
    const BrowseIcons &icons = window.browser()->icons();
    const qint64 keys[] = {icons.parent.cacheKey(), icons.folder.cacheKey(),
                           icons.folderChecked.cacheKey(), icons.file.cacheKey(),
                           icons.fileChecked.cacheKey()};
    // The model tells files only by their tick; the type icons are checked elsewhere.
    auto asFile = [&](qint64 key) {
        if (key == icons.tiff.cacheKey() || key == icons.pdf.cacheKey())
            return icons.file.cacheKey();
        if (key == icons.tiffChecked.cacheKey() || key == icons.pdfChecked.cacheKey())
            return icons.fileChecked.cacheKey();
        return key;
    };
    auto snapshot = [&] {
        Snapshot s{window.readerMode(), window.currentRemotePath(), {}, {}, {}, log,
                   window.browser()->itemKinds(), {}};
        QTreeWidget *tree = window.form()->FILE_TREEWIDGET;
        if (tree->topLevelItemCount())
            s.root = tree->topLevelItem(0)->text(0);
        std::function<void(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *item) {
            for (int i = 0; i < item->childCount(); ++i) {
                s.tree[window.browser()->treeItemPath(item)].append(item->child(i)->text(0));
                walk(item->child(i));
            }
        };
        if (tree->topLevelItemCount())
            walk(tree->topLevelItem(0));
        QListWidget *list = window.form()->FILE_LISTWIDGET;
        for (int i = 0; i < list->count(); ++i) {
            const int icon = int(std::find(std::begin(keys), std::end(keys),
                                           asFile(list->item(i)->icon().cacheKey()))
                                 - std::begin(keys));
            s.rows.append({Icon(icon), list->item(i)->text()});
        }
        return s;
    };
    Recorder recorder;
    auto onLine = [&] {
        if (std::exchange(afresh, false))
            *inserted += window.form()->FILE_LISTWIDGET->count();
        recorder.lineHandled(window.link()->reader(), snapshot);
    };
    connect(&window.link()->reader(), &MessageReader::pwdAnswer, this, onLine);
    connect(&window.link()->reader(), &MessageReader::listAnswer, this, onLine);
    for (const QByteArray &bytes : reads) {
        window.link()->reader().feed(bytes);
        window.link()->reader().flushUnterminated();
    }
    recorder.snapshots.append(snapshot());
    return recorder.snapshots;
}

void tst_BrowseSplit::window_data()
{
    QTest::addColumn<bool>("lineFeeds");
    QTest::addColumn<QString>("reads");
    for (bool feed : {true, false}) {
        const char *tail = feed ? "" : ", answers without line feeds";
        QTest::newRow(qPrintable(QStringLiteral("whole%1").arg(tail))) << feed << "whole";
        QTest::newRow(qPrintable(QStringLiteral("one byte at a time%1").arg(tail))) << feed << "bytes";
        QTest::newRow(qPrintable(QStringLiteral("split in many places%1").arg(tail))) << feed << "splits";
    }
}

void tst_BrowseSplit::window()
{
    QFETCH(bool, lineFeeds);
    QFETCH(QString, reads);
    const QByteArray all = conversation(lineFeeds);
    Model model(m_download.path());
    const QVector<Snapshot> expected = model.feed({all});
    QList<QByteArrayList> runs;
    if (reads == QLatin1String("whole"))
        runs.append({all});
    else if (reads == QLatin1String("bytes"))
        runs.append(bytewise(all));
    for (int at = 1; reads == QLatin1String("splits") && at < all.size(); at += all.size() / 37)
        runs.append({all.left(at), all.mid(at)});
    int wholeRows = 0;
    windowSnapshots({all}, &wholeRows);
    for (const QByteArrayList &run : qAsConst(runs)) {
        int rows = 0;
        const QVector<Snapshot> got = windowSnapshots(run, &rows);
        QCOMPARE(rows, wholeRows);
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < got.size(); ++i)
            QCOMPARE(got.at(i).text(), expected.at(i).text());
    }
}

QTEST_MAIN(tst_BrowseSplit)
#include "tst_browsesplit.moc"
