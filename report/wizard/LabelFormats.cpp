#include "report/wizard/LabelFormats.h"

#include "platform/Cp1252.h"
#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "platform/RegionalSettings.h"
#include "report/notation/StreamTree.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace RpLabelFormats {

namespace {

constexpr int kFieldCount = 10;
constexpr qsizetype kMaxPaperCode = 20;
// No label sheet is a hundred metres across: larger lengths are errors in the file.
constexpr double kMaxCentimetres = 10000;

// A length in centimetres with "," as the decimal separator.
bool centimetres(const QString &text, double &value)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?(\\d+(,\\d*)?|,\\d+)$"));
    if (!pattern.match(text).hasMatch())
        return false;
    QString plain = text;
    plain.replace(u',', u'.');
    bool ok = false;
    value = plain.toDouble(&ok);
    return ok && std::isfinite(value) && std::abs(value) <= kMaxCentimetres;
}

bool wholeNumber(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

struct PaperCode
{
    const char *code;
    TRpPaperSize size;
    double customWidthCm;
    double customLengthCm;
};

// Codes without their trailing "Q", which turns the same paper to landscape.
constexpr PaperCode kPaperCodes[] = {
    { "A4", RpPaper::A4, 0, 0 },
    { "L", RpPaper::Letter, 0, 0 },
    { "P", RpPaper::Custom, 10.0, 14.8 },
    { "B5", RpPaper::B5, 0, 0 },
    { "A5", RpPaper::A5, 0, 0 },
    { "M", RpPaper::Custom, 10.48, 12.7 },
    { "B4 JIS", RpPaper::B4, 0, 0 },
};

bool readPaperCode(const QString &text, TRpLabelFormat &format)
{
    QString code = text.toUpper().left(kMaxPaperCode);
    if (code.isEmpty() || code == QLatin1String("0"))
        code = QStringLiteral("A4");
    for (const PaperCode &known : kPaperCodes) {
        const QString name = QLatin1String(known.code);
        const bool portrait = code == name;
        const bool landscape = code == name + u'Q';
        if (!portrait && !landscape)
            continue;
        format.paperCode = code;
        format.paperSize = known.size;
        format.landscape = landscape;
        format.customWidth = known.customWidthCm * 10;
        format.customLength = known.customLengthCm * 10;
        return true;
    }
    return false;
}

// Cuts a value to two decimals, toward zero.
double cutToHundredths(double value)
{
    return std::trunc(value * 100 + (value >= 0 ? 1e-7 : -1e-7)) / 100;
}

double inUnit(double millimetres, const UnitContext &unit, Axis axis)
{
    return double(nativeToUnit(millimetres * kNativePerMM, unit, axis));
}

} // namespace

bool parseFormatLine(const QString &line, TRpLabelFormat &format)
{
    QStringList fields = line.split(u';');
    if (fields.size() > kFieldCount)
        return false;
    while (fields.size() < kFieldCount)
        fields << QString();
    for (QString &field : fields) {
        field = field.trimmed();
        if (field.isEmpty())
            field = QStringLiteral("0");
    }
    TRpLabelFormat read;
    read.name = fields[0];
    read.name.replace(u'_', u' ');
    double top = 0, left = 0, width = 0, height = 0, vertical = 0, horizontal = 0;
    if (!centimetres(fields[1], top) || !centimetres(fields[2], left) || !centimetres(fields[3], width)
        || !centimetres(fields[4], height) || !wholeNumber(fields[5], read.columns)
        || !wholeNumber(fields[6], read.rows) || !centimetres(fields[7], vertical)
        || !centimetres(fields[8], horizontal) || !readPaperCode(fields[9], read))
        return false;
    // A sheet without labels, or with more than can be counted, is no label format.
    if (read.columns <= 0 || read.rows <= 0
        || qint64(read.columns) * read.rows > std::numeric_limits<qint32>::max())
        return false;
    read.topMargin = top * 10;
    read.leftMargin = left * 10;
    read.width = width * 10;
    read.height = height * 10;
    read.verticalPitch = vertical == 0 ? read.height : vertical * 10;
    read.horizontalPitch = horizontal == 0 ? read.width : horizontal * 10;
    format = read;
    return true;
}

