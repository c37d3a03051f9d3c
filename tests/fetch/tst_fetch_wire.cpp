// The command line speaks to the instrument exactly as the window does: for the same request
// both send the same lines, byte for byte, from the login to the refreshed listing.
#include "download/downloade2e.h"
#include "fetchprocess.h"

class TestFetchWire : public QObject
{
    Q_OBJECT
private slots:
    void sameLinesAsTheWindow_data();
    void sameLinesAsTheWindow();
};

namespace {
// The window's test session on a free address.
std::unique_ptr<DownloadE2E::Session> startWindowSession(int)
{
    auto s = std::make_unique<DownloadE2E::Session>();
    return s->start(InstrumentOptions()) ? std::move(s) : nullptr;
}

} // namespace

void TestFetchWire::sameLinesAsTheWindow_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::newRow("one file") << QStringList{"top.bin"};
    QTest::newRow("files and a folder") << QStringList{"top.bin", "d1", "d2"};
}

void TestFetchWire::sameLinesAsTheWindow()
{
    QFETCH(QStringList, names);
    QList<QByteArray> windowLines, fetchLines;

    // The window: the entries selected in the top folder's list and requested.
    {
        auto s = startWindowSession(160);
        QVERIFY(s);
        Fetch::Bench tree;
        tree.root = s->root;
        tree.makeTree();
        connect(s->server.get(), &InstrumentServer::lineReceived, this,
                [&windowLines](int, const QByteArray &line) { windowLines.append(line); });
        QVERIFY(s->openWindow());
        QTRY_VERIFY(s->listShows(QStringLiteral("d2")));
        s->select(names);
        s->window->DownloadStart();
        QTRY_VERIFY_WITH_TIMEOUT(s->ended(), 20000);
        QCOMPARE(s->downloadedFiles().size(), names.size() == 1 ? 1 : 5);
        QTRY_COMPARE(windowLines.count("$LIST"), 3); // after the login and twice after the end
    }

    // tarvelo-fetch: the same remote paths.
    Fetch::Bench b;
    b.makeTree();
    QVERIFY(b.start());
    connect(b.server.get(), &InstrumentServer::lineReceived, this,
            [&fetchLines](int, const QByteArray &line) { fetchLines.append(line); });
    QStringList args{b.address, "get"};
    for (const QString &n : names)
        args << "/TARVELO/" + n;
    const Fetch::Outcome o = Fetch::run(args << "--to" << b.to);
    QCOMPARE(o.code, 0);
    QCOMPARE(Fetch::filesBelow(b.to).size(), names.size() == 1 ? 1 : 5);
    QTRY_COMPARE(fetchLines.count("$LIST"), 3);

    // Download folders differ, and no line names one.
    QCOMPARE(fetchLines, windowLines);
    QByteArray request = "$DOWNLOAD REQUEST ";
    for (const QString &n : names)
        request += "</TARVELO/" + n.toUtf8() + ">,";
    request.chop(1);
    QVERIFY2(fetchLines.contains(request), fetchLines.join('|').constData());
    QCOMPARE(fetchLines.count("$DOWNLOAD REQUEST: LIST COMPLETED"), 1);
    const auto acks = std::count_if(fetchLines.cbegin(), fetchLines.cend(),
                                    [](const QByteArray &l) { return l.startsWith("$DOWNLOAD COMPLETED /TARVELO/"); });
    QCOMPARE(int(acks), names.size() == 1 ? 1 : 5);
}

QTEST_MAIN(TestFetchWire)
#include "tst_fetch_wire.moc"
