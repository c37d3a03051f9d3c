#include "download/dialogform.h"

#include "app/dialogplacement.h"
#include "app/style.h"
#include "download/replacequestion.h"

#include <QFontMetrics>

namespace DialogForm {

namespace {
void setReplaceText(QLabel *label, const ::ReplaceQuestion::Text &text, Qt::TextElideMode elide)
{
    QStringList lines{text.lead};
    if (!text.names.isEmpty()) {
        // Some room is kept so the wrapping never takes the shortened names apart.
        const int width = label->contentsRect().width() - 8;
        lines << QFontMetrics(label->font()).elidedText(text.names, elide, width);
    }
    lines << text.question;
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
