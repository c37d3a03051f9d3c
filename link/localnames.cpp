#include "link/localnames.h"

#include "link/remotepath.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {

// Names longer than this (no file system here allows them) take the decoding road.
constexpr int kMaxAsciiName = 256;

} // namespace

// An ASCII name is hashed through a widened copy on the stack, so that it hashes exactly as
// the same name in a QString does, without a QString being made for every local name.
void LocalNames::add(const char *name, bool isDir)
{
    char16_t wide[kMaxAsciiName];
    int size = 0;
    bool ascii = true;
    for (; name[size]; ++size) {
        const uchar c = uchar(name[size]);
        if (c >= 0x80 || size == kMaxAsciiName) {
            ascii = false;
            break;
        }
        wide[size] = c;
    }
    const char kind = isDir ? 'd' : 'f';
    if (ascii) {
        const uint hash = hashOf(QStringView(wide, size));
        m_names.append({hash, int(m_ascii.size()), size, kind, false});
        m_ascii.append(name, size);
        return;
    }
    addDecoded(QFile::decodeName(name), isDir);
}

void LocalNames::addDecoded(const QString &name, bool isDir)
{
    m_names.append({hashOf(name), int(m_decoded.size()), int(name.size()),
                    isDir ? 'd' : 'f', true});
    m_decoded += name;
}

char LocalNames::find(QStringView name, uint hash) const
{
    if (m_names.isEmpty())
        return 0;
    const int mask = m_table.size() - 1;
    for (int i = int(hash) & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_table.at(i);
        if (slot.name < 0)
            return 0;
        if (slot.hash != hash)
            continue;
        const Name &n = m_names.at(slot.name);
        if (n.size != name.size())
            continue;
        const bool same = n.decoded
            ? QStringView(m_decoded).mid(n.offset, n.size) == name
            : QLatin1String(m_ascii.constData() + n.offset, n.size) == name;
        if (same)
            return n.kind;
    }
}

void LocalNames::buildTable()
{
    int size = 8;
    while (size < 2 * m_names.size())
        size *= 2;
    m_table.fill({0, -1}, size);
    const int mask = size - 1;
    for (int at = 0; at < m_names.size(); ++at) {
        const uint hash = m_names.at(at).hash;
        int i = int(hash) & mask;
        while (m_table.at(i).name >= 0)
            i = (i + 1) & mask;
        m_table[i] = {hash, at};
    }
}

// Read with the system's directory calls where there are any: the entry types come with
// the names, whereas a QDirIterator builds a path and a file info for each entry.
void LocalNames::read(const QString &folder, bool downloadRoot)
{
    m_ascii.resize(0);
    m_decoded.resize(0);
    m_names.resize(0);
    if (!folder.isEmpty()) {
#ifdef Q_OS_UNIX
        if (DIR *dir = opendir(QFile::encodeName(folder).constData())) {
            while (const dirent *entry = readdir(dir)) {
                const char *name = entry->d_name;
                if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                    continue;
                if (downloadRoot && qstricmp(name, RemotePath::kRecordFolder) == 0)
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
                add(name, isDir);
            }
            closedir(dir);
        }
#else
        QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (downloadRoot && info.fileName().compare(QLatin1String(RemotePath::kRecordFolder), Qt::CaseInsensitive) == 0)
                continue;
            addDecoded(info.fileName(), info.isDir());
        }
#endif
    }
    buildTable();
}
