#pragma once

#include "designer/RpDesigner.h"

#include <functional>
#include <span>

class QMetaObject;
class QWidget;

// Which property dialog edits which kind: the dispatch the designer window runs when an element, a band or
// the report is to be edited.
namespace PropertyDialogs {

// One line of the dispatch, in the order the kinds are tested (a derived kind before its base).
struct DialogKind
{
    const char *kind;
    const char *dialogClass;
    const char *caption;
    int helpContext; // 0: none
};
std::span<const DialogKind> dialogKinds();

// An editor of an element kind a host registers; tested before every kind of the program. True on OK.
using ExtraEditor = std::function<bool(QWidget *owner, TRpDesigner *designer, QObject *item)>;
void registerExtraEditor(const QMetaObject *kind, ExtraEditor editor);
void unregisterExtraEditor(const QMetaObject *kind);

// Opens the dialog of the item's kind: Accepted (OK), Cancelled, or NoDialog for a kind without one.
EditResult EditItem(QWidget *owner, TRpDesigner *designer, QObject *item);

// The wizard the "..." buttons open, without heading: the designer's expression wizard over the report's
// available tables and its variables; without a designer, the engine's wizard over the application's tables.
bool OpenWizard(QWidget *owner, TRpDesigner *designer, QString &expression);

// The dialog the designer window's engine opens for its items: installed as its OnEditProperties.
void install(TRpDesigner *designer, QWidget *owner);

} // namespace PropertyDialogs
