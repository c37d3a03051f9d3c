#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadingprogressdialog.h"
#include "download/downloadingprogressdialogui.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"
#include "download/qelidelabel.h"
#include "download/secdialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

class TestDownloadDialogs : public QObject
{
    Q_OBJECT
private slots:
    void forms_data();
    void forms();
    void answers_data();
    void answers();
    void progress_data();
    void progress();
    void secondDownloadShowsLastName();
    void bytesLine();
    void elideLabel_data();
    void elideLabel();
};

namespace {
using Factory = std::function<QDialog *()>;

const QString kReplaceQuestion = QStringLiteral(
    "There is already a file with the same name in this location. \n"
    "               Do you want to replace the existing file?");

Factory factory(const QString &cls)
{
    if (cls == "SecDialog")
        return [] { return new SecDialog; };
    if (cls == "DownloadingProgressDialog")
        return [] { return new DownloadingProgressDialog; };
    if (cls == "EmptyDownloadSizeDialog")
        return [] { return new EmptyDownloadSizeDialog; };
    if (cls == "NotDownloadDialog")
        return [] { return new NotDownloadDialog; };
    if (cls == "AlreadyDialog")
        return [] { return new AlreadyDialog; };
    return [] { return new AlreadyDialogTreeWidget; };
}
} // namespace

void TestDownloadDialogs::forms_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<int>("pointSize"); // 0: the default size
    QTest::addColumn<QString>("text");

    auto row = [](const char *cls, const char *object, QRect g, int size, const QString &text) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(cls), QLatin1String(object))))
            << QString(cls) << QString(object) << g << size << text;
    };
    row("DownloadingProgressDialog", "label", {30, 40, 311, 41}, 10, "Downloading...");
    row("DownloadingProgressDialog", "PROGRESS", {30, 80, 331, 23}, 0, QString());
    row("DownloadingProgressDialog", "label_2", {30, 110, 331, 21}, 10, QString());
    row("DownloadingProgressDialog", "BUTTON_STOP", {159, 145, 81, 30}, 0, "Stop");
    row("SecDialog", "pushButton", {99, 145, 80, 30}, 0, "OK");
    row("SecDialog", "pushButton_2", {221, 145, 80, 30}, 0, "Cancel");
    row("SecDialog", "label", {50, 70, 311, 20}, 10, "Are you sure you want to cancel the download?");
    row("EmptyDownloadSizeDialog", "pushButton", {159, 145, 101, 30}, 0, "O K");
    row("EmptyDownloadSizeDialog", "label", {130, 60, 161, 31}, 10, "Select files to download");
    row("NotDownloadDialog", "pushButton", {99, 145, 80, 30}, 0, "Download");
    row("NotDownloadDialog", "pushButton_2", {221, 145, 80, 30}, 0, "Cancel");
    row("NotDownloadDialog", "label", {110, 70, 191, 21}, 10, "Download the file to open.");
    for (const char *cls : {"AlreadyDialog", "AlreadyDialogTreeWidget"}) {
        row(cls, "label", {10, 70, 371, 31}, 10, kReplaceQuestion);
        row(cls, "pushButton", {99, 145, 80, 30}, 0, "Yes");
        row(cls, "pushButton_2", {221, 145, 80, 30}, 0, "No");
    }
}

void TestDownloadDialogs::forms()
{
    QFETCH(QString, cls);
    QFETCH(QString, object);
    QFETCH(QRect, geometry);
    QFETCH(int, pointSize);
    QFETCH(QString, text);

    std::unique_ptr<QDialog> dialog(factory(cls)());
    QCOMPARE(dialog->size(), QSize(400, 200));
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!dialog->parentWidget());
    QVERIFY(dialog->styleSheet().contains(QLatin1String("background-color: rgb(88, 96, 109)")));
    QWidget *w = dialog->findChild<QWidget *>(object);
    QVERIFY(w);
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->font().family(), QStringLiteral("Arial"));
    QCOMPARE(w->font().weight(), 75);
    if (pointSize)
        QCOMPARE(w->font().pointSize(), pointSize);
    if (auto *b = qobject_cast<QPushButton *>(w)) {
        QCOMPARE(b->text(), text);
        QCOMPARE(b->minimumSize(), QSize(80, 30));
    } else if (auto *l = qobject_cast<QLabel *>(w)) {
        QCOMPARE(l->text(), text);
    }
    if (object == "label" && cls.startsWith("AlreadyDialog"))
        QCOMPARE(text.size(), 118);
}

void TestDownloadDialogs::answers_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("signal"); // empty: none may be emitted
    QTest::newRow("Yes in the list question") << "AlreadyDialog" << "pushButton" << QByteArray(SIGNAL(DownloadStart()));
    QTest::newRow("No in the list question") << "AlreadyDialog" << "pushButton_2" << QByteArray(SIGNAL(DownloadStart()));
    QTest::newRow("Yes in the tree question") << "AlreadyDialogTreeWidget" << "pushButton" << QByteArray(SIGNAL(DownloadStartTreeWidget()));
    QTest::newRow("No in the tree question") << "AlreadyDialogTreeWidget" << "pushButton_2" << QByteArray(SIGNAL(DownloadStartTreeWidget()));
    QTest::newRow("Download") << "NotDownloadDialog" << "pushButton" << QByteArray(SIGNAL(signalDownlaod()));
    QTest::newRow("Cancel opening") << "NotDownloadDialog" << "pushButton_2" << QByteArray(SIGNAL(signalDownlaod()));
    QTest::newRow("OK stops") << "SecDialog" << "pushButton" << QByteArray(SIGNAL(signalDownloadingCancel()));
    QTest::newRow("Cancel the stop") << "SecDialog" << "pushButton_2" << QByteArray(SIGNAL(signalDownloadingCancel()));
    QTest::newRow("O K") << "EmptyDownloadSizeDialog" << "pushButton" << QByteArray();
}

