// Qt's own Japanese texts (Debian's qt6-translations-l10n), so that the
// standard dialogs — the folder chooser, the file boxes, the buttons of the
// message boxes — speak the language of the windows.
#pragma once

class QCoreApplication;

// Installs the Japanese translation of Qt's base texts into App, whatever the
// user's locale; false when it is not installed on this system.
bool InstallQtTranslations(QCoreApplication& App);
