#include "browser/listing.h"

#include "browser/remotepath.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>

#include <cstring>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

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

void ListingParser::parse(const QString &line, QVector<Listing::Entry> *out)
{
    const QChar *s = line.constData();
    const int n = line.size();
    for (int i = m_pos; i < n; ++i) {
        if (m_skipNext) { // the "<" that opens the next entry
            m_skipNext = false;
            m_tokenStart = i + 1;
        } else if (s[i] == QLatin1Char('>')) {
            takeEntry(s, m_tokenStart, i, out);
            m_skipNext = true;
        }
    }
    m_pos = qMax(m_pos, n);
}

void LocalNames::add(const QString &name, bool isDir)
{
    m_names.append({0, m_text.size(), name.size(), isDir ? 'd' : 'f'});
    m_text += name;
}

char LocalNames::find(QStringView name) const
{
    if (m_names.isEmpty())
        return 0;
    const uint hash = qHash(name);
    const int mask = m_table.size() - 1;
    for (int i = int(hash) & mask;; i = (i + 1) & mask) {
        const int at = m_table.at(i);
        if (at < 0)
            return 0;
        const Name &n = m_names.at(at);
        if (n.hash == hash && QStringView(m_text).mid(n.offset, n.size) == name)
            return n.kind;
    }
}

// Read with the system's directory calls where there are any: the entry types come with
// the names, whereas a QDirIterator builds a path and a file info for each entry.
void LocalNames::read(const QString &folder)
{
    m_text.resize(0);
    m_names.resize(0);
    if (folder.isEmpty())
        return;
#ifdef Q_OS_UNIX
    DIR *dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        bool isDir = entry->d_type == DT_DIR;
        if (entry->d_type != DT_DIR && entry->d_type != DT_REG) { // a link, or not told
            struct stat st;
            if (fstatat(dirfd(dir), name, &st, 0) != 0)
                continue; // a broken link is neither a file nor a folder
            if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
                continue;
            isDir = S_ISDIR(st.st_mode);
        }
        const int size = int(std::strlen(name));
        bool ascii = true;
        for (int i = 0; i < size && ascii; ++i)
            ascii = uchar(name[i]) < 0x80;
        if (ascii) {
            m_names.append({0, m_text.size(), size, isDir ? 'd' : 'f'});
            m_text.append(QLatin1String(name, size));
        } else {
            add(QFile::decodeName(name), isDir);
        }
    }
    closedir(dir);
#else
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        add(info.fileName(), info.isDir());
    }
#endif
    int size = 8;
    while (size < 2 * m_names.size())
        size *= 2;
    m_table.fill(-1, size);
    const int mask = size - 1;
    for (int at = 0; at < m_names.size(); ++at) {
        Name &n = m_names[at];
        n.hash = qHash(QStringView(m_text).mid(n.offset, n.size));
        int i = int(n.hash) & mask;
        while (m_table.at(i) >= 0)
            i = (i + 1) & mask;
        m_table[i] = at;
    }
}

const QString FolderListing::kDir = QStringLiteral("Dir");
const QString FolderListing::kFile = QStringLiteral("File");
const QString FolderListing::kParent = QStringLiteral("..");

ListingUpdate FolderListing::apply(const QString &line, quint64 lineId, const QString &remotePath,
                                   const QString &localFolder)
{
    ListingUpdate update;
    const bool continuing = m_valid && lineId != 0 && lineId == m_lineId
        && remotePath == m_remotePath;
    if (!continuing) {
        m_valid = true;
        m_lineId = lineId;
        m_remotePath = remotePath;
        m_parser.reset();
        m_local.read(localFolder);
        m_folders.clear();
        m_files.clear();
        update.restarted = true;
        if (remotePath != RemotePath::kRoot)
            m_folders.append({kParent, ListRow::Parent, false});
    }
    update.folderFrom = continuing ? m_folders.size() : 0;
    update.fileFrom = continuing ? m_files.size() : 0;
    m_scratch.clear();
    m_parser.parse(line, &m_scratch);
    if (m_files.capacity() < m_files.size() + m_scratch.size())
        m_files.reserve(m_files.size() + m_scratch.size());
    for (Listing::Entry &entry : m_scratch) {
        if (entry.folder) {
            const bool local = m_local.hasFolder(entry.name);
            m_folders.append({std::move(entry.name), ListRow::Folder, local});
        } else {
            const bool local = m_local.hasFile(entry.name);
            m_files.append({std::move(entry.name), ListRow::File, local});
        }
    }
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

QVector<int> FolderListing::recheck(const QString &localFolder)
{
    QVector<int> changed;
    if (!m_valid)
        return changed;
    m_local.read(localFolder);
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
