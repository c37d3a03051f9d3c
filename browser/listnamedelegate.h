#pragma once
#include <QStyledItemDelegate>

class QListView;

// Draws a cell of the icon list: the icon, and under it the name on up to three lines,
// broken after "_", "-", "." or a blank where that wastes little room, anywhere else. A name
// longer still loses its middle on the third line, so that the end that tells run files
// apart ("…channel2_rgb8.tif") stays in view. Every cell is the grid's cell, so the list can
// take one size for all of them and need not measure each of a hundred thousand names.
class ListNameDelegate : public QStyledItemDelegate
{
public:
    static constexpr int kLines = 3;
    // The cell is as wide as the grid always was, or wider where the list's font needs it
    // for some 18 characters a line: a run-prefixed name such as
    // "2024-03-11_Run0043_overview_channel2_rgb8.tif" then shows whole.
    static constexpr int kCellWidth = 120;
    static constexpr int kCharsPerLine = 18;

    // Sets the delegate and the grid that holds an icon and three lines of the view's font.
    static void install(QListView *view);

    // The lines a name is shown on in a cell `width` wide, with the metrics of `font`.
    static QStringList nameLines(const QString &name, const QFont &font, int width);

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit ListNameDelegate(QListView *view);
    void fitGrid();
    QListView *m_view;
};