TRpLabelFamily parseFamily(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = text.split(lineBreak);
    TRpLabelFamily family;
    family.name = lines.value(0).trimmed();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        TRpLabelFormat format;
        if (parseFormatLine(lines[i], format))
            family.formats.push_back(format);
    }
    return family;
}

TRpLabelFamily readFamily(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.exists() && info.size() > kMaxFileSize)
        throw EStreamError(QStringLiteral("%1 is too large to be a label format file").arg(fileName));
    TRpLabelFamily family = parseFamily(Cp1252::decode(FileIO::readAll(fileName)));
    family.fileName = fileName;
    return family;
}

std::vector<TRpLabelFamily> familiesIn(const QString &folder)
{
    std::vector<TRpLabelFamily> families;
    const QDir dir(folder);
    const QStringList names
        = dir.entryList({ QStringLiteral("*.rlf") }, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        try {
            families.push_back(readFamily(dir.filePath(name)));
        } catch (const Exception &) {
            // A file that cannot be read offers no formats.
        }
    }
    return families;
}

const TRpLabelFormat *findFormat(const std::vector<TRpLabelFamily> &families, const QString &name)
{
    QString wanted = name.trimmed();
    wanted.replace(u'_', u' ');
    for (const TRpLabelFamily &family : families) {
        for (const TRpLabelFormat &format : family.formats) {
            if (format.name.compare(wanted, Qt::CaseInsensitive) == 0)
                return &format;
        }
    }
    return nullptr;
}

RpLabelLayout layoutOf(const TRpLabelFormat &format, const UnitContext &unit)
{
    RpLabelLayout layout;
    layout.paperSize = format.paperSize;
    layout.orientation = format.landscape ? RpPaper::poLandscape : RpPaper::poPortrait;
    // The paper in millimetres, across and down as it is turned.
    double paperWidth = format.customWidth;
    double paperLength = format.customLength;
    if (format.paperSize != RpPaper::Custom) {
        const PaperDimensions mm = paperSizeMM(format.paperSize);
        paperWidth = mm.width;
        paperLength = mm.length;
    }
    if (format.landscape)
        std::swap(paperWidth, paperLength);
    const double top = std::max(0.0, format.topMargin);
    const double left = std::max(0.0, format.leftMargin);
    const double rowGap = format.verticalPitch - format.height;
    const double columnGap = format.horizontalPitch - format.width;
    const double bottom = paperLength - top - format.rows * format.height - rowGap * (format.rows - 1);
    const double right = paperWidth - left - format.columns * format.width - columnGap * (format.columns - 1);

    layout.paperWidth = inUnit(format.customWidth, unit, Axis::Horizontal);
    layout.paperLength = inUnit(format.customLength, unit, Axis::Vertical);
    layout.topMargin = inUnit(top, unit, Axis::Vertical);
    layout.leftMargin = inUnit(left, unit, Axis::Horizontal);
    layout.bottomMargin = inUnit(std::max(0.0, bottom), unit, Axis::Vertical);
    layout.rightMargin = inUnit(std::max(0.0, right), unit, Axis::Horizontal);
    layout.width = inUnit(format.width, unit, Axis::Horizontal);
    layout.height = inUnit(format.height, unit, Axis::Vertical);
    layout.columns = format.columns;
    layout.rows = format.rows;
    layout.columnSpace = inUnit(std::max(0.0, columnGap), unit, Axis::Horizontal);
    layout.rowSpace = inUnit(std::max(0.0, rowGap), unit, Axis::Vertical);
    return layout;
}

QString listCaption(const TRpLabelFormat &format, const UnitContext &unit)
{
    const RegionalSettings &regional = RegionalSettings::current();
    const double width = cutToHundredths(inUnit(format.width, unit, Axis::Horizontal));
    const double height = cutToHundredths(inUnit(format.height, unit, Axis::Vertical));
    return format.name + QStringLiteral(" (") + regional.floatToStr(width) + QStringLiteral(" x ")
        + regional.floatToStr(height) + u')';
}

} // namespace RpLabelFormats
