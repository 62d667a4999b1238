#pragma once

#include <QString>
#include <QStringList>

// The script text a designed report keeps: lines stored, loaded and copied with the report, never run. A
// section belonging to an element begins with a line made of "[", the element's name, "." and the event's
// name.
namespace RpReportScript {

// Rewrites every line that begins with "[", exactly the old name and "." to begin with "[", the new name
// and "." instead (the rest of the line kept, the whole line cut at 255 characters); a line naming an
// element whose name merely begins with the old name, or differs in letter case, stays. Returns the number
// of lines rewritten.
int renameSections(QStringList &script, const QString &oldName, const QString &newName);

// Whether the script has a section of that name, ignoring case (the script indicator of bands and reports).
bool hasSection(const QStringList &script, const QString &name);

// Elements whose renaming leaves the script alone: the wizard's label bands.
bool keepsScriptOnRename(const QString &name);

} // namespace RpReportScript
