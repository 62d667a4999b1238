#include "GalleryTool.h"

#include "designer/BlockForm.h"
#include "designer/DesignItems.h"
#include "designer/FramePropertyForm.h"
#include "designer/OptionsForm.h"
#include "designer/ReportDesignerForm.h"
#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/files/DesignClasses.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

namespace Gallery {

namespace {

template <typename T> T *element(TRpDesigner *designer, QObject *band, const QString &name, const QRect &rect)
{
    auto *made = new T(band);
    made->setObjectName(name);
    DesignItems::setItemRect(made, rect);
    Q_UNUSED(designer);
    return made;
}

TRpDesignBand *band(TRpDesigner *designer, Rp::TRpBandType type, const QString &name, int height)
{
    auto *made = new TRpDesignBand(designer->report());
    made->setObjectName(name);
    made->setBandType(type);
    DesignItems::setItemRect(made, QRect(0, 0, 0, height));
    return made;
}

TRpDesignLabel *label(TRpDesigner *designer, QObject *on, const QString &name, const QRect &rect,
    const QString &caption, bool bold = false, int size = 10)
{
    auto *made = element<TRpDesignLabel>(designer, on, name, rect);
    made->setCaption(caption);
    made->setAutoSize(false);
    made->font()->setSize(size);
    if (bold)
        made->font()->setStyle(Rp::fsBold);
    return made;
}

TRpDesignExpr *expression(TRpDesigner *designer, QObject *on, const QString &name, const QRect &rect,
    const QString &text, Rp::TAlignment alignment = Rp::taLeftJustify)
{
    auto *made = element<TRpDesignExpr>(designer, on, name, rect);
    made->setExpression(text);
    made->setAutoSize(false);
    made->setAlignment(alignment);
    return made;
}

// A statement of accounts: a title, column headings, one line per account, a total and page numbers.
void drawStatement(TRpDesigner *designer)
{
    TDesignRpReport *report = designer->designReport();
    report->setReportTitle(QStringLiteral("Relevé des comptes"));
    TRpDesignBand *header = band(designer, Rp::rbPageHeader, QStringLiteral("PageHeader"), 70);
    TRpDesignBand *detail = band(designer, Rp::rbDetail, QStringLiteral("Detail"), 26);
    TRpDesignBand *summary = band(designer, Rp::rbSummary, QStringLiteral("Summary"), 40);
    TRpDesignBand *footer = band(designer, Rp::rbPageFooter, QStringLiteral("PageFooter"), 30);
    header->setColor(15790320);
    label(designer, header, QStringLiteral("Title"), QRect(150, 6, 400, 26),
        QStringLiteral("Relevé des comptes"), true, 16);
    auto *date
        = element<TRpDesignSysdata>(designer, header, QStringLiteral("Today"), QRect(560, 10, 150, 18));
    date->setData(Rp::rpsDate);
    date->setText(QStringLiteral("Le "));
    date->setAlignment(Rp::taRightJustify);
    label(designer, header, QStringLiteral("HeadAccount"), QRect(10, 46, 200, 18), QStringLiteral("Compte"),
        true);
    label(designer, header, QStringLiteral("HeadBalance"), QRect(560, 46, 150, 18), QStringLiteral("Solde"),
        true)
        ->setAlignment(Rp::taRightJustify);
    auto *rule = element<TRpDesignShape>(designer, header, QStringLiteral("HeadRule"), QRect(10, 64, 700, 4));
    rule->setShape(Rp::rpsHorLine);
    expression(
        designer, detail, QStringLiteral("Account"), QRect(10, 4, 300, 18), QStringLiteral("Account_Type"));
    expression(designer, detail, QStringLiteral("Balance"), QRect(560, 4, 150, 18),
        QStringLiteral("Account_Balance"), Rp::taRightJustify)
        ->setMask(QStringLiteral("#,##0.00 €"));
    auto *box
        = element<TRpDesignShape>(designer, summary, QStringLiteral("TotalBox"), QRect(400, 6, 312, 28));
    box->brush()->setColor(15790320);
    label(designer, summary, QStringLiteral("TotalLabel"), QRect(410, 11, 120, 18), QStringLiteral("Total"),
        true);
    expression(designer, summary, QStringLiteral("Total"), QRect(560, 11, 145, 18),
        QStringLiteral("SUM(Account_Balance)"), Rp::taRightJustify);
    auto *page
        = element<TRpDesignSysdata>(designer, footer, QStringLiteral("PageNumber"), QRect(560, 6, 150, 18));
    page->setData(Rp::rpsPageNumber);
    page->setText(QStringLiteral("Page "));
    page->setAlignment(Rp::taRightJustify);
    designer->refreshSurface();
}

bool grabShown(QWidget &widget, const QDir &out, const QString &name, int &written)
{
    widget.show();
    QApplication::processEvents();
    return save(grab(widget), out, name, written);
}

} // namespace

bool renderDesigner(const QDir &out, int &written)
{
    QTemporaryDir settings;
    TReportDesignerForm empty(nullptr, settings.filePath(QStringLiteral("RPDESIGN.INI")));
    empty.resize(1000, 760);
    if (!grabShown(empty, out, QStringLiteral("designer-empty.png"), written))
        return false;

    TReportDesignerForm form(nullptr, settings.filePath(QStringLiteral("RPDESIGN.INI")));
    form.resize(1000, 760);
    TRpDesigner *designer = form.RpDesigner1;
    drawStatement(designer);
    form.show();
    designer->SelectList({ designer->designReport()->findChild<QObject *>(QStringLiteral("Account")),
        designer->designReport()->findChild<QObject *>(QStringLiteral("Balance")) });
    if (!grabShown(form, out, QStringLiteral("designer-report.png"), written))
        return false;
    designer->ClearSelection();
    designer->Select(designer->designReport()->findChild<QObject *>(QStringLiteral("Title")));
    if (!grabShown(form, out, QStringLiteral("designer-selected.png"), written))
        return false;

    TOptionsForm options(&form);
    TOptionsForm::Values values;
    values.look = designer->look();
    values.unit = designer->report()->units();
    values.gridX = designer->gridSizeX();
    values.gridY = designer->gridSizeY();
    values.keyX = designer->keyboardMoveX();
    values.keyY = designer->keyboardMoveY();
    options.setValues(values);
    if (!grabShown(options, out, QStringLiteral("designer-options.png"), written))
        return false;

    TFramePropertyForm frame(&form, designer->RuntimeMessages);
    TRpFrame sample;
    sample.setDrawTop(true);
    sample.setDrawBottom(true);
    sample.setWidth(2);
    frame.setFrame(sample);
    if (!grabShown(frame, out, QStringLiteral("designer-frame.png"), written))
        return false;

    TBlockForm block(&form);
    block.EName->setText(QStringLiteral("Title"));
    block.ELeft->setText(QStringLiteral("39,69"));
    block.ETop->setText(QStringLiteral("1,59"));
    block.EWidth->setText(QStringLiteral("105,83"));
    block.EHeight->setText(QStringLiteral("6,88"));
    block.CheckResize->setChecked(true);
    block.updateFields();
    return grabShown(block, out, QStringLiteral("designer-element-options.png"), written);
}

} // namespace Gallery
