#pragma once
// The shared dark look: style sheets used by more than one window.

#include <QString>

namespace Style {

#define TARVELO_TEXT_BUTTON_RULES                                                           \
    "QPushButton {\n\tbackground: transparent;\n\tborder: 1px solid rgb(255, 255, 255);\n"  \
    "\tbackground-color: rgb(93, 102, 117);\n\tcolor: rgb(255, 255, 255);\n}\n"             \
    "QPushButton:pressed {\n\tborder: 1px solid rgb(255, 255, 255);\n"                      \
    "\tbackground-color: rgb(43, 49, 58);\n\tcolor: rgb(122, 130, 146);\n}\n"               \
    "QPushButton:disabled {\n\tborder: 1px solid rgb(255, 255, 255);\n"                     \
    "\tbackground-color: rgb(78, 86, 99);\n\tcolor: rgb(122, 130, 146);\n}\n"
#define TARVELO_DIALOG_RULE \
    "QDialog {\n\tbackground-color: rgb(88, 96, 109);\n\tborder: 1px solid rgb(255, 255, 255);\n}\n"
#define TARVELO_LABEL_RULE "QLabel {\n\tcolor: rgb(255, 255, 255);\n}\n"

inline constexpr char kTextButtonStyle[] = TARVELO_TEXT_BUTTON_RULES;
inline constexpr char kDialogStyle[] = TARVELO_TEXT_BUTTON_RULES TARVELO_DIALOG_RULE;
inline constexpr char kLabelDialogStyle[] =
    TARVELO_TEXT_BUTTON_RULES TARVELO_LABEL_RULE TARVELO_DIALOG_RULE;
inline constexpr char kLabelButtonStyle[] = TARVELO_TEXT_BUTTON_RULES TARVELO_LABEL_RULE;

#undef TARVELO_TEXT_BUTTON_RULES
#undef TARVELO_DIALOG_RULE
#undef TARVELO_LABEL_RULE

// Three-state image button: "<base> 1.png" normal, "<base> 2.png" pressed, "<base>_d.png"
// disabled. selector is e.g. "QPushButton" or "QPushButton#pushButton".
inline QString imageButtonStyle(const QString &selector, const QString &base)
{
    return QStringLiteral("%1 {\n\tborder: none;\n\timage: url(://icon/%2 1.png);\n}\n"
                          "%1:pressed {\n\tborder: none;\n\timage: url(://icon/%2 2.png);\n}\n"
                          "%1:disabled {\n\tborder: none;\n\timage: url(://icon/%2_d.png);\n}\n")
        .arg(selector, base);
}

} // namespace Style