void TestDownloadDialogs::answers()
{
    QFETCH(QString, cls);
    QFETCH(QString, button);
    QFETCH(QByteArray, signal);
    std::unique_ptr<QDialog> dialog(factory(cls)());
    std::unique_ptr<QSignalSpy> spy(signal.isEmpty() ? nullptr : new QSignalSpy(dialog.get(), signal.constData()));
    bool visibleWhenSignalled = false;
    QObject::connect(dialog.get(), &QDialog::rejected, [&] { visibleWhenSignalled = spy && spy->count() == 1; });
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    const bool emits = button == "pushButton" && spy;
    if (spy)
        QCOMPARE(spy->count(), emits ? 1 : 0);
    QCOMPARE(visibleWhenSignalled, emits); // the answer is out before the dialog closes
}

void TestDownloadDialogs::progress_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<bool>("finalState");
    QTest::newRow("three files") << 3 << QList<int>{1, 2, 3} << QList<int>{33, 66, 99} << true;
    QTest::newRow("one file") << 1 << QList<int>{1} << QList<int>{99} << true;
    QTest::newRow("seven files") << 7 << QList<int>{1, 6} << QList<int>{14, 85} << false;
    QTest::newRow("no list yet keeps the bar") << 0 << QList<int>{1, 2} << QList<int>{0, 0} << false;
}

void TestDownloadDialogs::progress()
{
    QFETCH(int, total);
    QFETCH(QList<int>, steps);
    QFETCH(QList<int>, values);
    QFETCH(bool, finalState);
    DownloadingProgressDialog dialog;
    dialog.reset();
    dialog.setTotal(total);
    dialog.setCurrentFile(QStringLiteral("run1/a.tif"));
    auto *ui = dialog.form();
    for (int i = 0; i < steps.size(); ++i) {
        dialog.setCompleted(steps.at(i));
        QCOMPARE(ui->PROGRESS->value(), values.at(i));
    }
    QCOMPARE(ui->label_2->text(), finalState ? QStringLiteral("Check Condition..") : QStringLiteral("run1/a.tif"));
    QCOMPARE(ui->BUTTON_STOP->isEnabled(), !finalState);
    dialog.reset();
    QCOMPARE(ui->PROGRESS->value(), 0);
    QVERIFY(ui->BUTTON_STOP->isEnabled());
}

void TestDownloadDialogs::secondDownloadShowsLastName()
{
    DownloadingProgressDialog dialog;
    QSignalSpy cancel(dialog.cancelDialog(), &SecDialog::signalDownloadingCancel);
    dialog.setTotal(2);
    dialog.setCurrentFile(QStringLiteral("first/last.tif"));
    dialog.setCompleted(1);
    dialog.reset();
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("first/last.tif"));
    QCOMPARE(dialog.form()->label_2->elideMode(), Qt::ElideMiddle);
    dialog.setCurrentFile(QString()); // a null name changes nothing shown
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("first/last.tif"));
    QTest::mouseClick(dialog.form()->BUTTON_STOP, Qt::LeftButton);
    QVERIFY(dialog.cancelDialog()->isVisible());
    QCOMPARE(cancel.count(), 0);
}

void TestDownloadDialogs::bytesLine()
{
    DownloadingProgressDialog dialog;
    dialog.setBytesReceived(3 * 1024 * 1024 + 512 * 1024, 50 * 1024 * 1024);
    const QString text = dialog.form()->LABEL_BYTES->text();
    QVERIFY2(text.contains(QLatin1String("3.5 MiB")) && text.contains(QLatin1String("50.0 MiB/s")), qPrintable(text));
    QCOMPARE(dialog.form()->label->text(), QStringLiteral("Downloading..."));
    dialog.reset();
    QVERIFY(dialog.form()->LABEL_BYTES->text().isEmpty());
}

void TestDownloadDialogs::elideLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("shortened");
    const QString longPath = QStringLiteral("run-2026-01-01/sample-with-a-long-name/") + QString(60, 'x') + QStringLiteral("/end.tif");
    QTest::newRow("fits") << "a.tif" << int(Qt::ElideMiddle) << 331 << false;
    QTest::newRow("long path in the middle") << longPath << int(Qt::ElideMiddle) << 331 << true;
    QTest::newRow("long path at the right") << longPath << int(Qt::ElideRight) << 331 << true;
}

void TestDownloadDialogs::elideLabel()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QFETCH(int, width);
    QFETCH(bool, shortened);
    QElideLabel label;
    QCOMPARE(label.elideMode(), Qt::ElideRight);
    label.resize(width, 21);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));
    label.setElideMode(Qt::TextElideMode(mode));
    label.setText(text);
    QCOMPARE(label.text(), text);
    QCOMPARE(label.elidedText() != text, shortened);
    if (shortened) {
        const QString shown = label.elidedText();
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(label.fontMetrics().horizontalAdvance(shown) <= width);
        if (mode == Qt::ElideMiddle) {
            QVERIFY(shown.startsWith(text.left(3)));
            QVERIFY(shown.endsWith(QLatin1String("end.tif")));
        }
        const int before = shown.size();
        label.resize(width * 3, 21); // widening recomputes the drawn text
        QTRY_VERIFY(label.elidedText().size() > before);
    }
}

QTEST_MAIN(TestDownloadDialogs)
#include "tst_downloaddialogs.moc"
