// The recorder on a session against the stand-in instrument, without a window: a file whose
// record line cannot be written is never acknowledged, and leaves the copy and the checksum
// list agreeing.
#include "common/testaddress.h"
#include "record/downloadrecorder.h"
#include "recordfixture.h"
#include "tools/instrument/instrumentserver.h"
#include "transfer/clientsession.h"
#include "transfer/downloadnotice.h"
#include "transfer/downloadreceiver.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace RecordFixture;

class tst_DownloadRecorder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unrecordedFileIsNotAcknowledged_data();
    void unrecordedFileIsNotAcknowledged();
    void unrecordedDiscardIsNotAcknowledged();

private:
    enum Breakage { RecordOnFullDisk, RecordFolderReplaced };
    bool start(const InstrumentOptions &base = InstrumentOptions());
    ClientSession::Result download(const QStringList &paths, const std::function<void(const FileOutcome &)> &onFile,
                                   QString *recordProblem);
    void breakRecord(Breakage how);
    void mendRecord(Breakage how);

    std::unique_ptr<QTemporaryDir> m_tmp;
    std::unique_ptr<InstrumentServer> m_server;
    std::unique_ptr<ClientSession> m_session;
    std::unique_ptr<DownloadRecorder> m_recorder;
    QString m_root;
    QString m_download;
    QList<QByteArray> m_heard; // what the instrument received
};

void tst_DownloadRecorder::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    m_root = m_tmp->path() + "/root";
    m_download = m_tmp->path() + "/download";
    for (const char *name : {"a.bin", "b.bin", "c.bin"})
        QVERIFY(writeFile(m_root + "/run/" + name, QByteArray("first ") + name));
    QVERIFY(QDir().mkpath(m_download));
    m_heard.clear();
}

void tst_DownloadRecorder::cleanup()
{
    m_recorder.reset();
    m_session.reset();
    m_server.reset();
    m_tmp.reset();
}

bool tst_DownloadRecorder::start(const InstrumentOptions &base)
{
    InstrumentOptions options = base;
    options.root = m_root;
    options.quiet = true;
    m_server = std::make_unique<InstrumentServer>(options);
    connect(m_server.get(), &InstrumentServer::lineReceived, this,
            [this](int, const QByteArray &line) { m_heard << line; });
    const QString address = TestAddress::listen(
        [this](const QString &a) { return m_server->listen(QHostAddress(a), TestAddress::kPort); });
    if (address.isEmpty())
        return false;
    m_session = std::make_unique<ClientSession>();
    m_recorder = std::make_unique<DownloadRecorder>(m_session.get());
    m_session->setDownloadPath(m_download);
    QSignalSpy in(m_session.get(), &ClientSession::loggedIn);
    ClientSession::Login login;
    login.host = address;
    m_session->logIn(login);
    return in.wait(10000) && QTest::qWaitFor([this] { return !m_session->currentFolder().isEmpty(); }, 10000);
}

ClientSession::Result tst_DownloadRecorder::download(const QStringList &paths,
                                                     const std::function<void(const FileOutcome &)> &onFile,
                                                     QString *recordProblem)
{
    // After the recorder: the record is broken between one file's line and the next.
    QMetaObject::Connection tap = connect(m_session.get(), &ClientSession::fileEnded, this, onFile);
    QSignalSpy ended(m_session.get(), &ClientSession::downloadEnded);
    QSignalSpy recorded(m_recorder.get(), &DownloadRecorder::recordUpdated);
    ClientSession::Result result;
    if (DownloadRecorder::checkWritable(m_download).isEmpty() && m_session->startDownload(paths)
        && ended.wait(20000) && (recorded.count() || recorded.wait(20000))) {
        result = ended.at(0).at(0).value<ClientSession::Result>();
        *recordProblem = recorded.at(0).at(0).toString();
    }
    disconnect(tap);
    return result;
}

void tst_DownloadRecorder::breakRecord(Breakage how)
{
    const QString record = m_download + "/.tarvelo";
    if (how == RecordOnFullDisk) {
        // Every write to /dev/full fails as a full disk does.
        QVERIFY(QFile::rename(record + "/transfers.jsonl", record + "/kept.jsonl"));
        QVERIFY(QFile::link("/dev/full", record + "/transfers.jsonl"));
    } else {
        QVERIFY(QDir().rename(record, record + "-kept"));
        QVERIFY(writeFile(record, "not a folder"));
    }
}

void tst_DownloadRecorder::mendRecord(Breakage how)
{
    const QString record = m_download + "/.tarvelo";
    QVERIFY(QFile::remove(how == RecordOnFullDisk ? record + "/transfers.jsonl" : record));
    if (how == RecordOnFullDisk)
        QVERIFY(QFile::rename(record + "/kept.jsonl", record + "/transfers.jsonl"));
    else
        QVERIFY(QDir().rename(record + "-kept", record));
}

