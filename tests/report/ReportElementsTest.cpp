#include "ReportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaProperty>
#include <cstring>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TRpReport> readReport(const QByteArray &text)
{
    registerAll();
    std::unique_ptr<QObject> object = readComponent(text, fullReportReadOptions());
    auto *report = qobject_cast<TRpReport *>(object.get());
    if (!report)
        return nullptr;
    object.release();
    return std::unique_ptr<TRpReport>(report);
}

template<typename T>
T *element(const TRpReport &report, const char *name)
{
    return report.findChild<T *>(QLatin1String(name));
}

// A property's value as a short text: enumeration identifiers, sets in brackets, True/False, "nil" or the
// target's name for links, lines joined by "|"; "<none>" when the class has no such property.
QString describe(const QObject *object, const QString &path)
{
    const QStringList steps = path.split(u'.');
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QMetaObject *meta = object->metaObject();
        const int index = meta->indexOfProperty(steps[i].toLatin1().constData());
        if (index < 0)
            return QStringLiteral("<none>");
        const QMetaProperty property = meta->property(index);
        const QVariant value = property.read(object);
        const bool pointer = (property.metaType().flags() & QMetaType::PointerToQObject) != 0;
        if (pointer) {
            const QObject *target = *static_cast<QObject *const *>(value.constData());
            if (i + 1 < steps.size()) {
                if (!target)
                    return QStringLiteral("<none>");
                object = target;
                continue;
            }
            return target ? target->objectName() : QStringLiteral("nil");
        }
        if (property.isEnumType()) {
            const QMetaEnum enumerator = property.enumerator();
            int raw = 0;
            std::memcpy(&raw, value.constData(), sizeof raw);
            if (enumerator.isFlag())
                return u'[' + QString::fromLatin1(enumerator.valueToKeys(raw)).replace(u'|', QStringLiteral(", "))
                       + u']';
            return QString::fromLatin1(enumerator.valueToKey(raw));
        }
        if (property.metaType() == QMetaType::fromType<bool>())
            return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        if (property.metaType() == QMetaType::fromType<QStringList>())
            return value.toStringList().join(u'|');
        return value.toString();
    }
    return QStringLiteral("<none>");
}

// ---------------------------------------------------------------- defaults

struct DefaultCase
{
    const char *className;
    const char *property;
    const char *expected;
};

void PrintTo(const DefaultCase &c, std::ostream *os)
{
    *os << c.className << '.' << c.property;
}

class ElementDefaults : public testing::TestWithParam<DefaultCase>
{
};

TEST_P(ElementDefaults, ANewElementOnADetailBandHasTheDocumentedValue)
{
    registerAll();
    const DefaultCase &c = GetParam();
    TRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    QObject *made = reportClasses().create(QString::fromLatin1(c.className), band);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(describe(made, QString::fromLatin1(c.property)), QString::fromUtf8(c.expected));
}

