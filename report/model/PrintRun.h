#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

class QObject;
class TRpPrinter;
class TRpExportFilter;
class TRpEvEnvironment;
class IRpEvDataSet;
class TRpPrintable;

// What a printable element sees of the report run it prints in. The generator provides one per run and
// hands it to every element in BeginPrintRun; tests of single elements provide a small fake. The model
// only passes it along: the page store, the export filter and the expression environment it names live in
// the libraries above the model.
//
// Positions and heights are native units (tenths of a millimetre) on the page.
class RpPrintRun
{
public:
    virtual ~RpPrintRun() = default;

    // The page store the run draws on: its canvas and its native-to-device conversions.
    virtual TRpPrinter &PageStore() = 0;
    // Elements draw only in the final pass; in an export run (final pass false) text lines go to the export
    // filter instead, which is null otherwise.
    virtual bool FinalPass() const = 0;
    virtual TRpExportFilter *ExportFilter() const = 0;

    // What expressions compile against: the report's named expressions and the tables of the run.
    virtual TRpEvEnvironment *Functions() = 0;
    virtual const std::vector<IRpEvDataSet *> &DataSets() const = 0;
    // Registers an expression element for aggregation with the data loop of `master` (the report or a
    // sub-detail band; null: the report's own loop). The loop calls NotifyElement(loop, 0) on the element
    // each time it takes a record.
    virtual void AddAggregateClient(QObject *master, TRpPrintable *element) = 0;

    // Growth of the band being printed. An element that needs `extra` more native units below its own bottom
    // asks the band: true when the band can grow that far on this page (the band's growth becomes at least
    // `extra`), false when it cannot, and the element then stops and continues in the next round. The
    // element may print down to its own bottom + 1 + BandGrowth().
    virtual bool GrowBand(long double extra) = 0;
    virtual long double BandGrowth() const = 0;
    // False while the band prints as part of starting or finishing a page or column (page and column
    // headers, reprinted group headers, page footers and their children, elements placed on the report):
    // such a band prints in one round, so a stretching element prints what fits and is done.
    virtual bool MayContinue() const = 0;
    // True for a continuation round that starts at the top of a fresh column: a continuing element prints
    // at least one line (or one piece of rich text) even when it does not fit, so the run always advances.
    // In such a round GrowBand grants the first growth asked for even when it does not fit, so that the
    // band still makes room for that line.
    virtual bool MustAdvance() const = 0;

    // Data of the run for system data elements.
    virtual int PageNumber() const = 0;
    virtual qint64 DetailNumber() const = 0; // running number of the report loop's current record, from 1
    virtual qint64 DetailCount() const = 0; // records of the report's data set; 1 when it cannot count
    virtual QString ReportTitle() const = 0;
};
