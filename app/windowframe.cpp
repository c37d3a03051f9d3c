#include "app/windowframe.h"

#include "common/settings.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSizeGrip>
#include <QSplitter>
#include <QWidget>

namespace {

const char kGroup[] = "Window";
const char kGeometryKey[] = "Geometry";
const char kMaximizedKey[] = "Maximized";
const char kSplitterKey[] = "Splitter";
constexpr int kEdge = 6;        // of the 11-pixel margin, the outer part resizes
constexpr int kCorner = 16;     // this close to a corner both edges move
constexpr int kKeepAcross = 120; // of the title strip, at least this much stays on a screen

// The theme's grip draws dark dots on the dark background; these lines can be seen.
class Grip : public QSizeGrip
{
public:
    using QSizeGrip::QSizeGrip;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(QColor(190, 198, 210), 1.5));
        for (int i = 4; i <= 12; i += 4)
            p.drawLine(width() - 2, height() - 2 - i, width() - 2 - i, height() - 2);
    }
};

QList<int> numbers(const std::string &text)
{
    QList<int> out;
    for (const QString &part : QString::fromStdString(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok)
            return {};
        out.append(n);
    }
    return out;
}

QString joined(const QList<int> &values)
{
    QStringList parts;
    for (int v : values)
        parts.append(QString::number(v));
    return parts.join(QLatin1Char(' '));
}

// A screen shows the window when a usable piece of its title strip lies on it.
bool titleShown(const QRect &frame)
{
    const QRect strip(frame.left(), frame.top(), frame.width(), WindowFrame::kTitleHeight);
    for (QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry() & strip;
        if (seen.width() >= qMin(kKeepAcross, frame.width()) && seen.height() >= WindowFrame::kTitleHeight / 2)
            return true;
    }
    return false;
}

} // namespace

WindowFrame::WindowFrame(QWidget *window, QWidget *surface, QSplitter *splitter,
                         const QString &settingsPath)
    : QObject(window), m_window(window), m_surface(surface), m_splitter(splitter),
      m_settingsPath(settingsPath), m_grip(new Grip(surface))
{
    m_grip->setObjectName(QStringLiteral("sizeGrip"));
    m_grip->setFixedSize(16, 16);
    m_grip->setToolTip(tr("Drag to resize the window"));
    m_grip->setAccessibleName(tr("Resize the window"));
    m_surface->setMouseTracking(true);
    m_surface->installEventFilter(this);
}

Qt::Edges WindowFrame::edgesAt(const QPoint &pos) const
{
    if (m_window->isMaximized() || m_window->isFullScreen())
        return {};
    const QRect r = m_surface->rect();
    const int near = (pos.x() < kEdge || pos.x() >= r.width() - kEdge
                      || pos.y() < kEdge || pos.y() >= r.height() - kEdge) ? kCorner : kEdge;
    Qt::Edges edges;
    if (pos.x() < near)
        edges |= Qt::LeftEdge;
    if (pos.x() >= r.width() - near)
        edges |= Qt::RightEdge;
    if (pos.y() < near)
        edges |= Qt::TopEdge;
    if (pos.y() >= r.height() - near)
        edges |= Qt::BottomEdge;
    return edges;
}

static Qt::CursorShape cursorFor(Qt::Edges e)
{
    if (e == (Qt::LeftEdge | Qt::TopEdge) || e == (Qt::RightEdge | Qt::BottomEdge))
        return Qt::SizeFDiagCursor;
    if (e == (Qt::RightEdge | Qt::TopEdge) || e == (Qt::LeftEdge | Qt::BottomEdge))
        return Qt::SizeBDiagCursor;
    if (e & (Qt::LeftEdge | Qt::RightEdge))
        return Qt::SizeHorCursor;
    if (e & (Qt::TopEdge | Qt::BottomEdge))
        return Qt::SizeVerCursor;
    return Qt::ArrowCursor;
}

void WindowFrame::placeGrip()
{
    m_grip->move(m_surface->width() - m_grip->width(), m_surface->height() - m_grip->height());
    m_grip->raise();
}

