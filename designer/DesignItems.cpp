#include "designer/DesignItems.h"

#include "report/model/Bands.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"

namespace DesignItems {

namespace {

int resolutionOf(const QObject *item)
{
    if (const auto *control = qobject_cast<const RpControl *>(item))
        return control->resolution();
    return screenResolution();
}

int zoomOf(const QObject *item)
{
    if (const TCustomRpReport *report = reportOf(const_cast<QObject *>(item)))
        return report->zoom();
    return 100;
}

} // namespace

bool isBand(const QObject *object)
{
    return qobject_cast<const TRpCustomBand *>(object) != nullptr;
}

bool isElement(const QObject *object)
{
    return qobject_cast<const TRpPrintable *>(object) != nullptr;
}

bool isDesignItem(const QObject *object)
{
    return isBand(object) || isElement(object);
}

TCustomRpReport *reportOf(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        if (auto *report = qobject_cast<TCustomRpReport *>(o))
            return report;
    }
    return nullptr;
}

QRect itemRect(const QObject *item)
{
    if (const auto *band = qobject_cast<const TRpCustomBand *>(item)) {
        if (TCustomRpReport *report = band->report())
            report->arrangeBands();
        return QRect(band->left(), band->top(), band->width(), band->height());
    }
    if (const auto *element = qobject_cast<const TRpPrintable *>(item))
        return QRect(element->left(), element->top(), element->width(), element->height());
    return {};
}

void setItemRect(QObject *item, const QRect &rect)
{
    const int resolution = resolutionOf(item);
    const int zoom = zoomOf(item);
    if (auto *band = qobject_cast<TRpCustomBand *>(item)) {
        band->size()->setNativeLength(pixelsToNative(rect.height(), resolution, zoom));
        if (TCustomRpReport *report = band->report())
            report->arrangeBands();
        return;
    }
    if (auto *element = qobject_cast<TRpPrintable *>(item)) {
        element->size()->setNativeBounds(pixelsToNative(rect.left(), resolution, zoom),
            pixelsToNative(rect.top(), resolution, zoom), pixelsToNative(rect.width(), resolution, zoom),
            pixelsToNative(rect.height(), resolution, zoom));
    }
}

QPoint parentOrigin(const QObject *item)
{
    if (const auto *band = qobject_cast<const TRpCustomBand *>(item ? item->parent() : nullptr))
        return itemRect(band).topLeft();
    return QPoint(0, 0);
}

QSize parentArea(const QObject *item)
{
    if (const auto *band = qobject_cast<const TRpCustomBand *>(item ? item->parent() : nullptr))
        return itemRect(band).size();
    if (const TCustomRpReport *report = reportOf(const_cast<QObject *>(item)))
        return pageSize(report);
    return {};
}

QRect pageRect(const QObject *item)
{
    return itemRect(item).translated(parentOrigin(item));
}

QSize pageSize(const TCustomRpReport *report)
{
    const TRpPage *page = report->page();
    const int resolution = report->resolution();
    return QSize(nativeToPixels(page->nativeWidth(), resolution, report->zoom()),
        nativeToPixels(page->nativeLength(), resolution, report->zoom()));
}

QList<TRpCustomBand *> bands(const TCustomRpReport *report)
{
    return report ? report->bandList() : QList<TRpCustomBand *>();
}

QList<TRpPrintable *> elementsOn(const QObject *parent)
{
    QList<TRpPrintable *> result;
    if (!parent)
        return result;
    for (QObject *child : parent->children()) {
        if (auto *element = qobject_cast<TRpPrintable *>(child))
            result << element;
    }
    return result;
}

QList<QObject *> allItems(const TCustomRpReport *report)
{
    QList<QObject *> result;
    for (TRpCustomBand *band : bands(report)) {
        result << band;
        for (TRpPrintable *element : elementsOn(band))
            result << element;
    }
    for (TRpPrintable *element : elementsOn(report))
        result << element;
    return result;
}

QObject *hitTest(TCustomRpReport *report, QPoint pagePoint)
{
    if (!report)
        return nullptr;
    auto hits = [pagePoint](const QObject *item) {
        return pageRect(item).adjusted(-2, -2, 2, 2).contains(pagePoint);
    };
    report->arrangeBands();
    // From the topmost child of the report to the bottom-most; inside a hit band its own elements win.
    const QObjectList children = report->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QObject *child = *it;
        if (!isDesignItem(child) || !hits(child))
            continue;
        if (isBand(child)) {
            const QList<TRpPrintable *> inside = elementsOn(child);
            for (auto e = inside.crbegin(); e != inside.crend(); ++e) {
                if (hits(*e))
                    return *e;
            }
        }
        return child;
    }
    if (QRect(QPoint(0, 0), pageSize(report)).contains(pagePoint))
        return report;
    return nullptr;
}

QString displayName(const QObject *item)
{
    if (!item->objectName().isEmpty())
        return item->objectName();
    return QString::fromLatin1(item->metaObject()->className());
}

} // namespace DesignItems
