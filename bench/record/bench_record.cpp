// bench_record [--lines N] [--files N] [--mib N] [--rounds N] [--work DIR]
// 1. Reading a record of a million file lines into the index, and what the index holds in
//    memory; the checksum list at the end of a download on that record; appending a line
//    through TransferRecord, per line.
// 2. Verify of 1 GiB in 1,000 files against `sha256sum` over the same files. Each round
//    runs both back to back (the order turning every round) after a warm-up, with the files
//    in the page cache for both; the report is the median of the per-round ratios with
//    their range. Goal: within 1.2x of sha256sum.
#include "../common/benchcommon.h"

#include "record/recordformat.h"
#include "record/recordindex.h"
#include "record/recordpaths.h"
#include "record/sha256.h"
#include "record/transferrecord.h"
#include "record/verifier.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace bench;

namespace {

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// What the end of a download costs on that record: 1,000 more files, then the checksum list
// brought up to date, from the lines added (as the program does) and from the whole record
// (as it did before, and still does when its place in the record cannot be trusted), turn
// about over a few rounds.
void manifestAfterDownload(const QString &folder, TransferRecord &record)
{
    constexpr int kRounds = 3, kFiles = 1000;
    std::vector<double> merged, rebuilt, ratios;
    QString error;
    Record::File f;
    f.sha256 = QString(64, QLatin1Char('c'));
    f.stored = 4096;
    int serial = 0;
    const auto oneDownload = [&]() {
        if (!record.beginDownload(Record::startNow(QStringLiteral("127.0.0.1"), QString(), {"/TARVELO/more"}), &error))
            fatal(error);
        for (int i = 0; i < kFiles; ++i, ++serial) {
            // Half new paths, half replacing copies spread over the whole list.
            f.local = i % 2 ? QStringLiteral("more/f%1.dat").arg(serial)
                            : QStringLiteral("Run_2024-03-11_%1/position_%2/image_%3.tif").arg(serial % 10).arg(serial / 10 % 100).arg(serial % 1000, 4, 10, QLatin1Char('0'));
            f.remote = QStringLiteral("/TARVELO/") + f.local;
            if (!record.appendFile(f, &error))
                fatal(error);
        }
        if (!record.sync(&error))
            fatal(error);
    };
    const auto timed = [&](bool whole) {
        oneDownload();
        if (whole)
            QFile::remove(RecordPaths::folder(folder) + QStringLiteral("/manifest-state.json"));
        QElapsedTimer clock;
        clock.start();
        if (!record.updateManifest(&error))
            fatal(error);
        return clock.nsecsElapsed() / 1e9;
    };
    for (int round = 0; round < kRounds; ++round) {
        const double a = round % 2 ? 0 : timed(false);
        const double b = timed(true);
        const double c = round % 2 ? timed(false) : a;
        merged.push_back(c);
        rebuilt.push_back(b);
        ratios.push_back(b / c);
    }
    const Spread m = spread(merged), r = spread(rebuilt), x = spread(ratios);
    std::printf("checksum list after a download of %d more files, %d rounds:\n", kFiles, kRounds);
    std::printf("  from the lines added   %.3f s median (%.3f-%.3f)\n", m.median, m.low, m.high);
    std::printf("  from the whole record  %.3f s median (%.3f-%.3f)\n", r.median, r.low, r.high);
    std::printf("  whole / added %.0fx median (%.0f-%.0f)\n", x.median, x.low, x.high);
}

void readLarge(const QString &folder, int lines)
{
    // One download per thousand files, every file at a path of its own: the index's
    // worst case, as nothing is replaced.
    QDir().mkpath(RecordPaths::folder(folder));
    QFile out(RecordPaths::seriesFile(folder, 1));
    if (!out.open(QIODevice::WriteOnly))
        fatal(QStringLiteral("cannot write the record"));
    Record::Start s = Record::startNow(QStringLiteral("127.0.0.1"), QStringLiteral("anonymous"), {"/TARVELO/Run"});
    Record::File f;
    f.time = s.time;
    f.sha256 = QString(64, QLatin1Char('a'));
    QByteArray chunk;
    for (int i = 0; i < lines; ++i) {
        if (i % 1000 == 0) {
            s.download = Record::newDownloadId();
            chunk += Record::line(s);
            f.download = s.download;
        }
        f.local = QStringLiteral("Run_2024-03-11_%1/position_%2/image_%3.tif").arg(i / 100000).arg(i / 1000 % 100).arg(i % 1000, 4, 10, QLatin1Char('0'));
        f.remote = QStringLiteral("/TARVELO/") + f.local;
        f.announced = f.stored = 4194304 + i;
        chunk += Record::line(f);
        if (chunk.size() > (8 << 20)) {
            out.write(chunk);
            chunk.clear();
        }
    }
    out.write(chunk);
    out.close();
    const double megabytes = out.size() / 1048576.0;

    const qint64 before = residentKiB();
    QElapsedTimer clock;
    clock.start();
    const RecordIndex index = RecordIndex::read(folder);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const qint64 after = residentKiB();
    if (index.fileLines() != lines || index.copies().size() != lines)
        fatal(QStringLiteral("the index holds %1 of %2 lines").arg(index.fileLines()).arg(lines));
    std::printf("read %d file lines (%.0f MiB): %.2f s, %.2f us/line; index holds %.0f MiB (%.0f bytes per path)\n",
                lines, megabytes, seconds, seconds * 1e6 / lines, (after - before) / 1024.0,
                (after - before) * 1024.0 / lines);

    clock.restart();
    TransferRecord record(folder);
    QString error;
    if (!record.updateManifest(&error))
        fatal(error);
    std::printf("checksum list from that record, rewritten: %.2f s\n", clock.nsecsElapsed() / 1e9);
    manifestAfterDownload(folder, record);
}

void appendCost(const QString &folder)
{
    constexpr int kAppends = 10000;
    TransferRecord record(folder);
    QString error;
    if (!record.beginDownload(Record::startNow(QStringLiteral("127.0.0.1"), QString(), {"/TARVELO/x"}), &error))
        fatal(error);
    Record::File f;
    f.sha256 = QString(64, QLatin1Char('b'));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kAppends; ++i) {
        f.local = QStringLiteral("x/f%1.dat").arg(i);
        f.remote = QStringLiteral("/TARVELO/") + f.local;
        f.stored = 4096;
        if (!record.appendFile(f, &error))
            fatal(error);
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("append a file line (lock, one write, background sync): %.1f us per line over %d lines\n",
                seconds * 1e6 / kAppends, kAppends);
}

double timeVerify(const QString &folder, int files)
{
    QElapsedTimer clock;
    clock.start();
    const VerifyResult r = Verifier::run(folder, std::atomic_bool{false});
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (r.count(VerifyResult::Verified) != files)
        fatal(QStringLiteral("verify found %1 of %2 files whole").arg(r.count(VerifyResult::Verified)).arg(files));
    return seconds;
}

double timeSha256sum(const QString &folder, const QStringList &names)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral("sha256sum"), names);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        fatal(QStringLiteral("sha256sum failed"));
    return clock.nsecsElapsed() / 1e9;
}

