#include "windowdriver.h"

#include "app/mainwindow.h"
#include "bench/common/benchcommon.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QEventLoop>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using bench::fatal;

namespace lateness {

namespace {

constexpr int kLoginLimitMs = 20000;
constexpr int kListingLimitMs = 60000;

// The list may be a list widget or a view on a model: both are item views over a model.
QAbstractItemView *fileList(MainWindow &window)
{
    auto *list = window.findChild<QAbstractItemView *>(QStringLiteral("FILE_LISTWIDGET"));
    if (!list)
        fatal(QStringLiteral("the window has no FILE_LISTWIDGET"));
    return list;
}

QModelIndex entryIndex(QAbstractItemView *list, const QString &name)
{
    QAbstractItemModel *model = list->model();
    if (!model || model->rowCount() == 0)
        return {};
    const QModelIndexList found =
        model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
    return found.value(0);
}

QAction *menuEntry(MainWindow &window, const QString &text)
{
    for (QAction *action : window.findChildren<QAction *>())
        if (!action->menu() && action->text() == text)
            return action;
    fatal(QStringLiteral("the window has no menu entry \"%1\"").arg(text));
}

// Types the address into the four boxes, keeps "anonymous" ticked and presses "CONNECT".
void fillLogin(QWidget *dialog, const QString &address)
{
    const QStringList parts = address.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("EDIT_ADDRESS_%1").arg(i + 1));
        if (!edit)
            fatal(QStringLiteral("the login dialog has no EDIT_ADDRESS_%1").arg(i + 1));
        edit->clear();
        QTest::keyClicks(edit, parts.value(i));
    }
    auto *anonymous = dialog->findChild<QCheckBox *>(QStringLiteral("CHECKBOX_ANONYMOUS"));
    if (anonymous && !anonymous->isChecked())
        QTest::mouseClick(anonymous, Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BUTTON_CONNECT")), Qt::LeftButton);
}

} // namespace

bool waitUntil(const std::function<bool()> &done, int limitMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    poll.start(10);
    loop.exec();
    return done();
}

WindowDriver::WindowDriver(MainWindow &window) : m_window(window) {}

void WindowDriver::logIn(const QString &address)
{
    // The login dialog runs modal inside "Connect": it is answered from timers while it is up.
    const QDeadlineTimer deadline(kLoginLimitMs);
    bool filled = false;
    QString state;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->findChild<QPushButton *>(QStringLiteral("BUTTON_CONNECT")))
            return;
        if (!filled) {
            filled = true;
            fillLogin(dialog, address);
        } else if (deadline.hasExpired()) {
            if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("LABEL_STATE_DETAIL")))
                state = label->text();
            if (auto *d = qobject_cast<QDialog *>(dialog))
                d->reject();
        }
    });
    poll.start(10);
    menuEntry(m_window, QStringLiteral("Connect"))->trigger(); // back once the dialog has closed
    poll.stop();
    if (!filled)
        fatal(QStringLiteral("\"Connect\" showed no login dialog"));
    if (!menuEntry(m_window, QStringLiteral("Disconnect"))->isVisible())
        fatal(QStringLiteral("the window did not log in to %1 within %2 s%3")
                  .arg(address).arg(kLoginLimitMs / 1000)
                  .arg(state.isEmpty() ? QString() : QStringLiteral(": ") + state));
}

void WindowDriver::waitForEntries(const QStringList &names)
{
    QAbstractItemView *list = fileList(m_window);
    const auto allShown = [&] {
        for (const QString &name : names)
            if (!entryIndex(list, name).isValid())
                return false;
        return true;
    };
    if (!waitUntil(allShown, kListingLimitMs))
        fatal(QStringLiteral("the file list did not show %1 within %2 s")
                  .arg(names.join(QStringLiteral(", "))).arg(kListingLimitMs / 1000));
}

void WindowDriver::select(const QString &name)
{
    QAbstractItemView *list = fileList(m_window);
    const QModelIndex index = entryIndex(list, name);
    if (!index.isValid())
        fatal(QStringLiteral("the file list does not show %1").arg(name));
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(index).center());
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    if (selected.size() != 1 || selected.first() != index)
        fatal(QStringLiteral("a click on %1 did not select it alone").arg(name));
}

void WindowDriver::startDownload()
{
    auto *button = m_window.findChild<QPushButton *>(QStringLiteral("BUTTON_DOWNLOAD"));
    if (!button || !button->isEnabled())
        fatal(QStringLiteral("\"Download\" is not there to press"));
    QTest::mouseClick(button, Qt::LeftButton);
    for (const char *question : {"AlreadyDialog", "AlreadyDialogTreeWidget"}) {
        if (QWidget *dialog = shownTopLevel(QLatin1String(question)))
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    }
    if (!downloading())
        fatal(QStringLiteral("no download began after \"Download\"%1")
                  .arg(notice().isEmpty() ? QString() : QStringLiteral(": ") + notice()));
}

void WindowDriver::open(const QString &name)
{
    select(name);
    QTest::keyClick(fileList(m_window), Qt::Key_Return);
}

int WindowDriver::entryCount() const
{
    return fileList(m_window)->model()->rowCount();
}

// Earlier windows closed themselves to input for a download; later ones lock the folder tree.
bool WindowDriver::downloading() const
{
    const auto *tree = m_window.findChild<QWidget *>(QStringLiteral("FILE_TREEWIDGET"));
    return !m_window.isEnabled() || (tree && !tree->isEnabled())
        || shownTopLevel(QStringLiteral("DownloadingProgressDialog"));
}

QString WindowDriver::notice() const
{
    QWidget *box = shownTopLevel(QStringLiteral("NoticeDialog"));
    QLabel *label = box ? box->findChild<QLabel *>(QStringLiteral("label")) : nullptr;
    return label ? label->text() : QString();
}

int WindowDriver::progressPercent() const
{
    QWidget *dialog = shownTopLevel(QStringLiteral("DownloadingProgressDialog"));
    auto *bar = dialog ? dialog->findChild<QProgressBar *>(QStringLiteral("PROGRESS")) : nullptr;
    return bar ? bar->value() : 0;
}

void WindowDriver::dismissNotice()
{
    QWidget *box = shownTopLevel(QStringLiteral("NoticeDialog"));
    if (auto *button = box ? box->findChild<QPushButton *>(QStringLiteral("pushButton")) : nullptr)
        QTest::mouseClick(button, Qt::LeftButton);
}

QWidget *WindowDriver::shownTopLevel(const QString &objectName) const
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace lateness
