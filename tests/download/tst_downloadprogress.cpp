// What the progress dialog says, from a script of download events at given times.
#include "transfer/downloadprogress.h"

#include <QtTest>

class TestDownloadProgress : public QObject
{
    Q_OBJECT
private slots:
    void script_data();
    void script();
    void durations_data();
    void durations();
};

namespace {
// "total 4", "file 34000000" (a header with that size, -1 for none), "bytes 1000",
// "done 2", "stop", each with the time in ms before it: "1500 bytes 1000".
void play(DownloadProgress &progress, const QStringList &script)
{
    progress.reset(0);
    for (const QString &step : script) {
        const QStringList f = step.split(QLatin1Char(' '));
        const qint64 t = f.at(0).toLongLong();
        const qint64 n = f.value(2).toLongLong();
        if (f.at(1) == "total")
            progress.setTotal(int(n), t);
        else if (f.at(1) == "file")
            progress.startFile(n, t);
        else if (f.at(1) == "bytes")
            progress.setFileBytes(n, t);
        else if (f.at(1) == "done")
            progress.setCompleted(int(n), t);
        else if (f.at(1) == "stop")
            progress.setStopping();
        else if (f.at(1) == "disk")
            progress.setWaitingForDisk(n != 0, t);
    }
}

QStringList steady(int files, qint64 size, qint64 perSecond, qint64 untilMs)
{
    // Files of `size` bytes arriving at `perSecond`, reported every 200 ms.
    QStringList s{QStringLiteral("0 total %1").arg(files), QStringLiteral("0 file %1").arg(size)};
    int done = 0;
    for (qint64 t = 200; t <= untilMs; t += 200) {
        qint64 file = perSecond * t / 1000 - done * size;
        if (file >= size) {
            s << QStringLiteral("%1 bytes %2").arg(t).arg(size) << QStringLiteral("%1 done %2").arg(t).arg(++done);
            if (done == files)
                break;
            file -= size;
            s << QStringLiteral("%1 file %2").arg(t).arg(size);
        }
        s << QStringLiteral("%1 bytes %2").arg(t).arg(file);
    }
    return s;
}
} // namespace

