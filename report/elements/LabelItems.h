#pragma once

#include "report/model/Bands.h"
#include "report/model/Printable.h"
#include "report/model/ReportFont.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class RpNumberMask;
class TRpEvaluator;
class TRpEvValue;

// Base of the text elements: alignment, sizing, colours and the font. The font follows the band's (or, for an
// element placed on the report itself, the report's) while `ParentFont` is set; any change of its own clears
// `ParentFont`. Besides its published properties it streams "FontSize", the font's point size, which wins
// over the stored pixel height after loading.
//
// Printing: each occurrence takes its text once (TextFromCaption, then OnPrint), breaks it into lines as wide
// as the element (BuildPrintLines) and prints them one line height apart from the element's top; a stretching
// element grows its band line by line and, when the band cannot grow, continues with the next unprinted line
// on the next page. The element's own size is never changed by a run: AutoSize and AlignToBand give the
// bounds of each print.
class TRpCustomLabel : public TRpPrintable
{
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Color")
    Q_PROPERTY(Rp::TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(bool AlignToBand READ alignToBand WRITE setAlignToBand)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(Rp::TBiDiMode BiDiMode READ biDiMode WRITE setBiDiMode)
    Q_PROPERTY(bool ParentBiDiMode READ parentBiDiMode WRITE setParentBiDiMode)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(ReportFont *Font READ font)
    Q_PROPERTY(bool ParentFont READ parentFont WRITE setParentFont)

public:
    explicit TRpCustomLabel(QObject *parent = nullptr);
    ~TRpCustomLabel() override;

    Rp::TAlignment alignment() const { return m_alignment; }
    void setAlignment(Rp::TAlignment value) { m_alignment = value; }
    bool alignToBand() const { return m_alignToBand; }
    void setAlignToBand(bool value) { m_alignToBand = value; }
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value) { m_autoSize = value; }
    Rp::TBiDiMode biDiMode() const { return m_biDiMode; }
    void setBiDiMode(Rp::TBiDiMode value) { m_biDiMode = value; }
    bool parentBiDiMode() const { return m_parentBiDiMode; }
    void setParentBiDiMode(bool value) { m_parentBiDiMode = value; }
    TColor color() const { return m_color; }
    void setColor(TColor value) { m_color = value; }
    bool transparent() const { return m_transparent; }
    void setTransparent(bool value) { m_transparent = value; }
    ReportFont *font() const { return m_font; }
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool value);
    // Published by the kinds that have them (system data has neither).
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool value) { m_autoStretch = value; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value) { m_wordWrap = value; }

    // The text the design surface shows in the element.
    virtual QString designText() const = 0;

    // May replace the text of one occurrence (not called for memos, which have no such event).
    std::function<void(QObject *sender, QString &value)> OnPrint;

    void BeginPrintRun(RpPrintRun &run) override;
    void PrintAt(long double x, long double y) override;
    void NotifyElement(QObject *sender, int operation) override;
    void EndPrintRun() override;

    // The text of the occurrence about to print: the caption, a field's value, an expression's value, a
    // system datum. Asked once per occurrence, before its first line prints.
    virtual QString TextFromCaption();
    // Rebuilds the printed lines from the occurrence's text or from the element's line list.
    virtual void BuildPrintLines();
    const std::vector<QString> &printLines() const;
    // The output text: the design text while idle and at the start of a run, then the text of the last
    // occurrence printed (before any OnPrint replacement).
    QString outputText() const { return m_outputText; }

    // Alignment as printed: left and right swap for right-to-left reading.
    Rp::TAlignment effectiveAlignment() const;
    // Design: the bounds AutoSize and AlignToBand give the element, taken into its size.
    void AdjustBounds();

protected:
    // The element's lines when they come from a line list (memo lines, a memo field) rather than from a text.
    virtual bool lineList(QStringList &items) const
    {
        Q_UNUSED(items);
        return false;
    }
    // Whether OnPrint applies to the kind.
    virtual bool hasOnPrintEvent() const { return true; }
    // Told once an occurrence has printed everything it will print.
    virtual void OccurrenceDone() { }

    bool isPropertyStored(const char *name) const override;
    void writeDefinedProperties(std::vector<StreamProperty> &properties) const override;
    bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok) override;
    void beginRead() override;
    void propertiesRead() override;
    void loaded() override;

