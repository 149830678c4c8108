// The game speaks German, and so do Qt's own dialogs and buttons (file
// dialogs, "Abbrechen", "Öffnen"), whatever the desktop's language.
#pragma once

// Makes German the default locale and installs Qt's German translations,
// which address the player as "Du", as the game does.
// False when Qt's translation files are missing (the dialogs then stay
// English); call it after the QApplication exists.
bool installGermanTranslations();
