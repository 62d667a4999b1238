#pragma once

#include "designer/ComponentEditor.h"
#include "designer/DesignItems.h"
#include "designer/DesignView.h"
#include "designer/SurfaceDriver.h"
#include "report/elements/LabelItems.h"
#include "report/model/Report.h"
#include "report/streaming/ReportRegistry.h"

#include <QHash>
#include <QStringList>
#include <QWidget>

// An editor whose lock flags and groups live in memory, as a designer keeps them in its addon list.
class FlagEditor : public TRuntimeComponentEditor
{
public:
    bool ElementFlag(const QObject *item, const QString &name) const override
    {
        return flags.value(item).contains(name);
    }
    void SetElementFlag(QObject *item, const QString &name, bool value) override
    {
        if (value)
            flags[item] << name;
        else
            flags[item].removeAll(name);
    }
    int GroupID(const QObject *item) const override { return groups.value(item); }
    void SetGroupID(QObject *item, int group) override
    {
        if (group)
            groups[item] = group;
        else
            groups.remove(item);
    }

    QHash<const QObject *, QStringList> flags;
    QHash<const QObject *, int> groups;
};

// A shown window holding a report on a design view, edited with grid 4, keyboard step 1 and minimum size 5,
// and a driver that plays input on it.
class SurfaceFixture
{
public:
    SurfaceFixture()
    {
        registerAll();
        window.resize(1000, 1300);
        view = new TRpDesignView(&window);
        report = new TRpReport(&window);
        report->setObjectName(QStringLiteral("RpReport"));
        editor.UndoEnabled = false;
        editor.setSurface(view, nullptr);
        editor.setReport(report);
        view->setReport(report);
        view->setEditor(&editor);
        editor.setEditing(true);
        TRuntimeComponentMover *mover = editor.mover();
        mover->GridSizeX = mover->GridSizeY = 4;
        mover->KeyboardMoveX = mover->KeyboardMoveY = 1;
        mover->MinElementWidth = mover->MinElementHeight = 5;
        window.show();
    }

    TRpBand *addBand(Rp::TRpBandType type, int height, const QString &name)
    {
        auto *band = new TRpBand(report);
        band->setBandType(type);
        band->setObjectName(name);
        DesignItems::setItemRect(band, QRect(0, 0, 0, height));
        report->arrangeBands();
        view->updateSize();
        return band;
    }

    template <typename T = TRpLabel> T *addElement(QObject *parent, const QRect &rect, const QString &name)
    {
        auto *element = new T(parent);
        element->setObjectName(name);
        DesignItems::setItemRect(element, rect);
        return element;
    }

    // A point inside an element, on the page.
    static QPoint inside(const QObject *item, QPoint offset = QPoint(3, 3))
    {
        return DesignItems::pageRect(item).topLeft() + offset;
    }

    QRect rectOf(const QObject *item) const { return DesignItems::itemRect(item); }
    QWidget *mover() const { return editor.mover(); }

    QWidget window;
    TRpDesignView *view = nullptr;
    TRpReport *report = nullptr;
    FlagEditor editor;

    SurfaceDriver &input()
    {
        if (!m_driver)
            m_driver = std::make_unique<SurfaceDriver>(view);
        return *m_driver;
    }

private:
    std::unique_ptr<SurfaceDriver> m_driver;
};
