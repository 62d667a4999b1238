#pragma once

#include "report/model/Printable.h"
#include "report/model/ReportFont.h"

#include <QPointer>
#include <QStringList>
#include <memory>

class QPaintDevice;

// The rich-edit control a rich-text element keeps its text, alignment, colour and font in. The text is the
// rich text's source, line by line; laying it out is left to the platform's rich-text formatter.
class TRpRichEdit : public QObject
{
    Q_OBJECT

public:
    explicit TRpRichEdit(QObject *parent = nullptr) : QObject(parent), m_font(new ReportFont(this)) {}

    QStringList lines() const { return m_lines; }
    void setLines(const QStringList &value) { m_lines = value; }
    Rp::TAlignment alignment() const { return m_alignment; }
    void setAlignment(Rp::TAlignment value) { m_alignment = value; }
    TColor color() const { return m_color; }
    void setColor(TColor value) { m_color = value; }
    ReportFont *font() const { return m_font; }

private:
    QStringList m_lines;
    Rp::TAlignment m_alignment = Rp::taLeftJustify;
    TColor m_color = clWhite;
    ReportFont *m_font;
};

// Base of the rich-text elements: `Alignment`, `Color` and `Font` are those of the inner rich-edit control.
//
// Printing lays the rich text (RTF, HTML or plain text) out at the element's width on the page and draws the
// whole lines that fit its height, from the first character not printed yet. A stretching element on a band
// grows the band 50 native units at a time while text remains and the band has room; what does not fit
// continues on the next page.
class TRpCustomRichText : public TRpPrintable
{
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Color")
    Q_PROPERTY(Rp::TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoStretch READ autoStretch WRITE setAutoStretch)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(ReportFont *Font READ font)

public:
    explicit TRpCustomRichText(QObject *parent = nullptr);
    ~TRpCustomRichText() override;

    TRpRichEdit *richEdit() const { return m_richEdit; }
    Rp::TAlignment alignment() const { return m_richEdit->alignment(); }
    void setAlignment(Rp::TAlignment value) { m_richEdit->setAlignment(value); }
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool value) { m_autoStretch = value; }
    TColor color() const { return m_richEdit->color(); }
    void setColor(TColor value) { m_richEdit->setColor(value); }
    ReportFont *font() const { return m_richEdit->font(); }

    void BeginPrintRun(RpPrintRun &run) override;
    void PrintAt(long double x, long double y) override;
    void EndPrintRun() override;
    // The rich text of the occurrence about to print.
    virtual QString RichText() const = 0;
    // The first character not printed yet: 0 unless the element continues after a page break.
    int printPosition() const;

private:
    struct PrintState;
    void layOut(const QString &text, const QPaintDevice *device, int width);

    TRpRichEdit *m_richEdit;
    bool m_autoStretch = false;
    std::unique_ptr<PrintState> m_print;
};

// Rich text stored in the report, optionally shared with a rich-edit control of the form: while
// `ParentRichEdit` is set the text is taken from that control, and setting `Lines` updates both.
class TRpRichText : public TRpCustomRichText
{
    Q_OBJECT
    Q_PROPERTY(QStringList Lines READ lines WRITE setLines)
    Q_PROPERTY(TRpRichEdit *ParentRichEdit READ parentRichEdit WRITE setParentRichEdit)

public:
    Q_INVOKABLE explicit TRpRichText(QObject *parent = nullptr) : TRpCustomRichText(parent) {}

    QStringList lines() const { return richEdit()->lines(); }
    void setLines(const QStringList &value);
    TRpRichEdit *parentRichEdit() const { return m_parentRichEdit; }
    void setParentRichEdit(TRpRichEdit *value);
    QString RichText() const override;

private:
    QPointer<TRpRichEdit> m_parentRichEdit;
};

// The rich text held in a memo or blob field of a dataset.
class TRpDBRichText : public TRpCustomRichText
{
    Q_OBJECT
    Q_PROPERTY(QObject *DataSet READ dataSet WRITE setDataSet)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)

public:
    Q_INVOKABLE explicit TRpDBRichText(QObject *parent = nullptr) : TRpCustomRichText(parent) {}

    QObject *dataSet() const { return m_dataSet; }
    void setDataSet(QObject *value) { m_dataSet = value; }
    QString dataField() const { return m_dataField; }
    void setDataField(const QString &value) { m_dataField = value; }
    // The field's text, loaded before each print.
    QString RichText() const override;

private:
    QPointer<QObject> m_dataSet;
    QString m_dataField;
};
