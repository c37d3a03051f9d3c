#include "common/fakedownloadstream.h"
#include "transfer/downloadlifecycle.h"
#include "link/messagereader.h"
#include "link/protocol.h"

#include <QtTest>

namespace {

// Feeds pieces as reads and records what the reader reports. Deliveries of one line carry
// the same number; "~" marks one handled before its line feed. The download's phase is kept
// beside the reader as the window keeps it, so the six modes can be checked together.
struct Run
{
    QStringList log;
    FakeDownloadStream stream{&log};
    DownloadLifecycle lifecycle{&stream};
    MessageReader reader;
    QList<quint64> ids;

    Run(ReaderMode start, bool accept)
    {
        reader.setDownloadStream(&lifecycle);
        QObject::connect(&reader, &MessageReader::pwdAnswer,
                         [this](const QString &line) { record("pwd", line); });
        QObject::connect(&reader, &MessageReader::listAnswer, [this, accept](const QString &line) {
            record("list", line);
            if (accept && lifecycle.listingShown())
                log.append(QStringLiteral("finished"));
        });
        // The phase to start from is reached as the instrument would reach it.
        const QByteArray steps[] = {QByteArray(), QByteArray(),
                                    QByteArray(Protocol::kListStart) + Protocol::kListEnd,
                                    QByteArray(), "$DOWNLOAD:<p>\nx<END>",
                                    QByteArray(Protocol::kDownloadCompleted) + '\n'};
        reader.feed(steps[start]);
        log.clear();
    }
    ReaderMode mode() const { return lifecycle.mode(reader); }
    void record(const char *what, const QString &line)
    {
        if (!ids.contains(reader.lineId()))
            ids.append(reader.lineId());
        log.append(QStringLiteral("%1 %2%3 %4")
                       .arg(QLatin1String(what))
                       .arg(ids.indexOf(reader.lineId()) + 1)
                       .arg(reader.lineComplete() ? "" : "~")
                       .arg(line));
    }
    void feed(const QByteArrayList &pieces, bool flush)
    {
        for (const QByteArray &piece : pieces) {
            reader.feed(piece);
            if (flush)
                reader.flushUnterminated();
        }
    }
    // What must not depend on how the bytes were split into reads.
    QStringList settled() const
    {
        QStringList out;
        for (const QString &entry : log) {
            if (!entry.contains(QLatin1Char('~')) && entry != QLatin1String("finished"))
                out.append(entry);
        }
        out.append(QStringLiteral("finished x%1").arg(log.count(QStringLiteral("finished"))));
        out.append(QStringLiteral("mode %1").arg(mode()));
        return out;
    }
};

} // namespace

class tst_MessageReader : public QObject
{
    Q_OBJECT
private slots:
    void messages_data() { rows(); }
    void messages();
    void splitInvariance_data() { rows(); }
    void splitInvariance();
    void listingDeliveredAsItGrows();
    void resetForgetsPartialLine();
    void resetLeavesABrokenOffStream_data();
    void resetLeavesABrokenOffStream();
    void boundsCloseTheLink_data();
    void boundsCloseTheLink();

private:
    void rows();
};