constexpr DefaultCase kDefaults[] = {
    // text elements
    {"TRpLabel", "Enabled", "True"},
    {"TRpLabel", "Width", "10"},
    {"TRpLabel", "Height", "10"},
    {"TRpLabel", "Frame.DrawTop", "False"},
    {"TRpLabel", "Frame.Width", "1"},
    {"TRpLabel", "Alignment", "taLeftJustify"},
    {"TRpLabel", "AlignToBand", "False"},
    {"TRpLabel", "AutoSize", "True"},
    {"TRpLabel", "AutoStretch", "False"},
    {"TRpLabel", "WordWrap", "True"},
    {"TRpLabel", "BiDiMode", "bdLeftToRight"},
    {"TRpLabel", "ParentBiDiMode", "True"},
    {"TRpLabel", "Color", "16777215"},
    {"TRpLabel", "Transparent", "False"},
    {"TRpLabel", "ParentFont", "True"},
    {"TRpLabel", "Font.Name", "Arial"},
    {"TRpLabel", "Font.Size", "10"},
    {"TRpLabel", "Caption", ""},
    {"TRpMemo", "Lines", ""},
    {"TRpMemo", "AutoStretch", "False"},
    {"TRpMemo", "WordWrap", "True"},
    {"TRpMemo", "Color", "16777215"},
    {"TRpDBText", "DataSet", "nil"},
    {"TRpDBText", "DataField", ""},
    {"TRpDBText", "Mask", ""},
    {"TRpDBText", "AutoSize", "True"},
    {"TRpExpr", "Expression", ""},
    {"TRpExpr", "Mask", ""},
    {"TRpExpr", "Master", "nil"},
    {"TRpExpr", "ResetAfterPrint", "False"},
    {"TRpExpr", "WordWrap", "True"},
    {"TRpSysData", "Data", "rpsTime"},
    {"TRpSysData", "Text", ""},
    {"TRpSysData", "AutoStretch", "<none>"},
    {"TRpSysData", "WordWrap", "<none>"},
    {"TRpSysData", "Alignment", "taLeftJustify"},
    {"TRpDBCalc", "Operation", "rpcSum"},
    {"TRpDBCalc", "DataField", ""},
    {"TRpDBCalc", "DataSource", "nil"},
    {"TRpDBCalc", "PrintMask", ""},
    {"TRpDBCalc", "ResetBand", "nil"},
    {"TRpDBCalc", "Expression", ""},
    // graphic elements
    {"TRpShape", "Shape", "rpsRectangle"},
    {"TRpShape", "Pen.Color", "0"},
    {"TRpShape", "Pen.Mode", "pmCopy"},
    {"TRpShape", "Pen.Style", "psSolid"},
    {"TRpShape", "Pen.Width", "1"},
    {"TRpShape", "Brush.Color", "16777215"},
    {"TRpShape", "Brush.Style", "bsSolid"},
    {"TRpShape", "Width", "65"},
    {"TRpShape", "Height", "65"},
    {"TRpShape", "Enabled", "True"},
    {"TRpImage", "AutoSize", "False"},
    {"TRpImage", "Center", "False"},
    {"TRpImage", "Stretch", "False"},
    {"TRpImage", "Width", "105"},
    {"TRpImage", "Height", "105"},
    {"TRpDBImage", "DataSet", "nil"},
    {"TRpDBImage", "DataField", ""},
    {"TRpDBImage", "Center", "True"},
    {"TRpDBImage", "Stretch", "False"},
    {"TRpDBImage", "Width", "105"},
    {"TRpDBImage", "Height", "105"},
    // rich text
    {"TRpRichText", "Lines", ""},
    {"TRpRichText", "ParentRichEdit", "nil"},
    {"TRpRichText", "Alignment", "taLeftJustify"},
    {"TRpRichText", "AutoStretch", "False"},
    {"TRpRichText", "Color", "16777215"},
    {"TRpRichText", "Font.Name", "Arial"},
    {"TRpRichText", "Width", "100"},
    {"TRpRichText", "Height", "100"},
    {"TRpDBRichText", "DataSet", "nil"},
    {"TRpDBRichText", "DataField", ""},
    {"TRpDBRichText", "AutoStretch", "False"},
    {"TRpDBRichText", "Width", "100"},
    // the composite report
    {"TRpCompositeReport", "Options", "[FirstPageHeader, LastPageFooter]"},
    {"TRpCompositeReport", "ReportTitle", ""},
    {"TRpCompositeReport", "PrinterSettings.Copies", "1"},
    {"TRpCompositeReport", "PrinterSettings.PaperSize", "Default"},
    {"TRpCompositeReport", "PrinterSettings.Orientation", "poPortrait"},
    {"TRpCompositeReport", "PrinterSettings.OutputBin", "Auto"},
};

INSTANTIATE_TEST_SUITE_P(Table, ElementDefaults, testing::ValuesIn(kDefaults));

TEST(ElementDefaults, EveryClassAFileCanNameIsRegistered)
{
    registerAll();
    for (const char *name : {"TRpReport", "TRpBand", "TRpChildBand", "TRpGroup", "TRpSubDetail", "TRpLoopBand",
                             "TRpStringsBand", "TRpLabel", "TRpMemo", "TRpDBText", "TRpExpr", "TRpSysData", "TRpDBCalc",
                             "TRpShape", "TRpImage", "TRpDBImage", "TRpRichText", "TRpDBRichText",
                             "TRpCompositeReport"}) {
        const std::unique_ptr<QObject> made(reportClasses().create(QString::fromLatin1(name)));
        ASSERT_NE(made, nullptr) << name;
        EXPECT_STREQ(made->metaObject()->className(), name);
    }
}

