#pragma once
#include "transfer/downloadlifecycle.h"

#include <QObject>
#include <QStringList>

class AlreadyDialog;
class AlreadyDialogTreeWidget;
class BrowserPanel;
class DownloadReceiver;
class DownloadingProgressDialog;
class EmptyDownloadSizeDialog;
class InstrumentLink;
class NoticeDialog;
class QListWidget;
class QWidget;

// A download from start to end: checks the request against the download folder, asks the
// questions it needs, lets the receiver store what arrives and closes the download once the
// refreshed listing is shown. The window stays disabled while a download runs.
class DownloadController : public QObject
{
    Q_OBJECT
public:
    // The dialogs stay the window's; the controller shows and fills them.
    struct Dialogs
    {
        DownloadingProgressDialog *progress;
        EmptyDownloadSizeDialog *emptySelection;
        AlreadyDialog *replace;
        AlreadyDialogTreeWidget *replaceFolder;
        NoticeDialog *notice;
    };
    DownloadController(InstrumentLink *link, BrowserPanel *browser, QListWidget *list,
                       const Dialogs &dialogs, QWidget *window);

    DownloadReceiver *receiver() const { return m_receiver; }
    // Sits between the link's reader and the receiver.
    DownloadLifecycle &lifecycle() { return m_lifecycle; }
    // The reader's six modes: its framing inside a message, the download's phase between.
    ReaderMode readerMode() const;

    // What the download button and the list's menu start.
    void downloadListSelection();
    // The user agreed to replace the local copies of the list's selection.
    void downloadListSelectionAgain();
    // What the tree's menu starts for the instrument's folder `remotePath`, and the answer to
    // the question about a local folder of that name.
    void downloadTreeFolder(const QString &remotePath);
    void downloadTreeFolderAgain();
    // A file the user tried to open and agreed to download.
    void downloadFile(const QString &remotePath);
    void cancel();
    // Ends a download under way when the link is lost; true when one was under way (the
    // user has then been told).
    bool endOnLinkLoss();
    // The link is gone: questions about a download that can no longer start are closed.
    void closeQuestions();
    static QString notConnectedText();

signals:
    // The instrument went quiet inside a file, so its stream cannot be followed any more.
    void linkUnusable();

private:
    bool refuseWhenDisconnected();
    void prepareRequest();
    void startDownload(const QStringList &remotePaths);
    void endEarly(const QString &reason);
    void onEndNotice();
    void onListingApplied();
    void onFinished();
    void onStalled();
    void onLinkRefused(const QString &reason);
    QStringList selectedListNames() const;

    InstrumentLink *m_link;
    BrowserPanel *m_browser;
    QListWidget *m_list;
    Dialogs m_dialogs;
    QWidget *m_window;
    DownloadReceiver *m_receiver;
    DownloadLifecycle m_lifecycle;
    QString m_askedTreeFolder; // the folder the replace question is about
};