void tst_MessageReader::rows()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("mode");
    // How the messages stay the same whatever the reads: "both" with and without the flush
    // after each read; "flushed" only with it (an unterminated ending); "unflushed" only
    // without it (a read boundary before a keyword would end the line); "none".
    QTest::addColumn<QString>("invariant");

    const QByteArray pwd = "$PWD:/TARVELO";
    QTest::newRow("pwd and list in one read")
        << 0 << true << QByteArrayList{pwd + "\n$LIST: <d,a><f,b>\n"}
        << QStringList{"pwd 1 $PWD:/TARVELO", "list 2 $LIST: <d,a><f,b>"} << 0 << "both";
    QTest::newRow("crlf line ends")
        << 0 << true << QByteArrayList{pwd + "\r\n$LIST: <d,a>\r\n"}
        << QStringList{"pwd 1 $PWD:/TARVELO", "list 2 $LIST: <d,a>"} << 0 << "both";
    QTest::newRow("answers joined in one read")
        << 0 << true << QByteArrayList{"$PWD:/a\n$PWD:/b\n$LIST: <f,x>\n"}
        << QStringList{"pwd 1 $PWD:/a", "pwd 2 $PWD:/b", "list 3 $LIST: <f,x>"} << 0 << "both";
    QTest::newRow("split inside the keyword")
        << 0 << true << QByteArrayList{"$PW", "D:/TARVELO\n"}
        << QStringList{"pwd 1 $PWD:/TARVELO"} << 0 << "both";
    QTest::newRow("split after the keyword")
        << 0 << true << QByteArrayList{"$PWD:/TAR", "VELO\n"}
        << QStringList{"pwd 1~ $PWD:/TAR", "pwd 1 $PWD:/TARVELO"} << 0 << "both";
    QTest::newRow("carriage return split from its line feed")
        << 0 << true << QByteArrayList{"$PWD:/x\r", "\n"}
        << QStringList{"pwd 1~ $PWD:/x", "pwd 1 $PWD:/x"} << 0 << "both";
    QTest::newRow("utf-8 character split")
        << 0 << true << QByteArrayList{"$PWD:/TARVELO/\xC3", "\x9C\n"}
        << QStringList{"pwd 1~ $PWD:/TARVELO/", QString::fromUtf8("pwd 1 $PWD:/TARVELO/\xC3\x9C")}
        << 0 << "both";
    QTest::newRow("lower case keywords ignored")
        << 0 << true << QByteArrayList{"$pwd:/x\n$list: <d,a>\n"} << QStringList{} << 0 << "both";
    QTest::newRow("keywords later in a line ignored")
        << 0 << true << QByteArrayList{" $PWD:/x\nx$LIST: <d,a>\nab$DOWNLOAD: COMPLETED\n"}
        << QStringList{} << 0 << "unflushed";
    QTest::newRow("login and unknown lines ignored")
        << 0 << true << QByteArrayList{"$WAIT LOGIN:\n$LOGIN: OK\n$FOO\n\n"} << QStringList{} << 0
        << "both";

    QTest::newRow("unterminated line, then a new message")
        << 0 << true << QByteArrayList{"$LIST: <d,a>", "$PWD:/b\n"}
        << QStringList{"list 1~ $LIST: <d,a>", "list 1 $LIST: <d,a>", "pwd 2 $PWD:/b"} << 0
        << "both";
    QTest::newRow("unterminated line, then its rest")
        << 0 << true << QByteArrayList{"$LIST: <d,a>", "<f,b>\n"}
        << QStringList{"list 1~ $LIST: <d,a>", "list 1 $LIST: <d,a><f,b>"} << 0 << "both";
    QTest::newRow("unterminated line, then a new message split in its keyword")
        << 0 << true << QByteArrayList{"$LIST: <d,a>", "$", "LIST: <f,b>\n"}
        << QStringList{"list 1~ $LIST: <d,a>", "list 1 $LIST: <d,a>", "list 2 $LIST: <f,b>"} << 0
        << "both";
    QTest::newRow("unterminated line continued by a dollar")
        << 0 << true << QByteArrayList{"$PWD:/TARVELO/", "$x\n"}
        << QStringList{"pwd 1~ $PWD:/TARVELO/", "pwd 1 $PWD:/TARVELO/$x"} << 0 << "both";
    QTest::newRow("unterminated line flushed again without new bytes")
        << 0 << true << QByteArrayList{"$PWD:/x", ""} << QStringList{"pwd 1~ $PWD:/x"} << 0
        << "both";
    QTest::newRow("unterminated line whose next read brings only a carriage return")
        << 0 << true << QByteArrayList{"$PWD:/x", "\r", "\n"}
        << QStringList{"pwd 1~ $PWD:/x", "pwd 1 $PWD:/x"} << 0 << "both";
    QTest::newRow("unterminated unknown line, then an answer")
        << 0 << true << QByteArrayList{"$FOO", "$PWD:/x\n"} << QStringList{"pwd 1 $PWD:/x"} << 0
        << "none";

    QTest::newRow("answers without line feeds in one read")
        << 0 << true << QByteArrayList{"$PWD: /TARVELO$LIST: <d,a><f,b>$PWD: /TARVELO/a$LIST: $PWD:$LIST:"}
        << QStringList{"pwd 1 $PWD: /TARVELO", "list 2 $LIST: <d,a><f,b>", "pwd 3 $PWD: /TARVELO/a",
                       "list 4 $LIST: ", "pwd 5 $PWD:", "list 6~ $LIST:"}
        << 0 << "flushed";
    QTest::newRow("answer without a line feed, then a line")
        << 0 << true << QByteArrayList{"$LIST:$PWD: /x\r\n"}
        << QStringList{"list 1 $LIST:", "pwd 2 $PWD: /x"} << 0 << "both";
    QTest::newRow("listing without a line feed, then an announcement")
        << 0 << true << QByteArrayList{"$LIST: <f,a>" + QByteArray(Protocol::kListStart) + "<a>"
                                       + Protocol::kListEnd}
        << QStringList{"list 1 $LIST: <f,a>",
                       "announcement " + QString(Protocol::kListStart) + "<a>" + Protocol::kListEnd}
        << 2 << "both";
    QTest::newRow("keywords inside names and values are no boundaries")
        << 0 << true << QByteArrayList{"$LIST: <f,a$PWD:b><f,$LIST:c>x$PWD:\n$PWD: /T/$DOWNLOAD:\n"}
        << QStringList{"list 1 $LIST: <f,a$PWD:b><f,$LIST:c>x$PWD:", "pwd 2 $PWD: /T/$DOWNLOAD:"}
        << 0 << "unflushed";
    QTest::newRow("non-ascii text before the next answer")
        << 0 << true << QByteArrayList{"$PWD: /TARVELO/\xC3\x84$LIST: <f,\xC3\x9C>\n"}
        << QStringList{QString::fromUtf8("pwd 1 $PWD: /TARVELO/\xC3\x84"),
                       QString::fromUtf8("list 2 $LIST: <f,\xC3\x9C>")}
        << 0 << "both";

    const QByteArray announcement = QByteArray(Protocol::kListStart) + "</TARVELO/a>,</TARVELO/b>"
        + Protocol::kListEnd;
    QTest::newRow("announcement, then a browse answer")
        << 0 << true << QByteArrayList{announcement + "\n$PWD:/x\n"}
        << QStringList{"announcement " + announcement, "pwd 1 $PWD:/x"} << 2 << "both";
    QTest::newRow("announcement start marker split")
        << 4 << true
        << QByteArrayList{"$DOWN", "LOAD REQUEST: LIST<ST", announcement.mid(26)}
        << QStringList{"announcement " + announcement} << 2 << "both";
    QTest::newRow("announcement without its end takes everything")
        << 0 << true << QByteArrayList{QByteArray(Protocol::kListStart) + "<a>", "\n$PWD:/x\n"}
        << QStringList{} << 1 << "both";
    QTest::newRow("file, then the end notice in the same read")
        << 2 << true
        << QByteArrayList{"$DOWNLOAD:</TARVELO/f><3>\nab",
                          "c$DOWNLOAD:</TARVELO/f><END>\n$DOWNLOAD: COMPLETED\n"}
        << QStringList{"header $DOWNLOAD:</TARVELO/f><3>", "file abc$DOWNLOAD:</TARVELO/f><END>",
                       "completed"}
        << 5 << "both";
    QTest::newRow("header with a carriage return")
        << 2 << true << QByteArrayList{"$DOWNLOAD:<a>\r\nxy<END>"}
        << QStringList{"header $DOWNLOAD:<a>", "file xy<END>"} << 4 << "both";
    QTest::newRow("header waits for its line feed")
        << 2 << true << QByteArrayList{"$DOWNLOAD:</TARVELO/f>", "<3>\nabc<END>"}
        << QStringList{"header $DOWNLOAD:</TARVELO/f><3>", "file abc<END>"} << 4 << "both";
    QTest::newRow("browse answers inside a file belong to the file")
        << 2 << true << QByteArrayList{"$DOWNLOAD:<f>\n$PWD:/x\n$LIST: <d,a>\n<END>"}
        << QStringList{"header $DOWNLOAD:<f>", "file $PWD:/x\n$LIST: <d,a>\n<END>"} << 4 << "both";
    QTest::newRow("announcement, files and end notice in one read")
        << 0 << true
        << QByteArrayList{announcement + "\n$DOWNLOAD:<a>\nx<END>\n$DOWNLOAD:<b>\ny<END>\n"
                          "$DOWNLOAD: COMPLETED\n"}
        << QStringList{"announcement " + announcement, "header $DOWNLOAD:<a>", "file x<END>",
                       "header $DOWNLOAD:<b>", "file y<END>", "completed"}
        << 5 << "both";
    QTest::newRow("end notice split inside its keyword")
        << 4 << true << QByteArrayList{"$DOWN", "LOAD: COMPLETED\n"} << QStringList{"completed"}
        << 5 << "both";
    QTest::newRow("end notice split after the header prefix")
        << 4 << true << QByteArrayList{"$DOWNLOAD: COMP", "LETED\n"} << QStringList{"completed"}
        << 5 << "both";
    QTest::newRow("end notice without a line feed")
        << 4 << true << QByteArrayList{"$DOWNLOAD: COMPLETED"} << QStringList{"completed"} << 5
        << "flushed";
    QTest::newRow("end notice handled early is not repeated by its line feed")
        << 4 << true << QByteArrayList{"$DOWNLOAD: COMPLETED", "\r\n"}
        << QStringList{"completed"} << 5 << "both";

    QTest::newRow("end notice with the next answer in the same read, no line feed between")
        << 4 << true << QByteArrayList{"$DOWNLOAD: COMPLETED$PWD:/x\n$LIST: <f,a>\n"}
        << QStringList{"completed", "pwd 1 $PWD:/x", "list 2 $LIST: <f,a>", "finished"} << 0 << "both";
    QTest::newRow("a file after the end notice leaves the download ending")
        << 5 << true << QByteArrayList{"$DOWNLOAD:<x>\nz<END>$LIST: <f,a>\n"}
        << QStringList{"header $DOWNLOAD:<x>", "file z<END>", "list 1 $LIST: <f,a>", "finished"} << 0 << "both";
    QTest::newRow("refreshing: the first accepted listing ends the download")
        << 5 << true << QByteArrayList{"$PWD:/x\n$LIST: <f,a>\n$LIST: <f,a>\n"}
        << QStringList{"pwd 1 $PWD:/x", "list 2 $LIST: <f,a>", "finished", "list 3 $LIST: <f,a>"}
        << 0 << "both";
    QTest::newRow("refreshing: a declined listing keeps the mode")
        << 5 << false << QByteArrayList{"$LIST: <f,a>\n"} << QStringList{"list 1 $LIST: <f,a>"}
        << 5 << "both";
    QTest::newRow("refreshing: an unterminated listing ends the download once")
        << 5 << true << QByteArrayList{"$LIST: <f,a>", "<f,b>\n"}
        << QStringList{"list 1~ $LIST: <f,a>", "finished", "list 1 $LIST: <f,a><f,b>"} << 0
        << "both";
    QTest::newRow("waiting for the first file: browse answers still handled")
        << 2 << true << QByteArrayList{"$PWD:/x\n"} << QStringList{"pwd 1 $PWD:/x"} << 2 << "both";
}

