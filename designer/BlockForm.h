#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class TRpDesigner;

// The element options dialog ("Options" from the context menu): the name, hint, position and size of one
// element (or of all selected ones), its locks and its design-mode aids.
class TBlockForm : public QDialog
{
    Q_OBJECT

public:
    explicit TBlockForm(QWidget *owner);

    QLineEdit *EName;
    QLineEdit *EHint;
    QLineEdit *ELeft;
    QLineEdit *ETop;
    QLineEdit *EWidth;
    QLineEdit *EHeight;
    QCheckBox *CheckChange;
    QCheckBox *CheckEdit;
    QCheckBox *CheckMove;
    QCheckBox *CheckResize;
    QCheckBox *CheckDelete;
    QCheckBox *CheckFixBottom;
    QCheckBox *CheckStretch;

    // Enables the fields for what the items allow.
    void updateFields();

    bool bandOnly = false;
    bool lockedMove = false;
    bool lockedResize = false;
};

// Opens the dialog for the selection and applies it on OK: true then.
bool ShowBlockOptions(QWidget *owner, TRpDesigner *designer);

// Renames an item, then rewrites the report script's lines that address it ("[Old." becomes "[New.", whole
// names, letter case as it stands). A name that is no identifier or that another component of the design
// has is refused (false) and nothing changes.
bool RenameDesignItem(TRpDesigner *designer, QObject *item, const QString &name);
// The script after a rename: lines starting with "[", the old name and "." take the new name; nothing else
// changes and no line is cut.
QStringList renamedScript(const QStringList &script, const QString &oldName, const QString &newName);
