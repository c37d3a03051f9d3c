// The recorder on a session against the stand-in instrument: a file whose record line cannot
// be written is never acknowledged, and the copies and the checksum list keep agreeing.
#include "common/testaddress.h"
#include "record/downloadrecorder.h"
#include "recordfixture.h"
#include "tools/instrument/instrumentserver.h"
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
    void unrecordedFileIsNotAcknowledged_data();
    void unrecordedFileIsNotAcknowledged();
};

void tst_DownloadRecorder::unrecordedFileIsNotAcknowledged_data()
{
    QTest::addColumn<bool>("folderReplaced"); // else the record lies on a full disk
    QTest::addColumn<bool>("unasked");        // the instrument adds a file nobody asked for
    QTest::newRow("a stored file, disk full") << false << false;
    QTest::newRow("a stored file, record folder replaced") << true << false;
    QTest::newRow("a discarded file, disk full") << false << true;
}

void tst_DownloadRecorder::unrecordedFileIsNotAcknowledged()
{
    QFETCH(bool, folderReplaced);
    QFETCH(bool, unasked);
    QTemporaryDir tmp;
    const QString root = tmp.path() + "/root", download = tmp.path() + "/download", record = download + "/.tarvelo";
    const QStringList names{"a.bin", "b.bin", "c.bin"};
    for (const QString &name : names)
        QVERIFY(writeFile(root + "/run/" + name, "first " + name.toUtf8()));
    QVERIFY(QDir().mkpath(download));

    InstrumentOptions options;
    options.root = root;
    options.quiet = true;
    if (unasked)
        options.extraFile = "/TARVELO/run/c.bin";
    InstrumentServer server(options);
    QList<QByteArray> heard;
    connect(&server, &InstrumentServer::lineReceived, this, [&heard](int, const QByteArray &line) { heard << line; });
    const QString address = TestAddress::listen([&](const QString &a) { return server.listen(QHostAddress(a), TestAddress::kPort); });
    QVERIFY(!address.isEmpty());
    ClientSession session;
    DownloadRecorder recorder(&session);
    session.setDownloadPath(download);
    QSignalSpy in(&session, &ClientSession::loggedIn);
    ClientSession::Login login;
    login.host = address;
    session.logIn(login);
    QVERIFY(in.wait(10000));
    QTRY_VERIFY(!session.currentFolder().isEmpty());

    const QStringList paths = unasked ? QStringList{"/TARVELO/run/a.bin", "/TARVELO/run/b.bin"}
                                      : QStringList{"/TARVELO/run/a.bin", "/TARVELO/run/b.bin", "/TARVELO/run/c.bin"};
    QString breakAfter;
    connect(&session, &ClientSession::fileEnded, this, [&](const FileOutcome &f) {
        if (f.remotePath != breakAfter)
            return;
        // After the recorder took this file's line: the next one has nowhere to go.
        if (folderReplaced) {
            QVERIFY(QDir().rename(record, record + "-kept"));
            QVERIFY(writeFile(record, "not a folder"));
        } else {
            QVERIFY(QFile::rename(record + "/transfers.jsonl", record + "/kept.jsonl"));
            QVERIFY(QFile::link("/dev/full", record + "/transfers.jsonl")); // fails as a full disk
        }
    });
    const auto run = [&](ClientSession::Result *result, QString *problem) {
        QSignalSpy ended(&session, &ClientSession::downloadEnded);
        QSignalSpy recorded(&recorder, &DownloadRecorder::recordUpdated);
        if (!DownloadRecorder::checkWritable(download).isEmpty() || !session.startDownload(paths)
            || !ended.wait(20000) || !(recorded.count() || recorded.wait(20000)))
            return false;
        *result = ended.at(0).at(0).value<ClientSession::Result>();
        *problem = recorded.at(0).at(0).toString();
        return true;
    };
    ClientSession::Result result;
    QString problem;
    QVERIFY(run(&result, &problem));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    // The instrument has newer copies; the record breaks once the first file's line is in.
    for (const QString &name : names)
        QVERIFY(writeFile(root + "/run/" + name, "second " + name.toUtf8()));
    heard.clear();
    breakAfter = unasked ? "/TARVELO/run/b.bin" : "/TARVELO/run/a.bin";
    QVERIFY(run(&result, &problem));
    QVERIFY(!problem.isEmpty());
    QVERIFY(!session.receiver()->recordFailure().isEmpty());
    QVERIFY(heard.contains("$DOWNLOAD CANCEL"));
    QVERIFY(heard.contains("$DOWNLOAD COMPLETED " + breakAfter.toUtf8()));
    const int refused = unasked ? 2 : 1; // the file that was answered with the cancel
    QVERIFY(!heard.contains("$DOWNLOAD COMPLETED /TARVELO/run/" + names.at(refused).toUtf8()));
    QCOMPARE(result.files.size(), 3);
    if (unasked) {
        QCOMPARE(result.files.at(2).kind, FileOutcome::Kind::Discarded);
    } else {
        QCOMPARE(result.files.at(1).kind, FileOutcome::Kind::Failed);
        QCOMPARE(result.files.at(1).failure.kind, TransferFailure::Kind::RecordNotWritten);
        QVERIFY(result.files.at(1).failure.detail.startsWith("the record could not be written: "));
        QCOMPARE(result.files.at(2).kind, FileOutcome::Kind::NeverSent);
        QCOMPARE(readFile(download + "/run/b.bin"), QByteArray("first b.bin")); // the old copy stays
        const QString notice = DownloadNotice::finishedText(*session.receiver());
        QVERIFY2(notice.contains("transfer record could not be written") && notice.contains("run/b.bin")
                     && notice.contains("Not received: run/c.bin."), qPrintable(notice));
    }

    // Once the record can be written again, the checksum list brought up to date from it
    // agrees with every copy on the disk.
    QVERIFY(QFile::remove(folderReplaced ? record : record + "/transfers.jsonl"));
    QVERIFY(folderReplaced ? QDir().rename(record + "-kept", record)
                           : QFile::rename(record + "/kept.jsonl", record + "/transfers.jsonl"));
    QString error;
    QVERIFY2(TransferRecord(download).updateManifest(&error), qPrintable(error));
    QCOMPARE(sha256sumCheck(download), 0);
}

QTEST_GUILESS_MAIN(tst_DownloadRecorder)
#include "tst_downloadrecorder.moc"
