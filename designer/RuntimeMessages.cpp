#include "designer/RuntimeMessages.h"

namespace {

// The order is part of the table: a language file addresses lines by their number.
const char *const kDesignerLines[] = {
    "Save report=Save changes to report %s?",
    "Report not saved=The report has not been saved. Continue anyway?",
    "Delete band=Delete selected band and all elements on it?",
    "Delete selected bands=Delete all selected bands?",
    "No databases available=No tables available!",
    "Invalid componentname=Invalid component name!",
    "Invalid position=Invalid top, left, width or height value!",
    "Circular linking not allowed=Circular linking not allowed",
    "Datafield=Data field",
    "Report=Report",
    "Label=Label",
    "Expression=Expression",
    "Band=Band",
    "Childband=Childband",
    "Subdetailband=Subdetailband",
    "Groupband=Groupband",
    "Memo=Memo",
    "Image datafield=Image datafield",
    "Image=Image",
    "Shape=Shape",
    "Systemfield=Systemfield",
    "Richtext=Richtext",
    "Richtext datafield=Richtext datafield",
    "BandTitle=Title",
    "BandPageheader=Page Header",
    "BandColumnheader=Column Header",
    "BandDetail=Detail",
    "BandGroupheader=Group Header",
    "BandGroupfooter=Group Footer",
    "BandSummary=Summary",
    "BandPagefooter=Page Footer",
    "BandLoopband=Loop Band",
    "BandStringsband=Strings Band",
    "PenStyleSolid=solid line",
    "PenStyleDashed=dashed line",
    "PenStyleDot=dot line",
    "PenStyleDashDot=\"dash-dot\" line",
    "PenStyleDashDotDot=\"dash-dot-dot\" line",
    "PenStyleHiddenMark=hidden marking line",
    "PenStyleInsideFrame=inside frame",
    "ShapeCircle=Circle",
    "ShapeHorizontalLine=horizontal line",
    "ShapeRectangle=Rectangle",
    "ShapeLeftRightLines=left/right lines",
    "ShapeTopBottomLines=top/bottom lines",
    "ShapeVerticalLine=vertical line",
    "BrushEmpty=empty",
    "BrushSolid=solid",
    "BrushCross=cross",
    "BrushDiagCross=diagonal crossed",
    "BrushDiagLinesBT=diagonal lines bottom to top",
    "BrushDiagLinesTB=diagonal lines top to bottom",
    "BrushHorLines=horizontal lines",
    "BrushVertLines=vertical lines",
    "PenMode1=default",
    "PenMode2=always black",
    "PenMode3=always white",
    "PenMode4=unchanged",
    "PenMode5=inverse screen color",
    "PenMode6=inverse pen color",
    "PenMode7=pen color and inverse screen color",
    "PenMode8=common colors of pen and inverse screen",
    "PenMode9=inverse pen color and screen color",
    "PenMode10=common colors of inverse pen and screen",
    "PenMode11=pen color and screen color",
    "PenMode12=inverse of pen color and screen color",
    "PenMode13=common colors of pen and screen",
    "PenMode14=inverse of common colors of pen and screen",
    "PenMode15=colors from either pen or screen color",
    "PenMode16=inverse of colors from either pen or screen color",
    "SysdataDate=Date",
    "SysdataTime=Time",
    "SysdataDateTime=Date/Time",
    "SysdataDetailcounter=Detail Count",
    "SysdataDetailnumber=Detail Number",
    "SysdataPagenumber=Page Number",
    "SysdataReporttitle=Report Title",
    "RulerMM=MM",
    "RulerInches=Inches",
    "RulerCharacters=Characters",
    "UnitMM= mm",
    "UnitInches= Inches",
    "UnitCharacters= Chars",
    "PopupMenuEnabled=Enabled",
    "PopupMenuProperties=Edit",
    "PopupMenuOptions=Options",
    "PopupMenuBringToFront=Bring to front",
    "PopupMenuSendToBack=Send to back",
    "PopupMenuGroup=Group elements",
    "PopupMenuUngroup=Ungroup element",
    "PopupMenuUngroupAll=Ungroup all elements",
    "About=Quillot report designer: reports are drawn here with the mouse and the keyboard.",
};

} // namespace

RpMessageTable RpMessageTable::designerDefaults()
{
    QStringList lines;
    for (const char *line : kDesignerLines)
        lines << QString::fromUtf8(line);
    return RpMessageTable(lines);
}

void RpMessageTable::replaceLine(int number, const QString &line)
{
    if (number >= 1 && number <= m_lines.size())
        m_lines[number - 1] = line;
}

bool RpMessageTable::contains(const QString &key) const
{
    for (const QString &line : m_lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0 && QStringView(line).left(equals).compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString RpMessageTable::text(const QString &key) const
{
    for (const QString &line : m_lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0 && QStringView(line).left(equals).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1);
    }
    return u'[' + key + u']';
}

QString RpMessageTable::format(const QString &key, const QString &argument) const
{
    return substitutePattern(text(key), argument);
}

QString substitutePattern(const QString &pattern, const QString &argument)
{
    QString result;
    result.reserve(pattern.size() + argument.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == u'%' && i + 1 < pattern.size() && pattern.at(i + 1) == u's') {
            result += argument;
            ++i;
        } else {
            result += pattern.at(i);
        }
    }
    return result;
}