TEST(ElementDefaults, AnElementOnAReportTakesItsUnitAndZoom)
{
    TRpReport report;
    report.setUnits(Rp::Inches);
    report.setZoom(200);
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    TRpShape shape(band);
    EXPECT_EQ(shape.size()->unit(), Rp::Inches);
    EXPECT_EQ(shape.zoom(), 200);
    EXPECT_EQ(shape.width(), 130); // 65 pixels at 100 %
    EXPECT_NEAR(shape.size()->width(), 65.0 / 96, 1e-9);
}

// ---------------------------------------------------------------- the full report read back

TEST(ElementStreaming, EveryElementKindReadsBackWithItsValuesAndLinks)
{
    const auto original = makeFullReport();
    const auto report = readReport(writeComponentText(original.get()));
    ASSERT_TRUE(report);
    QObject *table = fullReportDataModule()->findChild<QObject *>(QStringLiteral("Table1"));

    auto *label = element<TRpLabel>(*report, "Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->caption(), element<TRpLabel>(*original, "Label1")->caption());
    EXPECT_FALSE(label->parentFont());
    EXPECT_EQ(label->font()->size(), 9);
    EXPECT_EQ(label->font()->charset(), Rp::EASTEUROPE_CHARSET);
    EXPECT_EQ(element<TRpLabel>(*report, "PageLabel1")->parent(), report.get());
    EXPECT_TRUE(element<TRpLabel>(*report, "PageLabel1")->parentFont());

    EXPECT_EQ(element<TRpSysData>(*report, "SysData1")->data(), Rp::rpsPageNumber);
    EXPECT_EQ(element<TRpMemo>(*report, "Memo1")->lines().size(), 3);
    EXPECT_EQ(element<TRpDBText>(*report, "DBText1")->dataSet(), table);

    auto *expr = element<TRpExpr>(*report, "Expr1");
    EXPECT_EQ(expr->master(), report->findChild<QObject *>(QStringLiteral("SubDetail1")));
    EXPECT_TRUE(expr->resetAfterPrint());

    auto *calc = element<TRpDBCalc>(*report, "DBCalc1");
    EXPECT_EQ(calc->expression(), QStringLiteral("Average(Account_Balance)"));
    EXPECT_EQ(calc->mask(), QStringLiteral("0.0"));
    EXPECT_EQ(calc->resetBand(), report->findChild<QObject *>(QStringLiteral("Group1")));
    EXPECT_EQ(calc->dataSource(), fullReportDataModule()->findChild<QObject *>(QStringLiteral("DataSource1")));
    EXPECT_EQ(calc->master(), report.get());

    auto *shape = element<TRpShape>(*report, "Shape1");
    EXPECT_EQ(shape->pen()->mode(), Rp::pmXor);
    EXPECT_EQ(shape->brush()->color(), TColor(0x00C0FFEE));

    auto *image = element<TRpImage>(*report, "Image1");
    EXPECT_EQ(image->picture()->kind(), QStringLiteral("TBitmap"));
    EXPECT_EQ(image->picture()->graphicData(), sampleBitmapData());

    EXPECT_EQ(element<TRpDBImage>(*report, "DBImage1")->dataField(), QStringLiteral("Photo"));
    EXPECT_EQ(element<TRpRichText>(*report, "RichText1")->lines(),
              element<TRpRichText>(*original, "RichText1")->lines());
    EXPECT_EQ(element<TRpDBRichText>(*report, "DBRichText1")->font()->style(), Rp::fsItalic);
}

// The seeds of the fuzz targets are this report, so that fuzzing starts from every element kind. Setting
// QUILLOT_UPDATE_SEEDS rewrites them.
TEST(ElementStreaming, TheFuzzSeedsHoldTheFullReport)
{
    const QDir root(QStringLiteral(QUILLOT_TEST_DATA "/../.."));
    const auto report = makeFullReport();
    const std::pair<QString, QByteArray> seeds[] = {
        {root.filePath(QStringLiteral("fuzz/corpus/ReportTextFuzz/full-report.txt")), writeComponentText(report.get())},
        {root.filePath(QStringLiteral("fuzz/corpus/ReportResourceFuzz/full-report.rp2")),
         writeComponentResource(report.get())}};
    for (const auto &[path, bytes] : seeds) {
        QFile file(path);
        if (qEnvironmentVariableIsSet("QUILLOT_UPDATE_SEEDS")) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            continue;
        }
        if (!file.open(QIODevice::ReadOnly))
            GTEST_SKIP() << "the sources are not beside the build";
        EXPECT_TRUE(file.readAll() == bytes) << path.toStdString() << " is out of date";
    }
}

