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

// A check box on the dark background: a white box with a dark tick, so that ticked and not
// ticked differ by a mark and not by colour alone, and the box stands out from the panel.
inline constexpr char kCheckBoxStyle[] =
    "QCheckBox {\n\tcolor: rgb(255, 255, 255);\n}\n"
    "QCheckBox::indicator {\n\twidth: 13px;\n\theight: 13px;\n"
    "\tborder: 1px solid rgb(255, 255, 255);\n\tbackground-color: rgb(255, 255, 255);\n}\n"
    "QCheckBox::indicator:checked {\n\timage: url(:/style/tick.png);\n}\n"
    "QCheckBox::indicator:focus {\n\tborder: 1px solid rgb(255, 210, 0);\n}\n"
    "QCheckBox::indicator:disabled {\n\tbackground-color: rgb(163, 170, 180);\n}\n";

#undef TARVELO_TEXT_BUTTON_RULES
#undef TARVELO_DIALOG_RULE
#undef TARVELO_LABEL_RULE

// The menu bar and every menu, context menus included: dark, white text, and a highlight
// that follows the mouse and the arrow keys alike. Set on each menu itself, so that no
// broader sheet (the central area's background) can reach in and hide the highlight.
inline constexpr char kMenuBarStyle[] =
    "QMenuBar {\n\tbackground-color: rgb(88, 96, 109);\n\tcolor: rgb(255, 255, 255);\n"
    "\tfont-family: 'Arial';\n}\n"
    "QMenuBar::item {\n\tbackground: transparent;\n\tpadding: 5px 10px;\n}\n"
    "QMenuBar::item:selected {\n\tbackground-color: rgb(67, 78, 93);\n}\n"
    "QMenuBar::item:pressed {\n\tbackground-color: rgb(43, 49, 58);\n}\n";
inline constexpr char kMenuStyle[] =
    "QMenu {\n\tbackground-color: rgb(67, 78, 93);\n\tcolor: rgb(255, 255, 255);\n"
    "\tborder: 1px solid rgb(163, 170, 180);\n\tpadding: 4px 0px;\n\tfont-family: 'Arial';\n}\n"
    "QMenu::item {\n\tbackground: transparent;\n\tpadding: 6px 28px 6px 14px;\n"
    "\tborder-left: 4px solid transparent;\n}\n"
    "QMenu::item:selected {\n\tbackground-color: rgb(43, 49, 58);\n"
    "\tborder-left: 4px solid rgb(69, 181, 221);\n}\n"
    "QMenu::item:disabled {\n\tcolor: rgb(122, 130, 146);\n}\n"
    "QMenu::item:disabled:selected {\n\tbackground: transparent;\n"
    "\tborder-left: 4px solid rgb(122, 130, 146);\n}\n";

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
