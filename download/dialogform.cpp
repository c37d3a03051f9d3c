#include "download/dialogform.h"

#include "common/style.h"

namespace DialogForm {

ReplaceQuestion buildReplaceQuestion(QDialog *dialog, const QString &question,
                                     const QString &yes, const QString &no, CreationOrder order)
{
    dialog->resize(400, 200);
    dialog->setStyleSheet(QLatin1String(Style::kDialogStyle));
    ReplaceQuestion form;
    auto makeLabel = [&] {
        form.label = label(dialog, "label", QRect(10, 70, 371, 31), question);
        form.label->setStyleSheet(QLatin1String(Style::kLabelButtonStyle));
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
    return form;
}

} // namespace DialogForm
