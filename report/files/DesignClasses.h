#pragma once

#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/elements/RichTextItems.h"
#include "report/model/Report.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>

// The report, band and element kinds of the report designer: the engine's kinds plus what only the designer
// keeps with them (design backgrounds, print conditions, page steps, positioning aids). Report files written
// by the designer name these kinds.

// A bitmap shown under the design view; streamed as the defined property "Data": its own 32-bit length and
// then its bytes. Nothing is written for an empty bitmap.
class DesignBitmap : public RpPersistent
{
    Q_OBJECT

public:
    using RpPersistent::RpPersistent;

    bool isEmpty() const { return m_data.isEmpty(); }
    QByteArray data() const { return m_data; }
    void setData(const QByteArray &data) { m_data = data; }

    void writeDefinedProperties(std::vector<StreamProperty> &properties) const override;
    bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok) override;

private:
    QByteArray m_data;
};

// The label numbering of a report printed on label sheets.
class TLabelSettings : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(int FirstLabel READ firstLabel WRITE setFirstLabel)
    Q_PROPERTY(int LabelCount READ labelCount WRITE setLabelCount)

public:
    using RpPersistent::RpPersistent;

    int firstLabel() const { return m_firstLabel; }
    void setFirstLabel(int value) { m_firstLabel = value; }
    int labelCount() const { return m_labelCount; }
    void setLabelCount(int value) { m_labelCount = value; }

private:
    int m_firstLabel = 0;
    int m_labelCount = 0;
};

// The designer's run-time report: label settings, the run-in-advance switch and the report script.
class TERpReport : public TRpReport
{
    Q_OBJECT
    Q_PROPERTY(TLabelSettings *LabelSettings READ labelSettings)
    Q_PROPERTY(bool PrepareAutomatically READ prepareAutomatically WRITE setPrepareAutomatically)
    Q_PROPERTY(QStringList Script READ script WRITE setScript)

public:
    Q_INVOKABLE explicit TERpReport(QObject *parent = nullptr);

    TLabelSettings *labelSettings() const { return m_labelSettings; }
    bool prepareAutomatically() const { return m_prepareAutomatically; }
    void setPrepareAutomatically(bool value) { m_prepareAutomatically = value; }
    QStringList script() const { return m_script; }
    void setScript(const QStringList &value) { m_script = value; }

private:
    TLabelSettings *m_labelSettings;
    bool m_prepareAutomatically = false;
    QStringList m_script;
};

// The report the designer shows and report files name. Its pixel bounds and progress switch are never
// written.
class TDesignRpReport : public TERpReport
{
    Q_OBJECT
    Q_PROPERTY(DesignBitmap *DesignBackground READ designBackground)
    Q_PROPERTY(int DesignBackgroundDX READ designBackgroundDX WRITE setDesignBackgroundDX)
    Q_PROPERTY(int DesignBackgroundDY READ designBackgroundDY WRITE setDesignBackgroundDY)
    Q_PROPERTY(QObject *RulerPanel READ rulerPanel WRITE setRulerPanel)
    Q_PROPERTY(QString PrinterName READ printerName WRITE setPrinterName)

public:
    Q_INVOKABLE explicit TDesignRpReport(QObject *parent = nullptr);

    DesignBitmap *designBackground() const { return m_designBackground; }
    int designBackgroundDX() const { return m_designBackgroundDX; }
    void setDesignBackgroundDX(int value) { m_designBackgroundDX = value; }
    int designBackgroundDY() const { return m_designBackgroundDY; }
    void setDesignBackgroundDY(int value) { m_designBackgroundDY = value; }
    QObject *rulerPanel() const { return m_rulerPanel; }
    void setRulerPanel(QObject *value) { m_rulerPanel = value; }
    // The selected printer's name. Setting it selects the first installed printer whose name matches
    // ignoring case, and leaves the selection alone when none does.
    QString printerName() const;
    void setPrinterName(const QString &value);

    bool isPropertyStored(const char *name) const override;

private:
    DesignBitmap *m_designBackground;
    int m_designBackgroundDX = 0;
    int m_designBackgroundDY = 0;
    QPointer<QObject> m_rulerPanel;
    QString m_printerName;
};

// What every design band keeps besides its engine kind.
class DesignBandValues
{
public:
    explicit DesignBandValues(QObject *owner);

