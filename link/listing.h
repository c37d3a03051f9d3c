#pragma once
#include "link/localnames.h"

#include <QMap>
#include <QSemaphore>
#include <QString>
#include <QVector>

// A "$LIST:" answer: "$LIST: <kind,name><kind,name>..." where kind "d" marks a folder.
namespace Listing {

struct Entry
{
    QString name;
    bool folder = false;
};

// Whether a listed name can stand for an entry of a folder. Empty names, "." and "..", and
// names holding "/" or a line break would lead somewhere else once joined to a path.
bool isEntryName(QStringView name);

// All entries of a whole line.
QVector<Entry> parse(const QString &line);

} // namespace Listing
Q_DECLARE_TYPEINFO(Listing::Entry, Q_MOVABLE_TYPE);

// Reads a "$LIST:" line as it grows: each call returns only the entries completed since the
// previous one, so a long line handed over again and again is still read once.
class ListingParser
{
public:
    void reset();
    // `line` extends the line given to the previous call (since the last reset).
    void parse(const QString &line, QVector<Listing::Entry> *out);

private:
    int m_pos = 8; // entries start at index 8; index 7 holds the first "<"
    int m_tokenStart = 8;
    bool m_skipNext = false;
};

// One row of the file list.
struct ListRow
{
    enum Role { Parent, Folder, File };
    QString name;
    Role role = File;
    bool local = false; // a local copy of that kind exists in the mapped folder

    bool operator==(const ListRow &o) const
    {
        return name == o.name && role == o.role && local == o.local;
    }
};
Q_DECLARE_TYPEINFO(ListRow, Q_MOVABLE_TYPE);

// What one delivery of a "$LIST:" answer changed.
struct ListingUpdate
{
    bool restarted = false; // a new answer: empty the list and the folder's branch first
    int folderFrom = 0;     // folders() from here on are new; folder i is list row i
    int fileFrom = 0;       // files() from here on are new; they follow the folders
};

// Turns "$LIST:" answers into list rows and item kinds. The list shows folders() (".."
// first outside the root), then files(), each in the instrument's order. A line handed
// over again as it grows (same line id and folder) only adds what is new.
class FolderListing
{
public:
    static const QString kDir;
    static const QString kFile;
    static const QString kParent;

    ~FolderListing() { settleTicks(); }

    ListingUpdate apply(const QString &line, quint64 lineId, const QString &remotePath,
                        const QString &localFolder);
    // As apply, but the local folder of a long new answer is read on a worker thread: the
    // new rows' `local` is only known after settleTicks(). Meanwhile the caller can do work
    // of its own that needs only the names. A read under way goes on over the deliveries
    // that continue its answer; the rows they add wait for it as well.
    ListingUpdate applyUnticked(const QString &line, quint64 lineId, const QString &remotePath,
                                const QString &localFolder);
    void settleTicks();
    // As settleTicks(), unless the read is still under way: false then, and nothing changed.
    bool trySettleTicks();
    // The first folder and file rows whose `local` waits for the read (the row counts when
    // none does).
    int firstUntickedFolder() const { return m_read.active ? m_untickedFolders : m_folders.size(); }
    int firstUntickedFile() const { return m_read.active ? m_untickedFiles : m_files.size(); }
    const QVector<ListRow> &folders() const { return m_folders; }
    const QVector<ListRow> &files() const { return m_files; }
    int rowCount() const { return m_folders.size() + m_files.size(); }
    // The folder of the rows.
    QString remotePath() const { return m_remotePath; }
    // The kind of every row's text: ".." and folders "Dir", files "File"; a name listed as
    // both is a "File".
    void kinds(QMap<QString, QString> *out) const;
    // Whether `name` is of kind "File", without building the map of every row's kind.
    bool isFile(const QString &name) const;
    // Looks again at which rows have a local copy, in `localFolder` (a new download folder).
    // Returns the list rows whose tick changed.
    QVector<int> recheck(const QString &localFolder);
    // The shown list was changed elsewhere: the next delivery starts afresh.
    void invalidate() { m_valid = false; }

private:
    void startLocalRead(const QString &localFolder, int answerSize);
    void tickWaitingRows();

    // A copy takes the rows of a settled listing, never a read under way.
    struct PendingRead
    {
        bool active = false; // m_local belongs to the worker until `done`
        QSemaphore done;
        PendingRead() = default;
        PendingRead(const PendingRead &other) { Q_ASSERT(!other.active); }
        PendingRead &operator=(const PendingRead &other)
        {
            Q_ASSERT(!active && !other.active);
            return *this;
        }
    };

    bool m_valid = false;
    PendingRead m_read;
    int m_untickedFolders = 0; // rows from here on wait for the local read
    int m_untickedFiles = 0;
    QVector<uint> m_folderHashes; // of the rows waiting, worked out while the folder is read
    QVector<uint> m_fileHashes;
    quint64 m_lineId = 0;
    QString m_remotePath;
    ListingParser m_parser;
    LocalNames m_local;
    QVector<Listing::Entry> m_scratch;
    QVector<ListRow> m_folders;
    QVector<ListRow> m_files;
};
