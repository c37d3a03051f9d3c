#include "browser/listnamedelegate.h"

#include <QApplication>
#include <QEvent>
#include <QListView>
#include <QPainter>

namespace {

constexpr int kPad = 2;       // between the cell's edge and what it shows

} // namespace

ListNameDelegate::ListNameDelegate(QListView *view) : QStyledItemDelegate(view), m_view(view) {}

void ListNameDelegate::install(QListView *view)
{
    auto *delegate = new ListNameDelegate(view);
    view->setItemDelegate(delegate);
    view->installEventFilter(delegate);
    delegate->fitGrid();
}

// The window's font reaches the list after the list is made: the grid follows it.
bool ListNameDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && (event->type() == QEvent::FontChange || event->type() == QEvent::Polish))
        fitGrid();
    return QStyledItemDelegate::eventFilter(watched, event);
}

void ListNameDelegate::fitGrid()
{
    const QFontMetrics metrics(m_view->font());
    const int text = kLines * metrics.lineSpacing();
    const int line = metrics.horizontalAdvance(QStringLiteral("0123456789abcdefgh").left(kCharsPerLine));
    const QSize grid(qMax(kCellWidth, line + 2 * kPad),
                     m_view->iconSize().height() + 3 * kPad + text + kPad);
    if (m_view->gridSize() != grid)
        m_view->setGridSize(grid);
}

QSize ListNameDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return m_view->gridSize();
}

// How many characters of `text` from `from` fit in `width`.
static int fittingLength(const QFontMetrics &metrics, const QString &text, int from, int width)
{
    int low = 0, high = text.size() - from; // low fits, high + 1 does not
    while (low < high) {
        const int mid = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.mid(from, mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

static bool endsAWord(QChar c)
{
    return c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char(' ')
        || c == QLatin1Char('.');
}

// Each line is filled as far as it goes, then ended after the last "_", "-", "." or blank
// when that gives up little room; a name has no room to waste in three lines.
QStringList ListNameDelegate::nameLines(const QString &name, const QFont &font, int width)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    int pos = 0;
    while (pos < name.size() && lines.size() < kLines - 1) {
        int length = qMax(1, fittingLength(metrics, name, pos, width));
        if (pos + length < name.size()) {
            for (int i = length - 1; i > length * 2 / 3; --i) {
                if (endsAWord(name.at(pos + i))) {
                    length = i + 1;
                    break;
                }
            }
        }
        lines.append(name.mid(pos, length));
        pos += length;
    }
    if (pos < name.size()) // the last line takes the rest, cut in its middle if it must
        lines.append(metrics.elidedText(name.mid(pos), Qt::ElideMiddle, width));
    return lines;
}

void ListNameDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    const QRect cell = opt.rect;

    const QSize iconSize = m_view->iconSize();
    const QRect iconRect(cell.x() + (cell.width() - iconSize.width()) / 2, cell.y() + kPad,
                         iconSize.width(), iconSize.height());
    const QIcon::Mode mode = !(opt.state & QStyle::State_Enabled) ? QIcon::Disabled
        : (opt.state & QStyle::State_Selected) ? QIcon::Selected : QIcon::Normal;
    opt.icon.paint(painter, iconRect, Qt::AlignCenter, mode, QIcon::Off);

    const int width = cell.width() - 2 * kPad;
    const QStringList lines = nameLines(opt.text, opt.font, width);
    const QFontMetrics metrics(opt.font);
    int y = iconRect.bottom() + 1 + 2 * kPad;
    if (opt.state & QStyle::State_Selected) {
        // Behind every line of the name: the style's own panel covers only one line here.
        int widest = 0;
        for (const QString &line : lines)
            widest = qMax(widest, metrics.horizontalAdvance(line));
        const QRect block(cell.x() + (cell.width() - widest) / 2 - kPad, y - 1, widest + 2 * kPad,
                          lines.size() * metrics.lineSpacing() + 2);
        painter->fillRect(block, opt.palette.brush(QPalette::Normal, QPalette::Highlight));
    }
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                      opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                         : QPalette::Text));
    for (const QString &line : lines) {
        // Not clipped to its line: an underscore reaches below some fonts' descent.
        painter->drawText(QRect(cell.x() + kPad, y, width, metrics.lineSpacing()),
                          Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, line);
        y += metrics.lineSpacing();
    }
    painter->restore();

    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = cell.adjusted(1, 1, -1, -1);
        focus.backgroundColor = opt.palette.color(QPalette::Base);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}
