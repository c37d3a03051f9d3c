#include "transfer/downloadnotice.h"
#include "common/fulldiskfile.h"
#include "transfer/downloadreceiver.h"
#include "streamfeeder.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QSaveFile>

#include <cerrno>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A receiver fed by the small reader, with what it writes to the instrument collected.
struct Harness
{
    DownloadReceiver receiver;
    QList<QByteArray> lines;
    StreamFeeder feeder{&receiver};

    explicit Harness(const QString &downloadPath, bool begin = true)
    {
        QObject::connect(&receiver, &DownloadReceiver::sendLine, [this](const QByteArray &l) { lines.append(l); });
        if (begin)
            receiver.begin(downloadPath);
        else
            receiver.setDownloadPath(downloadPath);
    }
};
} // namespace

class TestDownloadReceiver : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void storesExactBytes_data();
    void storesExactBytes();
    void everySplitOfTwoFiles();
    void announcement_data();
    void announcement();
    void unsafePaths_data();
    void unsafePaths();
    void nestedPathIsNotGarbled();
    void failedFileKeepsOldCopy_data();
    void failedFileKeepsOldCopy();
    void abortKeepsOldCopyAndLeavesNoTrace();
    void replacesThroughSymbolicLink();
    void cancelAnswersWithCancel();
    void nonAsciiPath();
    void stallIsReported();
    void notAskedForIsDropped();
    void progressSignals();
    void earlyEndNotice();
    void unframeableNames();
    void fullDisk();
    void sizeTooLargeClosesWhenQuiet();

private:
    QStringList treeFiles() const;

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_download;
};

void TestDownloadReceiver::init()
{
    // Every stored file is synced to disk before it replaces anything; in memory-backed
    // storage that costs nothing, which keeps the many small downloads here quick.
    const QString shm = QStringLiteral("/dev/shm");
    m_tmp = QFileInfo(shm).isWritable() ? std::make_unique<QTemporaryDir>(shm + "/tst_downloadreceiver-XXXXXX")
                                        : std::make_unique<QTemporaryDir>();
    QVERIFY(m_tmp->isValid());
    m_download = m_tmp->filePath(QStringLiteral("download"));
}

// Every file below the temporary folder, relative to it.
QStringList TestDownloadReceiver::treeFiles() const
{
    QStringList files;
    QDirIterator it(m_tmp->path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(m_tmp->path()).relativeFilePath(it.next()));
    files.sort();
    return files;
}

static QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void TestDownloadReceiver::storesExactBytes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("sizeField");
    QTest::addColumn<int>("piece");

    const QList<QPair<const char *, QByteArray>> contents{
        {"random binary", Stream::randomBytes(20000, 11)},
        {"marker texts", Stream::markerContent("/TARVELO/d/f.bin")},
        {"crlf text", QByteArray("line one\r\nline two\r\n")},
        {"empty", QByteArray()},
    };
    for (const auto &c : contents)
        for (int piece : {1, 7, 0})
            for (bool size : {true, false})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2, %3").arg(QLatin1String(c.first),
                                         piece ? QStringLiteral("%1-byte pieces").arg(piece) : QStringLiteral("whole"),
                                         size ? QStringLiteral("size field") : QStringLiteral("no size field"))))
                    << c.second << size << piece;
}

