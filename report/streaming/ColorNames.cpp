#include "report/streaming/ColorNames.h"

namespace {

struct ColorName
{
    TColor color;
    const char *name;
};

constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},         {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},         {clOlive, "clOlive"},
    {clNavy, "clNavy"},           {clPurple, "clPurple"},
    {clTeal, "clTeal"},           {clGray, "clGray"},
    {clSilver, "clSilver"},       {clRed, "clRed"},
    {clLime, "clLime"},           {clYellow, "clYellow"},
    {clBlue, "clBlue"},           {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},           {clWhite, "clWhite"},
    {clBtnFace, "clBtnFace"},     {clWindow, "clWindow"},
    {clWindowText, "clWindowText"}, {clBtnText, "clBtnText"},
    {clBtnShadow, "clBtnShadow"}, {clBtnHighlight, "clBtnHighlight"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clGrayText, "clGrayText"},   {clNone, "clNone"},
    {clDefault, "clDefault"},
};

} // namespace

QString colorToIdent(TColor color)
{
    for (const ColorName &entry : kColorNames) {
        if (entry.color == color)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

bool identToColor(QStringView ident, TColor &color)
{
    for (const ColorName &entry : kColorNames) {
        if (ident.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            color = entry.color;
            return true;
        }
    }
    return false;
}