void TestDownloadProgress::script_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("status");

    const qint64 MiB = 1024 * 1024;
    QTest::newRow("within a large file the bar moves")
        << QStringList{"0 total 1", "0 file 34000000", "1000 bytes " + QString::number(13 * MiB)} << qint64(1000)
        << 40 << "file 1 of 1" << "13.0 MiB of 32.4 MiB" << QString::fromUtf8("13.0 MiB/s \u00b7 about 2 s left");
    QTest::newRow("without a size only whole files count")
        << QStringList{"0 total 2", "0 file -1", "1000 bytes " + QString::number(13 * MiB)} << qint64(1000)
        << 0 << "file 1 of 2" << "13.0 MiB" << "13.0 MiB/s";
    QTest::newRow("steady rate and the time left")
        << steady(1, 10 * MiB, MiB, 4000) << qint64(4000) << 40 << "file 1 of 1" << "4.0 MiB of 10.0 MiB"
        << QString::fromUtf8("1.0 MiB/s \u00b7 about 6 s left");
    QTest::newRow("time left of later files from the finished ones' average")
        << steady(4, 2 * MiB, MiB, 3000) << qint64(3000) << 37 << "file 2 of 4" << "1.0 MiB of 2.0 MiB"
        << QString::fromUtf8("1.0 MiB/s \u00b7 about 5 s left");
    QTest::newRow("before any file is in, the time left of this one")
        << steady(4, 8 * MiB, MiB, 2000) << qint64(2000) << 6 << "file 1 of 4" << "2.0 MiB of 8.0 MiB"
        << QString::fromUtf8("1.0 MiB/s \u00b7 about 6 s left in this file");
    QTest::newRow("silence: the rate is not kept, the quiet is counted")
        << steady(1, 10 * MiB, MiB, 2000) << qint64(14000) << 20 << "file 1 of 1" << "2.0 MiB of 10.0 MiB"
        << "No data for 12 s";
    QTest::newRow("waiting for the disk is not the instrument's silence")
        << steady(1, 10 * MiB, MiB, 2000) + QStringList{"2000 disk 1"} << qint64(14000) << 20 << "file 1 of 1"
        << "2.0 MiB of 10.0 MiB" << QString::fromUtf8("Writing to the disk\u2026");
    QTest::newRow("once the disk has caught up, the quiet counts from then")
        << steady(1, 10 * MiB, MiB, 2000) + QStringList{"2000 disk 1", "9000 disk 0"} << qint64(14000) << 20
        << "file 1 of 1" << "2.0 MiB of 10.0 MiB" << "No data for 5 s";
    QTest::newRow("a short gap is not silence, the rate falls")
        << steady(1, 10 * MiB, MiB, 2000) << qint64(3500) << 20 << "file 1 of 1" << "2.0 MiB of 10.0 MiB"
        << QString::fromUtf8("528.5 KiB/s \u00b7 about 16 s left");
    QTest::newRow("nothing since the request")
        << QStringList{} << qint64(75000) << 0 << "" << "" << "No data for 1 min 15 s";
    QTest::newRow("stopping: no later files in the time left")
        << steady(3, 4 * MiB, MiB, 1000) + QStringList{"1000 stop"} << qint64(1000) << 8 << "file 1 of 3"
        << "1.0 MiB of 4.0 MiB" << QString::fromUtf8("Stopping after this file\u2026 \u00b7 1.0 MiB/s \u00b7 about 3 s left");
    QTest::newRow("stopping while silent")
        << QStringList{"0 total 3", "0 file 100", "0 stop"} << qint64(5000) << 0 << "file 1 of 3" << "0 bytes of 100 bytes"
        << QString::fromUtf8("Stopping after this file\u2026 \u00b7 No data for 5 s");
    QTest::newRow("all stored: 99 and no stopping any more")
        << QStringList{"0 total 2", "0 file 10", "0 bytes 10", "0 done 1", "0 file 10", "0 stop", "0 bytes 10", "0 done 2"}
        << qint64(1000) << 99 << "file 2 of 2" << "10 bytes of 10 bytes" << "";
    QTest::newRow("a file past its announced size stays within its share")
        << QStringList{"0 total 2", "0 file 100", "600 bytes 900"} << qint64(600) << 50 << "file 1 of 2"
        << "900 bytes of 100 bytes" << "1.5 KiB/s";
    QTest::newRow("more files than announced")
        << QStringList{"0 total 1", "0 file 1", "0 bytes 1", "0 done 1", "0 file 5"} << qint64(100) << 99
        << "file 1 of 1" << "0 bytes of 5 bytes" << "";
}

void TestDownloadProgress::script()
{
    QFETCH(QStringList, script);
    QFETCH(qint64, now);
    QFETCH(int, percent);
    QFETCH(QString, count);
    QFETCH(QString, bytes);
    QFETCH(QString, status);
    DownloadProgress progress;
    play(progress, script);
    QCOMPARE(progress.percent(), percent);
    QCOMPARE(progress.fileCountText(), count);
    QCOMPARE(progress.bytesText(), bytes);
    QCOMPARE(progress.statusText(now), status);
}

void TestDownloadProgress::durations_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("seconds") << qint64(59) << "59 s";
    QTest::newRow("whole minutes") << qint64(120) << "2 min";
    QTest::newRow("minutes and seconds") << qint64(125) << "2 min 5 s";
    QTest::newRow("hours") << qint64(3 * 3600 + 125) << "3 h 2 min";
}

void TestDownloadProgress::durations()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(DownloadProgress::durationText(seconds), text);
}

QTEST_MAIN(TestDownloadProgress)
#include "tst_downloadprogress.moc"
