#pragma once

#include "platform/Colors.h"
#include "report/model/ReportTypes.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <QGroupBox>
#include <QPointer>
#include <functional>
#include <memory>
#include <span>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class ReportFont;
class RpMessageTable;
class TCustomRpReport;
class TField;
class TRpCustomBand;
class TRpDesigner;
class TRpFrame;

// The pieces every property dialog of the designer is built from, each written once: the dialog base, number
// fields, choice lists from the message table, band and master lists, the frame group, the font group and
// expression fields with their wizard button.

// ---------------------------------------------------------------- the dialog base

// A property dialog: made for one call with the designer window as owner, translated by the language file
// under its class name without the leading "T", OK and Cancel at the bottom. F1 opens its help topic.
class TRpPropertyForm : public QDialog
{
    Q_OBJECT

public:
    // `helpContext` 0: the dialog has no help topic.
    TRpPropertyForm(QWidget *owner, TRpDesigner *designer, const QString &className, const QString &caption,
        int helpContext);

    TRpDesigner *designer() const { return m_designer; }
    const RpMessageTable &messages() const;
    int helpContext() const { return m_helpContext; }
    // The language file section: the class name without its leading "T".
    QString section() const { return m_section; }

    QDialogButtonBox *Buttons = nullptr;

protected:
    // The area the dialog's own controls go into, above the buttons.
    QVBoxLayout *content() const { return m_content; }
    // Called by each dialog once its controls exist: the language file translates them.
    void translate();
    void keyPressEvent(QKeyEvent *event) override;

private:
    TRpDesigner *m_designer;
    QString m_section;
    int m_helpContext;
    QVBoxLayout *m_content;
};

// ---------------------------------------------------------------- number fields

// A number field with up/down buttons. Typing is filtered by key: digits, and for lengths the decimal
// separator ("." and "," typed become the regional one); control keys pass. "Up" adds 1, "down" subtracts 1,
// within the step range. Reading never raises: a text that does not convert is reported as such, and the
// caller leaves its property alone.
class TRpNumberEdit : public QAbstractSpinBox
{
    Q_OBJECT

public:
    enum class Typing { Decimal, Digits, NonZeroDigits };

    explicit TRpNumberEdit(Typing typing, QWidget *parent = nullptr);

    void setStepRange(double minimum, double maximum);
    // At most this many characters may be typed (0: no limit); the up/down buttons may go beyond.
    void setMaxTypedLength(int length) { m_maxTyped = length; }

    QString text() const;
    void setText(const QString &text);
    // The value with at most two decimals and the regional decimal separator.
    void setNumber(double value);
    bool number(double &value) const;
    bool whole(int &value) const;

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &position) const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Typing m_typing;
    double m_minimum = 0;
    double m_maximum = 1e9;
    int m_maxTyped = 0;
};

// A value in report units as the dialogs show it: rounded to two decimals, the regional separator, no
// trailing zeros.
QString lengthText(double value);
// A typed value back; false when it does not convert.
bool readLength(const QString &text, double &value);
// The label shown beside a length in the unit: "mm", "Inches", "Pixels", "Chars", nothing for native units.
QString unitLabelText(TRpUnit unit);

// ---------------------------------------------------------------- choice lists

// One entry of a choice list: the message table key of its text and the value it stands for.
struct RpChoice
{
    const char *key;
    int value;
};

namespace PropertyChoices {

// Band types in list order; the loop band and the strings band stand as kLoopBand and kStringsBand.
inline constexpr int kLoopBand = -1;
inline constexpr int kStringsBand = -2;
std::span<const RpChoice> bandTypes();
std::span<const RpChoice> lineStyles();
std::span<const RpChoice> shapes();
std::span<const RpChoice> brushes();
std::span<const RpChoice> penModes();
std::span<const RpChoice> systemData();

// Fills the list with the texts of the keys, looked up in the message table.
void fill(QComboBox *combo, std::span<const RpChoice> choices, const RpMessageTable &messages);
// The position of a value, or -1.
int positionOf(std::span<const RpChoice> choices, int value);
// The value at a position, or `fallback` outside the list.
int valueAt(std::span<const RpChoice> choices, int position, int fallback);

// Text alignment: "Left", "Right", "Centered".
void fillAlignments(QComboBox *combo);
int alignmentPosition(Rp::TAlignment alignment);
Rp::TAlignment alignmentAt(int position);

} // namespace PropertyChoices

// ---------------------------------------------------------------- band and master lists

namespace BandLists {

// A band as lists show it: its name, or "-?-" when it has none.
QString bandCaption(const QObject *band);
// The report as master lists show it: the name of its data set, or "Report" when it has none.
QString reportCaption(const TCustomRpReport *report);

// The entry "None" of the message table ("(NONE)"), then the bands; the current one selected (else "None").
void fill(QComboBox *combo, const QList<TRpCustomBand *> &bands, const QObject *current,
    const RpMessageTable &messages);
// Adds a band to a filled list and selects it.
void addAndSelect(QComboBox *combo, TRpCustomBand *band);
// The object behind the chosen entry; null for "None" or a band that is gone.
QObject *chosen(const QComboBox *combo);

// Every band of the report but `except`, in the report's order.
QList<TRpCustomBand *> otherBands(const TCustomRpReport *report, const QObject *except);
// The plain bands (kind TRpBand) of the report but `except`.
QList<TRpCustomBand *> plainBands(const TCustomRpReport *report, const QObject *except);

// Expression elements and group bands: "None", the report, then every sub-detail band of the report but
// `except`; the current master selected, else "None".
void fillElementMasters(QComboBox *combo, TCustomRpReport *report, const QObject *except,
    const QObject *current, const RpMessageTable &messages);
// Loop and strings bands: the report (selected unless another entry matches), then every loop, strings and
// sub-detail band of the report but `except`.
void fillLoopMasters(
    QComboBox *combo, TCustomRpReport *report, const QObject *except, const QObject *current);

} // namespace BandLists

