#include "download/qelidelabel.h"

#include <QPainter>
#include <QResizeEvent>

QElideLabel::QElideLabel(QWidget *parent, Qt::WindowFlags f) : QLabel(parent, f) {}

QElideLabel::~QElideLabel() = default;

void QElideLabel::setText(const QString &text)
{
    QLabel::setText(text);
    updateElidedText(width());
}

void QElideLabel::setElideMode(Qt::TextElideMode mode)
{
    m_elideMode = mode;
    updateGeometry();
}

void QElideLabel::updateElidedText(int width)
{
    m_elidedText = fontMetrics().elidedText(text(), Qt::TextElideMode(m_elideMode), width,
                                            Qt::TextShowMnemonic);
}

void QElideLabel::paintEvent(QPaintEvent *event)
{
    if (m_elideMode == Qt::ElideNone) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawText(QRect(0, 0, width(), height()), int(alignment()), m_elidedText);
}

void QElideLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateElidedText(event->size().width());
}
