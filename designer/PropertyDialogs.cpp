#include "designer/PropertyDialogs.h"

#include "designer/BandPropertyForm.h"
#include "designer/DBTextPropertyForm.h"
#include "designer/GroupPropertyForm.h"
#include "designer/ImagePropertyForm.h"
#include "designer/LabelPropertyForm.h"
#include "designer/MemoPropertyForm.h"
#include "designer/ReportPropertyForm.h"
#include "designer/RichtextPropertyForm.h"
#include "designer/RpDExpressionBuilder.h"
#include "designer/ShapePropertyForm.h"
#include "designer/SysDataPropertyForm.h"
#include "preview/RpExpressionBuilder.h"
#include "report/files/DesignClasses.h"

#include <QPointer>

namespace PropertyDialogs {

namespace {

constexpr DialogKind kKinds[] = {
    { "TDesignRpReport", "TReportPropertyForm", "Report Options", 90044 },
    { "TRpDesignDBText", "TDBTextPropertyForm", "Datafield", 90028 },
    { "TRpDesignShape", "TShapePropertyForm", "Shape", 90035 },
    { "TRpDesignExpr", "TExpressionPropertyForm", "Expression field", 90033 },
    { "TRpDesignChildBand", "TChildPropertyForm", "Childband", 90027 },
    { "TRpDesignGroup", "TGroupPropertyForm", "Groupband", 90025 },
    { "TRpDesignSubdetail", "TSubdetailPropertyForm", "Subdetailband", 90024 },
    { "TRpDesignRichtext", "TRichtextPropertyForm", "Richtext", 90037 },
    { "TRpDesignDBRichtext", "TDBRichtextPropertyForm", "Richtext data field", 90038 },
    { "TRpDesignSysdata", "TSysDataPropertyForm", "Systemfield", 90036 },
    { "TRpDesignImage", "TImagePropertyForm", "Image", 0 },
    { "TRpDesignDBImage", "TDBImagePropertyForm", "Picture from database", 90032 },
    { "TRpDesignLabel", "TLabelPropertyForm", "Label", 90029 },
    { "TRpDesignMemo", "TMemoPropertyForm", "Memo", 90030 },
    { "TRpDesignBand", "TBandPropertyForm", "Band", 90023 },
};

QList<std::pair<const QMetaObject *, ExtraEditor>> &extraEditors()
{
    static QList<std::pair<const QMetaObject *, ExtraEditor>> editors;
    return editors;
}

EditResult result(bool accepted)
{
    return accepted ? EditResult::Accepted : EditResult::Cancelled;
}

template <typename Kind> Kind *as(QObject *item)
{
    return qobject_cast<Kind *>(item);
}

} // namespace

std::span<const DialogKind> dialogKinds()
{
    return kKinds;
}

void registerExtraEditor(const QMetaObject *kind, ExtraEditor editor)
{
    unregisterExtraEditor(kind);
    extraEditors().append({ kind, std::move(editor) });
}

void unregisterExtraEditor(const QMetaObject *kind)
{
    extraEditors().removeIf([kind](const auto &entry) { return entry.first == kind; });
}

EditResult EditItem(QWidget *owner, TRpDesigner *designer, QObject *item)
{
    if (!item)
        return EditResult::NoDialog;
    for (const auto &[kind, editor] : extraEditors()) {
        if (item->metaObject()->inherits(kind))
            return result(editor(owner, designer, item));
    }
    // Tested in this order: a kind derived from another comes before it.
    if (auto *report = as<TDesignRpReport>(item))
        return result(TReportPropertyForm::Edit(owner, designer, report));
    if (auto *field = as<TRpDBText>(item))
        return result(TDBTextPropertyForm::Edit(owner, designer, field));
    if (auto *shape = as<TRpShape>(item))
        return result(TShapePropertyForm::Edit(owner, designer, shape));
    if (auto *expression = as<TRpExpr>(item))
        return result(TExpressionPropertyForm::Edit(owner, designer, expression));
    if (auto *child = as<TRpChildBand>(item))
        return result(TChildPropertyForm::Edit(owner, designer, child));
    if (auto *group = as<TRpGroup>(item))
        return result(TGroupPropertyForm::Edit(owner, designer, group));
    if (auto *subdetail = as<TRpSubDetail>(item))
        return result(TSubdetailPropertyForm::Edit(owner, designer, subdetail));
    if (auto *richText = as<TRpRichText>(item))
        return result(TRichtextPropertyForm::Edit(owner, designer, richText));
    if (auto *dbRichText = as<TRpDBRichText>(item))
        return result(TDBRichtextPropertyForm::Edit(owner, designer, dbRichText));
    if (auto *system = as<TRpSysData>(item))
        return result(TSysDataPropertyForm::Edit(owner, designer, system));
    if (auto *image = as<TRpImage>(item))
        return result(TImagePropertyForm::Edit(owner, designer, image));
    if (auto *dbImage = as<TRpDBImage>(item))
        return result(TDBImagePropertyForm::Edit(owner, designer, dbImage));
    if (auto *label = as<TRpLabel>(item))
        return result(TLabelPropertyForm::Edit(owner, designer, label));
    if (auto *memo = as<TRpMemo>(item))
        return result(TMemoPropertyForm::Edit(owner, designer, memo));
    if (auto *band = as<TRpCustomBand>(item))
        return result(TBandPropertyForm::Edit(owner, designer, band));
    return EditResult::NoDialog;
}

bool OpenWizard(QWidget *, TRpDesigner *designer, QString &expression)
{
    if (designer)
        return OpenDesignerExpressionWizard(QString(), expression, *designer);
    return OpenExpressionWizard(
        QString(), expression, nullptr, static_cast<TRpEvEnvironment *>(nullptr), nullptr);
}

void install(TRpDesigner *designer, QWidget *owner)
{
    static const bool wizardInstalled = [] {
        ExpressionWizard::install(OpenWizard);
        return true;
    }();
    Q_UNUSED(wizardInstalled);
    QPointer<QWidget> window = owner;
    designer->OnEditProperties
        = [window](TRpDesigner *engine, QObject *item) { return EditItem(window, engine, item); };
    designer->OnEditSeveral
        = [window](TRpDesigner *engine) { return TDBTextPropertyForm::EditSeveral(window, engine); };
}

} // namespace PropertyDialogs
