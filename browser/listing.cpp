#include "browser/listing.h"

#include "browser/remotepath.h"

#include <QDir>
#include <QDirIterator>

namespace Listing {

bool isEntryName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\n') || c == QLatin1Char('\r')
            || c.isNull())
            return false;
    }
    return true;
}

QVector<Entry> parse(const QString &line)
{
    ListingParser parser;
    QVector<Entry> entries;
    parser.parse(line, &entries);
    return entries;
}

} // namespace Listing

void ListingParser::reset()
{
    *this = ListingParser();
}

// An entry is "kind,name[,more]": the name ends at its first comma. One without a comma
// has no name and is skipped.
static void takeEntry(const QString &line, int from, int to, QVector<Listing::Entry> *out)
{
    const int comma = line.indexOf(QLatin1Char(','), from);
    if (comma < 0 || comma >= to)
        return;
    int end = line.indexOf(QLatin1Char(','), comma + 1);
    if (end < 0 || end > to)
        end = to;
    Listing::Entry entry;
    entry.name = line.mid(comma + 1, end - comma - 1);
    if (!Listing::isEntryName(entry.name))
        return;
    entry.folder = comma - from == 1 && line.at(from) == QLatin1Char('d');
    out->append(entry);
}

void ListingParser::parse(const QString &line, QVector<Listing::Entry> *out)
{
    const QChar *s = line.constData();
    const int n = line.size();
    for (int i = m_pos; i < n; ++i) {
        if (m_skipNext) { // the "<" that opens the next entry
            m_skipNext = false;
            m_tokenStart = i + 1;
        } else if (s[i] == QLatin1Char('>')) {
            takeEntry(line, m_tokenStart, i, out);
            m_skipNext = true;
        }
    }
    m_pos = qMax(m_pos, n);
}

LocalNames LocalNames::read(const QString &folder)
{
    LocalNames names;
    if (folder.isEmpty())
        return names;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        (info.isDir() ? names.m_folders : names.m_files).insert(info.fileName());
    }
    return names;
}

const QString FolderListing::kDir = QStringLiteral("Dir");
const QString FolderListing::kFile = QStringLiteral("File");
const QString FolderListing::kParent = QStringLiteral("..");

ListingUpdate FolderListing::apply(const QString &line, quint64 lineId, const QString &remotePath,
                                   const QString &localFolder, QMap<QString, QString> *kinds)
{
    ListingUpdate update;
    const bool continuing = m_valid && lineId != 0 && lineId == m_lineId
        && remotePath == m_remotePath;
    if (!continuing) {
        m_valid = true;
        m_lineId = lineId;
        m_remotePath = remotePath;
        m_parser.reset();
        m_local = LocalNames::read(localFolder);
        m_parentRows = remotePath == RemotePath::kRoot ? 0 : 1;
        m_folders = m_files = 0;
        kinds->clear();
        update.restarted = true;
        if (m_parentRows) {
            kinds->insert(kParent, kDir);
            update.rows.append({kParent, ListRow::Parent, false});
        }
    }
    m_scratch.clear();
    m_parser.parse(line, &m_scratch);
    update.folderRow = continuing ? m_parentRows + m_folders : 0;

    QVector<ListRow> files;
    for (const Listing::Entry &entry : qAsConst(m_scratch)) {
        if (entry.folder) {
            update.rows.append({entry.name, ListRow::Folder, m_local.hasFolder(entry.name)});
            // A name listed as a file too stays a file, whatever the order.
            if (!kinds->contains(entry.name))
                kinds->insert(entry.name, kDir);
            ++m_folders;
        } else {
            files.append({entry.name, ListRow::File, m_local.hasFile(entry.name)});
            kinds->insert(entry.name, kFile);
            ++m_files;
        }
    }
    update.folderCount = update.rows.size();
    update.rows += files;
    return update;
}