    bool editorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool value) { m_editorEnabled = value; }
    ushort bandNum() const { return m_bandNum; }
    void setBandNum(ushort value) { m_bandNum = value; }
    QString printCondition() const { return m_printCondition; }
    void setPrintCondition(const QString &value) { m_printCondition = value; }
    DesignBitmap *designBackground() const { return m_designBackground; }
    int designBackgroundDX() const { return m_designBackgroundDX; }
    void setDesignBackgroundDX(int value) { m_designBackgroundDX = value; }
    int designBackgroundDY() const { return m_designBackgroundDY; }
    void setDesignBackgroundDY(int value) { m_designBackgroundDY = value; }
    ushort startPageNum() const { return m_startPageNum; }
    void setStartPageNum(ushort value) { m_startPageNum = value; }
    ushort endPageNum() const { return m_endPageNum; }
    void setEndPageNum(ushort value) { m_endPageNum = value; }
    ushort pageStep() const { return m_pageStep; }
    void setPageStep(ushort value) { m_pageStep = value; }
    bool notOnFirstPage() const { return m_notOnFirstPage; }
    void setNotOnFirstPage(bool value) { m_notOnFirstPage = value; }
    bool notOnLastPage() const { return m_notOnLastPage; }
    void setNotOnLastPage(bool value) { m_notOnLastPage = value; }
    bool compMoverMoving() const { return m_compMoverMoving; }
    void setCompMoverMoving(bool value) { m_compMoverMoving = value; }

private:
    bool m_editorEnabled = true;
    ushort m_bandNum = 0;
    QString m_printCondition;
    DesignBitmap *m_designBackground;
    int m_designBackgroundDX = 0;
    int m_designBackgroundDY = 0;
    ushort m_startPageNum = 0;
    ushort m_endPageNum = 0;
    ushort m_pageStep = 0;
    bool m_notOnFirstPage = false;
    bool m_notOnLastPage = false;
    bool m_compMoverMoving = false;
};

// The published design band properties every design band kind shares (the print condition aside, which a
// group calls PrintExpression).
#define QUILLOT_DESIGN_BAND_COMMON                                                                           \
    Q_PROPERTY(bool EditorEnabled READ editorEnabled WRITE setEditorEnabled)                                 \
    Q_PROPERTY(ushort BandNum READ bandNum WRITE setBandNum)                                                 \
    Q_PROPERTY(DesignBitmap *DesignBackground READ designBackground)                                         \
    Q_PROPERTY(int DesignBackgroundDX READ designBackgroundDX WRITE setDesignBackgroundDX)                   \
    Q_PROPERTY(int DesignBackgroundDY READ designBackgroundDY WRITE setDesignBackgroundDY)                   \
    Q_PROPERTY(ushort StartPageNum READ startPageNum WRITE setStartPageNum)                                  \
    Q_PROPERTY(ushort EndPageNum READ endPageNum WRITE setEndPageNum)                                        \
    Q_PROPERTY(ushort PageStep READ pageStep WRITE setPageStep)                                              \
    Q_PROPERTY(bool NotOnFirstPage READ notOnFirstPage WRITE setNotOnFirstPage)

class TRpDesignBand : public TRpBand, public DesignBandValues
{
    Q_OBJECT
    QUILLOT_DESIGN_BAND_COMMON
    Q_PROPERTY(QString Expression READ printCondition WRITE setPrintCondition)
    Q_PROPERTY(bool NotOnLastPage READ notOnLastPage WRITE setNotOnLastPage)

public:
    Q_INVOKABLE explicit TRpDesignBand(QObject *parent = nullptr)
        : TRpBand(parent)
        , DesignBandValues(this)
    { }
};

class TRpDesignLoopband : public TRpLoopBand, public DesignBandValues
{
    Q_OBJECT
    QUILLOT_DESIGN_BAND_COMMON
    Q_PROPERTY(QString Expression READ printCondition WRITE setPrintCondition)
    Q_PROPERTY(bool NotOnLastPage READ notOnLastPage WRITE setNotOnLastPage)

public:
    Q_INVOKABLE explicit TRpDesignLoopband(QObject *parent = nullptr)
        : TRpLoopBand(parent)
        , DesignBandValues(this)
    { }
};