private:
    struct PrintState;
    struct Bounds
    {
        long double left;
        long double width;
        long double height;
    };

    ReportFont *parentFontSource() const;
    void followParentFont();
    PrintState &printState();
    void startOccurrence();
    void printRound(RpPrintRun &run, long double x, long double y);
    Bounds printBounds();
    qreal widestLine();

    Rp::TAlignment m_alignment = Rp::taLeftJustify;
    bool m_alignToBand = false;
    bool m_autoSize = true;
    bool m_autoStretch = false;
    bool m_wordWrap = true;
    Rp::TBiDiMode m_biDiMode = Rp::bdLeftToRight;
    bool m_parentBiDiMode = true;
    TColor m_color = clWhite;
    bool m_transparent = false;
    ReportFont *m_font;
    bool m_parentFont = true;
    bool m_syncingFont = false;
    int m_readFontSize = 0;
    QString m_outputText;
    std::unique_ptr<PrintState> m_print;
};

// A fixed caption.
class TRpLabel : public TRpCustomLabel
{
    Q_OBJECT
    Q_PROPERTY(bool AutoStretch READ autoStretch WRITE setAutoStretch)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    Q_INVOKABLE explicit TRpLabel(QObject *parent = nullptr) : TRpCustomLabel(parent) {}

    QString caption() const { return m_caption; }
    void setCaption(const QString &value) { m_caption = value; }
    QString designText() const override { return m_caption; }
    QString TextFromCaption() override { return m_caption; }

private:
    QString m_caption;
};

// Fixed lines, each a source line of its own.
class TRpMemo : public TRpCustomLabel
{
    Q_OBJECT
    Q_PROPERTY(bool AutoStretch READ autoStretch WRITE setAutoStretch)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QStringList Lines READ lines WRITE setLines)

public:
    Q_INVOKABLE explicit TRpMemo(QObject *parent = nullptr) : TRpCustomLabel(parent) {}

    QStringList lines() const { return m_lines; }
    void setLines(const QStringList &value) { m_lines = value; }
    QString designText() const override { return m_lines.join(QStringLiteral("\r\n")); }

protected:
    bool lineList(QStringList &items) const override
    {
        items = m_lines;
        return true;
    }
    bool hasOnPrintEvent() const override { return false; }

private:
    QStringList m_lines;
};

// The current value of a field of a dataset.
class TRpDBText : public TRpCustomLabel
{
    Q_OBJECT
    Q_PROPERTY(bool AutoStretch READ autoStretch WRITE setAutoStretch)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QObject *DataSet READ dataSet WRITE setDataSet)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(QString Mask READ mask WRITE setMask)

public:
    Q_INVOKABLE explicit TRpDBText(QObject *parent = nullptr);
    ~TRpDBText() override;

    QObject *dataSet() const { return m_dataSet; }
    void setDataSet(QObject *value) { m_dataSet = value; }
    QString dataField() const { return m_dataField; }
    void setDataField(const QString &value) { m_dataField = value; }
    QString mask() const { return m_mask; }
    void setMask(const QString &value) { m_mask = value; }
    // The field name, or the element's name while it names no field.
    QString designText() const override { return m_dataField.isEmpty() ? objectName() : m_dataField; }

    void EndPrintRun() override;
    // The current value of the field: empty without a dataset or field, or when reading or formatting fails;
    // a memo or blob field gives its whole text (printed line by line); a masked number or date field its
    // value through the mask; any other field its display text.
    QString TextFromCaption() override;

protected:
    bool lineList(QStringList &items) const override;

private:
    QPointer<QObject> m_dataSet;
    QString m_dataField;
    QString m_mask;
    bool m_listBased = false;
    QStringList m_fieldLines;
    std::unique_ptr<RpNumberMask> m_numberMask;
};

// The value of an expression, optionally aggregated over the records of a data loop.
class TRpExpr : public TRpCustomLabel
{
    Q_OBJECT
    Q_PROPERTY(bool AutoStretch READ autoStretch WRITE setAutoStretch)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(QString Expression READ expression WRITE setExpression)
    Q_PROPERTY(QString Mask READ mask WRITE setMask)
    Q_PROPERTY(QObject *Master READ master WRITE setMaster)
    Q_PROPERTY(bool ResetAfterPrint READ resetAfterPrint WRITE setResetAfterPrint)

public:
    Q_INVOKABLE explicit TRpExpr(QObject *parent = nullptr);
    ~TRpExpr() override;

