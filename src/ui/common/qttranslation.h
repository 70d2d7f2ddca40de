#pragma once

// Qt's own texts (the file dialogs, the edit fields' context menus, the standard buttons) in
// Czech, from the translations installed with Qt. Without them installed Qt stays in English.
// Called once, right after the application object exists.
void installCzechQtTexts();
