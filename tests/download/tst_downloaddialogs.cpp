#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadingprogressdialog.h"
#include "download/downloadingprogressdialogui.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"
#include "download/qelidelabel.h"
#include "download/secdialog.h"
#include "common/noticedialog.h"
#include "common/textfit.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QProgressBar>
#include <QRegularExpression>
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
    void progressLines();
    void progressThrottledAndTicking();
    void countGoesWithName();
    void stopConfirmedShows();
    void textsFit_data();
    void textsFit();
    void replaceQuestionLayout_data();
    void replaceQuestionLayout();
    void replaceQuestionNames_data();
    void replaceQuestionNames();
    void placement();
    void elideLabel_data();
    void elideLabel();
};

namespace {
using Factory = std::function<QDialog *()>;

// Line breaks aside, which follow the font.
const QString kReplaceQuestion = QStringLiteral(
    "There is already a file with the same name in this location. "
    "Do you want to replace the existing file?");

const QString kLongName = QStringLiteral("2024-03-11_Run") + QString(120, 'x') + QStringLiteral("_end.tif");

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
    // "Stop" and "Stop now" centred as a pair where "Stop" stood alone.
    row("DownloadingProgressDialog", "BUTTON_STOP", {104, 145, 81, 30}, 0, "Stop");
    row("DownloadingProgressDialog", "BUTTON_STOP_NOW", {195, 145, 100, 30}, 0, "Stop now");
    row("SecDialog", "pushButton", {54, 145, 136, 30}, 0, "Stop download");
    row("SecDialog", "pushButton_2", {210, 145, 136, 30}, 0, "Keep downloading");
    row("SecDialog", "label", {20, 60, 360, 40}, 10, "Are you sure you want to cancel the download?");
    row("EmptyDownloadSizeDialog", "pushButton", {159, 145, 101, 30}, 0, "O K");
    row("EmptyDownloadSizeDialog", "label", {130, 60, 161, 31}, 10, "Select files to download");
    row("NotDownloadDialog", "pushButton", {99, 145, 80, 30}, 0, "Download");
    row("NotDownloadDialog", "pushButton_2", {221, 145, 80, 30}, 0, "Cancel");
    row("NotDownloadDialog", "label", {110, 70, 191, 21}, 10, "Download the file to open.");
    for (const char *cls : {"AlreadyDialog", "AlreadyDialogTreeWidget"}) {
        // Placed by their text: see replaceQuestionLayout.
        row(cls, "label", QRect(), 10, kReplaceQuestion);
        row(cls, "pushButton", QRect(), 0, "Yes");
        row(cls, "pushButton_2", QRect(), 0, "No");
        row(cls, "pushButtonOnlyNew", QRect(), 0, "Only new files");
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
    // The replace questions are as tall as their text.
    if (cls.startsWith(QLatin1String("Already")))
        QCOMPARE(dialog->width(), 400);
    else
        QCOMPARE(dialog->size(), QSize(400, 200));
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!dialog->parentWidget());
    QVERIFY(dialog->styleSheet().contains(QLatin1String("background-color: rgb(88, 96, 109)")));
    QWidget *w = dialog->findChild<QWidget *>(object);
    QVERIFY(w);
    if (geometry.isNull()) {
    } else if (w->width() == geometry.width()) {
        QCOMPARE(w->geometry(), geometry);
    } else { // widened about its centre, and only as far as its text needs
        QVERIFY2(w->width() > geometry.width(), qPrintable(QStringLiteral("%1").arg(w->width())));
        QVERIFY(qAbs(w->geometry().center().x() - geometry.center().x()) <= 1);
        QCOMPARE(w->y(), geometry.y());
        QCOMPARE(w->height(), geometry.height());
        QVERIFY(w->width() <= w->fontMetrics().horizontalAdvance(text) + 10);
    }
    QCOMPARE(w->font().family(), QStringLiteral("Arial"));
    QCOMPARE(int(w->font().weight()), int(QFont::Bold));
    if (pointSize)
        QCOMPARE(w->font().pointSize(), pointSize);
    if (auto *b = qobject_cast<QPushButton *>(w)) {
        QCOMPARE(b->text(), text);
        QCOMPARE(b->minimumSize(), QSize(80, 30));
    } else if (auto *l = qobject_cast<QLabel *>(w)) {
        QCOMPARE(l->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' ')), text);
    }
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
    QTest::newRow("Only new files in the list question") << "AlreadyDialog" << "pushButtonOnlyNew" << QByteArray(SIGNAL(DownloadNewOnly()));
    QTest::newRow("Only new files in the tree question") << "AlreadyDialogTreeWidget" << "pushButtonOnlyNew" << QByteArray(SIGNAL(DownloadNewOnlyTreeWidget()));
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
    const bool emits = button != "pushButton_2" && spy;
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