void tst_DownloadRecorder::unrecordedFileIsNotAcknowledged_data()
{
    QTest::addColumn<int>("breakage");
    QTest::newRow("disk full under the record") << int(RecordOnFullDisk);
    QTest::newRow("record folder replaced by a file") << int(RecordFolderReplaced);
}

void tst_DownloadRecorder::unrecordedFileIsNotAcknowledged()
{
    QFETCH(int, breakage);
    const auto how = Breakage(breakage);
    QVERIFY(start());
    const QStringList paths{"/TARVELO/run/a.bin", "/TARVELO/run/b.bin", "/TARVELO/run/c.bin"};
    QString problem;
    ClientSession::Result first = download(paths, [](const FileOutcome &) {}, &problem);
    QCOMPARE(first.count(FileOutcome::Kind::Stored), 3);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QCOMPARE(sha256sumCheck(m_download), 0);

    // The instrument has newer copies; the record breaks once a.bin's line is in.
    for (const char *name : {"a.bin", "b.bin", "c.bin"})
        QVERIFY(writeFile(m_root + "/run/" + name, QByteArray("second ") + name));
    m_heard.clear();
    const auto breakAfterFirst = [this, how](const FileOutcome &f) {
        if (f.remotePath.endsWith("a.bin"))
            breakRecord(how);
    };
    const ClientSession::Result second = download(paths, breakAfterFirst, &problem);
    QCOMPARE(second.files.size(), 3);
    QCOMPARE(second.files.at(0).kind, FileOutcome::Kind::Replaced);
    QCOMPARE(second.files.at(1).kind, FileOutcome::Kind::Failed);
    QCOMPARE(second.files.at(1).failure.kind, TransferFailure::Kind::RecordNotWritten);
    QVERIFY(second.files.at(1).failure.detail.startsWith("the record could not be written: "));
    QCOMPARE(second.files.at(2).kind, FileOutcome::Kind::NeverSent);
    QVERIFY(!problem.isEmpty());

    // b.bin was answered with a cancel, never with an acknowledgement, and nothing came after.
    QVERIFY(m_heard.contains("$DOWNLOAD COMPLETED /TARVELO/run/a.bin"));
    QVERIFY(!m_heard.contains("$DOWNLOAD COMPLETED /TARVELO/run/b.bin"));
    QVERIFY(m_heard.contains("$DOWNLOAD CANCEL"));
    QCOMPARE(readFile(m_download + "/run/a.bin"), QByteArray("second a.bin"));
    QCOMPARE(readFile(m_download + "/run/b.bin"), QByteArray("first b.bin"));

    // The user is told why the download stopped, and what did not arrive.
    const QString notice = DownloadNotice::finishedText(*m_session->receiver());
    QVERIFY2(notice.contains("transfer record could not be written") && notice.contains("run/b.bin")
                 && notice.contains("Not received: run/c.bin."), qPrintable(notice));

    // Once the record can be written again, the checksum list brought up to date from it
    // agrees with every copy on the disk.
    mendRecord(how);
    TransferRecord record(m_download);
    QString error;
    QVERIFY2(record.updateManifest(&error), qPrintable(error));
    QByteArray checked;
    QCOMPARE(sha256sumCheck(m_download, &checked), 0);
    QCOMPARE(checked.count(": OK\n"), 3);
}

void tst_DownloadRecorder::unrecordedDiscardIsNotAcknowledged()
{
    InstrumentOptions options;
    options.extraFile = "/TARVELO/run/c.bin";
    QVERIFY(start(options));
    QString problem;
    const auto breakAfterB = [this](const FileOutcome &f) {
        if (f.remotePath.endsWith("b.bin"))
            breakRecord(RecordOnFullDisk);
    };
    const ClientSession::Result result = download({"/TARVELO/run/a.bin", "/TARVELO/run/b.bin"}, breakAfterB, &problem);
    QCOMPARE(result.count(FileOutcome::Kind::Stored), 2);
    QCOMPARE(result.count(FileOutcome::Kind::Discarded), 1);
    // The unasked file's line was refused by the full disk: a cancel went back for it.
    QVERIFY(m_heard.contains("$DOWNLOAD COMPLETED /TARVELO/run/b.bin"));
    QVERIFY(!m_heard.contains("$DOWNLOAD COMPLETED /TARVELO/run/c.bin"));
    QVERIFY(m_heard.contains("$DOWNLOAD CANCEL"));
    QVERIFY(!m_session->receiver()->recordFailure().isEmpty());
    QVERIFY(!problem.isEmpty());
    QVERIFY(!QFileInfo::exists(m_download + "/run/c.bin"));
}

QTEST_GUILESS_MAIN(tst_DownloadRecorder)
#include "tst_downloadrecorder.moc"
