#include "help/aboutdialog.h"

#include <QtTest>
#include <QPlainTextEdit>
#include <QPushButton>

class tst_AboutDialog : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void closing_data();
    void closing();
};

void tst_AboutDialog::text_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("pattern");
    // The width is this build's own: 64 on a 64-bit build.
    QTest::newRow("version and bit width")
        << 0 << QStringLiteral("^Version: v1\\.2\\.0 \\(%1-bit\\)$").arg(QSysInfo::WordSize);
    QTest::newRow("company and product") << 1 << QString::fromUtf8("^Halvorine TARVELO™ Utility$");
    QTest::newRow("rights") << 2 << QString::fromUtf8("^Copyright © 20\\d\\d Halvorine\\. All rights reserved\\.$");
}

void tst_AboutDialog::text()
{
    QFETCH(int, line);
    QFETCH(QString, pattern);
    AboutDialog dialog;
    auto *edit = dialog.findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit"));
    QVERIFY(edit);
    const QStringList lines = edit->toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QVERIFY2(QRegularExpression(pattern).match(lines.at(line)).hasMatch(), qPrintable(lines.at(line)));
}

void tst_AboutDialog::closing_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("Close button") << false;
    QTest::newRow("Escape key") << true;
}

void tst_AboutDialog::closing()
{
    QFETCH(bool, byEscape);
    AboutDialog dialog;
    auto *edit = dialog.findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit"));
    auto *close = dialog.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QVERIFY(edit && close);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    const QString text = edit->toPlainText();
    // Shown and hidden twice: the box is reused and keeps its text.
    for (int round = 0; round < 2; ++round) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        if (byEscape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(close, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(edit->toPlainText(), text);
    }
}

QTEST_MAIN(tst_AboutDialog)
#include "tst_aboutdialog.moc"
