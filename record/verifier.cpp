#include "record/verifier.h"

#include "record/recordpaths.h"
#include "record/sha256.h"
#include "record/transferrecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>

int VerifyResult::count(Status s) const
{
    return int(std::count_if(items.cbegin(), items.cend(), [s](const Item &i) { return i.status == s; }));
}

bool VerifyResult::isVerified(const QString &local) const
{
    const auto it = std::lower_bound(items.cbegin(), items.cend(), local,
                                     [](const Item &i, const QString &l) { return i.local < l; });
    return it != items.cend() && it->local == local && it->status == Verified;
}

QString VerifyResult::statusText(Status s)
{
    switch (s) {
    case Verified: return QCoreApplication::translate("VerifyResult", "verified");
    case Changed: return QCoreApplication::translate("VerifyResult", "changed since download");
    case Missing: return QCoreApplication::translate("VerifyResult", "missing");
    case Unreadable: return QCoreApplication::translate("VerifyResult", "cannot be read");
    case NotInRecord: return QCoreApplication::translate("VerifyResult", "not in the record");
    }
    return QString();
}

QString VerifyResult::summary() const
{
    const int checked = items.size() - count(NotInRecord);
    const int good = count(Verified);
    QString text;
    if (good == checked && checked == 1) {
        text = QCoreApplication::translate("VerifyResult", "The one recorded file has a verified copy.");
    } else if (good == checked) {
        text = QCoreApplication::translate("VerifyResult", "All %1 recorded files have verified copies.").arg(checked);
    } else {
        // Only the kinds that occur: "0 cannot be read" made the reader look for a problem.
        QStringList kinds;
        for (Status s : {Changed, Missing, Unreadable})
            if (const int n = count(s))
                kinds << QStringLiteral("%1 %2").arg(n).arg(statusText(s));
        text = QCoreApplication::translate("VerifyResult", "%1 of %2 recorded files have no verified copy: %3.")
                   .arg(checked - good).arg(checked).arg(kinds.join(QStringLiteral(", ")));
    }
    if (const int extra = count(NotInRecord))
        text += QLatin1Char(' ')
            + (extra == 1 ? QCoreApplication::translate("VerifyResult", "1 local file is not in the record.")
                          : QCoreApplication::translate("VerifyResult", "%1 local files are not in the record.").arg(extra));
    if (stopped)
        text = QCoreApplication::translate("VerifyResult", "Stopped before the end.") + QLatin1Char(' ') + text;
    return text;
}

Verifier::Verifier(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<VerifyResult>();
}

Verifier::~Verifier()
{
    stop();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool Verifier::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

void Verifier::stop()
{
    m_stop = true;
}

void Verifier::start(const QString &downloadFolder)
{
    if (isRunning())
        return;
    delete m_thread;
    m_stop = false;
    m_thread = QThread::create([this, downloadFolder] {
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        // A signal per block would flood the window's queue: a few a second are plenty.
        const VerifyResult result = run(downloadFolder, m_stop, [this, &sinceSignal](qint64 done, qint64 total, const QString &current) {
            if (sinceSignal.elapsed() >= 50 || done == total) {
                sinceSignal.restart();
                emit progress(done, total, current);
            }
        });
        QMetaObject::invokeMethod(this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

VerifyResult Verifier::run(const QString &folder, const std::atomic_bool &stop,
                           const std::function<void(qint64, qint64, const QString &)> &progress)
{
    VerifyResult result;
    {
        // A folder one may only read can be verified all the same, from the record alone.
        TransferRecord record(folder);
        if (QFileInfo(RecordPaths::folder(folder)).isWritable())
            record.updateManifest(&result.manifestError);
    }
    const RecordIndex index = RecordIndex::read(folder);
    result.recordMessage = index.report().message();

    QStringList paths = index.copies().keys();
    std::sort(paths.begin(), paths.end());
    qint64 total = 0;
    for (const QString &p : paths)
        total += index.copies().value(p).stored;
    qint64 done = 0;
    for (const QString &local : paths) {
        if (stop) {
            result.stopped = true;
            break;
        }
        const RecordIndex::Copy &copy = index.copies().find(local).value();
        VerifyResult::Item item{local, RecordIndex::remoteOf(local, copy), VerifyResult::Verified, copy.sha256(), {}, {}};
        const QString path = folder + QLatin1Char('/') + local;
        const qint64 before = done;
        if (!QFileInfo(path).isFile()) {
            item.status = VerifyResult::Missing;
        } else {
            item.actual = Sha256::hashFile(path, &item.detail, &stop, [&](qint64 n) {
                done += n;
                if (progress)
                    progress(qMin(done, total), total, local);
            });
            if (stop) {
                result.stopped = true;
                break;
            }
            item.status = item.actual.isEmpty() ? VerifyResult::Unreadable
                : item.actual == item.recorded ? VerifyResult::Verified : VerifyResult::Changed;
        }
        done = before + copy.stored; // a file that grew or shrank does not throw the bar off
        if (progress)
            progress(qMin(done, total), total, local);
        result.items.append(item);
    }
    if (result.stopped)
        return result;

    // What lies in the folder that the record does not know.
    const QSet<QString> known(paths.cbegin(), paths.cend());
    const QDir base(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QVector<VerifyResult::Item> extra;
    while (it.hasNext()) {
        const QString local = base.relativeFilePath(it.next());
        if (stop) {
            result.stopped = true;
            break;
        }
        if (!RecordPaths::isRecordPath(local) && !known.contains(local))
            extra.append({local, {}, VerifyResult::NotInRecord, {}, {}, {}});
    }
    result.items += extra;
    std::sort(result.items.begin(), result.items.end(),
              [](const VerifyResult::Item &a, const VerifyResult::Item &b) { return a.local < b.local; });
    return result;
}

InstrumentCheck compareWithInstrument(const QString &instrumentFolder, const QStringList &remoteFiles,
                                      const VerifyResult &verified)
{
    InstrumentCheck check;
    check.total = remoteFiles.size();
    for (const QString &remote : remoteFiles) {
        const QString local = RecordPaths::localRelative(remote);
        if (local.isEmpty() || !verified.isVerified(local))
            check.withoutCopy << remote;
    }
    const int missing = check.withoutCopy.size();
    if (check.total == 0)
        check.answer = QCoreApplication::translate("Verifier", "%1 holds no files.").arg(instrumentFolder);
    else if (missing == 0 && check.total == 1)
        check.answer = QCoreApplication::translate("Verifier", "The one file of %1 has a verified copy in the download folder.").arg(instrumentFolder);
    else if (missing == 0)
        check.answer = QCoreApplication::translate("Verifier", "All %1 files of %2 have verified copies in the download folder.")
                           .arg(check.total).arg(instrumentFolder);
    else if (missing == 1)
        check.answer = QCoreApplication::translate("Verifier", "1 of %1 files of %2 has no verified copy:")
                           .arg(check.total).arg(instrumentFolder);
    else
        check.answer = QCoreApplication::translate("Verifier", "%1 of %2 files of %3 have no verified copy:")
                           .arg(missing).arg(check.total).arg(instrumentFolder);
    return check;
}
