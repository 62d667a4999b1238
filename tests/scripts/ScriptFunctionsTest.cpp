// The designer's functions of every family computed from expressions, with the regional settings of France
// ("," decimals, dd/MM/yyyy dates): values, bounds and the errors bad arguments give.
#include "ScriptTestSupport.h"

#include "platform/DateTime.h"
#include "platform/RegionalSettings.h"
#include "report/expressions/EvaluatorLibrary.h"

namespace {

struct FunctionCase
{
    const char *expression;
    // "kind: value", or "error" for any error value.
    const char *expected;
};

void PrintTo(const FunctionCase &c, std::ostream *os)
{
    *os << c.expression;
}

class ScriptFunctions : public testing::TestWithParam<FunctionCase>
{
};

TEST_P(ScriptFunctions, ComputeAsExpected)
{
    const QString result = ScriptTest::eval(QString::fromUtf8(GetParam().expression));
    const QString expected = QString::fromUtf8(GetParam().expected);
    if (expected == QLatin1String("error"))
        EXPECT_TRUE(result.startsWith(QLatin1String("error: "))) << result.toStdString();
    else
        EXPECT_EQ(result.toStdString(), expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Text, ScriptFunctions,
    testing::Values(FunctionCase { "STRTOINT('42')", "integer: 42" },
        FunctionCase { "STRTOINT(' -7 ')", "integer: -7" },
        FunctionCase { "STRTOINT('2147483647')", "integer: 2147483647" },
        FunctionCase { "STRTOINT('2147483648')", "error" },
        FunctionCase { "STRTOINT('-2147483649')", "error" },
        FunctionCase { "STRTOINT('99999999999999999999999')", "error" },
        FunctionCase { "STRTOINT('12,5')", "error" }, FunctionCase { "STRTONUM('3,5')", "float: 3,5" },
        FunctionCase { "STRTONUM('')", "float: 0" }, FunctionCase { "STRTONUM('abc')", "error" },
        FunctionCase { "TRIM('  ab c  ')", "string: ab c" }, FunctionCase { "STRLEN('abc')", "integer: 3" },
        FunctionCase { "STRLEN(5)", "error" }, FunctionCase { "STRLEN('a', 'b')", "error" },
        FunctionCase { "STRETCHSTR('abc', 2)", "string: a  b  c" },
        FunctionCase { "STRETCHSTR('abc', 0)", "string: abc" },
        FunctionCase { "STRETCHSTR('abc',-3)", "string: abc" },
        FunctionCase { "STRLEN(STRETCHSTR('abc', 2000000000))", "integer: 255" },
        FunctionCase { "STRLEN(STRETCHSTR('abc', 200))", "integer: 255" },
        FunctionCase { "COPY(STRETCHSTR('abc', 200), 202, 1)", "string: b" },
        FunctionCase { "CHR(65)", "string: A" }, FunctionCase { "CHR(128)", "string: €" },
        FunctionCase { "CHR(255)", "string: ÿ" }, FunctionCase { "CHR(256)", "error" },
        FunctionCase { "CHR(-1)", "error" }, FunctionCase { "CHR(1E300)", "error" },
        FunctionCase { "PADLEFT('abcdef', 3)", "string: abcdef" },
        FunctionCase { "PADLEFT('ab', 4)", "string:   ab" },
        FunctionCase { "PADRIGHT('ab', 4) + '|'", "string: ab  |" },
        FunctionCase { "PADLEFT('ab',-5)", "string: ab" },
        FunctionCase { "STRLEN(PADLEFT('a', 100000))", "integer: 255" },
        FunctionCase { "STRLEN(PADRIGHT('a', 1E300))", "integer: 255" },
        FunctionCase { "PADLEFTZERO(42, 5)", "string: 00042" },
        FunctionCase { "PADLEFTZERO('7', 3)", "string: 007" },
        FunctionCase { "PADLEFTZERO(TRUE, 3)", "error" },
        FunctionCase { "INSERTSTR('Total : %s €', 'douze')", "string: Total : douze €" },
        FunctionCase { "INSERTSTR('100%% %s', 'sûr')", "string: 100% sûr" },
        FunctionCase { "INSERTSTR('sans trou', 'x')", "string: sans trou" },
        FunctionCase { "INSERTSTR('%d', 'x')", "error" },
        FunctionCase { "INSERTSTR('%s et %s', 'x')", "error" },
        FunctionCase { "INSERTSTR('%5s', 'x')", "error" }, FunctionCase { "INSERTSTR('50%', 'x')", "error" },
        FunctionCase { "INSERTSTR('%s', '%d')", "string: %d" }));

INSTANTIATE_TEST_SUITE_P(Dates, ScriptFunctions,
    testing::Values(FunctionCase { "CALCDATE('31/01/2000', 0, 1, 0)", "string: 02/03/2000" },
        FunctionCase { "CALCDATE('31/01/2000', 29, 0, 0)", "string: 29/02/2000" },
        FunctionCase { "CALCDATE('15/01/2000', 0,-12, 0)", "string: 15/01/1999" },
        FunctionCase { "CALCDATE('15/11/2000', 0, 14,-1)", "string: 15/01/2001" },
        FunctionCase { "CALCDATE('28/02/1900', 1, 0, 0)", "string: 01/03/1900" },
        FunctionCase { "CALCDATE('01/01/1900', 0, 0, 0)", "string: 01/01/1900" },
        FunctionCase { "CALCDATE('06/06/2079', 0, 0, 0)", "string: 06/06/2079" },
        FunctionCase { "CALCDATE('01/01/1900',-1, 0, 0)", "error" },
        FunctionCase { "CALCDATE('06/06/2079', 1, 0, 0)", "error" },
        FunctionCase { "CALCDATE('31/12/1899', 1, 0, 0)", "error" },
        FunctionCase { "CALCDATE('15/05/2000', 0, 0, 100)", "error" },
        FunctionCase { "CALCDATE('15/05/2000', 0,-1300, 0)", "error" },
        FunctionCase { "CALCDATE('15/05/2000', 1E12, 0, 0)", "error" },
        FunctionCase { "CALCDATE('pas une date', 1, 0, 0)", "error" },
        FunctionCase { "CALCTIME('23:59:30', 0, 0, 30)", "string: 00:00:00" },
        FunctionCase { "CALCTIME('10:00:00', 0, 0, 60)", "string: 10:01:00" },
        FunctionCase { "CALCTIME('00:00:10', 0, 0,-20)", "string: 23:59:50" },
        FunctionCase { "CALCTIME('10:00:00',-25, 0, 0)", "string: 09:00:00" },
        FunctionCase { "CALCTIME('10:00:00', 0,-1441, 0)", "string: 09:59:00" },
        FunctionCase { "CALCTIME('10:00:00', 999999999, 0, 0)", "string: 01:00:00" },
        FunctionCase { "CALCTIME('10:00:00', 1E300, 0, 0)", "error" },
        FunctionCase { "CALCTIME('10:00:00', 0, 0, 1E10)", "error" },
        FunctionCase { "CALCTIME('25:00:00', 0, 0, 0)", "error" },
        FunctionCase { "DATEDIFF('01/01/2000', '03/01/2000')", "float: 2" },
        FunctionCase { "DATEDIFF('03/01/2000 12:00:00', '01/01/2000')", "float: -2,5" },
        FunctionCase { "REFORMATDATE('05/03/2001', 'yyyy-mm-dd')", "string: 2001-03-05" },
        FunctionCase { "REFORMATDATE('', 'yyyy')", "error" },
        FunctionCase { "EXTRACTDAY('05/03/2001')", "integer: 5" },
        FunctionCase { "EXTRACTMONTH('05/03/2001')", "integer: 3" },
        FunctionCase { "EXTRACTYEAR('05/03/2001')", "integer: 2001" },
        FunctionCase { "DAYOFWEEK('04/03/2001')", "integer: 1" },
        FunctionCase { "DAYOFWEEK('10/03/2001')", "integer: 7" },
        FunctionCase { "WEEKOFYEAR('01/01/2021')", "integer: 53" },
        FunctionCase { "WEEKOFYEAR('04/01/2021')", "integer: 1" },
        FunctionCase { "DAYSTRING(1)", "string: dimanche" },
        FunctionCase { "DAYSTRING(7)", "string: samedi" }, FunctionCase { "DAYSTRING(0)", "error" },
        FunctionCase { "DAYSTRING(8)", "error" }, FunctionCase { "MONTHSTRING(12)", "string: décembre" },
        FunctionCase { "MONTHSTRING(0)", "error" }, FunctionCase { "MONTHSTRING(13)", "error" }));

INSTANTIATE_TEST_SUITE_P(ReportAndOther, ScriptFunctions,
    testing::Values(FunctionCase { "CURRENCY", "string: €" }, FunctionCase { "NEWPAGE", "string: " },
        FunctionCase { "PAGENUMBER", "error" }, FunctionCase { "VERTPRINTPOS", "error" },
        FunctionCase { "PIXELS(10)", "error" },
        FunctionCase { "PAGECOUNT", "error: Unknown function : PAGECOUNT" },
        FunctionCase { "COUNTER + COUNTER", "integer: 2" }, FunctionCase { "VAR(1)", "error" },
        FunctionCase { "VAR('x')", "error" }, FunctionCase { "QUERYPARAM('Q', 'P')", "error" },
        FunctionCase { "RESETEXPR('nothing')", "string: " },
        FunctionCase { "GROUPPRINTED('nothing')", "error" },
        FunctionCase { "PAGEPRINTS('nothing')", "error" },
        FunctionCase { "READREGISTRY('HKEY_USERS', 'Software', 'Test')", "string: " },
        FunctionCase { "READREGISTRY(1, 2, 3)", "error" },
        FunctionCase { "READINI('', 'A', 'B')", "string: " },
        FunctionCase { "RECORDCOUNT('tblNothing')", "error" },
        FunctionCase { "ELEMENTEXISTS('Nothing')", "boolean: False" },
        FunctionCase { "PROPEXISTS('Nothing', 'Color')", "boolean: False" },
        FunctionCase { "SETCOLOR('Nothing', RED)", "error" },
        FunctionCase { "GETSTRPROP('Nothing', 'Name')", "error" }));

INSTANTIATE_TEST_SUITE_P(Colors, ScriptFunctions,
    testing::Values(FunctionCase { "BLACK", "integer: 0" }, FunctionCase { "RED", "integer: 255" },
        FunctionCase { "BLUE", "integer: 16711680" }, FunctionCase { "SILVER", "integer: 12632256" },
        FunctionCase { "YELLOW", "integer: 65535" }, FunctionCase { "RGBCOLOR(255, 0, 0)", "integer: 255" },
        FunctionCase { "RGBCOLOR(1, 2, 3)", "integer: 197121" },
        FunctionCase { "RGBCOLOR(256, 0, 0)", "error" }, FunctionCase { "RGBCOLOR(0,-1, 0)", "error" },
        FunctionCase { "RGBCOLOR(1, 2)", "error" }, FunctionCase { "RED(1)", "error" }));

TEST(ScriptFunctionsToday, PrintDateIsTodayInTheShortDateFormat)
{
    EXPECT_EQ(ScriptTest::eval(QStringLiteral("PRINTDATE")),
        QStringLiteral("string: ") + RegionalSettings::current().dateToStr(DateTime::today()));
}

TEST(ScriptFunctionsBoxes, AnswerYesWithoutAScreenAndAsTheBoxSaysWithOne)
{
    EXPECT_EQ(ScriptTest::eval(QStringLiteral("YESNOBOX('Continuer ?')")), QStringLiteral("boolean: True"));
    ScriptTest::ScriptedBoxes boxes(false);
    EXPECT_EQ(ScriptTest::eval(QStringLiteral("YESNOBOX('Continuer ?')")), QStringLiteral("boolean: False"));
    EXPECT_EQ(ScriptTest::eval(QStringLiteral("OKCANCELBOX('Annuler ?')")), QStringLiteral("boolean: False"));
    EXPECT_EQ(ScriptTest::eval(QStringLiteral("OKBOX('Lu')")), QStringLiteral("boolean: False"));
    EXPECT_EQ(boxes.shown,
        (QStringList { QStringLiteral("Continuer ?"), QStringLiteral("Annuler ?"), QStringLiteral("Lu") }));
    EXPECT_EQ(boxes.kinds,
        (QList<RpScriptMessages::Buttons> { RpScriptMessages::Buttons::YesNo,
            RpScriptMessages::Buttons::OkCancel, RpScriptMessages::Buttons::Ok }));
}

TEST(ScriptFunctionsBoxes, ACheckedExpressionShowsNoBox)
{
    ScriptTest::ScriptedBoxes boxes(false);
    EXPECT_EQ(
        ScriptTest::eval(QStringLiteral("YESNOBOX('Continuer ?')"), true), QStringLiteral("boolean: True"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

} // namespace

namespace {

// The designer's entries of the registry, in registration order.
QStringList designerEntries(QStringList *codes = nullptr)
{
    QStringList names;
    const TRpFunctionLibrary &library = TRpFunctionLibrary::Global();
    for (int i = 0; i < library.Count(); ++i) {
        if (library.Entry(i).Origin != QLatin1String(kRpDesignerOrigin))
            continue;
        names << library.Entry(i).Name;
        if (codes)
            *codes << library.Entry(i).Codes;
    }
    return names;
}

TEST(ScriptRegistry, HoldsTheDesignersFunctionsInTableOrderWithoutPageCount)
{
    QStringList codes;
    const QStringList names = designerEntries(&codes);
    const QStringList expected = QStringLiteral(
        "NEWPAGE VERTPRINTPOS PAGENUMBER COUNTER RESETEXPR GROUPPRINTED PAGEPRINTS PIXELS CURRENCY PRINTDATE "
        "VAR "
        "QUERYPARAM STRTOINT STRTONUM TRIM STRLEN STRETCHSTR CHR PADLEFT PADRIGHT PADLEFTZERO INSERTSTR "
        "GETCAPTION "
        "DATEDIFF REFORMATDATE CALCDATE EXTRACTDAY EXTRACTMONTH EXTRACTYEAR DAYOFWEEK WEEKOFYEAR DAYSTRING "
        "MONTHSTRING CALCTIME RECORDCOUNT EOF ISNULL ISEMPTY FIELDLEN MEMOLINE READINI READREGISTRY "
        "ELEMENTEXISTS "
        "PROPEXISTS SETCOLOR SETFONTCOLOR SETFONTSIZE SETFONT SETFONTSTYLE SETBOOLPROP SETINTPROP "
        "SETFLOATPROP "
        "SETSTRPROP GETBOOLPROP GETINTPROP GETFLOATPROP GETSTRPROP OKBOX OKCANCELBOX YESNOBOX BLACK MAROON "
        "GREEN "
        "OLIVE NAVY PURPLE TEAL GRAY SILVER RED LIME BLUE FUCHSIA AQUA WHITE YELLOW RGBCOLOR")
                                     .split(u' ');
    EXPECT_EQ(names, expected);
    // Every entry's codes name one argument per letter of its syntax; MEMOLINE takes three.
    EXPECT_EQ(codes[names.indexOf(QStringLiteral("MEMOLINE"))], QStringLiteral("4SSN"));
    EXPECT_EQ(codes[names.indexOf(QStringLiteral("SETFONTSTYLE"))], QStringLiteral("7SBBBB"));
    EXPECT_EQ(codes[names.indexOf(QStringLiteral("CALCDATE"))], QStringLiteral("1SNNN"));
    EXPECT_EQ(codes[names.indexOf(QStringLiteral("RED"))], QStringLiteral("8"));
    const TRpLibraryEntry *rgb = TRpFunctionLibrary::Global().Find(QStringLiteral("RGBCOLOR"));
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(rgb->Syntax(), QStringLiteral("RGBCOLOR(<RED>,<GREEN>,<BLUE>)"));
    EXPECT_EQ(TRpFunctionLibrary::Global().Find(QStringLiteral("VERTPRINTPOS"))->Syntax(),
        QStringLiteral("VERPRINTPOS"));
}

TEST(ScriptRegistry, PageCountComesAndGoesWithPreparationInAdvance)
{
    setPageCountFunction(true);
    const TRpLibraryEntry *entry = TRpFunctionLibrary::Global().Find(QStringLiteral("PAGECOUNT"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Codes, QStringLiteral("7"));
    EXPECT_EQ(entry->Description, QStringLiteral("PAGECOUNT|Returns the total number of pages"));
    // Without a report there is no count.
    EXPECT_TRUE(ScriptTest::eval(QStringLiteral("PAGECOUNT")).startsWith(QLatin1String("error")));
    setPageCountFunction(false);
    EXPECT_EQ(TRpFunctionLibrary::Global().Find(QStringLiteral("PAGECOUNT")), nullptr);
}

TEST(ScriptRegistry, RegisteringAgainKeepsTheEntriesAndTheirOrder)
{
    const QStringList before = designerEntries();
    const int count = TRpFunctionLibrary::Global().Count();
    registerDesignerFunctions();
    setPageCountFunction(false);
    EXPECT_EQ(designerEntries(), before);
    EXPECT_EQ(TRpFunctionLibrary::Global().Count(), count);
}

} // namespace