TEST(ElementStreaming, TheCompositeReportRoundTrips)
{
    registerAll();
    TRpCompositeReport composite;
    composite.setObjectName(QStringLiteral("Composite1"));
    composite.setTag(3);
    composite.setOptions(Rp::Compression);
    composite.setReportTitle(QStringLiteral("Tout"));
    composite.printerSettings()->setPaperSize(RpPaper::A5);
    composite.printerSettings()->setOrientation(RpPaper::poLandscape);
    composite.printerSettings()->setCopies(2);
    const QByteArray text = writeComponentText(&composite);
    const std::unique_ptr<QObject> copy = readComponent(text);
    auto *read = qobject_cast<TRpCompositeReport *>(copy.get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->options(), Rp::Compression);
    EXPECT_EQ(read->printerSettings()->paperSize(), RpPaper::A5);
    EXPECT_EQ(writeComponentText(read), text);
    EXPECT_EQ(writeComponentResource(read), writeComponentResource(&composite));
}

TEST(ElementStreaming, ACompositeForgetsADestroyedReport)
{
    TRpCompositeReport composite;
    auto first = std::make_unique<TRpReport>();
    TRpReport second;
    composite.addReport(first.get());
    composite.addReport(&second);
    composite.addReport(nullptr);
    first.reset();
    EXPECT_EQ(composite.reports(), QList<TCustomRpReport *>{&second});
}

// ---------------------------------------------------------------- load-time rules

const char kBandHead[] = "object RpReport: TRpReport\r\n"
                         "  object DetailBand1: TRpBand\r\n"
                         "    BandType = rbDetail\r\n";
const char kBandTail[] = "  end\r\n"
                         "end\r\n";

QByteArray onBand(const QByteArray &elements)
{
    return kBandHead + elements + kBandTail;
}

TEST(ElementLoading, FontSizeWinsOverTheStoredPixelHeight)
{
    const auto report = readReport(onBand("    object L1: TRpLabel\r\n"
                                          "      Font.Height = -40\r\n"
                                          "      ParentFont = False\r\n"
                                          "      FontSize = 11\r\n"
                                          "    end\r\n"
                                          "    object L2: TRpLabel\r\n"
                                          "      Font.Height = -40\r\n"
                                          "      FontSize = 0\r\n"
                                          "    end\r\n"
                                          "    object L3: TRpLabel\r\n"
                                          "      FontSize = 10\r\n" // the band's size: still the band's font
                                          "    end\r\n"
                                          "    object L4: TRpLabel\r\n"
                                          "      FontSize = 'big'\r\n"
                                          "    end\r\n"));
    ASSERT_TRUE(report);
    EXPECT_EQ(element<TRpLabel>(*report, "L1")->font()->size(), 11);
    EXPECT_EQ(element<TRpLabel>(*report, "L2")->font()->size(), 30);
    EXPECT_TRUE(element<TRpLabel>(*report, "L3")->parentFont());
    EXPECT_EQ(element<TRpLabel>(*report, "L4")->font()->size(), 10);
}

TEST(ElementLoading, AFontSizeOtherThanTheBandsEndsFollowingTheBand)
{
    const auto report = readReport(onBand("    object L1: TRpLabel\r\n"
                                          "      FontSize = 14\r\n"
                                          "    end\r\n"));
    ASSERT_TRUE(report);
    auto *label = element<TRpLabel>(*report, "L1");
    EXPECT_FALSE(label->parentFont());
    EXPECT_EQ(label->font()->size(), 14);
    const QByteArray text = writeComponentText(report.get());
    EXPECT_TRUE(text.contains("ParentFont = False")) << text.toStdString();
    EXPECT_EQ(writeComponentText(readReport(text).get()), text);
}

