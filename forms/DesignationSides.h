#pragma once

#include <QString>

class QDialog;
class TDataModule1;
class TDataSource;
class TMemTable;
class TStringField;

// The income and the expense designation lists are twins: the same list window and editor dialog over
// another table with other texts. A side names what differs.
struct DesignationSide
{
    // Caption and title of the list window.
    QString listCaption;
    TMemTable *TDataModule1::*table;
    TDataSource *TDataModule1::*source;
    TStringField *TDataModule1::*descriptionField;
    QString columnTitle;
    int columnWidth;
    // The editor dialog.
    QString addingCaption;
    QString editingCaption;
    QString storedCaption; // replaced before every showing
    QString editorTitle;
    QString fieldCaption;
    QDialog *(*editor)();
    // The list window, which the entry windows show.
    QDialog *(*list)();
};

const DesignationSide &incomeDesignations();
const DesignationSide &expenceDesignations();