class TRpDesignStringsband : public TRpStringsBand, public DesignBandValues
{
    Q_OBJECT
    QUILLOT_DESIGN_BAND_COMMON
    Q_PROPERTY(QString Expression READ printCondition WRITE setPrintCondition)
    Q_PROPERTY(bool NotOnLastPage READ notOnLastPage WRITE setNotOnLastPage)

public:
    Q_INVOKABLE explicit TRpDesignStringsband(QObject *parent = nullptr)
        : TRpStringsBand(parent)
        , DesignBandValues(this)
    { }
};

class TRpDesignSubdetail : public TRpSubDetail, public DesignBandValues
{
    Q_OBJECT
    QUILLOT_DESIGN_BAND_COMMON
    Q_PROPERTY(QString Expression READ printCondition WRITE setPrintCondition)
    Q_PROPERTY(bool CompMoverMoving READ compMoverMoving WRITE setCompMoverMoving)

public:
    Q_INVOKABLE explicit TRpDesignSubdetail(QObject *parent = nullptr)
        : TRpSubDetail(parent)
        , DesignBandValues(this)
    { }
};

class TRpDesignChildBand : public TRpChildBand, public DesignBandValues
{
    Q_OBJECT
    QUILLOT_DESIGN_BAND_COMMON
    Q_PROPERTY(QString Expression READ printCondition WRITE setPrintCondition)

public:
    Q_INVOKABLE explicit TRpDesignChildBand(QObject *parent = nullptr)
        : TRpChildBand(parent)
        , DesignBandValues(this)
    { }
};

class TRpDesignGroup : public TRpGroup, public DesignBandValues
{
    Q_OBJECT
    QUILLOT_DESIGN_BAND_COMMON
    Q_PROPERTY(QString PrintExpression READ printCondition WRITE setPrintCondition)
    Q_PROPERTY(bool CompMoverMoving READ compMoverMoving WRITE setCompMoverMoving)

public:
    Q_INVOKABLE explicit TRpDesignGroup(QObject *parent = nullptr)
        : TRpGroup(parent)
        , DesignBandValues(this)
    { }
};

// What every design element keeps: its positioning aids on the design surface.
class DesignElementValues
{
public:
    bool fixBottomPosition() const { return m_fixBottomPosition; }
    void setFixBottomPosition(bool value) { m_fixBottomPosition = value; }
    bool stretchHeightWithBand() const { return m_stretchHeightWithBand; }
    void setStretchHeightWithBand(bool value) { m_stretchHeightWithBand = value; }

private:
    bool m_fixBottomPosition = false;
    bool m_stretchHeightWithBand = false;
};

#define QUILLOT_DESIGN_ELEMENT_COMMON                                                                        \
    Q_PROPERTY(bool FixBottomPosition READ fixBottomPosition WRITE setFixBottomPosition)                     \
    Q_PROPERTY(bool StretchHeightWithBand READ stretchHeightWithBand WRITE setStretchHeightWithBand)

class TRpDesignLabel : public TRpLabel, public DesignElementValues
{
    Q_OBJECT
    Q_PROPERTY(ushort Degree READ degree WRITE setDegree)
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignLabel(QObject *parent = nullptr)
        : TRpLabel(parent)
    { }

    ushort degree() const { return m_degree; }
    void setDegree(ushort value) { m_degree = value; }

private:
    ushort m_degree = 0;
};

class TRpDesignExpr : public TRpExpr, public DesignElementValues
{
    Q_OBJECT
    Q_PROPERTY(ushort Degree READ degree WRITE setDegree)
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignExpr(QObject *parent = nullptr)
        : TRpExpr(parent)
    { }

    ushort degree() const { return m_degree; }
    void setDegree(ushort value) { m_degree = value; }

private:
    ushort m_degree = 0;
};

class TRpDesignDBText : public TRpDBText, public DesignElementValues
{
    Q_OBJECT
    Q_PROPERTY(bool SuppressRepeatedValues READ suppressRepeatedValues WRITE setSuppressRepeatedValues)
    Q_PROPERTY(bool ReprintOnNewPage READ reprintOnNewPage WRITE setReprintOnNewPage)
    Q_PROPERTY(bool ReprintOnNewGroup READ reprintOnNewGroup WRITE setReprintOnNewGroup)
    Q_PROPERTY(bool BlankIfZero READ blankIfZero WRITE setBlankIfZero)
    QUILLOT_DESIGN_ELEMENT_COMMON
    Q_PROPERTY(QStringList MapList READ mapList WRITE setMapList)

public:
    Q_INVOKABLE explicit TRpDesignDBText(QObject *parent = nullptr)
        : TRpDBText(parent)
    { }

