#pragma once

#include "designer/TextPropertyForm.h"

#include <QPointer>
#include <QStringList>

class QLineEdit;
class QPushButton;
class TRpDBText;

// The data field dialog ("Datafield"). For one element: data set and field, display format, the value map,
// the suppression of repeated and zero values, the switches, alignment, font and colour. For several
// selected elements of any kinds: the switches as three-state boxes, the format, alignment and colour, each
// written only where the user decided it, by property name, so kinds without a property keep theirs.
class TDBTextPropertyForm : public TRpTextPropertyForm
{
    Q_OBJECT

public:
    TDBTextPropertyForm(QWidget *owner, TRpDesigner *designer);

    TRpDataFieldChooser *DataField;
    QLineEdit *EFormat;
    QCheckBox *CheckSuppress;
    QCheckBox *CheckReprintPage;
    QCheckBox *CheckReprintGroup;
    QCheckBox *CheckBlankIfZero;
    QPushButton *BMap;

    void load(TRpDBText &element);
    void apply(TRpDBText &element) const;
    // The several-elements form: nothing decided.
    void loadSeveral();
    // Writes what was decided to one of several elements.
    void applyTo(QObject *element) const;
    QStringList mapList() const { return m_mapList; }

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpDBText *element);
    // The dialog for the selection: every selected element without "BlockEdit", in selection order.
    static bool EditSeveral(QWidget *owner, TRpDesigner *designer);

private:
    void showTitle();
    void followField();
    void followSuppress();
    QList<QCheckBox *> switches() const;

    QPointer<TRpDBText> m_element;
    QStringList m_mapList;
};
