#pragma once

#include "designer/DesignItems.h"
#include "designer/ReportDesignerForm.h"
#include "designer/SurfaceDriver.h"
#include "widgets/DialogRecorder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A shown designer window over an empty report, with its settings file in a folder of its own and every
// dialog answered by a recorder.
class DesignerWindow : public ::testing::Test
{
protected:
    void SetUp() override { open(); }

    void open()
    {
        form = std::make_unique<TReportDesignerForm>(nullptr, settingsPath());
        form->resize(1000, 800);
        form->show();
        designer = form->RpDesigner1;
        driver = std::make_unique<SurfaceDriver>(form->DesignView);
    }

    void reopen()
    {
        driver.reset();
        form.reset();
        open();
    }

    QString settingsPath() const { return dir.filePath(QStringLiteral("RPDESIGN.INI")); }
    QString path(const QString &name) const { return dir.filePath(name); }

    // Inserts through the palette state and a click on the page.
    QObject *insert(int state, QPoint point, bool keep = false)
    {
        designer->setDesignState(state, keep);
        QObject *before = designer->firstSelected();
        driver->click(point);
        QObject *after = designer->firstSelected();
        return after != before ? after : nullptr;
    }

    QObject *find(const QString &name) const
    {
        for (QObject *item : DesignItems::allItems(designer->report())) {
            if (item->objectName() == name)
                return item;
        }
        return nullptr;
    }

    // A point on a band, `offset` from its top left corner.
    static QPoint on(const QObject *item, QPoint offset = QPoint(5, 5))
    {
        return DesignItems::pageRect(item).topLeft() + offset;
    }

    QTemporaryDir dir;
    DialogRecorder dialogs;
    std::unique_ptr<TReportDesignerForm> form;
    TRpDesigner *designer = nullptr;
    std::unique_ptr<SurfaceDriver> driver;
};
