#pragma once
#include <QDialog>
#include <QFileInfoList>
#include <QPoint>

class ImageAttributeDialog;
class ImageFrame;

namespace Ui {
struct ImageLoadDialog;
}

// The image browser: pages through the "*.tif" files of one local folder, shows each in
// a zoomable frame, and toggles the attribute sheet taken from the file's description.
class ImageLoadDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageLoadDialog(QWidget *parent = nullptr);
    ~ImageLoadDialog() override;

    void openImage(const QString &folder, const QString &filePath, const QString &fileName);
    void setFileName(const QString &name);

    // Read access for the owner and tests.
    Ui::ImageLoadDialog *form() const { return m_ui; }
    ImageFrame *frame() const;
    ImageAttributeDialog *attributeDialog() const { return m_attributeDialog; }
    int index() const { return m_index; }
    const QFileInfoList &files() const { return m_files; }

signals:
    void signalImageLoad();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_4_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void slotPixelPosition(int x, int y);
    void slotPixelValue(int value);
    void slotPixelValue(int r, int g, int b);
    void slotPixelNone();

private:
    void showImageAt();
    // Reads filePath into the frame; on refusal the frame says why instead.
    bool showFile(const QString &filePath, const QString &fileName);
    void showZoom();

    Ui::ImageLoadDialog *m_ui = nullptr;
    QString m_folder;
    int m_index = -1;
    ImageAttributeDialog *m_attributeDialog = nullptr;
    QFileInfoList m_files;
    QPoint m_pressPos;
    QPoint m_pixelPos;
};
