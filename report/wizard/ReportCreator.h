#pragma once

#include "report/model/PaperSize.h"
#include "report/model/ReportTypes.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;
class ReportFont;
class TDataSet;
class TDesignRpReport;
class TRpCustomBand;
class TRpDesignBand;
struct RpLabelLayout;

// The kinds of report the wizard "New report definition" makes.
enum class TRpWizardReportType { List, Form, Single, Tabular, Blank, Labels };

// A font chosen on the fonts page.
struct TRpWizardFont
{
    QString name = QStringLiteral("Arial");
    int size = 10;
    Rp::TFontStyles style;
    int color = 0;
};

// Every answer of the wizard's pages, lengths in the report's units. The defaults are those the pages start
// with; margins, paper and label sizes start from the report's page (see TRpDReportCreator::defaultsFor).
struct TRpWizardAnswers
{
    TRpWizardReportType type = TRpWizardReportType::Blank;
    // Page 1: the main data set (none for "None").
    QPointer<QObject> dataSet;
    // Page 2: the fields used, by field name, in report order.
    QStringList fields;
    // Page 3.
    bool title = true;
    bool pageHeader = true;
    bool pageFooter = false;
    bool summary = false;
    // Pages 5 and 6: mailing labels.
    TRpPaperSize paperSize = RpPaper::A4;
    double paperWidth = 210;
    double paperLength = 297;
    TPrinterOrientation labelOrientation = RpPaper::poPortrait;
    double topMargin = 10;
    double bottomMargin = 10;
    double leftMargin = 10;
    double rightMargin = 10;
    double columnSpace = 5;
    int labelColumns = 3;
    int labelRows = 10;
    double rowSpace = 5;
    double labelWidth = 50;
    double labelHeight = 20;
    // Page 7.
    TPrinterOrientation orientation = RpPaper::poPortrait;
    int columns = 1;
    double columnSpacing = 1;
    QString reportTitle = QStringLiteral("Report");
    // Page 8.
    TRpWizardFont dataFont;
    TRpWizardFont headerFont;
    bool horizontalLines = false;
    bool verticalLines = false;
    bool boxLines = false;

    // Pages 5 and 6 as a chosen label format fills them.
    void applyLabelLayout(const RpLabelLayout &layout);
};

// Builds a first layout of the wizard's kinds into a designed report: its bands and elements are removed and
// made again from the answers. Sizes of the layout are screen pixels at the report's resolution, as the
// design surface places them; lengths of the answers are in the report's units.
class TRpDReportCreator
{
public:
    explicit TRpDReportCreator(TDesignRpReport &report);

    // The answers as the pages start for this report: its page's margins, paper and orientation, its font.
    static TRpWizardAnswers defaultsFor(const TDesignRpReport &report);

    // Called with every band and element made, once it is in place.
    std::function<void(QObject *component)> AfterReportComponentCreated;

    void Build(const TRpWizardAnswers &answers);
    // Removes every band and every element of the report.
    static void RemoveLayout(TDesignRpReport &report);

private:
    void applyPage(const TRpWizardAnswers &answers);
    void buildList(const TRpWizardAnswers &answers);
    void buildForm(const TRpWizardAnswers &answers);
    void buildLabels(const TRpWizardAnswers &answers);
    void addOptionalBands(const TRpWizardAnswers &answers, bool withTitle, bool withPageHeader);
    // Label and data field per used field, one per line, from `top`; returns the height taken.
    int layOutFields(TRpCustomBand *band, const TRpWizardAnswers &answers, int top);
    void addFormLines(TRpCustomBand *band, const TRpWizardAnswers &answers, int top, int bottom);

    template <typename Band> Band *addBand(const QString &name, TRpBandType type, long double nativeLength);
    template <typename Element> Element *addElement(TRpCustomBand *band, const char *baseName);
    void place(QObject *element, int left, int top, int width, int height);
    void addLine(TRpCustomBand *band, bool horizontal, int left, int top, int length);
    QString labelOf(const QString &fieldName) const;
    int bandWidth() const;
    long double native(int pixels) const;
    void created(QObject *component);

    TDesignRpReport &m_report;
    QPointer<TDataSet> m_dataSet;
};

// Copies a wizard font into a report font.
void applyWizardFont(const TRpWizardFont &from, ReportFont &to);