TEST(ElementLoading, AStoredFontIsReadAsDifferencesFromTheDefaultFont)
{
    // The report's font is 12 points; the band and the label keep fonts of their own at the default size,
    // which is what their stored values leave out.
    const QByteArray text = "object RpReport: TRpReport\r\n"
                            "  Font.Height = -16\r\n"
                            "  object DetailBand1: TRpBand\r\n"
                            "    Font.Height = -13\r\n"
                            "    Font.Name = 'Verdana'\r\n"
                            "    ParentFont = False\r\n"
                            "    object L1: TRpLabel\r\n"
                            "      Font.Height = -13\r\n"
                            "      Font.Style = [fsBold]\r\n"
                            "      ParentFont = False\r\n"
                            "    end\r\n"
                            "    object L2: TRpLabel\r\n"
                            "    end\r\n"
                            "  end\r\n"
                            "end\r\n";
    const auto report = readReport(text);
    ASSERT_TRUE(report);
    auto *band = report->findChild<TRpCustomBand *>(QStringLiteral("DetailBand1"));
    EXPECT_EQ(band->font()->size(), 10);
    EXPECT_EQ(band->font()->name(), QStringLiteral("Verdana"));
    EXPECT_EQ(element<TRpLabel>(*report, "L1")->font()->size(), 10);
    EXPECT_EQ(element<TRpLabel>(*report, "L1")->font()->name(), QStringLiteral("Arial"));
    EXPECT_TRUE(element<TRpLabel>(*report, "L2")->parentFont());
    EXPECT_EQ(element<TRpLabel>(*report, "L2")->font()->name(), QStringLiteral("Verdana"));
    const QByteArray first = writeComponentText(report.get());
    EXPECT_EQ(writeComponentText(readReport(first).get()).toStdString(), first.toStdString());
}

TEST(ElementLoading, AnElementFollowingItsBandSeesTheBandsFontWhenLoaded)
{
    const auto report = readReport("object RpReport: TRpReport\r\n"
                                   "  Font.Height = -16\r\n"
                                   "  object DetailBand1: TRpBand\r\n"
                                   "    object L1: TRpLabel\r\n"
                                   "      FontSize = 12\r\n"
                                   "    end\r\n"
                                   "  end\r\n"
                                   "end\r\n");
    ASSERT_TRUE(report);
    EXPECT_TRUE(element<TRpLabel>(*report, "L1")->parentFont());
    EXPECT_EQ(element<TRpLabel>(*report, "L1")->font()->size(), 12);
}

struct PictureCase
{
    const char *label;
    QByteArray data; // the bytes between the braces
    bool kept;
};

class PictureData : public testing::TestWithParam<PictureCase>
{
};