// ---------------------------------------------------------------- the frame group

// The frame of a band: sides "Top", "Bottom", "Left", "Right", the line width (whole numbers, up/down 1 to
// 32000), the line style and the line colour (a private copy until the dialog writes it).
class TRpFrameGroup : public QGroupBox
{
    Q_OBJECT

public:
    TRpFrameGroup(const RpMessageTable &messages, QWidget *parent = nullptr);

    QCheckBox *CheckTop;
    QCheckBox *CheckBottom;
    QCheckBox *CheckLeft;
    QCheckBox *CheckRight;
    TRpNumberEdit *EFrameWidth;
    QComboBox *ComboFrameStyle;
    QPushButton *BFrameColor;

    void load(const TRpFrame &frame);
    // Sides, colour, width (left as it was when the field does not convert) and style.
    void writeTo(TRpFrame &frame) const;
    TColor frameColor() const { return m_color; }
    void setFrameColor(TColor color) { m_color = color; }

private:
    TColor m_color = clBlack;
};

// ---------------------------------------------------------------- the font group

// Alignment, font and colours of a text element: the font ("&Font...", the font colour with "Font
// co&lor...") and the background colour ("&Color...") are private copies until the dialog writes them. In
// the several-elements form nothing is decided: no alignment, no colour, and the font cannot be chosen.
class TRpFontGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit TRpFontGroup(QWidget *parent = nullptr);
    ~TRpFontGroup() override;

    QComboBox *ComboAlignment;
    QPushButton *BFont;
    QPushButton *BFontColor;
    QPushButton *BColor;
    QLabel *LSample;

    void load(const ReportFont &font, TColor color, Rp::TAlignment alignment);
    void setUndecided();
    void setAlignmentShown(bool shown);
    void setColorShown(bool shown);

    const ReportFont &font() const { return *m_font; }
    void writeFont(ReportFont &font) const;
    bool colorChosen() const { return m_colorChosen; }
    TColor color() const { return m_color; }
    // -1 while no alignment is chosen.
    int alignmentPosition() const;
    Rp::TAlignment alignment() const;

private:
    void showSample();

    std::unique_ptr<ReportFont> m_font;
    TColor m_color = clWhite;
    bool m_colorChosen = true;
};

// ---------------------------------------------------------------- expressions

namespace ExpressionWizard {

// Opens the expression wizard on a text, without heading and environment: true and the edited expression,
// or false (the text is then left alone by the caller).
using Function = std::function<bool(QWidget *owner, TRpDesigner *designer, QString &expression)>;

// The wizard the "..." buttons open; installed by the designer, replaced by tests.
void install(Function function);
bool ask(QWidget *owner, TRpDesigner *designer, QString &expression);
// Whether the expression gives a text, tried out against the designer's data sets.
bool givesText(TRpDesigner *designer, const QString &expression);
// The field a memo or rich text gets for an expression: the expression, made a text with STR( ) when it
// gives none, between "%%" marks.
QString fieldFor(TRpDesigner *designer, const QString &expression);

} // namespace ExpressionWizard

// An expression field with its "..." button, which opens the wizard on the field's text and takes the
// result only when the wizard returns true.
class TRpExpressionEdit : public QWidget
{
    Q_OBJECT

public:
    TRpExpressionEdit(TRpDesigner *designer, const QString &name, QWidget *parent = nullptr);

    QLineEdit *Edit;
    QToolButton *BWizard;

    QString text() const;
    void setText(const QString &text);

private:
    TRpDesigner *m_designer;
};

// ---------------------------------------------------------------- data set and field lists

// The data set and field of a data element. The data sets are those the designer offers; with fewer than
// two the list is hidden and an element without a data set takes the only one. Each data set shows as its
// display label ("name=label" lines of the designer's DatasetDisplayLabels) or its name; each field as its
// display name. The field list follows the chosen data set.
class TRpDataFieldChooser : public QWidget
{
    Q_OBJECT

public:
    explicit TRpDataFieldChooser(QWidget *parent = nullptr);

    QLabel *LDataSet;
    QComboBox *ComboDataSet;
    QLabel *LField;
    QComboBox *ComboField;

    // `takeOnlyDataSet`: an element without a data set takes the only one offered.
    void load(TRpDesigner *designer, QObject *dataSet, const QString &field, bool takeOnlyDataSet);
    void setLocked(bool locked);
    bool dataSetListShown() const { return m_listShown; }

    QObject *dataSet() const;
    // The field name behind the chosen entry, and the entry's text.
    QString fieldName() const;
    QString fieldCaption() const;
    // The chosen field of the chosen data set, or null.
    TField *field() const;

signals:
    void dataSetChanged();

private:
    void fillFields(const QString &current);

    QList<QPointer<QObject>> m_dataSets;
    QPointer<QObject> m_only; // the one data set while the list is hidden
    bool m_listShown = true;
};

// ---------------------------------------------------------------- helpers

namespace PropertyForms {

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption);
// Sets a property by name; nothing happens for a kind without it.
void setIfPresent(QObject *object, const char *name, const QVariant &value);
bool hasProperty(const QObject *object, const char *name);
// The band or report an element lies on directly is the report.
bool liesOnReport(const QObject *element);

} // namespace PropertyForms
