#include "transfer/endlinescanner.h"
#include "streamfeeder.h"

#include <QtTest>

class TestEndLineScanner : public QObject
{
    Q_OBJECT
private slots:
    void framing_data();
    void framing();
    void everySplit();
    void anyPath_data();
    void anyPath();
    void heldBytesStayBounded();
    void contentGoesOutInWholeRuns();
};

namespace {
const QByteArray kPath = "/TARVELO/run1/a.tif";

struct Result
{
    QByteArray content;
    qint64 used = 0;
    bool found = false;
};

// Scans input in pieces; stops at the end line like the reader would.
Result scanInPieces(EndLineScanner &scanner, const QByteArray &input, int piece)
{
    Result r;
    const EndLineScanner::Sink sink = [&](const char *d, qint64 n) { r.content.append(d, int(n)); };
    const int step = piece > 0 ? piece : qMax(1, input.size());
    for (int i = 0; i < input.size() && !r.found; i += step) {
        const QByteArray part = input.mid(i, step);
        const qint64 used = scanner.scan(part.constData(), part.size(), sink, &r.found);
        r.used += used;
        if (!r.found && used != part.size())
            qFatal("scanner stopped early without an end line");
    }
    return r;
}
} // namespace

void TestEndLineScanner::framing_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("endLine");
    QTest::addColumn<int>("piece");

    const QByteArray plainEnd = "$DOWNLOAD:<" + kPath + "><END>";
    const QList<QPair<const char *, QByteArray>> contents{
        {"empty", QByteArray()},
        {"text", "hello\nworld\n"},
        {"random binary", Stream::randomBytes(5000, 7)},
        {"marker texts", Stream::markerContent(kPath)},
        {"crlf lines", "a\r\nb\r\n\r\n"},
        {"dollars", QByteArray(300, '$')},
        {"own marker repeated", QByteArray("$DOWNLOAD:<" + kPath + ">").repeated(20)},
    };
    const QList<QPair<const char *, QByteArray>> ends{
        {"end", plainEnd},
        {"size field before end", "$DOWNLOAD:<" + kPath + "><1234><END>"},
    };
    for (const auto &c : contents)
        for (const auto &e : ends)
            for (int piece : {1, 7, 0})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2, %3").arg(QLatin1String(c.first),
                                         QLatin1String(e.first),
                                         piece ? QStringLiteral("%1-byte pieces").arg(piece)
                                               : QStringLiteral("whole"))))
                    << c.second << e.second << piece;
}

void TestEndLineScanner::framing()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, endLine);
    QFETCH(int, piece);

    EndLineScanner scanner;
    scanner.start(kPath);
    const QByteArray input = content + endLine + "\n$DOWNLOAD: COMPLETED\n";
    const Result r = scanInPieces(scanner, input, piece);
    QVERIFY(r.found);
    QCOMPARE(r.content, content);
    QCOMPARE(r.used, qint64(content.size() + endLine.size()));
    QCOMPARE(scanner.endPath(), kPath);
}

void TestEndLineScanner::everySplit()
{
    // The stream cut into two reads at every position frames the same.
    const QByteArray content = Stream::markerContent(kPath);
    const QByteArray input = content + "$DOWNLOAD:<" + kPath + "><END>\nrest";
    for (int cut = 0; cut <= input.size(); ++cut) {
        EndLineScanner scanner;
        scanner.start(kPath);
        QByteArray got;
        const EndLineScanner::Sink sink = [&](const char *d, qint64 n) { got.append(d, int(n)); };
        bool found = false;
        qint64 used = scanner.scan(input.constData(), cut, sink, &found);
        if (!found)
            used += scanner.scan(input.constData() + cut, input.size() - cut, sink, &found);
        QVERIFY2(found, qPrintable(QStringLiteral("cut at %1").arg(cut)));
        QCOMPARE(got, content);
        QCOMPARE(input.mid(int(used)), QByteArray("\nrest"));
    }
}

void TestEndLineScanner::anyPath_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("path");

    QTest::newRow("any path closes") << QByteArray("abc$DOWNLOAD:</TARVELO/x><END>") << QByteArray("abc")
                                     << QByteArray("/TARVELO/x");
    QTest::newRow("empty first field completes nothing")
        << QByteArray("a$DOWNLOAD:<><END>b$DOWNLOAD:</T/y><END>") << QByteArray("a$DOWNLOAD:<><END>b")
        << QByteArray("/T/y");
    QTest::newRow("path alone is no end") << QByteArray("$DOWNLOAD:</p>\n$DOWNLOAD:</q><END>")
                                          << QByteArray("$DOWNLOAD:</p>\n") << QByteArray("/q");
}

void TestEndLineScanner::anyPath()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, path);
    for (int piece : {1, 7, 0}) {
        EndLineScanner scanner;
        scanner.start(QByteArray());
        const Result r = scanInPieces(scanner, input, piece);
        QVERIFY(r.found);
        QCOMPARE(r.content, content);
        QCOMPARE(scanner.endPath(), path);
    }
}

void TestEndLineScanner::heldBytesStayBounded()
{
    // Near-misses of the end line everywhere: what is held back never outgrows the marker
    // and its fields, so memory does not follow the file size.
    const QByteArray nearMiss = "$DOWNLOAD:<" + kPath + "><" + QByteArray(900, 'f') + "><1>x";
    const QByteArray input = nearMiss.repeated(2000);
    EndLineScanner scanner;
    scanner.start(kPath);
    qint64 stored = 0;
    qint64 maxHeld = 0;
    const EndLineScanner::Sink sink = [&](const char *, qint64 n) { stored += n; };
    bool found = false;
    for (int i = 0; i < input.size(); i += 4096) {
        const QByteArray part = input.mid(i, 4096);
        scanner.scan(part.constData(), part.size(), sink, &found);
        maxHeld = qMax(maxHeld, scanner.heldBytes());
    }
    QVERIFY(!found);
    QVERIFY2(maxHeld <= kPath.size() + 13 + EndLineScanner::kMaxFieldBytes, qPrintable(QString::number(maxHeld)));
    QCOMPARE(stored + scanner.heldBytes(), qint64(input.size()));
}

void TestEndLineScanner::contentGoesOutInWholeRuns()
{
    // Near-misses inside a read stay inside its run: about one write per read, not several
    // per "$" that might have started the marker.
    QByteArray content;
    while (content.size() < 1024 * 1024)
        content += Stream::randomBytes(997, quint32(content.size())) + "$D$DOWNLOAD:</other><END>$DOWNLOAD:<"
            + kPath + "<";
    constexpr int kPiece = 64 * 1024;
    EndLineScanner scanner;
    scanner.start(kPath);
    QByteArray got;
    int calls = 0;
    const EndLineScanner::Sink sink = [&](const char *d, qint64 n) {
        ++calls;
        got.append(d, int(n));
    };
    const QByteArray input = content + "$DOWNLOAD:<" + kPath + "><END>";
    bool found = false;
    for (int i = 0; i < input.size() && !found; i += kPiece)
        scanner.scan(input.constData() + i, qMin(kPiece, input.size() - i), sink, &found);
    QVERIFY(found);
    QCOMPARE(got, content);
    QVERIFY2(calls <= 2 * (input.size() / kPiece + 1), qPrintable(QString::number(calls)));
}

QTEST_GUILESS_MAIN(TestEndLineScanner)
#include "tst_endlinescanner.moc"
