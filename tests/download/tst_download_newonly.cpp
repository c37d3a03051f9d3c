// "Only new files" in the real window against the stand-in instrument: from the list's and
// the tree's replace questions and the tree's menu, with everything present, and stopped.
#include "common/noticedialog.h"
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "downloade2e.h"
#include "download/downloadcontroller.h"
#include "download/downloadtoast.h"
#include "transfer/downloadrequest.h"
#include "transfer/folderwalk.h"

#include <sys/stat.h>

using namespace DownloadE2E;

class TestDownloadNewOnly : public QObject
{
    Q_OBJECT
private slots:
    void onlyMissingAreRequested_data();
    void onlyMissingAreRequested();
    void allPresentSendsNothing();
    void stoppedWalkSendsNothing();

private:

};

namespace {
struct Stamp
{
    quint64 inode = 0;
    qint64 mtimeNs = 0;
    bool operator==(const Stamp &o) const { return inode == o.inode && mtimeNs == o.mtimeNs; }
};

Stamp stamp(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {quint64(st.st_ino), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// Run/ with files at three levels; the even ones are local already.
QStringList makeRun(Session &s, bool allLocal)
{
    // In the instrument's order: names compared without case, a folder's files where it stands.
    const QStringList files = {"Run/A/B/c.tif", "Run/A/B/d.tif", "Run/A/b.tif", "Run/A/e.tif",
                               "Run/a.tif", "Run/C/g.tif", "Run/C/h.tif", "Run/f.tif"};
    QStringList missing;
    for (int i = 0; i < files.size(); ++i) {
        writeFile(s.root + '/' + files[i], randomBytes(3000 + i, quint32(i + 1)));
        if (allLocal || i % 2 == 0)
            writeFile(s.download + '/' + files[i], "local copy " + QByteArray::number(i));
        else
            missing.append("/TARVELO/" + files[i]);
    }
    QDir().mkpath(s.download + "/Run/C/h.tif.d"); // an unrelated local folder
    return missing;
}

QList<QByteArray> *recordLines(Session &s)
{
    auto *lines = new QList<QByteArray>;
    QObject::connect(s.server.get(), &InstrumentServer::lineReceived, s.window.get(),
                     [lines](int, const QByteArray &l) { lines->append(l); });
    QObject::connect(s.window.get(), &QObject::destroyed, [lines] { delete lines; });
    return lines;
}

int requests(const QList<QByteArray> &lines)
{
    return int(std::count_if(lines.begin(), lines.end(),
                             [](const QByteArray &l) { return l.startsWith("$DOWNLOAD REQUEST <"); }));
}

void answerOnlyNew(Session &s, const QString &how)
{
    if (how == "tree menu") {
        QTRY_VERIFY(s.selectTreeFolder("Run"));
        s.window->TreeDownloadNewFiles();
        return;
    }
    QDialog *question = nullptr;
    if (how == "list question") {
        s.select({"Run"});
        QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
        question = topLevel<AlreadyDialog>();
    } else {
        QTRY_VERIFY(s.selectTreeFolder("Run"));
        s.window->TreeDownload();
        question = topLevel<AlreadyDialogTreeWidget>();
    }
    QVERIFY(question && question->isVisible());
    QTest::mouseClick(question->findChild<QPushButton *>("pushButtonOnlyNew"), Qt::LeftButton);
}
} // namespace

void TestDownloadNewOnly::onlyMissingAreRequested_data()
{
    QTest::addColumn<QString>("how");
    for (const char *how : {"list question", "tree question", "tree menu"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void TestDownloadNewOnly::onlyMissingAreRequested()
{
    QFETCH(QString, how);
    Session s;
    const QStringList missing = makeRun(s, false);
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("Run"));
    QMap<QString, Stamp> before;
    for (const QString &f : s.downloadedFiles())
        before.insert(f, stamp(s.download + '/' + f));
    QList<QByteArray> *lines = recordLines(s);

    answerOnlyNew(s, how);
    QTRY_VERIFY_WITH_TIMEOUT(requests(*lines) == 1 || topLevel<NoticeDialog>()->isVisible(), 15000);
    QVERIFY2(requests(*lines) == 1, qPrintable(topLevel<NoticeDialog>()->text()));
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    // All went well: the short confirmation says what was skipped, no notice to click away.
    DownloadToast *toast = s.window->downloads()->toast();
    QTRY_VERIFY_WITH_TIMEOUT(s.ended() && toast->isVisible(), 15000);
    QVERIFY(!topLevel<NoticeDialog>()->isVisible());

    // Exactly the missing files, in the instrument's order, in one line.
    const auto request = std::find_if(lines->begin(), lines->end(), [](const QByteArray &l) {
        return l.startsWith("$DOWNLOAD REQUEST <");
    });
    QCOMPARE(*request, DownloadRequest::requestLine(missing).trimmed());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY2(stamp(s.download + '/' + it.key()) == it.value(), qPrintable(it.key()));
    for (const QString &m : missing)
        QCOMPARE(fileSha(s.download + m.mid(8)), fileSha(s.root + m.mid(8)));
    QVERIFY2(toast->text().contains("4 files already in the download folder were skipped"),
             qPrintable(toast->text()));
    // The user's folder is shown again, in the list and on the instrument.
    QCOMPARE(s.window->currentRemotePath(), QStringLiteral("/TARVELO"));
    QTRY_VERIFY(s.listShows("Run"));
    const auto lastCd = std::find_if(lines->rbegin(), lines->rend(),
                                     [](const QByteArray &l) { return l.startsWith("$CD "); });
    QCOMPARE(*lastCd, QByteArray("$CD /TARVELO"));
}

void TestDownloadNewOnly::allPresentSendsNothing()
{
    Session s;
    makeRun(s, true);
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("Run"));
    QList<QByteArray> *lines = recordLines(s);
    answerOnlyNew(s, "tree question");
    QTRY_VERIFY_WITH_TIMEOUT(s.ended() && topLevel<NoticeDialog>()->isVisible(), 15000);
    QCOMPARE(topLevel<NoticeDialog>()->text(),
             QStringLiteral("All 8 files are already in the download folder."));
    QCOMPARE(requests(*lines), 0);
    QTRY_COMPARE(lines->last(), QByteArray("$LIST"));
    QVERIFY(lines->contains("$CD /TARVELO"));
}

void TestDownloadNewOnly::stoppedWalkSendsNothing()
{
    Session s;
    for (int i = 0; i < 40; ++i)
        QVERIFY(writeFile(s.root + QStringLiteral("/Run/F%1/x.bin").arg(i), "x"));
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("Run"));
    QList<QByteArray> *lines = recordLines(s);
    answerOnlyNew(s, "tree menu");
    auto *walk = s.window->findChild<FolderWalk *>();
    QVERIFY(walk);
    QVERIFY(s.progress()->isVisible());
    QObject::connect(walk, &FolderWalk::progress, s.window.get(), [&s](int checked) {
        if (checked == 3) {
            QCOMPARE(s.progress()->form()->label_2->text(),
                     QString::fromUtf8("Looking for new files\u2026 (folders checked: 3)"));
            s.window->slotDownloadingCancel();
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QTest::qWait(200); // a walk that went on would ask for its next folder now
    QCOMPARE(requests(*lines), 0);
    QVERIFY(lines->count("$PWD") < 10);
    QVERIFY(!topLevel<NoticeDialog>()->isVisible());
}

QTEST_MAIN(TestDownloadNewOnly)
#include "tst_download_newonly.moc"
