#pragma once
// The program's dialog templates. The main screen picture and the icon are embedded beside them
// and need no registering.

#include "platform/ui/DialogTemplate.h"

// Makes every template of the program known to the framework; safe to call more than once.
void RegisterProgramResources();

// The template tables themselves, for tests that check them.
const DialogTemplate& MainMenuTemplate();
std::span<const DialogTemplate* const> ProgramTemplates();
