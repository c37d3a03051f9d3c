#pragma once
#include "viewer/imageloader.h"

#include <QDialog>
#include <QFileInfoList>
#include <QPoint>

class BrowserTools;
class ContrastModel;
class ContrastPanel;
class ImageAttributeDialog;
class ImageFrame;

namespace Ui {
struct ImageLoadDialog;
}

// The image browser: pages through the "*.tif" files of one local folder and through
// the pages of a multi-page file, shows each in a zoomable frame under a display range
// the user can adjust, and toggles the attribute sheet taken from the file's description.
// Keys: + and - zoom, 0 fits, 1 shows 1:1, arrows pan (Left and Right page through the
// folder while the whole width is in view), Page Up/Down page through the folder, Home
// and End go to its first and last file, "," and "." step through the pages of a file,
// C toggles the contrast control, B the scale bar, S HiLo, Ctrl+C copies the view, Esc cancels a load or closes the browser.
class ImageLoadDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageLoadDialog(QWidget *parent = nullptr);
    ~ImageLoadDialog() override;

    void openImage(const QString &folder, const QString &filePath, const QString &fileName);
    void setFileName(const QString &name);
    // Any local TIFF file: shows the browser on it, pages through its folder, and adds
    // it to the recent images.
    void openFile(const QString &path);
    BrowserTools *tools() const { return m_tools; }

    // Read access for the owner and tests.
    Ui::ImageLoadDialog *form() const { return m_ui; }
    ImageFrame *frame() const;
    ImageAttributeDialog *attributeDialog() const { return m_attributeDialog; }
    ContrastModel *contrast() const { return m_contrast; }
    ContrastPanel *contrastPanel() const { return m_contrastPanel; }
    ImageLoader *loader() const { return m_loader; }
    int index() const { return m_index; }
    int page() const { return m_page; }
    int pageCount() const { return m_pageCount; }
    const QFileInfoList &files() const { return m_files; }

signals:
    void signalImageLoad();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_4_clicked();
    void on_pushButtonContrast_toggled(bool on);
    void on_pushButtonPagePrevious_clicked();
    void on_pushButtonPageNext_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void slotLoaded(const ImageLoader::Loaded &result);
    void slotProgress(int percent);
    void slotRangeChanged();
    void showZoom();

private:
    void showImageAt();
    void goToFile(int index);
    void goToPage(int page);
    void startLoad(const QString &filePath, const QString &fileName, int page);
    void showPageLabel();
    void elideName();
    void fitToScreen();
    void sizeToImage(const QSize &image);
    void showMissingRows(const DecodedImage &image);

    Ui::ImageLoadDialog *m_ui = nullptr;
    QString m_folder;
    int m_index = -1;
    ImageAttributeDialog *m_attributeDialog = nullptr;
    QFileInfoList m_files;
    QPoint m_pressPos;
    ContrastModel *m_contrast = nullptr;
    ContrastPanel *m_contrastPanel = nullptr;
    ImageLoader *m_loader = nullptr;
    QString m_fileName;    // full name of the shown file
    QString m_loadingPath; // file being loaded, with its name and page
    QString m_loadingName;
    int m_page = 0;
    int m_pageCount = 0;
    bool m_openingFirst = false; // the arrows' state follows the result of openImage
    bool m_placed = false;
    bool m_sizeToImage = false; // opened while hidden: the window takes the image's size
    bool m_keepView = false; // paging keeps zoom and position for images of the same size
    BrowserTools *m_tools = nullptr;
};