    bool suppressRepeatedValues() const { return m_suppressRepeatedValues; }
    void setSuppressRepeatedValues(bool value) { m_suppressRepeatedValues = value; }
    bool reprintOnNewPage() const { return m_reprintOnNewPage; }
    void setReprintOnNewPage(bool value) { m_reprintOnNewPage = value; }
    bool reprintOnNewGroup() const { return m_reprintOnNewGroup; }
    void setReprintOnNewGroup(bool value) { m_reprintOnNewGroup = value; }
    bool blankIfZero() const { return m_blankIfZero; }
    void setBlankIfZero(bool value) { m_blankIfZero = value; }
    // Lines of the text to print, a tab and the stored value it replaces.
    QStringList mapList() const { return m_mapList; }
    void setMapList(const QStringList &value) { m_mapList = value; }

private:
    bool m_suppressRepeatedValues = false;
    bool m_reprintOnNewPage = false;
    bool m_reprintOnNewGroup = false;
    bool m_blankIfZero = false;
    QStringList m_mapList;
};

class TRpDesignSysdata : public TRpSysData, public DesignElementValues
{
    Q_OBJECT
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignSysdata(QObject *parent = nullptr)
        : TRpSysData(parent)
    { }
};

class TRpDesignMemo : public TRpMemo, public DesignElementValues
{
    Q_OBJECT
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignMemo(QObject *parent = nullptr)
        : TRpMemo(parent)
    { }
};

class TRpDesignShape : public TRpShape, public DesignElementValues
{
    Q_OBJECT
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignShape(QObject *parent = nullptr)
        : TRpShape(parent)
    { }
};

class TRpDesignDBImage : public TRpDBImage, public DesignElementValues
{
    Q_OBJECT
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignDBImage(QObject *parent = nullptr)
        : TRpDBImage(parent)
    { }
};

// Rich text whose text travels in the binary property RichtextLines (always written), the source bytes of
// the rich text; its engine line list is not written again.
class TRpDesignRichtext : public TRpRichText, public DesignElementValues
{
    Q_OBJECT
    Q_CLASSINFO("AlwaysStored", "RichtextLines")
    Q_PROPERTY(bool EditorEnabled READ editorEnabled WRITE setEditorEnabled)
    QUILLOT_DESIGN_ELEMENT_COMMON
    Q_PROPERTY(QByteArray RichtextLines READ richtextLines WRITE setRichtextLines)

public:
    Q_INVOKABLE explicit TRpDesignRichtext(QObject *parent = nullptr)
        : TRpRichText(parent)
    { }

    bool editorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool value) { m_editorEnabled = value; }
    QByteArray richtextLines() const;
    void setRichtextLines(const QByteArray &value);

    bool isPropertyStored(const char *name) const override;

private:
    bool m_editorEnabled = true;
};

class TRpDesignDBRichtext : public TRpDBRichText, public DesignElementValues
{
    Q_OBJECT
    Q_PROPERTY(bool EditorEnabled READ editorEnabled WRITE setEditorEnabled)
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignDBRichtext(QObject *parent = nullptr)
        : TRpDBRichText(parent)
    { }

    bool editorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool value) { m_editorEnabled = value; }

private:
    bool m_editorEnabled = true;
};

class TRpDesignImage : public TRpImage, public DesignElementValues
{
    Q_OBJECT
    Q_PROPERTY(QString Filename READ filename WRITE setFilename)
    QUILLOT_DESIGN_ELEMENT_COMMON

public:
    Q_INVOKABLE explicit TRpDesignImage(QObject *parent = nullptr)
        : TRpImage(parent)
    { }

    QString filename() const { return m_filename; }
    void setFilename(const QString &value) { m_filename = value; }

private:
    QString m_filename;
};

// Adds the design kinds (and the report file's own kinds) to the report class registry; running it again
// changes nothing. Runs registerAll() first.
void registerDesignClasses();