TEST_P(PictureData, BadBytesLeaveThePictureEmpty)
{
    const PictureCase &c = GetParam();
    const auto report = readReport(onBand("    object I1: TRpImage\r\n"
                                          "      Picture.Data = {"
                                          + c.data + "}\r\n"
                                                     "    end\r\n"));
    ASSERT_TRUE(report);
    EXPECT_EQ(!element<TRpImage>(*report, "I1")->picture()->isEmpty(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PictureData,
    testing::Values(PictureCase{"bitmap", "07544269746D6170020000004142", true},
                    PictureCase{"bitmap_length_past_the_end", "07544269746D6170FFFFFFFF4142", false},
                    PictureCase{"bitmap_without_length", "07544269746D617001", false},
                    PictureCase{"kind_past_the_end", "FF5442", false},
                    PictureCase{"empty_kind", "0041", false},
                    PictureCase{"kind_not_a_name", "03412D42", false},
                    PictureCase{"metafile_kept_as_is", "09544D65746166696C6501020304", true}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(ElementLoading, AnExpressionsMasterIsAReportOrASubDetailOnly)
{
    const auto report = readReport("object RpReport: TRpReport\r\n"
                                   "  object DetailBand1: TRpBand\r\n"
                                   "    BandType = rbDetail\r\n"
                                   "    object E1: TRpExpr\r\n"
                                   "      Master = DetailBand1\r\n"
                                   "    end\r\n"
                                   "    object E2: TRpExpr\r\n"
                                   "      Master = Sub1\r\n"
                                   "    end\r\n"
                                   "    object E3: TRpExpr\r\n"
                                   "      Master = Owner\r\n"
                                   "    end\r\n"
                                   "  end\r\n"
                                   "  object Sub1: TRpSubDetail\r\n"
                                   "  end\r\n"
                                   "end\r\n");
    ASSERT_TRUE(report);
    EXPECT_EQ(element<TRpExpr>(*report, "E1")->master(), nullptr);
    EXPECT_EQ(element<TRpExpr>(*report, "E2")->master(), report->findChild<QObject *>(QStringLiteral("Sub1")));
    EXPECT_EQ(element<TRpExpr>(*report, "E3")->master(), report.get());
}

TEST(ElementLoading, LinksOfElementsClearWhenTheirTargetGoes)
{
    const auto report = makeFullReport();
    auto *expr = element<TRpExpr>(*report, "Expr1");
    auto *calc = element<TRpDBCalc>(*report, "DBCalc1");
    std::unique_ptr<QObject>(report->findChild<TRpSubDetail *>(QStringLiteral("SubDetail1"))).reset();
    std::unique_ptr<QObject>(report->findChild<TRpGroup *>(QStringLiteral("Group1"))).reset();
    EXPECT_EQ(expr->master(), nullptr);
    EXPECT_EQ(calc->resetBand(), nullptr);
    EXPECT_FALSE(writeComponentText(report.get()).contains("SubDetail1"));
}

// ---------------------------------------------------------------- model rules

struct CalcCase
{
    Rp::TRpCalcOperation operation;
    const char *expression;
};

class CalcExpression : public testing::TestWithParam<CalcCase>
{
};

TEST_P(CalcExpression, FollowsOperationAndField)
{
    TRpDBCalc calc;
    calc.setOperation(GetParam().operation);
    calc.setDataField(QStringLiteral("Amount"));
    EXPECT_EQ(calc.expression(), QString::fromLatin1(GetParam().expression));
    calc.setDataField(QStringLiteral("Other"));
    EXPECT_EQ(calc.expression(), TRpDBCalc::expressionFor(GetParam().operation, QStringLiteral("Other")));
}

INSTANTIATE_TEST_SUITE_P(Operations, CalcExpression,
                         testing::Values(CalcCase{Rp::rpcSum, "Sum(Amount)"}, CalcCase{Rp::rpcCount, "Count"},
                                         CalcCase{Rp::rpcMax, "Max(Amount)"}, CalcCase{Rp::rpcMin, "Min(Amount)"},
                                         CalcCase{Rp::rpcAverage, "Average(Amount)"}));

TEST(ElementModel, ATextElementFollowsItsBandsFontUntilItChangesItsOwn)
{
    TRpReport report;
    TRpBand *band = AddBandOfType(&report, Rp::rbDetail);
    TRpLabel label(band);
    report.font()->setName(QStringLiteral("Tahoma"));
    EXPECT_EQ(label.font()->name(), QStringLiteral("Tahoma"));
    label.font()->setSize(20);
    EXPECT_FALSE(label.parentFont());
    report.font()->setName(QStringLiteral("Courier New"));
    EXPECT_EQ(label.font()->name(), QStringLiteral("Tahoma"));
    label.setParentFont(true);
    EXPECT_EQ(label.font()->name(), QStringLiteral("Courier New"));
    EXPECT_EQ(label.font()->size(), 10);
}

TEST(ElementModel, DesignTextsOfTheTextElements)
{
    TRpExpr expr;
    EXPECT_EQ(expr.designText(), QStringLiteral("(none)"));
    TRpSysData sys;
    sys.setText(QStringLiteral("Page "));
    sys.setData(Rp::rpsPageNumber);
    EXPECT_EQ(sys.designText(), QStringLiteral("Page (Page#)"));
    TRpDBText text;
    text.setObjectName(QStringLiteral("DBText1"));
    EXPECT_EQ(text.designText(), QStringLiteral("DBText1"));
    text.setDataField(QStringLiteral("Amount"));
    EXPECT_EQ(text.designText(), QStringLiteral("Amount"));
}

TEST(ElementModel, RichTextSharesItsLinesWithAParentRichEdit)
{
    TRpRichEdit shared;
    shared.setLines({QStringLiteral("shared")});
    TRpRichText rich;
    rich.setParentRichEdit(&shared);
    EXPECT_EQ(rich.lines(), QStringList{QStringLiteral("shared")});
    rich.setLines({QStringLiteral("new")});
    EXPECT_EQ(shared.lines(), QStringList{QStringLiteral("new")});
}

TEST(ElementModel, ADisabledElementIsNotPrintable)
{
    TRpShape shape;
    EXPECT_TRUE(shape.IsPrintable());
    shape.setEnabled(false);
    EXPECT_FALSE(shape.IsPrintable());
}

} // namespace