void TestDownloadDialogs::progressLines()
{
    // A 34 MB file, 13 MiB in: the bar is not stuck at 0, the lines say where it stands.
    DownloadingProgressDialog dialog;
    dialog.reset();
    dialog.setTotal(4);
    dialog.setCompleted(2);
    dialog.setCurrentFile(QStringLiteral("run1/big.tif"));
    dialog.setCurrentFileSize(34000000);
    dialog.setFileBytes(13 * 1024 * 1024);
    auto *ui = dialog.form();
    QTRY_COMPARE(ui->LABEL_BYTES->text(), QStringLiteral("13.0 MiB of 32.4 MiB"));
    QCOMPARE(ui->LABEL_FILE_COUNT->text(), QStringLiteral("file 3 of 4"));
    QCOMPARE(ui->PROGRESS->value(), 60); // 2 files and 40 % of the third, of 4
    QCOMPARE(ui->label->text(), QStringLiteral("Downloading..."));
    QCOMPARE(ui->label_2->text(), QStringLiteral("run1/big.tif"));
    dialog.reset();
    QCOMPARE(ui->PROGRESS->value(), 0);
    QVERIFY(ui->LABEL_BYTES->text().isEmpty());
    QVERIFY(ui->LABEL_FILE_COUNT->text().isEmpty());
}

void TestDownloadDialogs::progressThrottledAndTicking()
{
    DownloadingProgressDialog dialog;
    dialog.reset();
    dialog.show();
    dialog.setTotal(1);
    dialog.setCurrentFileSize(1000000);
    auto *ui = dialog.form();
    // A burst of data is drawn once now and once more shortly after, with the last figure.
    int changes = 0;
    connect(ui->PROGRESS, &QProgressBar::valueChanged, [&] { ++changes; });
    for (int i = 1; i <= 50; ++i)
        dialog.setFileBytes(i * 10000);
    QVERIFY(changes <= 1);
    QTRY_COMPARE(ui->PROGRESS->value(), 50);
    QCOMPARE(ui->LABEL_BYTES->text(), QStringLiteral("488.3 KiB of 976.6 KiB"));
    QVERIFY(changes <= 2);
    // Then nothing arrives: the silence is counted once a second without any call.
    const QRegularExpression quiet(QStringLiteral("^No data for (\\d+) s$"));
    auto seconds = [&] { return quiet.match(ui->LABEL_STATUS->text()).captured(1).toInt(); };
    QTRY_VERIFY_WITH_TIMEOUT(seconds() >= 3, 8000);
    const int first = seconds();
    QTRY_VERIFY_WITH_TIMEOUT(seconds() > first, 4000);
}

void TestDownloadDialogs::countGoesWithName()
{
    // Small files come faster than the dialog redraws its figures; the count still names
    // the file whose name is shown.
    DownloadingProgressDialog dialog;
    dialog.reset();
    dialog.show();
    dialog.setTotal(3000);
    auto *ui = dialog.form();
    for (int i = 1; i <= 422; ++i) {
        dialog.setCurrentFile(QStringLiteral("run/f%1.tif").arg(i));
        dialog.setCurrentFileSize(10);
        QCOMPARE(ui->LABEL_FILE_COUNT->text(), QStringLiteral("file %1 of 3000").arg(i));
        dialog.setCompleted(i);
    }
    QCOMPARE(ui->label_2->text(), QStringLiteral("run/f422.tif"));
}

