// The client session alone, without a window: what a command line or a folder walk gets.
#include "common/fulldiskfile.h"
#include "common/testaddress.h"
#include "tools/instrument/instrumentserver.h"
#include "transfer/clientsession.h"
#include "transfer/downloadreceiver.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>


namespace {

QByteArray bytesOf(int size, char seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        b[i] = char(seed + i * 31 + (i >> 7));
    return b;
}

bool put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_ClientSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsAndWalksWithoutTouchingTheView();
    void downloadsWithTypedOutcomes_data();
    void downloadsWithTypedOutcomes();
    void closeGivesUpALogin();

private:
    bool start(const InstrumentOptions &base = InstrumentOptions());
    QStringList walk(const QString &folder, int *listings);

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<InstrumentServer> m_server;
    std::unique_ptr<ClientSession> m_session;
    QString m_root;
    QString m_download;
};

void tst_ClientSession::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    m_root = m_tmp->path() + "/root";
    m_download = m_tmp->path() + "/download";
    QVERIFY(put(m_root + "/a.bin", bytesOf(70000, 1)));
    QVERIFY(put(m_root + "/L1/x.bin", bytesOf(3000, 2)));
    QVERIFY(put(m_root + "/L1/L2/y.bin", bytesOf(10, 3)));
    QVERIFY(put(m_root + "/L1/L2/L3/z.bin", bytesOf(1, 4)));
    QVERIFY(QDir().mkpath(m_root + "/L1/empty"));
    QVERIFY(QDir().mkpath(m_download));
}

void tst_ClientSession::cleanup()
{
    m_session.reset();
    m_server.reset();
    m_tmp.reset();
}

bool tst_ClientSession::start(const InstrumentOptions &base)
{
    InstrumentOptions options = base;
    options.root = m_root;
    options.quiet = true;
    m_server = std::make_unique<InstrumentServer>(options);
    const QString address = TestAddress::listen(
        [this](const QString &a) { return m_server->listen(QHostAddress(a), TestAddress::kPort); });
    if (address.isEmpty())
        return false;
    m_session = std::make_unique<ClientSession>();
    m_session->setDownloadPath(m_download);
    QSignalSpy in(m_session.get(), &ClientSession::loggedIn);
    QSignalSpy shown(m_session.get(), &ClientSession::listShown);
    ClientSession::Login login;
    login.host = address;
    m_session->logIn(login);
    // Logged in, and the home folder shown as the window would show it.
    return in.wait(10000) && (shown.count() > 0 || shown.wait(10000))
        && m_session->currentFolder() == QLatin1String("/TARVELO");
}

// Depth first through the session's own listings, one folder at a time.
QStringList tst_ClientSession::walk(const QString &folder, int *listings)
{
    QStringList files;
    bool done = false;
    FolderListResult got;
    m_session->listFolder(folder, [&](const FolderListResult &r) { got = r; done = true; });
    if (!QTest::qWaitFor([&] { return done; }, 10000) || !got.ok)
        return {QStringLiteral("<failed: %1>").arg(got.error)};
    ++*listings;
    if (got.folder != folder)
        return {QStringLiteral("<instrument stood in %1>").arg(got.folder)};
    for (const Listing::Entry &e : got.entries) {
        const QString path = folder + '/' + e.name;
        if (e.folder)
            files += walk(path, listings);
        else
            files.append(path);
    }
    return files;
}

void tst_ClientSession::listsAndWalksWithoutTouchingTheView()
{
    QVERIFY(start());
    QSignalSpy shownPwd(m_session.get(), &ClientSession::pwdShown);
    QSignalSpy shownList(m_session.get(), &ClientSession::listShown);
    int listings = 0;
    QStringList files = walk("/TARVELO", &listings);
    files.sort();
    QCOMPARE(files, (QStringList{"/TARVELO/L1/L2/L3/z.bin", "/TARVELO/L1/L2/y.bin", "/TARVELO/L1/x.bin",
                                 "/TARVELO/a.bin"}));
    QCOMPARE(listings, 5); // the root, L1, L2, L3 and the empty folder
    // The user's folder and its answers were left alone.
    QCOMPARE(shownPwd.count() + shownList.count(), 0);
    QCOMPARE(m_session->currentFolder(), QStringLiteral("/TARVELO"));

    // A listing that can no longer be answered fails plainly, it does not wait for ever.
    bool done = false;
    FolderListResult got;
    m_session->listFolder("/TARVELO/L1", [&](const FolderListResult &r) { got = r; done = true; });
    m_session->close();
    QTRY_VERIFY(done);
    QVERIFY(!got.ok);
    QVERIFY(!got.error.isEmpty());
}

