#include "download/dialogform.h"

#include "common/dialogplacement.h"
#include "common/style.h"
#include "transfer/replacequestion.h"

#include <QFontMetrics>

namespace DialogForm {

namespace {
// A sentence too wide for one line is broken where its two halves come out most even, not
// with a lone word on the second line; wider than two lines, the label's wrapping takes over.
QString balanced(const QFontMetrics &metrics, const QString &text, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    int best = -1;
    int bestWidth = 0;
    for (int i = text.indexOf(QLatin1Char(' ')); i > 0; i = text.indexOf(QLatin1Char(' '), i + 1)) {
        const int wider = qMax(metrics.horizontalAdvance(text.left(i)),
                               metrics.horizontalAdvance(text.mid(i + 1)));
        if (wider <= width && (best < 0 || wider < bestWidth)) {
            best = i;
            bestWidth = wider;
        }
    }
    return best < 0 ? text : text.left(best) + QLatin1Char('\n') + text.mid(best + 1);
}

void setReplaceText(QLabel *label, const ::ReplaceQuestion::Text &text, Qt::TextElideMode elide)
{
    const QFontMetrics metrics(label->font());
    // Some room is kept so the wrapping never takes a line apart that was made to fit.
    const int width = label->contentsRect().width() - 8;
    QStringList lines{balanced(metrics, text.lead, width)};
    if (!text.names.isEmpty())
        lines << metrics.elidedText(text.names, elide, width);
    // A blank line sets the question off from what it is about.
    lines << QString() << balanced(metrics, text.question, width);
    label->setText(lines.join(QLatin1Char('\n')));
}
} // namespace

ReplaceQuestion buildReplaceQuestion(QDialog *dialog, const QString &yes, const QString &no,
                                     CreationOrder order)
{
    dialog->resize(400, 200);
    dialog->setStyleSheet(QLatin1String(Style::kDialogStyle));
    ReplaceQuestion form;
    auto makeLabel = [&] {
        // The whole width, centred and wrapped: the question's first line alone is wider
        // than a 371-pixel label.
        form.label = label(dialog, "label", QRect(15, 20, 370, 118), QString());
        form.label->setStyleSheet(QLatin1String(Style::kLabelButtonStyle));
        form.label->setAlignment(Qt::AlignCenter);
        form.label->setWordWrap(true);
        form.label->setTextFormat(Qt::PlainText); // names are the instrument's, not markup
        setReplaceText(form.label, ::ReplaceQuestion::text({{QString(), false}}, 1), Qt::ElideNone);
    };
    auto makeYes = [&] { form.pushButton = button(dialog, "pushButton", QRect(99, 145, 80, 30), yes); };
    auto makeNo = [&] { form.pushButton_2 = button(dialog, "pushButton_2", QRect(221, 145, 80, 30), no); };
    if (order == CreationOrder::LabelYesNo) {
        makeLabel();
        makeYes();
        makeNo();
    } else {
        makeNo();
        makeLabel();
        makeYes();
    }
    form.onlyNew = button(dialog, "pushButtonOnlyNew", QRect(99, 180, 130, 30),
                          QDialog::tr("Only new files"));
    form.onlyNew->setToolTip(QDialog::tr("Download only the files that are not in the download "
                                         "folder yet (compared by name)"));
    fitReplaceQuestion(dialog, form);
    DialogPlacement::follow(dialog);
    return form;
}

// The question as tall as its text, the three answers in one row under it, the dialog
// around both; wider than the usual 400 pixels only when the answers need it.
void fitReplaceQuestion(QDialog *dialog, const ReplaceQuestion &form)
{
    constexpr int kMargin = 15;
    constexpr int kGap = 10;
    const QList<QPushButton *> row{form.pushButton, form.pushButton_2, form.onlyNew};
    int rowWidth = -kGap;
    for (QPushButton *b : row) {
        b->resize(qMax(b->minimumWidth(), b->fontMetrics().horizontalAdvance(b->text()) + 3 * kTextMargin),
                  b->height());
        rowWidth += b->width() + kGap;
    }
    const int width = qMax(400, rowWidth + 2 * kMargin);
    const int labelWidth = width - 2 * kMargin;
    form.label->resize(labelWidth, form.label->height());
    const int textHeight = form.label->heightForWidth(labelWidth);
    form.label->setGeometry(kMargin, 20, labelWidth, qMax(40, textHeight + 8));
    const int rowTop = form.label->geometry().bottom() + 1 + 12;
    int x = (width - rowWidth) / 2;
    for (QPushButton *b : row) {
        b->move(x, rowTop);
        x += b->width() + kGap;
    }
    dialog->setFixedSize(width, rowTop + form.pushButton->height() + 20);
}

void askReplace(QDialog *dialog, const ReplaceQuestion &form, const QString &localFolder,
                const QStringList &names)
{
    QList<::ReplaceQuestion::Entry> found = ::ReplaceQuestion::existing(localFolder, names);
    if (found.isEmpty()) // gone meanwhile: still ask, in the general words
        setReplaceText(form.label, ::ReplaceQuestion::text({{QString(), false}}, 1), Qt::ElideNone);
    else
        setReplaceText(form.label, ::ReplaceQuestion::text(found, names.size()),
                       found.size() == 1 ? Qt::ElideMiddle : Qt::ElideRight);
    fitReplaceQuestion(dialog, form);
    dialog->show();
    dialog->raise();
}

} // namespace DialogForm
