#pragma once
// The real main window logged in to the stand-in instrument, with a temporary download
// folder and an instrument tree made by the test.
#include "app/mainwindowui.h"
#include "common/clientlines.h"
#include "common/e2e.h"
#include "common/testaddress.h"
#include "link/protocol.h"
#include "download/downloadcontroller.h"
#include "download/downloadingprogressdialog.h"
#include "download/downloadingprogressdialogui.h"
#include "transfer/downloadreceiver.h"
#include "faultproxy.h"
#include "streamfeeder.h"
#include "tools/instrument/instrumentserver.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QListWidget>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

namespace DownloadE2E {

using Stream::randomBytes;

// The framing texts inside a file, including whole end lines of other files.
inline QByteArray markerBytes(const QByteArray &ownPath, quint32 seed)
{
    return "$DOWNLOAD:<END>\n$DOWNLOAD:</TARVELO/elsewhere.bin><END>\n" + randomBytes(200, seed)
        + "\n$DOWNLOAD: COMPLETED\n$DOWNLOAD REQUEST: LIST<END>\r\n$DOWNLOAD:<" + ownPath + ">\n<END>"
        + "$DOWNLOAD:<" + ownPath + "><1><2>\n$LIST: <d,x>\n$PWD: /TARVELO\n$DOWNLOAD:";
}

inline QByteArray sha(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

inline QByteArray fileSha(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return sha(f.readAll());
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

template <class T>
T *topLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w))
            return t;
    return nullptr;
}

// One window, one instrument (behind a fault proxy when asked), one temporary tree.
class Session
{
public:
    QTemporaryDir tmp;
    QString root;       // served as /TARVELO
    QString download;   // the window's download folder
    QString address;    // known once the instrument is started
    std::unique_ptr<InstrumentServer> server;
    std::unique_ptr<FaultProxy> proxy;
    std::unique_ptr<MainWindow> window;

    Session()
    {
        root = tmp.filePath(QStringLiteral("root"));
        download = tmp.filePath(QStringLiteral("download"));
        QDir().mkpath(root);
        QDir().mkpath(download);
    }

    // Starts the instrument on a free address; with a proxy the instrument listens on a free
    // port behind it.
    bool start(InstrumentOptions options, bool withProxy = false)
    {
        options.root = root;
        options.quiet = true;
        address = TestAddress::listen([&](const QString &candidate) {
            server = std::make_unique<InstrumentServer>(options);
            ClientLines::record(server.get());
            const QHostAddress host(candidate);
            if (!withProxy)
                return server->listen(host, Protocol::kPort);
            if (!server->listen(host, 0))
                return false;
            proxy = std::make_unique<FaultProxy>(host, server->serverPort());
            if (proxy->listen(host, Protocol::kPort))
                return true;
            proxy.reset();
            return false;
        });
        return !address.isEmpty();
    }

    // The window reads its download folder from the settings file when it is made.
    bool openWindow(const QString &account = QString(), const QString &password = QString())
    {
        QSettings settings(QDir::homePath() + QStringLiteral("/AppData/Local/Halvorine/TARVELO/settings.ini"),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("Download/Path"), download);
        settings.sync();
        window = std::make_unique<MainWindow>();
        window->show();
        if (window->downloadPath() != download)
            return false;
        receiver()->setStallLimit(3000);
        return E2E::login(*window, address, account, password);
    }

    QListWidget *list() const { return window->form()->FILE_LISTWIDGET; }
    QTreeWidget *tree() const { return window->form()->FILE_TREEWIDGET; }
    DownloadReceiver *receiver() const { return window->findChild<DownloadReceiver *>(); }
    DownloadingProgressDialog *progress() const { return topLevel<DownloadingProgressDialog>(); }

    bool listShows(const QString &name) const { return !list()->findItems(name, Qt::MatchExactly).isEmpty(); }

    // Selects the entries in this order, as clicks with Ctrl held would.
    void select(const QStringList &names)
    {
        list()->clearSelection();
        for (const QString &n : names)
            for (QListWidgetItem *item : list()->findItems(n, Qt::MatchExactly)) {
                item->setSelected(true);
                window->on_FILE_LISTWIDGET_itemClicked(item);
            }
    }

    // Selects the folder below the root with this name; false when the tree has none.
    bool selectTreeFolder(const QString &name)
    {
        if (tree()->topLevelItemCount() != 1)
            return false;
        QTreeWidgetItem *root = tree()->topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i) {
            if (root->child(i)->text(0) == name) {
                tree()->clearSelection();
                root->child(i)->setSelected(true);
                return true;
            }
        }
        return false;
    }

    // No download runs or is being asked about: the window never goes disabled as a whole,
    // only the parts that would start another download or move the instrument's folder.
    bool unlocked() const
    {
        return window->isEnabled() && !window->downloads()->isBusy() && tree()->isEnabled();
    }

    // Download ended: window usable, progress closed, reader idle.
    bool ended() const
    {
        return unlocked() && !progress()->isVisible() && window->readerMode() == Browsing;
    }

    // Every file below the temporary folder, relative to it, sorted.
    QStringList allFiles() const
    {
        QStringList files;
        QDirIterator it(tmp.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(tmp.path()).relativeFilePath(it.next()));
        files.sort();
        return files;
    }

    // Files below the download folder, relative to it.
    // The instrument's files, without the program's own record beside them.
    QStringList downloadedFiles() const
    {
        QStringList files;
        for (const QString &f : allFiles())
            if (f.startsWith(QLatin1String("download/")) && !f.startsWith(QLatin1String("download/.tarvelo/")))
                files.append(f.mid(9));
        return files;
    }
};

} // namespace DownloadE2E
