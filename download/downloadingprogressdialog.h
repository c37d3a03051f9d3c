#pragma once
#include "transfer/downloadprogress.h"
#include "download/secdialog.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

namespace Ui {
struct DownloadingProgressDialog;
}

// Share of the announced files that has arrived, the file being received, and "Stop".
// Around these it tells which file of how many is arriving, its bytes against its size, the
// rate and the time left, how long nothing has arrived, and that the download stops after
// the current file once "Stop" is confirmed. The bar moves within a file whose size is
// known. Those extra lines are redrawn at most ten times a second and once a second
// while nothing arrives.
class DownloadingProgressDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 100;
    static constexpr int kTickMs = 1000;

    explicit DownloadingProgressDialog(QWidget *parent = nullptr);
    ~DownloadingProgressDialog() override;

    void reset();
    void setTotal(int n);
    void setCurrentFile(const QString &name);
    void setCompleted(int k);
    SecDialog *cancelDialog() { return &m_secDialog; }

    // A new file's header: its size, or -1 when the header gave none.
    void setCurrentFileSize(qint64 size);
    // Bytes of the current file received so far.
    void setFileBytes(qint64 bytes);
    void setWaitingForDisk(bool waiting);
    // Before a download of only new files: the folders looked at so far, no share yet.
    void showLooking(int foldersChecked);
    bool isStopping() const { return m_progress.stopping(); }

    // For tests.
    Ui::DownloadingProgressDialog *form() const { return ui; }
    int total() const { return m_total; }
    QString currentFile() const { return m_currentFile; }
    const DownloadProgress &progress() const { return m_progress; }

signals:
    void signalDownloadingCancel();
    // "Stop now": no confirmation, since nothing kept before is lost by it.
    void stopNowRequested();

public slots:
    void on_BUTTON_STOP_clicked();
    void on_BUTTON_STOP_NOW_clicked();

private:
    void scheduleRefresh();
    void refresh();
    qint64 now() const { return m_clock.elapsed(); }

    QString m_currentFile;
    qint32 m_total = 0;
    Ui::DownloadingProgressDialog *ui = nullptr;
    SecDialog m_secDialog;
    DownloadProgress m_progress;
    QElapsedTimer m_clock;
    qint64 m_lastRefreshMs = -kRefreshMs;
    QTimer m_refreshTimer; // the deferred redraw when data comes faster than kRefreshMs
    QTimer m_ticker;       // once a second while shown: silence and a falling rate show
};
