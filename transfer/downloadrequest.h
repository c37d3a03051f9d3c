#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The client's side of starting a download: the request line and the look at what the
// download folder already holds.
namespace DownloadRequest {

// "$DOWNLOAD REQUEST <p1>,<p2>...\n" in UTF-8; empty when there is no path, since such a
// line would start a download that nothing ever ends.
QByteArray requestLine(const QStringList &remotePaths);

// Longest request line sent in one piece. An instrument reads a request into a buffer of its
// own, and a selection of thousands of files would make a line of megabytes; such a request
// goes out as several downloads one after the other instead.
constexpr int kMaxRequestLineBytes = 8 * 1024;

// `remotePaths` in order, cut into groups whose request lines stay within `maxBytes` (UTF-8,
// line feed included). A path too long to share a line goes on a line of its own.
QList<QStringList> requestGroups(const QStringList &remotePaths, int maxBytes = kMaxRequestLineBytes);

enum class ListCheck {
    Empty,       // nothing selected: tell the user
    ParentEntry, // ".." reached in the selection before anything that exists: do nothing
    Exists,      // a selected name is taken locally: ask whether to replace
    Send         // request the selection
};

// The selection of the file list against the local destination folder. Every existing
// local file or folder of a selected name counts (exact, case-sensitive names). Files are
// looked at across the whole selection first, then folders item by item, where ".."
// ends the look.
ListCheck checkListSelection(const QStringList &names, const QString &localFolder);

// True when the local parent folder holds a folder named exactly name.
bool localFolderExists(const QString &localParent, const QString &name);

// The request paths of names selected in the remote folder.
QStringList requestPaths(const QString &remoteFolder, const QStringList &names);

} // namespace DownloadRequest