void verifyAgainstSha256sum(const QString &folder, int files, int mib, int rounds)
{
    const qint64 size = qint64(mib) * 1048576 / files;
    TransferRecord record(folder);
    QString error;
    record.beginDownload(Record::startNow(QStringLiteral("127.0.0.1"), QString(), {"/TARVELO/big"}), &error);
    QStringList names;
    for (int i = 0; i < files; ++i) {
        const QString local = QStringLiteral("big/f%1.dat").arg(i, 4, 10, QLatin1Char('0'));
        QDir().mkpath(folder + QStringLiteral("/big"));
        writeSampleFile(folder + QLatin1Char('/') + local, size);
        Record::File f;
        f.local = local;
        f.remote = QStringLiteral("/TARVELO/") + local;
        f.stored = size;
        f.sha256 = Sha256::hashFile(folder + QLatin1Char('/') + local);
        if (!record.appendFile(f, &error))
            fatal(error);
        names << local;
    }
    if (!record.endDownload(false, false, &error))
        fatal(error);
    std::printf("verify benchmark: %d files of %lld KiB (%d MiB), %d round(s)\n", files, size / 1024, mib, rounds);
    timeVerify(folder, files); // warm-up: both read from the page cache from here on
    timeSha256sum(folder, names);
    std::vector<double> ours, theirs, ratios;
    for (int round = 0; round < rounds; ++round) {
        double a, b;
        if (round % 2) {
            b = timeSha256sum(folder, names);
            a = timeVerify(folder, files);
        } else {
            a = timeVerify(folder, files);
            b = timeSha256sum(folder, names);
        }
        ours.push_back(a);
        theirs.push_back(b);
        ratios.push_back(a / b);
    }
    const Spread o = spread(ours), t = spread(theirs), r = spread(ratios);
    std::printf("  verify     %.3f s median (%.3f-%.3f), %.0f MiB/s\n", o.median, o.low, o.high, mib / o.median);
    std::printf("  sha256sum  %.3f s median (%.3f-%.3f), %.0f MiB/s\n", t.median, t.low, t.high, mib / t.median);
    std::printf("verify time / sha256sum time %.2f median (%.2f-%.2f) (goal within 1.2x)\n", r.median, r.low, r.high);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The transfer record: reading, appending, verifying."));
    parser.addHelpOption();
    parser.addOption({"lines", "File lines in the large record (default 1000000; 0 skips).", "n", "1000000"});
    parser.addOption({"files", "Files to verify (default 1000).", "n", "1000"});
    parser.addOption({"mib", "Their total size in MiB (default 1024; 0 skips).", "n", "1024"});
    parser.addOption({"rounds", "Verify rounds (default 5).", "n", "5"});
    parser.addOption({"work", "Folder for the work files (default: a temporary folder).", "dir"});
    parser.process(app);
    QTemporaryDir temporary(parser.isSet("work") ? parser.value("work") + QStringLiteral("/bench_record-XXXXXX")
                                                 : QDir::tempPath() + QStringLiteral("/bench_record-XXXXXX"));
    if (!temporary.isValid())
        fatal(QStringLiteral("cannot make a work folder"));
    g_workFolder = &temporary;
    const int lines = parser.value("lines").toInt();
    if (lines > 0)
        readLarge(temporary.filePath(QStringLiteral("large")), lines);
    appendCost(temporary.filePath(QStringLiteral("append")));
    const int mib = parser.value("mib").toInt();
    if (mib > 0)
        verifyAgainstSha256sum(temporary.filePath(QStringLiteral("verify")), qMax(1, parser.value("files").toInt()),
                               mib, qMax(1, parser.value("rounds").toInt()));
    g_workFolder = nullptr;
    return 0;
}