    QString expression() const { return m_expression; }
    void setExpression(const QString &value) { m_expression = value; }
    QString mask() const { return m_mask; }
    void setMask(const QString &value) { m_mask = value; }
    QObject *master() const { return m_master; }
    // A report or a sub-detail band (the data loop whose records the element aggregates); anything else is
    // refused (false) and the old master stays.
    bool setMaster(QObject *value);
    bool resetAfterPrint() const { return m_resetAfterPrint; }
    void setResetAfterPrint(bool value) { m_resetAfterPrint = value; }
    // The expression, or "(none)" while there is none.
    QString designText() const override;

    // Compiles the expression against the run's named expressions and tables, registers for aggregation
    // (with the data loop of `Master`, or, without one, with the report's loop when the expression holds an
    // aggregate) and resets the aggregates.
    void BeginPrintRun(RpPrintRun &run) override;
    // Operation 0 (its data loop took a record): one aggregation pass.
    void NotifyElement(QObject *sender, int operation) override;
    void EndPrintRun() override;
    // The value now: numbers through the mask (the general format without one), texts as they are, Booleans
    // as "True" or "False", errors as their message.
    QString TextFromCaption() override;
    // A value as the element prints it.
    QString valueText(const TRpEvValue &value);
    // The compiled expression while a run goes on.
    TRpEvaluator *evaluator() const { return m_evaluator.get(); }

protected:
    // ResetAfterPrint: totals start again once the occurrence has printed, not between its pages.
    void OccurrenceDone() override;

private:
    QString m_expression;
    QString m_mask;
    QPointer<QObject> m_master;
    bool m_resetAfterPrint = false;
    std::unique_ptr<TRpEvaluator> m_evaluator;
    std::unique_ptr<RpNumberMask> m_numberMask;
};

// Its text followed by a datum of the run: time, date, page number, report title, detail count or number.
class TRpSysData : public TRpCustomLabel
{
    Q_OBJECT
    Q_PROPERTY(Rp::TRpSysDataType Data READ data WRITE setData)
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    Q_INVOKABLE explicit TRpSysData(QObject *parent = nullptr) : TRpCustomLabel(parent) {}

    Rp::TRpSysDataType data() const { return m_data; }
    void setData(Rp::TRpSysDataType value) { m_data = value; }
    QString text() const { return m_text; }
    void setText(const QString &value) { m_text = value; }
    // The text and the datum's name in parentheses ("Page: (Page#)").
    QString designText() const override;
    static QString dataCaption(Rp::TRpSysDataType data);
    // The text followed by the datum of the run. The detail count and number print only on a TRpReport;
    // elsewhere the previous output text stays.
    QString TextFromCaption() override;

private:
    Rp::TRpSysDataType m_data = Rp::rpsTime;
    QString m_text;
};

// The aggregate element of old report files: an expression element whose expression is made from an
// operation over a field ("Sum(Amount)", "Count"). `PrintMask` is its mask; the expression and the mask are
// stored only through `Operation`, `DataField` and `PrintMask`. `DataSource` and `ResetBand` are kept and
// have no effect on the output.
class TRpDBCalc : public TRpExpr
{
    Q_OBJECT
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(QObject *DataSource READ dataSource WRITE setDataSource)
    Q_PROPERTY(Rp::TRpCalcOperation Operation READ operation WRITE setOperation)
    Q_PROPERTY(QString PrintMask READ mask WRITE setMask)
    Q_PROPERTY(TRpCustomBand *ResetBand READ resetBand WRITE setResetBand)

public:
    Q_INVOKABLE explicit TRpDBCalc(QObject *parent = nullptr) : TRpExpr(parent) {}

    QString dataField() const { return m_dataField; }
    void setDataField(const QString &value);
    QObject *dataSource() const { return m_dataSource; }
    void setDataSource(QObject *value) { m_dataSource = value; }
    Rp::TRpCalcOperation operation() const { return m_operation; }
    void setOperation(Rp::TRpCalcOperation value);
    TRpCustomBand *resetBand() const { return m_resetBand; }
    void setResetBand(TRpCustomBand *value) { m_resetBand = value; }

    // The expression an operation makes of a field.
    static QString expressionFor(Rp::TRpCalcOperation operation, const QString &field);

    bool isPropertyStored(const char *name) const override;

private:
    QString m_dataField;
    QPointer<QObject> m_dataSource;
    Rp::TRpCalcOperation m_operation = Rp::rpcSum;
    QPointer<TRpCustomBand> m_resetBand;
};
