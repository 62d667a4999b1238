#pragma once

#include "report/model/ReportFont.h"
#include "report/model/RpControl.h"
#include "report/model/UnitBase.h"

#include <QPointer>
#include <QStringList>
#include <functional>

class TCustomRpReport;
class TRpBand;

// Base of all bands. Links to other objects are guarded: when the target goes, the link clears and the
// report's band arrangement is run again.
class TRpCustomBand : public TRpBasePanel
{
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "Color")
    Q_PROPERTY(TRpBandSize *Size READ size)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(ReportFont *Font READ font)
    Q_PROPERTY(bool ParentFont READ parentFont WRITE setParentFont)
    Q_PROPERTY(bool ForceNewPage READ forceNewPage WRITE setForceNewPage)
    Q_PROPERTY(bool ForceNewColumn READ forceNewColumn WRITE setForceNewColumn)
    Q_PROPERTY(bool AlignToBottom READ alignToBottom WRITE setAlignToBottom)
    Q_PROPERTY(TRpCustomBand *LinkBand READ linkBand WRITE setLinkBand)
    Q_PROPERTY(bool HasChild READ hasChild WRITE setHasChild STORED false)

public:
    explicit TRpCustomBand(QObject *parent = nullptr);
    ~TRpCustomBand() override;

    TRpBandSize *size() const { return m_size; }
    TColor color() const { return m_color; }
    void setColor(TColor value) { m_color = value; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }
    ReportFont *font() const { return m_font; }
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool value);
    bool forceNewPage() const { return m_forceNewPage; }
    void setForceNewPage(bool value) { m_forceNewPage = value; }
    bool forceNewColumn() const { return m_forceNewColumn; }
    void setForceNewColumn(bool value) { m_forceNewColumn = value; }
    bool alignToBottom() const { return m_alignToBottom; }
    void setAlignToBottom(bool value) { m_alignToBottom = value; }
    TRpCustomBand *linkBand() const { return m_linkBand; }
    // Refused (false) when the chain of linked bands would lead back to this band.
    bool setLinkBand(TRpCustomBand *band);
    bool hasChild() const;
    void setHasChild(bool value);
    // The child band that names this band as its parent, if any.
    class TRpChildBand *childBand() const;

    virtual TRpBandType bandType() const { return Rp::rbTitle; }
    // The caption the design surface writes on the band, and the base name of new bands of its kind.
    virtual QString GetBandCaption() const;
    virtual QString GetBandName() const;
    static QString captionOfType(TRpBandType type);
    static QString baseNameOfType(TRpBandType type);

    TCustomRpReport *report() const;
    // Position given by the band arrangement, in native units.
    long double nativeLeft() const { return m_nativeLeft; }
    long double nativeTop() const { return m_nativeTop; }
    void setLayout(long double left, long double top, long double width);
    void setUnit(TRpUnit unit) { m_size->setUnit(unit); }
    void setZoom(int zoom);

    bool isPropertyStored(const char *name) const override;
    void beginRead() override;
    void propertiesRead() override;
    void loaded() override;

    std::function<void(TRpCustomBand *band, bool &printBand)> BeforePrint;
    std::function<void(TRpCustomBand *band, bool bandPrinted)> AfterPrint;

protected:
    // Tells the report that the band order or linkage changed.
    void arrangementChanged();
    // Watches a link target so that its loss clears the link and re-runs the arrangement.
    void watch(QObject *target);

private:
    void updatePixelBounds();
    void followReportFont();

    TRpBandSize *m_size;
    TColor m_color = clWhite;
    bool m_enabled = true;
    ReportFont *m_font;
    bool m_parentFont = true;
    bool m_syncingFont = false;
    bool m_forceNewPage = false;
    bool m_forceNewColumn = false;
    bool m_alignToBottom = false;
    QPointer<TRpCustomBand> m_linkBand;
    long double m_nativeLeft = 0;
    long double m_nativeTop = 0;
};

// A band whose role is its band type.
class TRpBand : public TRpCustomBand
{
    Q_OBJECT
    Q_PROPERTY(Rp::TRpBandType BandType READ bandType WRITE setBandType)

public:
    Q_INVOKABLE explicit TRpBand(QObject *parent = nullptr);

    TRpBandType bandType() const override { return m_bandType; }
    void setBandType(TRpBandType type);

private:
    TRpBandType m_bandType = Rp::rbTitle;
};

// A continuation band printed directly after its parent band.
class TRpChildBand : public TRpCustomBand
{
    Q_OBJECT
    Q_PROPERTY(TRpCustomBand *ParentBand READ parentBand WRITE setParentBand)

public:
    Q_INVOKABLE explicit TRpChildBand(QObject *parent = nullptr);

    TRpBandType bandType() const override { return Rp::rbChild; }
    TRpCustomBand *parentBand() const { return m_parentBand; }
    // Refused (false) when the chain of parent bands would lead back to this band.
    bool setParentBand(TRpCustomBand *band);

private:
    QPointer<TRpCustomBand> m_parentBand;
};

// A group header with its break expression.
class TRpGroup : public TRpCustomBand
{
    Q_OBJECT
    Q_PROPERTY(QString Expression READ expression WRITE setExpression)
    Q_PROPERTY(TRpBand *FooterBand READ footerBand WRITE setFooterBand)
    Q_PROPERTY(QObject *Master READ master WRITE setMaster)
    Q_PROPERTY(bool ReprintOnNewPage READ reprintOnNewPage WRITE setReprintOnNewPage)

public:
    Q_INVOKABLE explicit TRpGroup(QObject *parent = nullptr);

