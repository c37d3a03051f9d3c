#include "link/listing.h"

#include "link/remotepath.h"

#include <QThreadPool>

#include <algorithm>

namespace Listing {

bool isEntryName(QStringView name)
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
static void takeEntry(const QChar *s, int from, int to, QVector<Listing::Entry> *out)
{
    int comma = from;
    while (comma < to && s[comma] != QLatin1Char(','))
        ++comma;
    if (comma == to)
        return;
    int end = comma + 1;
    while (end < to && s[end] != QLatin1Char(','))
        ++end;
    const QStringView name(s + comma + 1, end - comma - 1);
    if (!Listing::isEntryName(name))
        return;
    out->append({name.toString(), comma - from == 1 && s[from] == QLatin1Char('d')});
}

// Searching for each ">" rather than stepping through every character: a listing of
// 20,000 entries is some 400,000 characters.
void ListingParser::parse(const QString &line, QVector<Listing::Entry> *out)
{
    const QStringView text(line);
    const int n = line.size();
    while (m_pos < n) {
        if (m_skipNext) { // the "<" that opens the next entry, whatever it is
            m_skipNext = false;
            m_tokenStart = ++m_pos;
            continue;
        }
        const int close = int(text.indexOf(QLatin1Char('>'), m_pos));
        if (close < 0) {
            m_pos = n;
            break;
        }
        takeEntry(line.constData(), m_tokenStart, close, out);
        m_skipNext = true;
        m_pos = close + 1;
    }
}

const QString FolderListing::kDir = QStringLiteral("Dir");
const QString FolderListing::kFile = QStringLiteral("File");
const QString FolderListing::kParent = QStringLiteral("..");

ListingUpdate FolderListing::apply(const QString &line, quint64 lineId, const QString &remotePath,
                                   const QString &localFolder)
{
    const ListingUpdate update = applyUnticked(line, lineId, remotePath, localFolder);
    settleTicks();
    return update;
}

namespace {

// Below this many characters of answer (a few hundred entries) handing the read to another
// thread costs more than it saves.
constexpr int kReadAsideFrom = 8192;
// Scratch room kept between deliveries of a growing answer; more is given back.
constexpr int kKeptScratch = 4096;

} // namespace

// Reading a folder of ten thousand names takes the system about as long as the list takes
// to fill, and the rows need it only for their ticks: on a second core the two overlap.
// Where no worker is free at once the folder is read here, as before.
void FolderListing::startLocalRead(const QString &localFolder, int answerSize)
{
    const bool root = m_remotePath == RemotePath::kRoot;
    if (!localFolder.isEmpty() && answerSize >= kReadAsideFrom) {
        m_read.active = QThreadPool::globalInstance()->tryStart([this, localFolder, root] {
            m_local.read(localFolder, root);
            m_read.done.release();
        });
    }
    if (!m_read.active)
        m_local.read(localFolder, root);
}

void FolderListing::settleTicks()
{
    if (!m_read.active)
        return;
    m_read.done.acquire();
    tickWaitingRows();
}

bool FolderListing::trySettleTicks()
{
    if (!m_read.active)
        return true;
    if (!m_read.done.tryAcquire())
        return false;
    tickWaitingRows();
    return true;
}

void FolderListing::tickWaitingRows()
{
    m_read.active = false;
    for (int i = m_untickedFolders; i < m_folders.size(); ++i) {
        ListRow &row = m_folders[i];
        row.local = row.role == ListRow::Folder
            && m_local.hasFolder(row.name, m_folderHashes.at(i - m_untickedFolders));
    }
    for (int i = m_untickedFiles; i < m_files.size(); ++i)
        m_files[i].local = m_local.hasFile(m_files.at(i).name, m_fileHashes.at(i - m_untickedFiles));
    m_folderHashes = QVector<uint>(); // only wanted until the ticks are known
    m_fileHashes = QVector<uint>();
}

ListingUpdate FolderListing::applyUnticked(const QString &line, quint64 lineId,
                                           const QString &remotePath, const QString &localFolder)
{
    ListingUpdate update;
    const bool continuing = m_valid && lineId != 0 && lineId == m_lineId
        && remotePath == m_remotePath;
    // A read under way keeps the rows it waits for; a new answer needs the folder read
    // afresh (and the worker gone from m_local).
    const bool readGoesOn = continuing && m_read.active;
    if (!continuing) {
        settleTicks();
        m_valid = true;
        m_lineId = lineId;
        m_remotePath = remotePath;
        m_parser.reset();
        startLocalRead(localFolder, line.size());
        m_folders.clear();
        m_files.clear();
        update.restarted = true;
        if (remotePath != RemotePath::kRoot)
            m_folders.append({kParent, ListRow::Parent, false});
    }
    update.folderFrom = continuing ? m_folders.size() : 0;
    update.fileFrom = continuing ? m_files.size() : 0;
    if (!readGoesOn) {
        m_untickedFolders = update.folderFrom;
        m_untickedFiles = update.fileFrom;
        m_folderHashes.clear();
        m_fileHashes.clear();
    }
    m_scratch.clear();
    m_parser.parse(line, &m_scratch);
    // Exact for an answer taken whole; one that comes in slices grows by half each time, or
    // its rows would be copied once a slice.
    const int needed = m_files.size() + m_scratch.size();
    if (m_files.capacity() < needed)
        m_files.reserve(continuing ? qMax(needed, m_files.capacity() * 3 / 2) : needed);
    const bool ticksKnown = !m_read.active;
    if (!ticksKnown && !readGoesOn) {
        for (int i = m_untickedFolders; i < m_folders.size(); ++i) // the parent row
            m_folderHashes.append(LocalNames::hashOf(m_folders.at(i).name));
        m_fileHashes.reserve(m_scratch.size());
    }
    for (Listing::Entry &entry : m_scratch) {
        const uint hash = LocalNames::hashOf(entry.name);
        if (entry.folder) {
            const bool local = ticksKnown && m_local.hasFolder(entry.name, hash);
            m_folders.append({std::move(entry.name), ListRow::Folder, local});
            if (!ticksKnown)
                m_folderHashes.append(hash);
        } else {
            const bool local = ticksKnown && m_local.hasFile(entry.name, hash);
            m_files.append({std::move(entry.name), ListRow::File, local});
            if (!ticksKnown)
                m_fileHashes.append(hash);
        }
    }
    // The names have moved into the rows; a large answer's scratch would otherwise stay
    // allocated beside them (16 bytes an entry) until the next answer.
    if (m_scratch.capacity() > kKeptScratch)
        m_scratch = QVector<Listing::Entry>();
    return update;
}

void FolderListing::kinds(QMap<QString, QString> *out) const
{
    out->clear();
    if (!m_valid)
        return;
    for (const ListRow &row : m_folders)
        out->insert(row.name, kDir);
    for (const ListRow &row : m_files) // files last: a name listed as both is a file
        out->insert(row.name, kFile);
}

bool FolderListing::isFile(const QString &name) const
{
    if (!m_valid)
        return false;
    return std::any_of(m_files.cbegin(), m_files.cend(),
                       [&name](const ListRow &row) { return row.name == name; });
}

QVector<int> FolderListing::recheck(const QString &localFolder)
{
    QVector<int> changed;
    settleTicks();
    if (!m_valid)
        return changed;
    m_local.read(localFolder, m_remotePath == RemotePath::kRoot);
    int row = 0;
    for (ListRow &r : m_folders) {
        const bool local = r.role == ListRow::Folder && m_local.hasFolder(r.name);
        if (local != r.local) {
            r.local = local;
            changed.append(row);
        }
        ++row;
    }
    for (ListRow &r : m_files) {
        const bool local = m_local.hasFile(r.name);
        if (local != r.local) {
            r.local = local;
            changed.append(row);
        }
        ++row;
    }
    return changed;
}
