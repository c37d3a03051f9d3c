// The receiver's local side: where a file goes, the folders made for it, and taking them
// back when the file is not stored.
#include "transfer/downloadreceiver.h"

#include "link/remotepath.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

void DownloadReceiver::openFile(const QString &remote)
{
    bool safe = false;
    const QString local = QDir::cleanPath(RemotePath::toLocalPath(remote, m_downloadPath, &safe));
    m_fileLocal.clear();
    if (remote.isEmpty()) {
        fail(TransferFailure::Kind::NoPath, tr("the instrument named no path"));
        return;
    }
    if (!safe || remote == RemotePath::kRoot || m_downloadPath.isEmpty()) {
        fail(TransferFailure::Kind::OutsideRoot, tr("refused: the path lies outside the instrument's folder"));
        return;
    }
    // The download folder's record is the program's own: nothing from the instrument goes
    // in there, whatever its case on a share that ignores case.
    if (remote.section(QLatin1Char('/'), 2, 2).compare(QLatin1String(RemotePath::kRecordFolder), Qt::CaseInsensitive) == 0) {
        fail(TransferFailure::Kind::ProgramFolder,
             tr("refused: %1 holds the download folder's own record").arg(QLatin1String(RemotePath::kRecordFolder)));
        return;
    }
    m_fileLocal = local;

    const QString folder = QFileInfo(local).path();
    m_createdFolders.clear();
    const QString root = QDir::cleanPath(m_downloadPath);
    for (QString dir = folder; dir.size() > root.size() && !QFileInfo::exists(dir);
         dir = QFileInfo(dir).path())
        m_createdFolders.append(dir);
    if (!QDir().mkpath(folder)) {
        fail(TransferFailure::Kind::FolderNotCreated, tr("the folder %1 could not be created").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    const QFileInfo existing(local);
    if (existing.isDir()) {
        fail(TransferFailure::Kind::FolderInWay, tr("a folder of that name is in the way"));
        return;
    }
    m_fileReplaces = existing.exists();
    auto file = m_fileFactory(local);
    if (!file->open(QIODevice::WriteOnly)) {
        fail(TransferFailure::Kind::CannotOpen, file->errorString());
        return;
    }
    m_commitSerial = m_writer.start(std::move(file), m_downloadPath);
    m_fileState = FileState::Writing;
}

void DownloadReceiver::fail(TransferFailure::Kind kind, const QString &reason)
{
    if (m_fileFailure.isEmpty()) {
        m_fileFailure = reason;
        m_fileFailureKind = kind;
    }
    if (m_fileState == FileState::Writing)
        m_writer.discard();
    m_fileState = FileState::Discarding;
}

void DownloadReceiver::dropFile()
{
    const bool writing = m_fileState == FileState::Writing;
    if (writing)
        m_writer.discard();
    if (m_inFile)
        removeCreatedFolders(writing);
    m_createdFolders.clear();
    m_inFile = false;
    m_fileState = FileState::Discarding;
    m_quietTimer.stop();
    m_sizeLeft = 0;
    m_tail.clear();
    m_closedByQuiet = false;
}

void DownloadReceiver::removeCreatedFolders(bool afterWriter)
{
    // Deepest first; a folder that holds anything stays. A file just dropped may still lie
    // in the deepest until the writer has come to it.
    const QStringList folders = m_createdFolders;
    m_createdFolders.clear();
    const auto remove = [folders] {
        for (const QString &dir : folders)
            QDir().rmdir(dir);
    };
    if (afterWriter && !folders.isEmpty())
        m_writer.whenIdle(remove);
    else
        remove();
}
