#include "app/pathlabel.h"

#include <QDir>
#include <QPainter>
#include <QStyle>

PathLabel::PathLabel(QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
}

void PathLabel::setPath(const QString &path)
{
    setText(QStringLiteral("  ") + path);
    setToolTip(QDir::toNativeSeparators(path));
    update();
}

QString PathLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

QSize PathLabel::sizeHint() const
{
    return minimumSizeHint();
}

QSize PathLabel::minimumSizeHint() const
{
    // Room for the leading blanks and a few letters on each side of the ellipsis.
    const QFontMetrics metrics = fontMetrics();
    const int margins = contentsMargins().left() + contentsMargins().right();
    return QSize(metrics.horizontalAdvance(QStringLiteral("  C:/\u2026/x")) + margins,
                 QLabel::minimumSizeHint().height());
}

void PathLabel::paintEvent(QPaintEvent *)
{
    // The style sheet's background is drawn before this; only the text is the label's.
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), int(alignment()), palette(), isEnabled(),
                          shownText(), foregroundRole());
}
