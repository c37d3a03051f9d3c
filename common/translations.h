#pragma once
#include <QString>

class QCoreApplication;

// The program speaks German where the desktop's language is German, and English elsewhere.
// Texts sent to the instrument never pass through here.
namespace Translations {

// The language the desktop asks the program's texts to be in: "de" or "en".
QString desktopLanguage();

// Installs the program's own translations and Qt's (the standard dialogs' buttons and
// the file chooser) for `language` ("de" or "en"), replacing any installed before; English
// needs none. Windows made afterwards use the language. False, with a warning, when the
// program's own German could not be loaded.
bool install(QCoreApplication *app, const QString &language);

// The language last installed ("en" before any): what help and other texts outside the
// translators should be shown in.
QString current();

} // namespace Translations
