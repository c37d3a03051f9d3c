#include "transfer/downloadnotice.h"

#include "link/remotepath.h"

#include <QCoreApplication>

namespace DownloadNotice {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DownloadNotice", text);
}

QString nameList(const QStringList &remotePaths)
{
    QStringList shown;
    for (int i = 0; i < remotePaths.size() && i < kMaxNames; ++i)
        shown.append(shownName(remotePaths.at(i)));
    QString text = shown.join(QStringLiteral(", "));
    if (remotePaths.size() > kMaxNames)
        text += tr(" and %1 more").arg(remotePaths.size() - kMaxNames);
    return text;
}
} // namespace

QString shownName(const QString &remotePath)
{
    // A refused path is shown whole, so the user sees where it pointed.
    const QString prefix = RemotePath::kRoot + QLatin1Char('/');
    return remotePath.startsWith(prefix) && RemotePath::isSafe(remotePath) ? remotePath.mid(prefix.size())
                                                                            : remotePath;
}

QString failureText(const QList<DownloadReceiver::Failure> &failures)
{
    if (failures.isEmpty())
        return QString();
    QStringList lines;
    lines.append(failures.size() == 1 ? tr("This file could not be stored:")
                                      : tr("These files could not be stored:"));
    for (int i = 0; i < failures.size() && i < kMaxNames; ++i)
        lines.append(tr("%1 (%2)").arg(shownName(failures.at(i).remotePath), failures.at(i).detail));
    if (failures.size() > kMaxNames)
        lines.append(tr("and %1 more").arg(failures.size() - kMaxNames));
    return lines.join(QLatin1Char('\n'));
}

// What both notices say about files sent without being asked for and files cut short.
static void appendOddities(QStringList *parts, const DownloadReceiver &receiver)
{
    if (!receiver.unasked().isEmpty())
        parts->append(tr("Sent by the instrument without being asked for, and thrown away: %1.")
                          .arg(nameList(receiver.unasked())));
    if (!receiver.cutShort().isEmpty())
        parts->append(tr("Probably cut short, because the instrument gave no size and the file holds "
                         "its own end line: %1.").arg(nameList(receiver.cutShort())));
}

QString finishedText(const DownloadReceiver &receiver)
{
    QStringList parts;
    const bool recordFailed = !receiver.recordFailure().isEmpty();
    if (recordFailed)
        parts.append(recordFailureText(receiver.recordFailure()));
    const QString failed = failureText(receiver.failures());
    if (!failed.isEmpty())
        parts.append(failed);
    if (recordFailed && !receiver.pending().isEmpty())
        parts.append(tr("Not received: %1.").arg(nameList(receiver.pending())));
    else if (!receiver.cancelRequested() && !receiver.pending().isEmpty())
        parts.append(tr("Announced by the instrument but never sent: %1.").arg(nameList(receiver.pending())));
    appendOddities(&parts, receiver);
    return parts.join(QStringLiteral("\n\n"));
}

QString recordFailureText(const QString &why)
{
    return tr("The download was stopped because the transfer record could not be written (%1). "
              "A file is only accepted from the instrument once its line is in the record.").arg(why);
}

QString earlyEndText(const QString &reason, const DownloadReceiver &receiver, const QStringList &notAsked)
{
    QStringList parts{reason};
    if (!receiver.recordFailure().isEmpty())
        parts.append(recordFailureText(receiver.recordFailure()));
    const QStringList stored = receiver.storedFiles();
    parts.append(stored.isEmpty() ? tr("No file arrived.")
                                  : tr("Arrived: %1.").arg(nameList(stored)));
    if (!receiver.interruptedFile().isEmpty())
        parts.append(tr("Cut off and discarded (a local copy from before is unchanged): %1.")
                         .arg(shownName(receiver.interruptedFile())));
    QStringList missing = receiver.pending();
    missing.removeAll(receiver.interruptedFile());
    missing += notAsked;
    if (!missing.isEmpty())
        parts.append(tr("Not received: %1.").arg(nameList(missing)));
    const QString failed = failureText(receiver.failures());
    if (!failed.isEmpty())
        parts.append(failed);
    appendOddities(&parts, receiver);
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace DownloadNotice
