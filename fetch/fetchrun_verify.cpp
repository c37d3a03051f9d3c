// The verify command of FetchRun: the transfer record's check of the download folder,
// against the instrument's files when remote paths are given.
#include "fetch/fetchrun.h"

#include "fetch/remotewalk.h"
#include "record/recordpaths.h"
#include "record/verifier.h"

#include <QJsonObject>

#include <atomic>

void FetchRun::runVerify()
{
    walk(true, m_options.paths, [this] {
        QStringList files;
        for (const RemoteItem &item : m_walk->items())
            if (!item.folder && m_filter.accepts(item.below))
                files << item.path;
        // The instrument is not needed while the disk is read.
        m_session->close();
        const int code = verifyLocal(files);
        finish(code == ExitCode::kDone && !m_unfetched.isEmpty() ? ExitCode::kSomeFailed : code);
    });
}

// Without remote files: every copy the record knows must still be as it was stored. With
// them: every one of them must have such a copy.
int FetchRun::verifyLocal(const QStringList &remoteFiles)
{
    const bool againstInstrument = m_options.needsInstrument();
    std::atomic_bool stop{false};
    qint64 lastShown = -1;
    const VerifyResult verified = Verifier::run(m_options.to, stop,
        [this, &lastShown](qint64 done, qint64 total, const QString &) {
            if (total > 0 && done != lastShown) {
                lastShown = done;
                m_out.progress(0, 0, double(done) / total, done, 0);
            }
        });
    m_out.endProgress();
    if (!verified.recordMessage.isEmpty())
        m_out.error(verified.recordMessage);

    QHash<QString, VerifyResult::Status> byLocal;
    for (const VerifyResult::Item &item : verified.items)
        byLocal.insert(item.local, item.status);
    auto report = [this](const QString &path, const QString &local, const QString &state) {
        if (m_options.json)
            m_out.data(QJsonObject{{QStringLiteral("path"), path}, {QStringLiteral("local"), local},
                                   {QStringLiteral("state"), state}});
        else if (state != QLatin1String("verified"))
            m_out.data(QStringLiteral("%1: %2").arg(path.isEmpty() ? local : path, state));
        else
            m_out.note(QStringLiteral("%1: %2").arg(path.isEmpty() ? local : path, state));
    };

    if (againstInstrument) {
        const InstrumentCheck check = compareWithInstrument(m_options.paths.join(QStringLiteral(", ")),
                                                            remoteFiles, verified);
        for (const QString &remote : remoteFiles) {
            const QString local = RecordPaths::localRelative(remote);
            const auto found = byLocal.constFind(local);
            const QString state = found == byLocal.constEnd() ? QStringLiteral("no copy")
                                                              : VerifyResult::statusText(*found);
            report(remote, local, state);
        }
        if (check.withoutCopy.isEmpty()) {
            m_out.note(check.answer);
            return ExitCode::kDone;
        }
        m_out.error(check.answer.endsWith(QLatin1Char(':')) ? check.answer.chopped(1) : check.answer);
        return ExitCode::kNotVerified;
    }

    // Files the record does not know are shown but are no failure: a share holds other
    // work beside the downloads.
    int bad = 0;
    for (const VerifyResult::Item &item : verified.items) {
        const QString relative = item.local;
        if (!m_filter.accepts(relative))
            continue;
        if (item.status != VerifyResult::Verified && item.status != VerifyResult::NotInRecord)
            ++bad;
        report(item.remote, relative, VerifyResult::statusText(item.status));
    }
    if (verified.stopped || bad > 0) {
        m_out.error(verified.summary());
        return ExitCode::kNotVerified;
    }
    m_out.note(verified.summary());
    return ExitCode::kDone;
}
