#pragma once
#include <QMap>
#include <QSet>
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
bool isEntryName(const QString &name);

// All entries of a whole line.
QVector<Entry> parse(const QString &line);

} // namespace Listing

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

// The names in one local folder, read once and looked up exactly (no wildcard patterns).
class LocalNames
{
public:
    // An empty path stands for no folder: nothing is present.
    static LocalNames read(const QString &folder);
    bool hasFile(const QString &name) const { return m_files.contains(name); }
    bool hasFolder(const QString &name) const { return m_folders.contains(name); }

private:
    QSet<QString> m_files;
    QSet<QString> m_folders;
};

// One row of the file list.
struct ListRow
{
    enum Role { Parent, Folder, File };
    QString name;
    Role role = File;
    bool local = false; // a local copy of that kind exists in the mapped folder
};

// What one delivery of a "$LIST:" answer changes.
struct ListingUpdate
{
    bool restarted = false; // a new answer: empty the list and the folder's branch first
    int folderRow = 0;      // list row of the first new folder; the others follow it
    QVector<ListRow> rows;  // new rows: ".." and folders (inserted from folderRow on),
                            // then files (appended), each group in the instrument's order
    int folderCount = 0;    // rows[0..folderCount) go to folderRow on; the rest are appended
};

// Turns "$LIST:" answers into list rows and item kinds. Rows are ".." (outside the root),
// then folders, then files. A line handed over again as it grows (same line id and folder)
// only adds what is new.
class FolderListing
{
public:
    static const QString kDir;
    static const QString kFile;
    static const QString kParent;

    ListingUpdate apply(const QString &line, quint64 lineId, const QString &remotePath,
                        const QString &localFolder, QMap<QString, QString> *kinds);
    // The shown list was changed elsewhere: the next delivery starts afresh.
    void invalidate() { m_valid = false; }
    int rowCount() const { return m_parentRows + m_folders + m_files; }

private:
    bool m_valid = false;
    quint64 m_lineId = 0;
    QString m_remotePath;
    ListingParser m_parser;
    LocalNames m_local;
    QVector<Listing::Entry> m_scratch;
    int m_parentRows = 0;
    int m_folders = 0;
    int m_files = 0;
};