void TestDownloadDialogs::stopConfirmedShows()
{
    DownloadingProgressDialog dialog;
    QSignalSpy cancel(dialog.cancelDialog(), &SecDialog::signalDownloadingCancel);
    dialog.reset();
    dialog.show();
    dialog.setTotal(3);
    dialog.setCurrentFileSize(-1);
    dialog.setFileBytes(100);
    QTest::mouseClick(dialog.form()->BUTTON_STOP, Qt::LeftButton);
    QVERIFY(!dialog.form()->LABEL_STATUS->text().contains(QLatin1String("Stopping")));
    QTest::mouseClick(dialog.cancelDialog()->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QCOMPARE(cancel.count(), 1);
    QVERIFY(dialog.isStopping());
    QVERIFY(dialog.form()->LABEL_STATUS->text().startsWith(QString::fromUtf8("Stopping after this file\u2026")));
    QVERIFY(dialog.form()->BUTTON_STOP->isEnabled()); // confirming again only asks again
    dialog.reset();
    QVERIFY(!dialog.isStopping());
}

void TestDownloadDialogs::textsFit_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("text"); // empty: the dialog's own
    const QString none;
    for (const QString &language : TextFit::languages()) {
        const TextFit::Speaking speaking(language);
        const QByteArray l = language.toLatin1();
        for (const char *cls : {"SecDialog", "EmptyDownloadSizeDialog", "NotDownloadDialog", "AlreadyDialog",
                                "AlreadyDialogTreeWidget", "DownloadingProgressDialog"})
            QTest::addRow("%s as built, %s", cls, l.constData()) << language << cls << "label" << none;
        // The longest the progress lines get.
        const auto tr = [](const char *text) { return QCoreApplication::translate("DownloadProgress", text); };
        const QString p = "DownloadingProgressDialog";
        const QString mib = QStringLiteral("1023.9 MiB");
        QTest::addRow("file count, %s", l.constData()) << language << p << "LABEL_FILE_COUNT"
                                                       << tr("file %1 of %2").arg(10000).arg(10000);
        QTest::addRow("bytes, %s", l.constData()) << language << p << "LABEL_BYTES" << tr("%1 of %2").arg(mib, mib);
        QTest::addRow("state, %s", l.constData())
            << language << p << "LABEL_STATUS"
            << tr("Stopping after this file\u2026") + QString::fromUtf8(" \u00b7 ")
                   + tr("No data for %1").arg(tr("%1 min %2 s").arg(59).arg(59));
        QTest::addRow("rate, %s", l.constData())
            << language << p << "LABEL_STATUS"
            << tr("%1/s").arg(mib) + QString::fromUtf8(" \u00b7 ") + tr("about %1 left").arg(tr("%1 h %2 min").arg(23).arg(59));
    }
}

void TestDownloadDialogs::textsFit()
{
    QFETCH(QString, language);
    QFETCH(QString, cls);
    QFETCH(QString, object);
    QFETCH(QString, text);
    const TextFit::Speaking speaking(language);
    std::unique_ptr<QDialog> dialog(factory(cls)());
    auto *label = dialog->findChild<QLabel *>(object);
    QVERIFY(label);
    if (!text.isEmpty())
        label->setText(text);
    QVERIFY2(TextFit::overflow(label).isEmpty(), qPrintable(TextFit::overflow(label)));
    QVERIFY(dialog->rect().contains(label->geometry()));
    for (const QPushButton *button : dialog->findChildren<QPushButton *>())
        QVERIFY2(TextFit::overflow(button).isEmpty(), qPrintable(TextFit::overflow(button)));
}

void TestDownloadDialogs::replaceQuestionLayout_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QStringList>("names"); // asked about; empty: as built
    for (const QString &language : TextFit::languages()) {
        const QByteArray l = language.toLatin1();
        for (const char *cls : {"AlreadyDialog", "AlreadyDialogTreeWidget"}) {
            QTest::addRow("%s as built, %s", cls, l.constData()) << language << cls << QStringList();
            QTest::addRow("%s, one name, %s", cls, l.constData()) << language << cls << QStringList{"a.tif"};
            QTest::addRow("%s, three names, %s", cls, l.constData())
                << language << cls << QStringList{"a.tif", "new.bin", "Calibration", kLongName};
        }
    }
}

