#pragma once

#include "ReportTestSupport.h"
#include "report/files/ReportFile.h"

#include <QObject>
#include <QPointer>

// A dataset and a data source of a report data module, as the data-source kinds store themselves: enough to
// read and write the module's block and to be referred to from the report.
class TTestQuery : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TableName READ tableName WRITE setTableName)
    Q_PROPERTY(QStringList SQL READ sql WRITE setSql)

public:
    Q_INVOKABLE explicit TTestQuery(QObject *parent = nullptr)
        : QObject(parent)
    { }

    QString tableName() const { return m_tableName; }
    void setTableName(const QString &value) { m_tableName = value; }
    QStringList sql() const { return m_sql; }
    void setSql(const QStringList &value) { m_sql = value; }

private:
    QString m_tableName;
    QStringList m_sql;
};

class TTestDataSource : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *DataSet READ dataSet WRITE setDataSet)

public:
    Q_INVOKABLE explicit TTestDataSource(QObject *parent = nullptr)
        : QObject(parent)
    { }

    QObject *dataSet() const { return m_dataSet; }
    void setDataSet(QObject *value) { m_dataSet = value; }

private:
    QPointer<QObject> m_dataSet;
};

inline void registerTestDataKinds()
{
    registerDesignClasses();
    reportClasses().add<TTestQuery>();
    reportClasses().add<TTestDataSource>();
}

