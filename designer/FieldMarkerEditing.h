#pragma once

#include <QString>

class QTextCursor;
class QWidget;
class TRpDesigner;

// The expression and empty-line buttons of the memo and rich-text dialogs.
namespace FieldMarkerEditing {

// "&Expression...": the selection of the editor (a plain or a rich text edit) goes through the clipboard,
// emptied first, into the expression wizard; an expression it returns replaces the selection as a field
// ("%%", the expression, made a text when it gives none, "%%"), pasted through the clipboard, which keeps
// it. True when a field was pasted.
bool insertExpression(QWidget *editor, TRpDesigner *designer);

// A line with the "%DEL" marker toggled: a marked line loses the marker and nothing else, any other line
// gets it in front.
QString toggledRemoveMark(const QString &line);
// "&Remove line if empty" of the memo: toggles the marker of the line holding the cursor.
void toggleRemoveMark(const QTextCursor &cursor);
// "Remove line if empty" of rich text: the marker goes at the start of the line holding the cursor.
void insertRemoveMark(const QTextCursor &cursor);

} // namespace FieldMarkerEditing
