#pragma once
#include <QDialog>

// Stub: filled in by the viewer work.
class ImageLoadDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageLoadDialog(QWidget *parent = nullptr);
    void openImage(const QString &folder, const QString &filePath, const QString &fileName);
    void setFileName(const QString &name);
signals:
    void signalImageLoad();
};
