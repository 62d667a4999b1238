#pragma once

#include "designer/PropertyFields.h"

class QCheckBox;
class QFormLayout;
class TRpCustomLabel;

// What the dialogs of text elements share: the sizing and look switches ("Autosize width", "Automatic
// word-wrap", "Transparent", "Autostretch height") and the font group. A dialog shows the switches its kind
// has and hides the others.
class TRpTextPropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TRpTextPropertyForm(QWidget *owner, TRpDesigner *designer, const QString &className,
        const QString &caption, int helpContext);

    QCheckBox *CheckAutoSize;
    QCheckBox *CheckWordWrap;
    QCheckBox *CheckTransparent;
    QCheckBox *CheckAutoStretch;
    TRpFontGroup *FontGroup;

protected:
    // The form the kind's own fields go into, above the switches.
    QFormLayout *fields() const { return m_fields; }
    // Fills the switches and the font group from an element.
    void loadText(const TRpCustomLabel &element);

private:
    QFormLayout *m_fields;
};

// The rotation field of labels and expressions: degrees shown as `Degree` / 10, up/down 0 to 360.
class TRpRotationEdit : public TRpNumberEdit
{
    Q_OBJECT

public:
    explicit TRpRotationEdit(QWidget *parent = nullptr);

    void setDegree(int tenths);
    // The typed degrees times 10, rounded to the nearest whole number (a half to the even one); false for a
    // text that does not convert, a negative number or one beyond the 16 bits `Degree` holds.
    bool degree(ushort &tenths) const;
    static bool degreeFromText(const QString &text, ushort &tenths);
};