void TestDownloadReceiver::storesExactBytes()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, sizeField);
    QFETCH(int, piece);

    Harness h(m_download);
    QSignalSpy end(&h.receiver, &DownloadReceiver::endNoticeReceived);
    const QByteArray other = Stream::randomBytes(333, 5);
    const QByteArray stream = Stream::announcement({"/TARVELO/d/f.bin", "/TARVELO/g.bin"})
        + Stream::file("/TARVELO/d/f.bin", content, sizeField ? -2 : -1)
        + Stream::file("/TARVELO/g.bin", other, sizeField ? -2 : -1)
        + "$DOWNLOAD: COMPLETED\n";
    h.feeder.feedInPieces(stream, piece);

    QCOMPARE(fileBytes(m_download + "/d/f.bin"), content);
    QCOMPARE(fileBytes(m_download + "/g.bin"), other);
    QCOMPARE(h.lines, (QList<QByteArray>{"$DOWNLOAD REQUEST: LIST COMPLETED\n",
                                       "$DOWNLOAD COMPLETED /TARVELO/d/f.bin\n",
                                       "$DOWNLOAD COMPLETED /TARVELO/g.bin\n"}));
    QCOMPARE(end.count(), 1);
    QVERIFY(h.feeder.idle());
    QCOMPARE(treeFiles(), (QStringList{"download/d/f.bin", "download/g.bin"}));
    QVERIFY(h.receiver.failures().isEmpty());
}

void TestDownloadReceiver::everySplitOfTwoFiles()
{
    // The end notice in the same read as the last file's end still ends the download.
    const QByteArray a = Stream::markerContent("/TARVELO/a");
    const QByteArray b = "b\r\n$DOWNLOAD:</TARVELO/a><END>";
    const QByteArray stream = Stream::announcement({"/TARVELO/a", "/TARVELO/b"})
        + Stream::file("/TARVELO/a", a) + Stream::file("/TARVELO/b", b, -1) + "$DOWNLOAD: COMPLETED\n";
    for (int cut = 0; cut <= stream.size(); ++cut) {
        init();
        Harness h(m_download);
        QSignalSpy end(&h.receiver, &DownloadReceiver::endNoticeReceived);
        h.feeder.feed(stream.left(cut));
        h.feeder.feed(stream.mid(cut));
        const QString where = QStringLiteral("cut at %1").arg(cut);
        QVERIFY2(fileBytes(m_download + "/a") == a, qPrintable(where));
        QVERIFY2(fileBytes(m_download + "/b") == b, qPrintable(where));
        QVERIFY2(h.lines.size() == 3 && end.count() == 1, qPrintable(where));
    }
}

void TestDownloadReceiver::announcement_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QStringList>("entries");

    const QByteArray whole = "$DOWNLOAD REQUEST: LIST<START></TARVELO/a,b>,</TARVELO/c>$DOWNLOAD REQUEST: LIST<END>\n";
    QTest::newRow("one read") << QList<QByteArray>{whole} << QStringList{"/TARVELO/a,b", "/TARVELO/c"};
    QTest::newRow("three reads, end marker split")
        << QList<QByteArray>{whole.left(20), whole.mid(20, 50), whole.mid(70)}
        << QStringList{"/TARVELO/a,b", "/TARVELO/c"};
    QTest::newRow("no entries")
        << QList<QByteArray>{"$DOWNLOAD REQUEST: LIST<START>$DOWNLOAD REQUEST: LIST<END>\n"} << QStringList{};
    QTest::newRow("junk between entries skipped")
        << QList<QByteArray>{"$DOWNLOAD REQUEST: LIST<START> x</TARVELO/a> ; </TARVELO/b>$DOWNLOAD REQUEST: LIST<END>"}
        << QStringList{"/TARVELO/a", "/TARVELO/b"};
    QTest::newRow("entries stop at the line end")
        << QList<QByteArray>{"$DOWNLOAD REQUEST: LIST<START></TARVELO/a>\r\n</TARVELO/b>$DOWNLOAD REQUEST: LIST<END>"}
        << QStringList{"/TARVELO/a"};
}

void TestDownloadReceiver::announcement()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QStringList, entries);

    Harness h(m_download);
    QSignalSpy total(&h.receiver, &DownloadReceiver::totalChanged);
    for (int i = 0; i < pieces.size(); ++i) {
        h.feeder.feed(pieces.at(i));
        QCOMPARE(h.lines.size(), i + 1 == pieces.size() ? 1 : 0); // acknowledged on the last read
    }
    QCOMPARE(h.lines.value(0), QByteArray("$DOWNLOAD REQUEST: LIST COMPLETED\n"));
    QCOMPARE(h.receiver.announced(), entries);
    QCOMPARE(total.count(), 1);
    QCOMPARE(total.at(0).at(0).toInt(), entries.size());
    QVERIFY(!h.receiver.isMidStream());
}

