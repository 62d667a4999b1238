#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class TDataSet;
class TField;
class TRpDesigner;

// The fields dialog of a table: its listable fields in field order, with "&Add" (a hidden field made visible
// again), "&Delete" (the field hidden), "&Edit" (label and format), and the up and down buttons that change
// the field order. A table that belongs to neither the designer nor a data module is only shown.
class TFieldPropertyForm : public QDialog
{
    Q_OBJECT

public:
    TFieldPropertyForm(TRpDesigner &engine, TDataSet &dataSet, bool changeable, QWidget *parent = nullptr);

    QListWidget *ListFields;
    QPushButton *BAdd;
    QPushButton *BDelete;
    QPushButton *BEdit;
    QPushButton *BUp;
    QPushButton *BDown;
    QPushButton *BAddCalculated;
    QPushButton *BAddLookup;
    QPushButton *BOK;

    // The fields "&Add" offers: those not listed.
    QStringList hiddenFields() const;
    // Makes the named hidden field visible again and lists it.
    void showField(const QString &fieldName);
    void addClick();
    void deleteClick();
    void editClick();
    void moveClick(int delta);
    void fill();

private:
    TField *selectedField() const;
    void updateButtons();

    TRpDesigner &m_engine;
    TDataSet &m_dataSet;
    bool m_changeable;
};

// The plain field dialog of "&Edit": "Label:", "Format:" for fields that are shown through a format and
// "Precision:" (digits only) for floating-point fields; a precision left empty changes nothing.
class TFieldLabelForm : public QDialog
{
    Q_OBJECT

public:
    TFieldLabelForm(TField &field, QWidget *parent = nullptr);

    QLineEdit *ELabel;
    QLineEdit *EFormat;
    QLineEdit *EPrecision;
    void apply();

private:
    TField &m_field;
};