// Fills an engine's report with a band of every design kind and an element of every design kind, with
// design-only values, groups, addons and a data module with a query.
inline void makeFullDesign(ReportFileEngine &engine)
{
    registerTestDataKinds();
    TDesignRpReport *report = engine.report();
    report->setReportTitle(QStringLiteral("Relevé l'été"));
    report->setDescription({ QStringLiteral("première"), QString(70, u'd') });
    report->setOptions(Rp::FirstPageHeader | Rp::Compression);
    report->page()->setOrientation(RpPaper::poLandscape);
    report->printerSettings()->setCopies(2);
    report->labelSettings()->setFirstLabel(3);
    report->labelSettings()->setLabelCount(12);
    report->setScript({ QStringLiteral("procedure Main;"), QStringLiteral("begin end;") });
    report->setDesignBackgroundDX(4);
    report->setDesignBackgroundDY(-6);
    report->designBackground()->setData(QByteArray("BM\x01\x02\x03", 5));
    report->setPrinterName(QStringLiteral("Bureau"));

    TRuntimeDatamodule *module = engine.dataModule();
    auto *query = new TTestQuery(module);
    query->setObjectName(QStringLiteral("Query1"));
    query->setTableName(QStringLiteral("Transaction.dat"));
    query->setSql({ QStringLiteral("select * from T"), QStringLiteral("where A = %%X%%") });
    auto *source = new TTestDataSource(module);
    source->setObjectName(QStringLiteral("Query1Datasource"));
    source->setDataSet(query);
    module->setParamPromptList({ QStringLiteral("Query1.X=Compte ?") });
    module->setQueryText(QStringLiteral("Query1"), query->sql().join(QStringLiteral("\r\n")));
    report->setDataSet(query);

    auto band = [&](auto *made, const char *name, TRpBandType type = Rp::rbDetail) {
        made->setObjectName(QString::fromLatin1(name));
        if constexpr (std::is_base_of_v<TRpBand, std::remove_pointer_t<decltype(made)>>)
            made->setBandType(type);
        return made;
    };
    auto *pageHeader = band(new TRpDesignBand(report), "PageHeader", Rp::rbPageHeader);
    pageHeader->setNotOnFirstPage(true);
    pageHeader->setNotOnLastPage(true);
    pageHeader->setPageStep(2);
    pageHeader->setStartPageNum(1);
    pageHeader->setEndPageNum(9);
    pageHeader->setBandNum(65535);
    pageHeader->setPrintCondition(QStringLiteral("PAGENUMBER > 1"));
    pageHeader->designBackground()->setData(QByteArray(40, '\x7F'));
    pageHeader->setDesignBackgroundDX(2);
    auto *title = band(new TRpDesignBand(report), "Title", Rp::rbTitle);
    title->setEditorEnabled(false);
    auto *detail = band(new TRpDesignBand(report), "Detail", Rp::rbDetail);
    auto *footer = band(new TRpDesignBand(report), "GroupFooter", Rp::rbGroupFooter);
    auto *group = band(new TRpDesignGroup(report), "Group1");
    group->setExpression(QStringLiteral("Account_Number"));
    group->setPrintCondition(QStringLiteral("TRUE"));
    group->setCompMoverMoving(true);
    group->setFooterBand(footer);
    auto *sub = band(new TRpDesignSubdetail(report), "SubDetail1");
    sub->setPrintBefore(true);
    sub->setCompMoverMoving(true);
    sub->setDataSet(query);
    auto *loop = band(new TRpDesignLoopband(report), "Loop1");
    loop->setPrintCount(3);
    loop->setMaster(sub);
    auto *strings = band(new TRpDesignStringsband(report), "Strings1");
    strings->setItems({ QStringLiteral("un"), QStringLiteral("deux") });
    strings->setNotOnLastPage(true);
    auto *child = band(new TRpDesignChildBand(report), "Child1");
    child->setParentBand(detail);
    child->setPageStep(3);

    auto *label = new TRpDesignLabel(title);
    label->setObjectName(QStringLiteral("Label1"));
    label->setCaption(QStringLiteral("RuntimeDatamodule.Query1 l'été\r\n") + QString(70, u'x'));
    label->setDegree(90);
    label->setFixBottomPosition(true);
    auto *expr = new TRpDesignExpr(footer);
    expr->setObjectName(QStringLiteral("Expr1"));
    expr->setExpression(QStringLiteral("SUM(RuntimeDatamodule.Query1.Amount)"));
    expr->setStretchHeightWithBand(true);
    expr->setDegree(45);
    auto *dbText = new TRpDesignDBText(detail);
    dbText->setObjectName(QStringLiteral("DBText1"));
    dbText->setDataSet(query);
    dbText->setDataField(QStringLiteral("Amount"));
    dbText->setSuppressRepeatedValues(true);
    dbText->setReprintOnNewPage(true);
    dbText->setReprintOnNewGroup(true);
    dbText->setBlankIfZero(true);
    dbText->setMapList({ QStringLiteral("Oui\t1"), QStringLiteral("Non\t0") });
    auto *sys = new TRpDesignSysdata(pageHeader);
    sys->setObjectName(QStringLiteral("Sysdata1"));
    sys->setData(Rp::rpsPageNumber);
    sys->setFixBottomPosition(true);
    auto *memo = new TRpDesignMemo(detail);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setLines({ QStringLiteral("a"), QStringLiteral("b") });
    auto *shape = new TRpDesignShape(strings);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setShape(Rp::rpsHorLine);
    shape->setStretchHeightWithBand(true);
    auto *dbImage = new TRpDesignDBImage(sub);
    dbImage->setObjectName(QStringLiteral("DBImage1"));
    dbImage->setDataSet(query);
    dbImage->setDataField(QStringLiteral("Photo"));
    auto *rich = new TRpDesignRichtext(loop);
    rich->setObjectName(QStringLiteral("Richtext1"));
    rich->setLines({ QStringLiteral("{\\rtf1 gras}"), QStringLiteral("fin") });
    rich->setEditorEnabled(false);
    auto *dbRich = new TRpDesignDBRichtext(child);
    dbRich->setObjectName(QStringLiteral("DBRichtext1"));
    dbRich->setEditorEnabled(false);
    dbRich->setDataSet(query);
    auto *image = new TRpDesignImage(title);
    image->setObjectName(QStringLiteral("Image1"));
    image->setFilename(QStringLiteral("C:\\Images\\logo.bmp"));
    image->picture()->setGraphic(QStringLiteral("TBitmap"), sampleBitmapData());

    TPropertyAddons *addons = engine.addons();
    addons->setFlag(label, QStringLiteral("BlockMove"), true);
    addons->setFlag(label, QStringLiteral("BlockEdit"), true);
    addons->setNumber(label, QStringLiteral("GroupID"), 1);
    addons->setNumber(expr, QStringLiteral("GroupID"), 1);
    addons->setFlag(shape, QStringLiteral("BlockDelete"), true);
}
