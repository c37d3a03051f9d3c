#pragma once
#include "transfer/downloadreceiver.h"

#include <QString>

// What the user is told when a download ends with files missing.
namespace DownloadNotice {

// Lists longer than this are cut with "and N more".
constexpr int kMaxNames = 8;

// Files that could not be stored, with the reason for each; empty when there are none.
QString failureText(const QList<DownloadReceiver::Failure> &failures);

// A download that ended before the instrument finished: why, which files arrived, the file
// that was cut off, the ones that never came, and any that could not be stored.
// `notAsked`: paths of a request sent in parts that the instrument never got to.
QString earlyEndText(const QString &reason, const DownloadReceiver &receiver,
                     const QStringList &notAsked = QStringList());

// A download that ran to its end: files that could not be stored, announced files that never
// came, files thrown away because nobody asked for them, files likely cut short. Empty when
// all is well.
QString finishedText(const DownloadReceiver &receiver);

// The download was stopped because its record would not take a file's line.
QString recordFailureText(const QString &why);

// A remote path as the user reads it: below the root without the root's name.
QString shownName(const QString &remotePath);

} // namespace DownloadNotice
