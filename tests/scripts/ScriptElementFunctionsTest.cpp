// The element and property functions on a designed report held by an engine: colours and fonts, property
// getters and setters, the lock flags, the application's data modules, and the validating switch.
#include "ScriptTestSupport.h"

#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

namespace {

class ScriptElementFunctions : public testing::Test
{
protected:
    ScriptElementFunctions()
        : engine(QStringLiteral("ElementsWindow"))
    {
        TDesignRpReport *report = engine.report();
        detail = new TRpDesignBand(report);
        detail->setObjectName(QStringLiteral("Detailband"));
        detail->setBandType(Rp::rbDetail);
        label = new TRpDesignLabel(detail);
        label->setObjectName(QStringLiteral("RpLabel1"));
        label->setCaption(QStringLiteral("Bonjour"));
        shape = new TRpDesignShape(detail);
        shape->setObjectName(QStringLiteral("RpShape1"));
        memo = new TRpDesignMemo(detail);
        memo->setObjectName(QStringLiteral("RpMemo1"));
        dbText = new TRpDesignDBText(detail);
        dbText->setObjectName(QStringLiteral("RpDBText1"));
        dbText->setDataField(QStringLiteral("Amount"));

        table = new TMemTable(engine.dataModule());
        table->setObjectName(QStringLiteral("Query1"));
        table->FieldDefs() = FinanceTables::accountDefs();
        table->CreateEmpty();
    }

    QString eval(const char *text, bool validating = false)
    {
        return ScriptTest::eval(QString::fromUtf8(text), validating);
    }

