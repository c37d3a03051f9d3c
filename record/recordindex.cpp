#include "record/recordindex.h"

#include "record/recordpaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

constexpr int kHeadBytes = 64 * 1024;

QString said(const char *text)
{
    return QCoreApplication::translate("RecordIndex", text);
}

QString counted(int n, const char *one, const char *many)
{
    return n == 1 ? said(one) : said(many).arg(n);
}

} // namespace

QString RecordIndex::Report::message() const
{
    QStringList parts;
    const int skipped = tornLines + garbageLines + newerLines;
    if (skipped) {
        QStringList why;
        if (tornLines)
            why << counted(tornLines, QT_TRANSLATE_NOOP("RecordIndex", "1 line cut short by an interruption while it was written"),
                           QT_TRANSLATE_NOOP("RecordIndex", "%1 lines cut short by interruptions while they were written"));
        if (garbageLines)
            why << counted(garbageLines, QT_TRANSLATE_NOOP("RecordIndex", "1 damaged line"),
                           QT_TRANSLATE_NOOP("RecordIndex", "%1 damaged lines"));
        if (newerLines)
            why << counted(newerLines, QT_TRANSLATE_NOOP("RecordIndex", "1 line from a later version of the program"),
                           QT_TRANSLATE_NOOP("RecordIndex", "%1 lines from a later version of the program"));
        parts << counted(skipped, QT_TRANSLATE_NOOP("RecordIndex", "The transfer record has 1 line that could not be read and was skipped: %1."),
                         QT_TRANSLATE_NOOP("RecordIndex", "The transfer record has %1 lines that could not be read and were skipped: %2."))
                     .arg(why.join(QStringLiteral(", ")));
    }
    for (const QString &f : unreadableFiles)
        parts << QCoreApplication::translate("RecordIndex", "The record file %1; it was left as it is.").arg(f);
    return parts.join(QLatin1Char(' '));
}

RecordIndex::FileState RecordIndex::classify(const QByteArray &head)
{
    // The first line that is one of ours decides. Garbage before it is a damaged line; a
    // head of nothing but garbage is not a record this program can read.
    int from = 0, completeLines = 0;
    for (;;) {
        const int nl = head.indexOf('\n', from);
        if (nl < 0)
            break;
        const QByteArray text = QByteArray::fromRawData(head.constData() + from, nl - from);
        from = nl + 1;
        if (text.trimmed().isEmpty())
            continue;
        ++completeLines;
        const Record::Parsed p = Record::parse(text);
        if (p.kind == Record::Parsed::Newer)
            return FileState::Newer;
        if (p.kind != Record::Parsed::Garbage)
            return FileState::Readable;
    }
    return completeLines ? FileState::Damaged : FileState::Readable;
}

QString RecordIndex::Copy::sha256() const
{
    return QString::fromLatin1(QByteArray::fromRawData(digest.data(), int(digest.size())).toHex());
}

QString RecordIndex::remoteOf(const QString &local, const Copy &c)
{
    return c.remote.isNull() ? QStringLiteral("/TARVELO/") + local : c.remote;
}

int RecordIndex::downloadIndex(const QString &id, const QString &file)
{
    const auto it = m_downloadById.constFind(id);
    if (it != m_downloadById.constEnd())
        return *it;
    Download d;
    d.start.download = id;
    d.file = file;
    m_downloads.append(d);
    m_downloadById.insert(id, m_downloads.size() - 1);
    return m_downloads.size() - 1;
}

void RecordIndex::addFileContent(const QByteArray &content, const QString &name)
{
    // About 300 bytes a line: growing the table step by step costs more than the guess.
    if (m_copies.isEmpty())
        m_copies.reserve(content.size() / 300);
    const char *data = content.constData();
    const int size = content.size();
    int from = 0;
    while (from < size) {
        const char *nl = static_cast<const char *>(memchr(data + from, '\n', size_t(size - from)));
        if (!nl) {
            ++m_report.tornLines; // the end of the file without its line feed
            break;
        }
        const int end = int(nl - data);
        const QByteArray text = QByteArray::fromRawData(data + from, end - from);
        from = end + 1;
        if (text.isEmpty())
            continue;
        const Record::Parsed p = Record::parse(text);
        switch (p.kind) {
        case Record::Parsed::Garbage:
            ++m_report.garbageLines;
            break;
        case Record::Parsed::Newer:
            ++m_report.newerLines;
            break;
        case Record::Parsed::StartLine: {
            const int i = downloadIndex(p.start.download, name);
            m_downloads[i].start = p.start;
            break;
        }
        case Record::Parsed::EndLine:
            m_downloads[downloadIndex(p.end.download, name)].end = p.end;
            break;
        case Record::Parsed::FileLine: {
            const Record::File &f = p.file;
            ++m_fileLines;
            const int d = downloadIndex(f.download, name);
            ++m_downloads[d].counts[size_t(f.outcome)];
            if (!m_keep.isEmpty() && f.download == m_keep)
                m_entries.append(f);
            if (Record::isCopy(f.outcome)) {
                Copy &c = m_copies[f.local];
                // Most remote paths are the usual mapping of the local one: not kept twice.
                c.remote = f.remote == QStringLiteral("/TARVELO/") + f.local ? QString() : f.remote;
                const QByteArray raw = QByteArray::fromHex(f.sha256.toLatin1());
                std::copy(raw.cbegin(), raw.cbegin() + int(c.digest.size()), c.digest.begin());
                c.stored = f.stored.value_or(0);
                c.time = f.time;
                c.download = d;
                c.outcome = f.outcome;
                c.laterOutcome.reset();
                c.laterReason.clear();
            } else {
                // A failed retry keeps the old copy, which stays what the file should hold.
                const auto it = m_copies.find(f.local);
                if (it != m_copies.end()) {
                    it->laterOutcome = f.outcome;
                    it->laterReason = f.reason;
                }
            }
            break;
        }
        }
    }
}

RecordIndex RecordIndex::read(const QString &downloadFolder, const QString &keepEntriesOf, bool callerHoldsLock)
{
    RecordIndex index;
    index.m_keep = keepEntriesOf;
    std::unique_ptr<RecordLock> lock;
    if (!callerHoldsLock)
        lock = std::make_unique<RecordLock>(downloadFolder, false);
    for (int n = 1;; ++n) {
        const QString path = RecordPaths::seriesFile(downloadFolder, n);
        if (!QFileInfo::exists(path))
            break;
        const QString name = RecordPaths::seriesName(n);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            index.m_report.unreadableFiles << QCoreApplication::translate("RecordIndex", "%1 could not be opened (%2)").arg(name, file.errorString());
            continue;
        }
        // Mapped rather than read: a record of a million lines is a few hundred megabytes,
        // and only a line at a time is needed.
        const qint64 size = file.size();
        uchar *mapped = size > 0 ? file.map(0, size) : nullptr;
        QByteArray content;
        if (mapped)
            content = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), int(qMin<qint64>(size, INT_MAX)));
        else if (size > 0)
            content = file.readAll();
        const FileState state = classify(content.left(kHeadBytes));
        if (state == FileState::Newer)
            index.m_report.unreadableFiles << QCoreApplication::translate("RecordIndex", "%1 was written by a later version of the program").arg(name);
        else if (state == FileState::Damaged)
            index.m_report.unreadableFiles << QCoreApplication::translate("RecordIndex", "%1 is damaged").arg(name);
        else
            index.addFileContent(content, name);
    }
    return index;
}
