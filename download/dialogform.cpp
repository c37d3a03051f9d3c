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
    // Taller than the other dialogs: the third answer sits under "Yes" and "No".
    dialog->resize(400, 220);
    dialog->setStyleSheet(QLatin1String(Style::kDialogStyle));
    ReplaceQuestion form;
    auto makeLabel = [&] {
        // The whole width and the space above the buttons, centred and wrapped: the
        // question's first line alone is wider than a 371-pixel label.
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
    form.onlyNew = button(dialog, "pushButtonOnlyNew", QRect(99, 180, 202, 30),
                          QDialog::tr("Only new files"));
    form.onlyNew->setToolTip(QDialog::tr("Download only the files that are not in the download "
                                         "folder yet (compared by name)"));
    DialogPlacement::follow(dialog);
    return form;
}

void askReplace(QDialog *dialog, QLabel *label, const QString &localFolder,
                const QStringList &names)
{
    QList<::ReplaceQuestion::Entry> found = ::ReplaceQuestion::existing(localFolder, names);
    if (found.isEmpty()) // gone meanwhile: still ask, in the general words
        setReplaceText(label, ::ReplaceQuestion::text({{QString(), false}}, 1), Qt::ElideNone);
    else
        setReplaceText(label, ::ReplaceQuestion::text(found, names.size()),
                       found.size() == 1 ? Qt::ElideMiddle : Qt::ElideRight);
    dialog->show();
    dialog->raise();
}

} // namespace DialogForm