// The three answers side by side under the whole question, and no empty band below them.
void TestDownloadDialogs::replaceQuestionLayout()
{
    QFETCH(QString, language);
    QFETCH(QString, cls);
    QFETCH(QStringList, names);
    const TextFit::Speaking speaking(language);
    QTemporaryDir local;
    for (const QString &file : {QStringLiteral("a.tif"), kLongName})
        QVERIFY(QFile(local.filePath(file)).open(QIODevice::WriteOnly));
    QVERIFY(QDir(local.path()).mkpath(QStringLiteral("Calibration")));
    std::unique_ptr<QDialog> dialog(factory(cls)());
    if (!names.isEmpty()) {
        if (auto *list = qobject_cast<AlreadyDialog *>(dialog.get()))
            list->ask(local.path(), names);
        else
            static_cast<AlreadyDialogTreeWidget *>(dialog.get())->ask(local.path(), names);
    }
    auto *label = dialog->findChild<QLabel *>("label");
    const QList<QPushButton *> row{dialog->findChild<QPushButton *>("pushButton"),
                                   dialog->findChild<QPushButton *>("pushButton_2"),
                                   dialog->findChild<QPushButton *>("pushButtonOnlyNew")};
    QVERIFY2(TextFit::overflow(label).isEmpty(), qPrintable(TextFit::overflow(label)));
    const QRect inside = dialog->rect().adjusted(8, 8, -8, -8);
    QVERIFY(inside.contains(label->geometry()));
    for (int i = 0; i < row.size(); ++i) {
        QVERIFY2(TextFit::overflow(row[i]).isEmpty(), qPrintable(TextFit::overflow(row[i])));
        QVERIFY(inside.contains(row[i]->geometry()));
        QCOMPARE(row[i]->y(), row[0]->y());
        QVERIFY(row[i]->y() > label->geometry().bottom());
        if (i > 0)
            QVERIFY(row[i]->x() >= row[i - 1]->geometry().right() + 6);
    }
    QVERIFY(dialog->height() - row[0]->geometry().bottom() <= 30);
    const QRect needed = label->fontMetrics().boundingRect(label->contentsRect(), int(label->alignment()) | Qt::TextWordWrap,
                                                           label->text());
    QVERIFY2(label->height() - needed.height() <= 20, qPrintable(QString::number(label->height() - needed.height())));
}

void TestDownloadDialogs::replaceQuestionNames_data()
{
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one file") << "AlreadyDialog" << QStringList{"new.bin", "a.tif"}
                              << QStringList{"There is already a file with the same name in this location.",
                                             "\u201ca.tif\u201d", "Do you want to replace the existing file?"};
    QTest::newRow("a folder from the tree") << "AlreadyDialogTreeWidget" << QStringList{"Calibration"}
                                            << QStringList{"There is already a folder with the same name in this location.",
                                                           "\u201cCalibration\u201d",
                                                           "Do you want to replace the existing folder?"};
    QTest::newRow("3 of 5") << "AlreadyDialog" << QStringList{"a.tif", "new.bin", "Calibration", "<b>bold", "n2"}
                            << QStringList{"There are already 3 of the 5 selected entries in this location.",
                                           "\u201ca.tif\u201d, \u201cCalibration\u201d, \u201c<b>bold\u201d",
                                           "Do you want to replace the existing entries?"};
    QTest::newRow("all of them, folders") << "AlreadyDialog" << QStringList{"Calibration", "Run 2"}
                                          << QStringList{"All 2 selected entries are already in this location.",
                                                         "\u201cCalibration\u201d, \u201cRun 2\u201d",
                                                         "Do you want to replace the existing folders?"};
    QTest::newRow("a long name is shortened in the middle") << "AlreadyDialog" << QStringList{kLongName}
                                                           << QStringList{"There is already a file with the same name in this location.",
                                                                          "\u201c2024-03-11_Run", "Do you want to replace the existing file?"};
}