void tst_ClientSession::downloadsWithTypedOutcomes_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QStringList>("outside");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("failureKind");
    QTest::newRow("two files") << false << QStringList() << 2 << -1;
    QTest::newRow("a refused path") << false << QStringList{"/etc/passwd-copy"} << 2
                                    << int(TransferFailure::Kind::OutsideRoot);
    QTest::newRow("a full disk") << true << QStringList() << 1 << int(TransferFailure::Kind::DiskFull);
}

void tst_ClientSession::downloadsWithTypedOutcomes()
{
    QFETCH(bool, fullDisk);
    QFETCH(QStringList, outside);
    QFETCH(int, stored);
    QFETCH(int, failureKind);
    InstrumentOptions options;
    options.outsidePaths = outside;
    QVERIFY(start(options));
    QVERIFY(put(m_download + "/a.bin", "old copy"));
    if (fullDisk)
        m_session->receiver()->setFileFactory([](const QString &path) { return std::make_unique<FullDiskFile>(path, 4096); });

    QSignalSpy ended(m_session.get(), &ClientSession::downloadEnded);
    QVERIFY(m_session->startDownload({"/TARVELO/a.bin", "/TARVELO/L1/x.bin"}));
    QVERIFY(!m_session->startDownload({"/TARVELO/a.bin"})); // one at a time
    QVERIFY(ended.wait(20000));
    const auto result = ended.at(0).at(0).value<ClientSession::Result>();
    QCOMPARE(result.end, ClientSession::End::Completed);
    QCOMPARE(result.count(FileOutcome::Kind::Stored) + result.count(FileOutcome::Kind::Replaced), stored);

    for (const FileOutcome &f : result.files) {
        if (f.kind == FileOutcome::Kind::Stored || f.kind == FileOutcome::Kind::Replaced) {
            QFile copy(f.localPath);
            QVERIFY(copy.open(QIODevice::ReadOnly));
            QCOMPARE(f.sha256, QCryptographicHash::hash(copy.readAll(), QCryptographicHash::Sha256).toHex());
            QCOMPARE(f.stored, copy.size());
        } else {
            QCOMPARE(int(f.failure.kind), failureKind);
            QVERIFY(!f.failure.detail.isEmpty());
        }
    }
    // A failed copy leaves the old one as it was; a stored one replaced it.
    QFile a(m_download + "/a.bin");
    QVERIFY(a.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll() == "old copy", fullDisk);
    QCOMPARE(QFileInfo::exists(m_download + "/L1/x.bin"), true);
    // Nothing was written outside the download folder.
    QVERIFY(!QFileInfo::exists("/etc/passwd-copy"));
    // The session shows the user's folder again and can go on.
    QCOMPARE(m_session->currentFolder(), QStringLiteral("/TARVELO"));
    QVERIFY(m_session->startDownload({"/TARVELO/L1/L2/y.bin"}));
    QVERIFY(ended.wait(20000));
}

// Closed while logging in (the window's Disconnect during a login again): the login's answer
// neither reopens the session nor reports a failure that would close the next link.
void tst_ClientSession::closeGivesUpALogin()
{
    QVERIFY(start());
    const QString host = m_session->host();
    m_session->close();
    QSignalSpy in(m_session.get(), &ClientSession::loggedIn);
    QSignalSpy failed(m_session.get(), &ClientSession::loginFailed);
    QSignalSpy accepted(m_server.get(), &InstrumentServer::loggedIn);
    ClientSession::Login login;
    login.host = host;
    m_session->logIn(login);
    m_session->close();
    QVERIFY(!accepted.wait(500));
    QCOMPARE(in.count(), 0);
    QCOMPARE(failed.count(), 0);
    QVERIFY(!m_session->isConnected());
}

QTEST_GUILESS_MAIN(tst_ClientSession)
#include "tst_clientsession.moc"