void tst_MessageReader::messages()
{
    QFETCH(int, start);
    QFETCH(bool, accept);
    QFETCH(QByteArrayList, pieces);
    QFETCH(QStringList, expected);
    QFETCH(int, mode);
    Run run(ReaderMode(start), accept);
    run.feed(pieces, true);
    QCOMPARE(run.log, expected);
    QCOMPARE(int(run.mode()), mode);
}

// Whole, in every split into two reads, and one byte at a time: the same messages.
void tst_MessageReader::splitInvariance()
{
    QFETCH(int, start);
    QFETCH(bool, accept);
    QFETCH(QByteArrayList, pieces);
    QFETCH(QString, invariant);
    if (invariant == QLatin1String("none"))
        QSKIP("a read boundary is what ends the unterminated line here");
    const QByteArray all = pieces.join();
    QByteArrayList bytes;
    for (char c : all)
        bytes.append(QByteArray(1, c));
    for (bool flush : {true, false}) {
        if (invariant == QLatin1String(flush ? "unflushed" : "flushed"))
            continue;
        Run whole(ReaderMode(start), accept);
        whole.feed({all}, flush);
        const QStringList expected = whole.settled();
        for (int at = 0; at <= all.size(); ++at) {
            Run split(ReaderMode(start), accept);
            split.feed({all.left(at), all.mid(at)}, flush);
            QVERIFY2(split.settled() == expected,
                     qPrintable(QStringLiteral("split at %1, flush %2").arg(at).arg(flush)));
        }
        Run single(ReaderMode(start), accept);
        single.feed(bytes, flush);
        QCOMPARE(single.settled(), expected);
    }
}

