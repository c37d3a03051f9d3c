#pragma once
#include <QEnterEvent>
#include <QFrame>
#include <QTimer>

class QLabel;
class QPushButton;

// The short word at the end of a download that went well: where the files went and that
// the record is up to date, with "Show in Folder" and "Show record". It takes no focus and
// goes away by itself; the pointer resting on it keeps it.
class DownloadToast : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kShownMs = 8000;

    explicit DownloadToast(QWidget *window);
    // Shown at the bottom right of the window it belongs to.
    void showMessage(const QString &text);
    QString text() const;
    void setShownMs(int ms) { m_hide.setInterval(ms); }
    QPushButton *folderButton() const { return m_folder; }
    QPushButton *recordButton() const { return m_record; }

signals:
    void showFolderRequested();
    void showRecordRequested();

protected:
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    void enterEvent(QEnterEvent *event) override;
#else
    void enterEvent(QEvent *event) override;
#endif
    void leaveEvent(QEvent *event) override;

private:
    void place();

    QWidget *m_window;
    QLabel *m_label;
    QPushButton *m_folder;
    QPushButton *m_record;
    QTimer m_hide;
};