bool WindowFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_surface)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        placeGrip();
        return false;
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        const Qt::Edges edges = e->button() == Qt::LeftButton ? edgesAt(e->pos()) : Qt::Edges();
        if (!edges)
            return false; // a drag in the margin moves the window (the window's own handlers)
        m_resizing = edges;
        m_pressGlobal = e->globalPos();
        m_pressGeometry = m_window->geometry();
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (!m_resizing) {
            if (e->buttons() == Qt::NoButton)
                m_surface->setCursor(cursorFor(edgesAt(e->pos())));
            return false;
        }
        const QPoint d = e->globalPos() - m_pressGlobal;
        const QSize least = m_window->minimumSizeHint().expandedTo(m_window->minimumSize());
        QRect g = m_pressGeometry;
        if (m_resizing & Qt::LeftEdge)
            g.setLeft(qMin(g.left() + d.x(), g.right() + 1 - least.width()));
        if (m_resizing & Qt::RightEdge)
            g.setRight(qMax(g.right() + d.x(), g.left() - 1 + least.width()));
        if (m_resizing & Qt::TopEdge)
            g.setTop(qMin(g.top() + d.y(), g.bottom() + 1 - least.height()));
        if (m_resizing & Qt::BottomEdge)
            g.setBottom(qMax(g.bottom() + d.y(), g.top() - 1 + least.height()));
        if (g.top() != m_pressGeometry.top() && !titleShown(g))
            g.setTop(m_window->geometry().top()); // the top edge stops where the strip would leave
        m_window->setGeometry(g);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_resizing)
            return false;
        m_resizing = {};
        return true;
    case QEvent::Leave:
        if (!m_resizing)
            m_surface->unsetCursor();
        return false;
    default:
        return false;
    }
}

QPoint WindowFrame::keepTitleOnScreen(const QRect &frame, QPoint wanted)
{
    const QRect moved(wanted, frame.size());
    if (titleShown(moved))
        return wanted;
    // Onto the screen nearest to where it was wanted, as far as it has to go and no further.
    QScreen *screen = QGuiApplication::screenAt(moved.center());
    if (!screen)
        screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QRect a = screen->availableGeometry();
    const int across = qMin(kKeepAcross, frame.width());
    wanted.setX(qBound(a.left() - frame.width() + across, wanted.x(), a.right() + 1 - across));
    wanted.setY(qBound(a.top(), wanted.y(), a.bottom() + 1 - kTitleHeight));
    return wanted;
}

void WindowFrame::restore()
{
    std::string text;
    const std::string path = m_settingsPath.toStdString();
    if (Settings::readSetting(kGroup, kSplitterKey, std::string(), text, path))
        m_storedSplitter = numbers(text);
    if (!Settings::readSetting(kGroup, kGeometryKey, std::string(), text, path))
        return;
    const QList<int> g = numbers(text);
    if (g.size() != 4)
        return;
    QScreen *primary = QGuiApplication::primaryScreen();
    const QSize least = m_window->minimumSizeHint().expandedTo(m_window->minimumSize());
    QSize size = QSize(g.at(2), g.at(3)).expandedTo(least);
    QRect frame(QPoint(g.at(0), g.at(1)), size);
    if (!titleShown(frame) && primary) {
        // Its screen is gone (or smaller): centred on the main screen, at a size that fits.
        const QRect a = primary->availableGeometry();
        frame.setSize(size.boundedTo(a.size()).expandedTo(least));
        frame.moveCenter(a.center());
        frame.moveTop(qMax(a.top(), frame.top()));
    }
    m_window->resize(frame.size());
    m_window->move(frame.topLeft());
    if (Settings::readSetting(kGroup, kMaximizedKey, std::string(), text, path) && text == "true")
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
}

void WindowFrame::restoreSplitter()
{
    if (m_storedSplitter.size() == m_splitter->count())
        m_splitter->setSizes(m_storedSplitter);
    m_storedSplitter.clear();
}

void WindowFrame::save() const
{
    const std::string path = m_settingsPath.toStdString();
    const QRect g = m_window->isMaximized() || m_window->isFullScreen() ? m_window->normalGeometry()
                                                                        : m_window->geometry();
    if (g.isValid()) {
        const QRect frame(m_window->isMaximized() ? g.topLeft() : m_window->pos(), g.size());
        Settings::writeSetting(kGroup, kGeometryKey,
                               joined({frame.x(), frame.y(), frame.width(), frame.height()}).toStdString(), path);
    }
    Settings::writeSetting(kGroup, kMaximizedKey, m_window->isMaximized() ? "true" : "false", path);
    Settings::writeSetting(kGroup, kSplitterKey, joined(m_splitter->sizes()).toStdString(), path);
}
