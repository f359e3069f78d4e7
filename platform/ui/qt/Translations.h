#pragma once
// Qt's own pieces (the colour chooser, an edit's context menu) speak Simplified Chinese, as every
// word of the program does, whatever the desktop's locale.

// Loads Qt's Simplified Chinese translations into the application once; safe to call again.
// Without the translation files installed, Qt's pieces stay in English.
void InstallChineseTranslations();
