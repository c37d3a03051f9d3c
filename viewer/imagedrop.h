#pragma once
#include <QObject>
#include <QStringList>

class QMimeData;

// Lets TIFF files be dropped onto a window: installed as an event filter on it, it
// accepts drags that carry local "*.tif" or "*.tiff" files and reports the drop.
class ImageDrop : public QObject
{
    Q_OBJECT
public:
    // Installs itself on target and switches drops on there.
    explicit ImageDrop(QWidget *target);

    // The local TIFF files among dragged data, in their order.
    static QStringList tiffPaths(const QMimeData *data);
    static bool isTiffName(const QString &path);

signals:
    void filesDropped(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