    ReportFileEngine engine;
    TRpDesignBand *detail;
    TRpDesignLabel *label;
    TRpDesignShape *shape;
    TRpDesignMemo *memo;
    TRpDesignDBText *dbText;
    TMemTable *table;
};

TEST_F(ScriptElementFunctions, ElementsAndTheirPropertiesAreFoundByName)
{
    EXPECT_EQ(eval("ELEMENTEXISTS('rplabel1')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("ELEMENTEXISTS('Detailband')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("ELEMENTEXISTS('RpReport')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("PROPEXISTS('RpLabel1', 'caption')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("PROPEXISTS('RpLabel1', 'Lines')"), QStringLiteral("boolean: False"));
    // Report data sets are reached by the setters only (they search the data modules too).
    EXPECT_EQ(eval("ELEMENTEXISTS('Query1')"), QStringLiteral("boolean: False"));
}

TEST_F(ScriptElementFunctions, ColoursGoToTheBrushAndPenOfShapesAndToTheColourAndFontOfOthers)
{
    EXPECT_EQ(eval("SETCOLOR('RpShape1', RED)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONTCOLOR('RpShape1', BLUE)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(shape->brush()->color(), 255);
    EXPECT_EQ(shape->pen()->color(), 0xFF0000);
    EXPECT_EQ(eval("SETCOLOR('RpLabel1', GREEN)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONTCOLOR('RpLabel1', NAVY)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(label->color(), 0x008000);
    EXPECT_EQ(label->font()->color(), 0x800000);
    // A band has a colour and a font; a shape has no font.
    EXPECT_EQ(eval("SETFONTSIZE('RpShape1', 12)"), QStringLiteral("boolean: False"));
    EXPECT_EQ(eval("SETFONTSIZE('RpLabel1', 14)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONT('RpLabel1', 'Courier New')"), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONTSTYLE('RpLabel1', TRUE, FALSE, TRUE, FALSE)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(label->font()->size(), 14);
    EXPECT_EQ(label->font()->name(), QStringLiteral("Courier New"));
    EXPECT_EQ(label->font()->style(), Rp::TFontStyles(Rp::fsBold | Rp::fsUnderline));
    EXPECT_TRUE(eval("SETFONTSTYLE('RpLabel1', TRUE, FALSE, 1, FALSE)").startsWith(QLatin1String("error")));
}

TEST_F(ScriptElementFunctions, PropertiesAreReadAndWrittenByNameAndKind)
{
    EXPECT_EQ(eval("SETSTRPROP('RpLabel1', 'Caption', 'Au revoir')"), QStringLiteral("string: Au revoir"));
    EXPECT_EQ(label->caption(), QStringLiteral("Au revoir"));
    EXPECT_EQ(eval("GETSTRPROP('RpLabel1', 'CAPTION')"), QStringLiteral("string: Au revoir"));
    EXPECT_EQ(eval("SETSTRPROP('RpMemo1', 'Lines', 'un' + CHR(13) + CHR(10) + 'deux')"),
        QStringLiteral("string: un\r\ndeux"));
    EXPECT_EQ(memo->lines(), (QStringList { QStringLiteral("un"), QStringLiteral("deux") }));
    EXPECT_EQ(eval("GETSTRPROP('RpMemo1', 'Lines')"), QStringLiteral("string: un\r\ndeux"));
    EXPECT_EQ(eval("SETBOOLPROP('RpLabel1', 'Enabled', FALSE)"), QStringLiteral("boolean: False"));
    EXPECT_FALSE(label->enabled());
    EXPECT_EQ(eval("GETBOOLPROP('RpLabel1', 'Enabled')"), QStringLiteral("boolean: False"));
    EXPECT_EQ(eval("SETINTPROP('RpLabel1', 'Color', 65280)"), QStringLiteral("integer: 65280"));
    EXPECT_EQ(eval("GETINTPROP('RpLabel1', 'Color')"), QStringLiteral("integer: 65280"));
    EXPECT_EQ(eval("GETFLOATPROP('RpLabel1', 'Color')"), QStringLiteral("float: 65280"));
    // Missing properties: setters still give their value, getters the kind's empty value.
    EXPECT_EQ(eval("SETINTPROP('RpLabel1', 'NoSuch', 3)"), QStringLiteral("integer: 3"));
    EXPECT_EQ(eval("GETBOOLPROP('RpLabel1', 'NoSuch')"), QStringLiteral("boolean: False"));
    EXPECT_EQ(eval("GETINTPROP('RpLabel1', 'NoSuch')"), QStringLiteral("integer: 0"));
    EXPECT_EQ(eval("GETFLOATPROP('RpLabel1', 'NoSuch')"), QStringLiteral("float: 0"));
    EXPECT_EQ(eval("GETSTRPROP('RpLabel1', 'NoSuch')"), QStringLiteral("string: "));
    // A property of another kind is left alone.
    EXPECT_EQ(eval("SETBOOLPROP('RpLabel1', 'Caption', TRUE)"), QStringLiteral("boolean: True"));
    EXPECT_EQ(label->caption(), QStringLiteral("Au revoir"));
}

TEST_F(ScriptElementFunctions, LockedElementsAndLockNamesAreRefused)
{
    EXPECT_TRUE(eval("SETBOOLPROP('RpLabel1', 'BlockMove', TRUE)").startsWith(QLatin1String("error")));
    EXPECT_TRUE(eval("SETBOOLPROP('RpLabel1', 'blockedit', FALSE)").startsWith(QLatin1String("error")));
    EXPECT_FALSE(engine.addons()->flag(label, QStringLiteral("BlockMove")));

    engine.addons()->setFlag(dbText, QStringLiteral("BlockChange"), true);
    EXPECT_TRUE(eval("SETSTRPROP('RpDBText1', 'DataField', 'Other')").startsWith(QLatin1String("error")));
    EXPECT_EQ(dbText->dataField(), QStringLiteral("Amount"));
    EXPECT_EQ(eval("SETSTRPROP('RpDBText1', 'Mask', '0.00')"), QStringLiteral("string: 0.00"));

    engine.addons()->setFlag(label, QStringLiteral("BlockEdit"), true);
    for (const char *setter :
        { "SETBOOLPROP('RpLabel1', 'Enabled', FALSE)", "SETINTPROP('RpLabel1', 'Color', 1)",
            "SETFLOATPROP('RpLabel1', 'Color', 1.5)", "SETSTRPROP('RpLabel1', 'Caption', 'x')" })
        EXPECT_TRUE(eval(setter).startsWith(QLatin1String("error"))) << setter;
    EXPECT_TRUE(label->enabled());
    EXPECT_EQ(label->caption(), QStringLiteral("Bonjour"));
}

TEST_F(ScriptElementFunctions, SettersReachAReportsOwnDataSetsButRefuseTheProgramsTables)
{
    // The report's own data set, in its data module: reachable by the setters, as before.
    EXPECT_EQ(eval("SETSTRPROP('Query1', 'objectName', 'Query1')"), QStringLiteral("string: Query1"));

    ScriptTest::AppDataModule module(QStringLiteral("DataModule1"));
    auto *accounts = new TMemTable(&module);
    accounts->setObjectName(QStringLiteral("tblAccount"));
    accounts->FieldDefs() = FinanceTables::accountDefs();
    accounts->CreateEmpty();
    for (const char *setter : { "SETSTRPROP('tblAccount', 'FileName', 'elsewhere.dat')",
             "SETBOOLPROP('tblAccount', 'Active', FALSE)", "SETSTRPROP('tblAccount', 'objectName', 'gone')",
             "SETINTPROP('tblAccount', 'Tag', 1)", "SETFLOATPROP('tblAccount', 'Tag', 1.5)" })
        EXPECT_TRUE(eval(setter).startsWith(QLatin1String("error"))) << setter;
    EXPECT_TRUE(accounts->Active());
    EXPECT_EQ(accounts->objectName(), QStringLiteral("tblAccount"));
    // The data-set functions still read the program's tables.
    EXPECT_EQ(eval("RECORDCOUNT('tblAccount')"), QStringLiteral("integer: 0"));
}

TEST_F(ScriptElementFunctions, ACheckedExpressionChangesNothing)
{
    EXPECT_EQ(eval("SETSTRPROP('RpLabel1', 'Caption', 'x')", true), QStringLiteral("string: x"));
    EXPECT_EQ(eval("SETBOOLPROP('RpLabel1', 'Enabled', FALSE)", true), QStringLiteral("boolean: False"));
    EXPECT_EQ(eval("SETINTPROP('RpLabel1', 'Color', 1)", true), QStringLiteral("integer: 1"));
    EXPECT_EQ(eval("SETFLOATPROP('RpLabel1', 'Color', 1.5)", true), QStringLiteral("float: 1,5"));
    EXPECT_EQ(eval("SETCOLOR('RpShape1', RED)", true), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONTCOLOR('RpShape1', RED)", true), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONTCOLOR('RpLabel1', RED)", true), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONTSIZE('RpLabel1', 30)", true), QStringLiteral("boolean: True"));
    EXPECT_EQ(eval("SETFONT('RpLabel1', 'Courier')", true), QStringLiteral("boolean: True"));
    EXPECT_EQ(
        eval("SETFONTSTYLE('RpLabel1', TRUE, TRUE, TRUE, TRUE)", true), QStringLiteral("boolean: True"));
    EXPECT_EQ(label->caption(), QStringLiteral("Bonjour"));
    EXPECT_TRUE(label->enabled());
    EXPECT_EQ(label->color(), TRpDesignLabel().color());
    EXPECT_EQ(shape->brush()->color(), ReportBrush().color());
    EXPECT_EQ(shape->pen()->color(), ReportPen().color());
    EXPECT_TRUE(label->font()->sameAs(ReportFont()));
    // A missing element is still reported.
    EXPECT_TRUE(eval("SETCOLOR('Nothing', RED)", true).startsWith(QLatin1String("error")));
}

TEST_F(ScriptElementFunctions, CaptionsOfLabelsAndExpressions)
{
    EXPECT_EQ(eval("GETCAPTION('RpLabel1')"), QStringLiteral("string: Bonjour"));
    auto *expression = new TRpDesignExpr(detail);
    expression->setObjectName(QStringLiteral("RpExpression1"));
    expression->setExpression(QStringLiteral("GETCAPTION('RpExpression1')"));
    // Outside a run an expression element has no value yet.
    EXPECT_TRUE(eval("GETCAPTION('RpExpression1')").startsWith(QLatin1String("string: ")));
    EXPECT_TRUE(eval("GETCAPTION('Nothing')").startsWith(QLatin1String("error")));
}

} // namespace
