#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

class QObject;
class TCustomRpReport;
class TRpCustomBand;
class TRpPrintable;

// How the design surface sees the report's objects: bands and printable elements as rectangles in pixels of
// the design view (the report's zoom applied). An element's rectangle is relative to its parent (its band, or
// the page for an element placed on the report); a band's rectangle is relative to the page.
namespace DesignItems {

bool isBand(const QObject *object);
bool isElement(const QObject *object);
// A band or a printable element: what the surface selects, moves and sizes.
bool isDesignItem(const QObject *object);

// The report an item belongs to, or the report itself.
TCustomRpReport *reportOf(QObject *object);

QRect itemRect(const QObject *item);
// Sets an element's bounds, or a band's height (a band's place and width come from the band layout).
void setItemRect(QObject *item, const QRect &rect);

// The top left corner of the item's parent on the page.
QPoint parentOrigin(const QObject *item);
// The size of the area an item may lie in: its band's, or the page's.
QSize parentArea(const QObject *item);
// The item's rectangle on the page.
QRect pageRect(const QObject *item);
QSize pageSize(const TCustomRpReport *report);

// The bands of the report in print order, and the printable elements directly on a band or the report in
// their order (the first is the bottom-most).
QList<TRpCustomBand *> bands(const TCustomRpReport *report);
QList<TRpPrintable *> elementsOn(const QObject *parent);
// Every band and element, at any depth, in paint order.
QList<QObject *> allItems(const TCustomRpReport *report);

// The band or element under a page point: elements above bands, the topmost first, each rectangle enlarged
// by 2 pixels on every side; the report itself when nothing else is hit but the point lies on the page;
// null outside the page.
QObject *hitTest(TCustomRpReport *report, QPoint pagePoint);

// The name the surface shows for an item: its object name, or its kind when it has none.
QString displayName(const QObject *item);

} // namespace DesignItems