void TestDownloadReceiver::unsafePaths_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("outside the root") << QByteArray("/etc/x");
    QTest::newRow("climbs out") << QByteArray("/TARVELO/../../x");
    QTest::newRow("climbs inside") << QByteArray("/TARVELO/a/../../b");
    QTest::newRow("dot segment") << QByteArray("/TARVELO/./x");
    QTest::newRow("empty segment") << QByteArray("/TARVELO//x");
    QTest::newRow("root name as prefix") << QByteArray("/TARVELOx/y");
    QTest::newRow("relative") << QByteArray("TARVELO/x");
    QTest::newRow("the root itself") << QByteArray("/TARVELO");
    QTest::newRow("trailing slash") << QByteArray("/TARVELO/x/");
    QTest::newRow("backslash") << QByteArray("/TARVELO/..\\..\\x");
}

void TestDownloadReceiver::unsafePaths()
{
    QFETCH(QByteArray, path);
    Harness h(m_download);
    h.feeder.feedInPieces(Stream::announcement({path, "/TARVELO/ok"}) + Stream::file(path, "evil")
                            + Stream::file("/TARVELO/ok", "fine") + "$DOWNLOAD: COMPLETED\n",
                        7);
    // Nothing written for it anywhere, the download went on and the user will be told.
    QCOMPARE(treeFiles(), QStringList{"download/ok"});
    QCOMPARE(h.lines.value(1), "$DOWNLOAD COMPLETED " + path + '\n');
    QCOMPARE(h.lines.size(), 3);
    QCOMPARE(h.receiver.failures().size(), 1);
    QCOMPARE(h.receiver.failures().at(0).remotePath, QString::fromLatin1(path));
    QCOMPARE(h.receiver.storedFiles(), QStringList{"/TARVELO/ok"});
    QVERIFY(DownloadNotice::failureText(h.receiver.failures()).contains(QLatin1String("outside")));
}

void TestDownloadReceiver::nestedPathIsNotGarbled()
{
    Harness h(m_download);
    h.feeder.feed(Stream::announcement({"/TARVELO/a/TARVELO/b"}) + Stream::file("/TARVELO/a/TARVELO/b", "x"));
    QCOMPARE(treeFiles(), QStringList{"download/a/TARVELO/b"});
}

void TestDownloadReceiver::failedFileKeepsOldCopy_data()
{
    QTest::addColumn<QString>("blocker"); // what stands in the way
    QTest::newRow("folder of the file's name") << QStringLiteral("folder");
    QTest::newRow("file where a folder must go") << QStringLiteral("file");
    QTest::newRow("download folder cannot be made") << QStringLiteral("download");
}