    TRpBandType bandType() const override { return Rp::rbGroupHeader; }
    QString expression() const { return m_expression; }
    void setExpression(const QString &value) { m_expression = value; }
    TRpBand *footerBand() const { return m_footerBand; }
    // The footer band takes the type rbGroupFooter.
    void setFooterBand(TRpBand *band);
    QObject *master() const { return m_master; }
    // A report or a controller band; anything else is refused.
    bool setMaster(QObject *master);
    // The data loop the group belongs to: its master, or the report it is placed on.
    QObject *effectiveMaster() const;
    bool reprintOnNewPage() const { return m_reprintOnNewPage; }
    void setReprintOnNewPage(bool value) { m_reprintOnNewPage = value; }

private:
    QString m_expression;
    QPointer<TRpBand> m_footerBand;
    QPointer<QObject> m_master;
    bool m_reprintOnNewPage = false;
};

// A band with a data loop of its own, run once per record of its master's loop. The loop itself (its
// controller) is made by the report generator for each run.
class TRpControllerBand : public TRpCustomBand
{
    Q_OBJECT
    Q_PROPERTY(QObject *Master READ master WRITE setMaster)

public:
    explicit TRpControllerBand(QObject *parent = nullptr);
    ~TRpControllerBand() override;

    TRpBandType bandType() const override { return Rp::rbSubDetail; }
    QObject *master() const { return m_master; }
    // A report or another controller band; refused when it would lead back to this band.
    bool setMaster(QObject *master);
    QObject *effectiveMaster() const;
    bool printBefore() const { return m_printBefore; }
    void setPrintBefore(bool value);

protected:
    // The report variable named after the band (loop and strings bands): its start expression, or empty
    // for none. Called by the concrete band once it is made.
    virtual QString LoopVariableStart() const { return {}; }
    void CreateLoopVariable();
    void DeleteLoopVariable();

private:
    QPointer<QObject> m_master;
    bool m_printBefore = false;
    QString m_variable;
    QPointer<TCustomRpReport> m_variableReport;
};

// The header and footer switches of a sub-detail band; not stored.
class TRpSubDetailGroupBands : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(bool HasHeader READ hasHeader WRITE setHasHeader)
    Q_PROPERTY(bool HasFooter READ hasFooter WRITE setHasFooter)

public:
    explicit TRpSubDetailGroupBands(class TRpSubDetail *owner);

    bool hasHeader() const;
    void setHasHeader(bool value);
    bool hasFooter() const;
    void setHasFooter(bool value);

private:
    TRpSubDetail *m_owner;
};

// The detail band of a second data source.
class TRpSubDetail : public TRpControllerBand
{
    Q_OBJECT
    Q_PROPERTY(QObject *DataSet READ dataSet WRITE setDataSet)
    Q_PROPERTY(TRpBand *HeaderBand READ headerBand WRITE setHeaderBand)
    Q_PROPERTY(TRpBand *FooterBand READ footerBand WRITE setFooterBand)
    Q_PROPERTY(TRpSubDetailGroupBands *Bands READ bands STORED false)
    Q_PROPERTY(bool PrintBefore READ printBefore WRITE setPrintBefore)
    Q_PROPERTY(bool PrintIfEmpty READ printIfEmpty WRITE setPrintIfEmpty)

public:
    Q_INVOKABLE explicit TRpSubDetail(QObject *parent = nullptr);

    QObject *dataSet() const { return m_dataSet; }
    void setDataSet(QObject *dataSet);
    TRpBand *headerBand() const { return m_headerBand; }
    // The header takes the type rbGroupHeader, the footer rbGroupFooter.
    void setHeaderBand(TRpBand *band);
    TRpBand *footerBand() const { return m_footerBand; }
    void setFooterBand(TRpBand *band);
    TRpSubDetailGroupBands *bands() const { return m_bands; }
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool value) { m_printIfEmpty = value; }

    std::function<void(QObject *sender, bool &moreData)> OnNeedData;

private:
    QPointer<QObject> m_dataSet;
    QPointer<TRpBand> m_headerBand;
    QPointer<TRpBand> m_footerBand;
    TRpSubDetailGroupBands *m_bands;
    bool m_printIfEmpty = true;
};

// A band printed a fixed number of times; publishes its 0-based repetition index to expressions.
class TRpLoopBand : public TRpControllerBand
{
    Q_OBJECT
    Q_PROPERTY(int PrintCount READ printCount WRITE setPrintCount)
    Q_PROPERTY(bool PrintBefore READ printBefore WRITE setPrintBefore)

public:
    Q_INVOKABLE explicit TRpLoopBand(QObject *parent = nullptr);

    int printCount() const { return m_printCount; }
    void setPrintCount(int value) { m_printCount = value; }
    QString GetBandCaption() const override { return QStringLiteral("LoopBand"); }

protected:
    QString LoopVariableStart() const override { return QStringLiteral("0"); }

private:
    int m_printCount = 0;
};

// A band printed once per item of a string list; publishes the current item to expressions.
class TRpStringsBand : public TRpControllerBand
{
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ items WRITE setItems)
    Q_PROPERTY(bool PrintBefore READ printBefore WRITE setPrintBefore)

public:
    Q_INVOKABLE explicit TRpStringsBand(QObject *parent = nullptr);

    QStringList items() const { return m_items; }
    void setItems(const QStringList &value) { m_items = value; }
    QString GetBandCaption() const override { return QStringLiteral("StringsBand"); }

protected:
    QString LoopVariableStart() const override { return QStringLiteral("''"); }

private:
    QStringList m_items;
};
