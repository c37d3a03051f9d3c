#pragma once
#include <QLabel>

// The download folder beside the download button. A folder deep in a network share can be
// far wider than the window, so the label never asks the layout for the room its text
// would take: it draws the text shortened in the middle (both the drive and the last
// folders stay readable) and shows the whole path as its tool tip.
class PathLabel : public QLabel
{
    Q_OBJECT
public:
    explicit PathLabel(QWidget *parent = nullptr);

    // text() stays the whole text; the tool tip is the path alone.
    void setPath(const QString &path);
    // What is drawn at the current width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