void TestDownloadReceiver::failedFileKeepsOldCopy()
{
    QFETCH(QString, blocker);
    QString downloadPath = m_download;
    QByteArray remote = "/TARVELO/sub/x.bin";
    QDir().mkpath(m_download);
    QFile old(m_download + "/old.txt");
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    if (blocker == "folder") {
        QDir().mkpath(m_download + "/sub/x.bin/inner");
    } else if (blocker == "file") {
        QFile f(m_download + "/sub");
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else {
        // Runs as root too, so permissions cannot block: a regular file stands where the
        // download folder's parent should be.
        QFile f(m_tmp->filePath("plainfile"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        downloadPath = m_tmp->filePath("plainfile/download");
    }
    const QStringList before = treeFiles();

    Harness h(downloadPath);
    h.feeder.feed(Stream::announcement({remote}) + Stream::file(remote, "new bytes") + "$DOWNLOAD: COMPLETED\n");

    QCOMPARE(treeFiles(), before); // no temporary file left, nothing replaced
    QCOMPARE(fileBytes(m_download + "/old.txt"), QByteArray("old"));
    QCOMPARE(h.lines.value(1), "$DOWNLOAD COMPLETED " + remote + '\n'); // the instrument goes on
    QCOMPARE(h.receiver.failures().size(), 1);
    QVERIFY(h.receiver.storedFiles().isEmpty());
    if (blocker == "folder")
        QVERIFY(QFileInfo(m_download + "/sub/x.bin/inner").isDir());
}

void TestDownloadReceiver::abortKeepsOldCopyAndLeavesNoTrace()
{
    QDir().mkpath(m_download + "/a");
    QFile old(m_download + "/a/f.bin");
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old copy") == 8);
    old.close();

    Harness h(m_download);
    h.feeder.feed(Stream::announcement({"/TARVELO/a/f.bin", "/TARVELO/new/deep/g.bin"})
                + Stream::file("/TARVELO/a/f.bin", "replaced") );
    h.feeder.feed(Stream::file("/TARVELO/new/deep/g.bin", Stream::randomBytes(100000, 3)).left(5000));
    QVERIFY(h.receiver.isMidStream());
    h.receiver.abort();

    QCOMPARE(fileBytes(m_download + "/a/f.bin"), QByteArray("replaced"));
    QCOMPARE(treeFiles(), QStringList{"download/a/f.bin"});
    QVERIFY(!QFileInfo::exists(m_download + "/new")); // folders made for the lost file are gone
    QCOMPARE(h.receiver.interruptedFile(), QStringLiteral("/TARVELO/new/deep/g.bin"));

    // A second download cut off in the same file leaves the first copy as it was.
    h.receiver.begin(m_download);
    StreamFeeder again(&h.receiver);
    again.feed(Stream::file("/TARVELO/a/f.bin", Stream::randomBytes(9000, 4)).left(4000));
    h.receiver.abort();
    QCOMPARE(fileBytes(m_download + "/a/f.bin"), QByteArray("replaced"));
    QCOMPARE(treeFiles(), QStringList{"download/a/f.bin"});
}

void TestDownloadReceiver::replacesThroughSymbolicLink()
{
    // An old copy that is a link to a file elsewhere is replaced where the link points, and
    // the link stays, as a save file always did it.
    QDir().mkpath(m_download + "/a");
    QFile target(m_tmp->filePath("elsewhere.bin"));
    QVERIFY(target.open(QIODevice::WriteOnly) && target.write("old copy") == 8);
    target.close();
    QVERIFY(QFile::link(target.fileName(), m_download + "/a/f.bin"));

    Harness h(m_download);
    h.feeder.feed(Stream::announcement({"/TARVELO/a/f.bin"}) + Stream::file("/TARVELO/a/f.bin", "new copy")
                  + "$DOWNLOAD: COMPLETED\n");
    QVERIFY(h.receiver.failures().isEmpty());
    QVERIFY(QFileInfo(m_download + "/a/f.bin").isSymLink());
    QCOMPARE(fileBytes(target.fileName()), QByteArray("new copy"));
    QCOMPARE(treeFiles(), (QStringList{"download/a/f.bin", "elsewhere.bin"}));
}

void TestDownloadReceiver::cancelAnswersWithCancel()
{
    Harness h(m_download);
    QSignalSpy completed(&h.receiver, &DownloadReceiver::completedChanged);
    h.feeder.feed(Stream::announcement({"/TARVELO/a", "/TARVELO/b"}) + Stream::file("/TARVELO/a", "1"));
    h.feeder.feed(Stream::file("/TARVELO/b", "22").left(20));
    h.receiver.requestCancel();
    h.feeder.feed(Stream::file("/TARVELO/b", "22").mid(20));
    QCOMPARE(h.lines.last(), QByteArray("$DOWNLOAD CANCEL\n"));
    QCOMPARE(fileBytes(m_download + "/b"), QByteArray("22")); // the whole file is still kept
    QCOMPARE(completed.count(), 1);
    QCOMPARE(h.receiver.acknowledgedCount(), 1);
    h.receiver.begin(m_download); // the next request clears the flag
    QVERIFY(!h.receiver.cancelRequested());
}

void TestDownloadReceiver::nonAsciiPath()
{
    const QByteArray utf8 = QStringLiteral("/TARVELO/Messung \u00e4\u00f6/\u00b5m.txt").toUtf8();
    const QByteArray latin1 = "/TARVELO/caf\xe9.txt";
    Harness h(m_download);
    h.feeder.feed(Stream::announcement({utf8, latin1}));
    h.lines.clear();
    h.feeder.feed(Stream::file(utf8, "u") + Stream::file(latin1, "l"));
    QCOMPARE(fileBytes(m_download + QStringLiteral("/Messung \u00e4\u00f6/\u00b5m.txt")), QByteArray("u"));
    QCOMPARE(fileBytes(m_download + QStringLiteral("/caf\u00e9.txt")), QByteArray("l"));
    // The acknowledgement names the file in the instrument's own bytes.
    QCOMPARE(h.lines, (QList<QByteArray>{"$DOWNLOAD COMPLETED " + utf8 + '\n', "$DOWNLOAD COMPLETED " + latin1 + '\n'}));
}

void TestDownloadReceiver::stallIsReported()
{
    Harness h(m_download);
    h.receiver.setStallLimit(100);
    QSignalSpy stalled(&h.receiver, &DownloadReceiver::stalled);
    h.feeder.feed(Stream::file("/TARVELO/a", "abc").left(20));
    QVERIFY(stalled.wait(5000));
    QCOMPARE(stalled.count(), 1);
    h.receiver.abort();
    QVERIFY(!h.receiver.isActive());
    QVERIFY(!stalled.wait(300)); // no download, no stall
}

void TestDownloadReceiver::notAskedForIsDropped()
{
    Harness h(m_download, false);
    h.feeder.feed(Stream::file("/TARVELO/a", "abc") + "$PWD: /TARVELO\n");
    QCOMPARE(h.lines, QList<QByteArray>{"$DOWNLOAD CANCEL\n"});
    QVERIFY(treeFiles().isEmpty());
    QCOMPARE(h.feeder.otherLines(), QList<QByteArray>{"$PWD: /TARVELO"}); // framing kept in step
}

void TestDownloadReceiver::progressSignals()
{
    Harness h(m_download);
    QSignalSpy current(&h.receiver, &DownloadReceiver::currentFileChanged);
    QSignalSpy completed(&h.receiver, &DownloadReceiver::completedChanged);
    QSignalSpy bytes(&h.receiver, &DownloadReceiver::bytesReceived);
    h.feeder.feed(Stream::announcement({"/TARVELO/r/a", "/TARVELO/b", "/TARVELO/c"}));
    h.feeder.feed(Stream::file("/TARVELO/r/a", QByteArray(1000, 'a')) + Stream::file("/TARVELO/b", "b")
                + Stream::file("/TARVELO/c", "c"));
    QCOMPARE(current.count(), 3);
    QCOMPARE(current.at(0).at(0).toString(), QStringLiteral("r/a"));
    QCOMPARE(completed.count(), 3);
    QCOMPARE(completed.last().at(0).toInt(), 3);
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(bytes.at(0).at(0).toLongLong(), 1000); // each file's end reports its size
}

void TestDownloadReceiver::earlyEndNotice()
{
    Harness h(m_download);
    h.feeder.feed(Stream::announcement({"/TARVELO/a", "/etc/b", "/TARVELO/c", "/TARVELO/d"}) + Stream::file("/TARVELO/a", "1")
                + Stream::file("/etc/b", "2"));
    h.feeder.feed(Stream::file("/TARVELO/c", "33333").left(30));
    h.receiver.abort();
    const QString text = DownloadNotice::earlyEndText(QStringLiteral("Lost."), h.receiver);
    QVERIFY2(text.startsWith(QLatin1String("Lost.")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("Arrived: a.")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("discarded")) && text.contains(QLatin1String(": c.")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("Not received: d.")), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("/etc/b (")), qPrintable(text));
}

void TestDownloadReceiver::unframeableNames()
{
    // Each name is found whole, reported, answered, and the next file still arrives.
    const QList<QByteArray> odd{"/TARVELO/a<b.txt", "/TARVELO/c>d.txt", "/TARVELO/e\rf.txt", "/TARVELO/g<h>i"};
    for (bool sized : {true, false}) {
        init();
        Harness h(m_download);
        QByteArray stream = Stream::announcement(odd + QList<QByteArray>{"/TARVELO/ok"});
        for (const QByteArray &path : odd)
            stream += Stream::file(path, "odd " + path, sized ? -2 : -1);
        h.feeder.feed(stream + Stream::file("/TARVELO/ok", "fine") + "$DOWNLOAD: COMPLETED\n");
        QCOMPARE(h.receiver.announced().size(), 5);
        QCOMPARE(treeFiles(), QStringList{"download/ok"});
        QCOMPARE(h.receiver.failures().size(), odd.size());
        for (int i = 0; i < odd.size(); ++i) {
            QCOMPARE(h.receiver.failures().at(i).remotePath, QString::fromLatin1(odd.at(i)));
            QCOMPARE(h.lines.value(1 + i), "$DOWNLOAD COMPLETED " + odd.at(i) + '\n');
        }
        QVERIFY(h.receiver.pending().isEmpty());
    }
}


void TestDownloadReceiver::fullDisk()
{
    QDir().mkpath(m_download);
    QFile old(m_download + "/big.bin");
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old copy") == 8);
    old.close();
    Harness h(m_download);
    h.receiver.setFileFactory([](const QString &path) { return std::make_unique<FullDiskFile>(path, 100); });
    h.feeder.feed(Stream::announcement({"/TARVELO/big.bin", "/TARVELO/small"}) + Stream::file("/TARVELO/big.bin", Stream::randomBytes(5000, 8))
                  + Stream::file("/TARVELO/small", "tiny") + "$DOWNLOAD: COMPLETED\n");
    QCOMPARE(fileBytes(m_download + "/big.bin"), QByteArray("old copy"));
    QCOMPARE(fileBytes(m_download + "/small"), QByteArray("tiny"));
    QCOMPARE(h.receiver.failures().size(), 1);
    QCOMPARE(h.receiver.failures().at(0).detail, QStringLiteral("no space left on the disk"));
    QCOMPARE(treeFiles(), (QStringList{"download/big.bin", "download/small"}));
    const QString text = DownloadNotice::finishedText(h.receiver);
    QVERIFY2(text.contains(QLatin1String("big.bin (no space left on the disk)")), qPrintable(text));
}

void TestDownloadReceiver::sizeTooLargeClosesWhenQuiet()
{
    // The instrument waits for the answer after the end line; the size says more is coming.
    Harness h(m_download);
    h.receiver.setSizeQuietLimit(50);
    h.feeder.feed(Stream::announcement({"/TARVELO/a", "/TARVELO/b"}));
    h.feeder.feed(Stream::file("/TARVELO/a", "holds $DOWNLOAD:</TARVELO/a><END>\n inside", 500));
    QCOMPARE(h.lines.size(), 1);
    QTRY_COMPARE(h.lines.size(), 2);
    QCOMPARE(h.lines.at(1), QByteArray("$DOWNLOAD COMPLETED /TARVELO/a\n"));
    h.feeder.feed(QByteArray()); // the reader learns of the end from the next bytes
    h.feeder.feed(Stream::file("/TARVELO/b", "b") + "$DOWNLOAD: COMPLETED\n");
    QCOMPARE(fileBytes(m_download + "/b"), QByteArray("b"));
    QVERIFY(!QFileInfo::exists(m_download + "/a"));
    QCOMPARE(h.receiver.failures().size(), 1);
    QVERIFY(h.receiver.failures().at(0).detail.contains(QLatin1String("announced 500")));
}

QTEST_GUILESS_MAIN(TestDownloadReceiver)
#include "tst_downloadreceiver.moc"