// One byte at a time, a long listing is handed over as it grows: once per new byte, never
// again for a flush that brought nothing new.
void tst_MessageReader::listingDeliveredAsItGrows()
{
    QByteArray line = "$LIST: ";
    for (int i = 0; i < 2000; ++i)
        line += "<f,n" + QByteArray::number(i) + ".tif>";
    MessageReader reader;
    int deliveries = 0;
    int lastSize = 0;
    bool grew = true;
    connect(&reader, &MessageReader::listAnswer, [&](const QString &text) {
        ++deliveries;
        grew = grew && text.size() >= lastSize;
        lastSize = text.size();
    });
    for (char c : line) {
        reader.feed(&c, 1);
        reader.flushUnterminated();
        reader.flushUnterminated();
    }
    reader.feed("\n", 1);
    QVERIFY(grew);
    QCOMPARE(lastSize, line.size());
    QCOMPARE(deliveries, line.size() - 4); // from "$LIST:" on, then once more whole
}

void tst_MessageReader::resetForgetsPartialLine()
{
    Run run(FileStored, true);
    run.feed({"$PWD:/TAR"}, false);
    run.reader.reset();
    run.feed({"$PWD:/b\n"}, false);
    QCOMPARE(run.log, QStringList{"pwd 1 $PWD:/b"});
    QCOMPARE(run.mode(), FileStored);
}