void TestDownloadDialogs::replaceQuestionNames()
{
    QFETCH(QString, cls);
    QFETCH(QStringList, names);
    QFETCH(QStringList, lines);
    QTemporaryDir local;
    QVERIFY(local.isValid());
    for (const QString &file : {QStringLiteral("a.tif"), QStringLiteral("<b>bold"), kLongName})
        QVERIFY(QFile(local.filePath(file)).open(QIODevice::WriteOnly));
    QVERIFY(QDir(local.path()).mkpath(QStringLiteral("Calibration")) && QDir(local.path()).mkpath(QStringLiteral("Run 2")));
    std::unique_ptr<QDialog> dialog(factory(cls)());
    if (auto *list = qobject_cast<AlreadyDialog *>(dialog.get()))
        list->ask(local.path(), names);
    else
        static_cast<AlreadyDialogTreeWidget *>(dialog.get())->ask(local.path(), names);
    QVERIFY(dialog->isVisible());
    auto *label = dialog->findChild<QLabel *>("label");
    // The lead and the question as sentences, broken evenly where too wide: no line is a
    // lone word, except a single name.
    const QStringList shown = label->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const int namesLine = shown.indexOf(QRegularExpression(QStringLiteral("^\u201c.*")));
    QVERIFY(namesLine > 0);
    QCOMPARE(shown.mid(0, namesLine).join(QLatin1Char(' ')), lines.at(0));
    QVERIFY2(shown.at(namesLine).startsWith(lines.at(1)), qPrintable(shown.at(namesLine)));
    QCOMPARE(shown.mid(namesLine + 1).join(QLatin1Char(' ')), lines.at(2));
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY2(i == namesLine || shown.at(i).contains(QLatin1Char(' ')), qPrintable(shown.at(i)));
    QCOMPARE(label->textFormat(), Qt::PlainText); // "<b>" is part of a name, not markup
    QVERIFY2(TextFit::overflow(label).isEmpty(), qPrintable(TextFit::overflow(label)));

    // The same question in German, with German quotes, fits as well.
    const TextFit::Speaking german(QStringLiteral("de"));
    std::unique_ptr<QDialog> inGerman(factory(cls)());
    if (auto *list = qobject_cast<AlreadyDialog *>(inGerman.get()))
        list->ask(local.path(), names);
    else
        static_cast<AlreadyDialogTreeWidget *>(inGerman.get())->ask(local.path(), names);
    auto *germanLabel = inGerman->findChild<QLabel *>("label");
    QVERIFY2(germanLabel->text().contains(QString::fromUtf8("\u201e")), qPrintable(germanLabel->text()));
    QVERIFY2(TextFit::overflow(germanLabel).isEmpty(), qPrintable(TextFit::overflow(germanLabel)));
}

void TestDownloadDialogs::placement()
{
    // Over the main window, not the screen's centre; a second dialog does not hide the first.
    QMainWindow window;
    window.setGeometry(60, 50, 500, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    AlreadyDialog answered; // its "Yes" shows the progress before it closes
    answered.show();
    QCOMPARE(answered.frameGeometry().center(), window.frameGeometry().center());
    DownloadingProgressDialog progress;
    progress.reset();
    progress.show();
    answered.hide();
    QCOMPARE(progress.frameGeometry().center(), window.frameGeometry().center());
    QTest::mouseClick(progress.form()->BUTTON_STOP, Qt::LeftButton);
    QWidget *question = progress.cancelDialog();
    QVERIFY(question->isVisible());
    // The question leaves the bar in sight.
    QVERIFY(question->y() >= progress.y() + progress.form()->PROGRESS->geometry().bottom());
    NoticeDialog notice;
    notice.showNotice(QStringLiteral("The link to the instrument was lost."));
    for (QWidget *other : {static_cast<QWidget *>(&progress), question})
        QVERIFY((notice.pos() - other->pos()).manhattanLength() >= 48);
    // Shown again after the main window moved: over it again.
    progress.hide();
    window.move(200, 150);
    progress.show();
    QCOMPARE(progress.frameGeometry().center(), window.frameGeometry().center());
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
