#pragma once

#include <QString>
#include <functional>

// The message boxes report expressions show (OKBOX, OKCANCELBOX, YESNOBOX): an information box with its
// text and buttons. The window layer installs the function that shows one; without one (the command-line
// tools, a run without a screen) every box answers with its affirmative button, OK or Yes.
namespace RpScriptMessages {

enum class Buttons { Ok, OkCancel, YesNo };

// Returns true when the affirmative button (OK or Yes) was pressed.
using MessageBoxFunction = std::function<bool(const QString &text, Buttons buttons)>;

// Installs the function that shows the boxes; an empty function goes back to answering without a screen.
void setMessageBox(MessageBoxFunction show);
bool showMessage(const QString &text, Buttons buttons);

} // namespace RpScriptMessages
