// Every control of every window can be told apart without seeing it: a screen reader has a
// name for each button and field, and a button drawn by an image alone has a tool tip too.
#include "app/mainwindow.h"
#include "link/logindialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

class tst_AccessibleNames : public QObject
{
    Q_OBJECT
private slots:
    void everyControlNamed();
};

namespace {

bool isControl(QWidget *w)
{
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
        || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QComboBox *>(w)
        || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w)
        || qobject_cast<QAbstractItemView *>(w);
}

QString describe(QWidget *w)
{
    QStringList path;
    for (QObject *o = w; o; o = o->parent())
        path.prepend(o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                               : o->objectName());
    return path.join(QLatin1Char('/'));
}

} // namespace

void tst_AccessibleNames::everyControlNamed()
{
    MainWindow window; // owns the dialogs and the image browser
    window.show();
    LoginDialog login;
    QStringList nameless;
    QStringList tipless;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        QList<QWidget *> widgets = top->findChildren<QWidget *>();
        widgets.prepend(top);
        for (QWidget *w : widgets) {
            if (!isControl(w) || w->objectName().startsWith(QLatin1String("qt_")) || w->isHidden())
                continue; // Qt's own parts (a scroll area's corner), or hidden for good (a header)
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
            QVERIFY(a);
            if (a->text(QAccessible::Name).trimmed().isEmpty())
                nameless.append(describe(w));
            auto *button = qobject_cast<QAbstractButton *>(w);
            if (button && button->text().trimmed().isEmpty() && button->toolTip().isEmpty())
                tipless.append(describe(w));
        }
    }
    QVERIFY2(nameless.isEmpty(), qPrintable(QStringLiteral("without a name: ") + nameless.join(QStringLiteral(", "))));
    QVERIFY2(tipless.isEmpty(), qPrintable(QStringLiteral("image buttons without a tool tip: ") + tipless.join(QStringLiteral(", "))));
}

QTEST_MAIN(tst_AccessibleNames)
#include "tst_accessiblenames.moc"