// A link closed inside an announcement or a file: the next link's answers are answers.
void tst_MessageReader::resetLeavesABrokenOffStream_data()
{
    QTest::addColumn<QByteArray>("cut");
    QTest::newRow("inside a file") << QByteArray("$DOWNLOAD:<p>\nhalf of the bytes");
    QTest::newRow("inside an announcement") << QByteArray(Protocol::kListStart) + "<p1>,<p";
}

void tst_MessageReader::resetLeavesABrokenOffStream()
{
    QFETCH(QByteArray, cut);
    Run run(ListAcknowledged, false);
    run.feed({cut}, false);
    run.reader.reset();
    run.log.clear();
    run.feed({"$PWD: /b\n$LIST: <f,a>\n"}, false);
    QCOMPARE(run.log, (QStringList{"pwd 1 $PWD: /b", "list 2 $LIST: <f,a>"}));
}

void tst_MessageReader::boundsCloseTheLink_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<int>("bound");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QByteArray>("unit"); // what the answer is made of
    const QByteArray x("x");
    QTest::newRow("listing") << QByteArray("$LIST: ") << MessageReader::kMaxListLine << "folder listing longer" << x;
    // Entries of one letter stay far inside the byte bound but not inside the entry bound.
    QTest::newRow("listing entries") << QByteArray("$LIST: ") << MessageReader::kMaxListEntries * 6
                                     << "more than 1,000,000 entries" << QByteArray("<f,a>");
    QTest::newRow("folder name") << QByteArray("$PWD: /") << MessageReader::kMaxPwdLine << "folder name" << x;
    QTest::newRow("file header") << QByteArray("$DOWNLOAD:<") << MessageReader::kMaxHeaderLine << "file header" << x;
}

void tst_MessageReader::boundsCloseTheLink()
{
    QFETCH(QByteArray, head);
    QFETCH(int, bound);
    QFETCH(QString, told);
    QFETCH(QByteArray, unit);
    Run run(Browsing, true);
    QStringList refusals;
    QObject::connect(&run.reader, &MessageReader::refused, [&](const QString &why) { refusals.append(why); });
    run.reader.feed(head);
    const QByteArray filler = unit.repeated(64 * 1024 / unit.size());
    for (qint64 sent = 0; sent <= bound && refusals.isEmpty(); sent += filler.size()) {
        run.reader.feed(filler);
        run.reader.flushUnterminated();
    }
    QCOMPARE(refusals.size(), 1);
    QVERIFY2(refusals.first().contains(told), qPrintable(refusals.first()));
    QVERIFY(run.reader.isRefused());
    QVERIFY(run.reader.heldBytes() < 1024); // nothing kept
    run.reader.feed("\n$PWD: /TARVELO\n"); // ignored until the link is made again
    QVERIFY(!run.log.contains(QStringLiteral("pwd 2 $PWD: /TARVELO")));
    run.reader.reset();
    run.reader.feed("$PWD: /TARVELO\n");
    QVERIFY2(run.log.last().endsWith(QLatin1String("$PWD: /TARVELO")), qPrintable(run.log.join('|')));
}

QTEST_GUILESS_MAIN(tst_MessageReader)
#include "tst_messagereader.moc"
