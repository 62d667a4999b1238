#include "designer/BlockForm.h"

#include "designer/DesignItems.h"
#include "designer/LanguageFile.h"
#include "designer/RpDesigner.h"
#include "platform/RegionalSettings.h"
#include "report/model/NameScope.h"
#include "report/notation/StreamTree.h"
#include "report/scripts/ReportScript.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <optional>

namespace {

const char *const kLockNames[] = { "BlockChange", "BlockEdit", "BlockMove", "BlockResize", "BlockDelete" };

bool hasProperty(const QObject *object, const char *name)
{
    return object->metaObject()->indexOfProperty(name) >= 0;
}

QString fixed2(double value)
{
    return RegionalSettings::current().formatFixed(value, 2);
}

// A length typed in the report's unit, with "." or "," as the separator; empty for none.
std::optional<double> lengthOf(const QLineEdit *edit, bool &bad)
{
    QString text = edit->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        bad = true;
        return std::nullopt;
    }
    return value;
}

QLineEdit *lengthEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*[.,]?[0-9]*")), edit));
    return edit;
}

} // namespace

TBlockForm::TBlockForm(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("BlockForm"));
    setWindowTitle(QStringLiteral("Options"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QFormLayout;
    EName = new QLineEdit(this);
    EName->setObjectName(QStringLiteral("EName"));
    EHint = new QLineEdit(this);
    EHint->setObjectName(QStringLiteral("EHint"));
    top->addRow(QStringLiteral("Name:"), EName);
    top->addRow(QStringLiteral("Hint"), EHint);
    layout->addLayout(top);

    auto *position = new QGroupBox(QStringLiteral("Position"), this);
    position->setObjectName(QStringLiteral("GroupPosition"));
    auto *positionLayout = new QFormLayout(position);
    ELeft = lengthEdit(position, QStringLiteral("ELeft"));
    ETop = lengthEdit(position, QStringLiteral("ETop"));
    EWidth = lengthEdit(position, QStringLiteral("EWidth"));
    EHeight = lengthEdit(position, QStringLiteral("EHeight"));
    positionLayout->addRow(QStringLiteral("Left"), ELeft);
    positionLayout->addRow(QStringLiteral("Top"), ETop);
    positionLayout->addRow(QStringLiteral("Width"), EWidth);
    positionLayout->addRow(QStringLiteral("Height"), EHeight);
    layout->addWidget(position);

    auto *actions = new QGroupBox(QStringLiteral("Actions"), this);
    actions->setObjectName(QStringLiteral("GroupActions"));
    auto *actionLayout = new QVBoxLayout(actions);
    CheckChange = new QCheckBox(QStringLiteral("no &changing"), actions);
    CheckChange->setObjectName(QStringLiteral("CheckChange"));
    CheckEdit = new QCheckBox(QStringLiteral("no &editing"), actions);
    CheckEdit->setObjectName(QStringLiteral("CheckEdit"));
    CheckMove = new QCheckBox(QStringLiteral("no &moving"), actions);
    CheckMove->setObjectName(QStringLiteral("CheckMove"));
    CheckResize = new QCheckBox(QStringLiteral("no &resizing"), actions);
    CheckResize->setObjectName(QStringLiteral("CheckResize"));
    CheckDelete = new QCheckBox(QStringLiteral("no &deletion"), actions);
    CheckDelete->setObjectName(QStringLiteral("CheckDelete"));
    for (QCheckBox *box : { CheckChange, CheckEdit, CheckMove, CheckResize, CheckDelete })
        actionLayout->addWidget(box);
    layout->addWidget(actions);

    auto *design = new QGroupBox(QStringLiteral("In design mode:"), this);
    design->setObjectName(QStringLiteral("GroupDesign"));
    auto *designLayout = new QVBoxLayout(design);
    CheckFixBottom = new QCheckBox(QStringLiteral("keep position relative to band bottom"), design);
    CheckFixBottom->setObjectName(QStringLiteral("CheckFixBottom"));
    CheckStretch = new QCheckBox(QStringLiteral("autostretch height with band"), design);
    CheckStretch->setObjectName(QStringLiteral("CheckStretch"));
    designLayout->addWidget(CheckFixBottom);
    designLayout->addWidget(CheckStretch);
    layout->addWidget(design);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(CheckMove, &QCheckBox::toggled, this, [this] { updateFields(); });
    connect(CheckResize, &QCheckBox::toggled, this, [this] { updateFields(); });
    // The two design-mode aids exclude each other.
    connect(CheckFixBottom, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            CheckStretch->setChecked(false);
    });
    connect(CheckStretch, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            CheckFixBottom->setChecked(false);
    });
}

void TBlockForm::updateFields()
{
    const bool move = !CheckMove->isChecked() && !lockedMove && !bandOnly;
    const bool resize = !CheckResize->isChecked() && !lockedResize;
    ELeft->setEnabled(move);
    ETop->setEnabled(move);
    EWidth->setEnabled(resize && !bandOnly);
    EHeight->setEnabled(resize);
}

QStringList renamedScript(const QStringList &script, const QString &oldName, const QString &newName)
{
    if (oldName.isEmpty())
        return script;
    const QString prefix = u'[' + oldName + u'.';
    QStringList result;
    result.reserve(script.size());
    for (const QString &line : script) {
        if (line.startsWith(prefix, Qt::CaseSensitive))
            result << u'[' + newName + u'.' + line.mid(prefix.size());
        else
            result << line;
    }
    return result;
}

bool RenameDesignItem(TRpDesigner *designer, QObject *item, const QString &name)
{
    const QString oldName = item->objectName();
    if (name == oldName)
        return true;
    if (!isStreamIdentifier(name))
        return false;
    NameScope scope(nameScopeRoot(item));
    if (!scope.isFree(name) && name.compare(oldName, Qt::CaseInsensitive) != 0)
        return false;
    item->setObjectName(name);
    // Only a rename that took place rewrites the script; the label bands the report wizard makes keep the
    // sections of their old names.
    if (TDesignRpReport *report = designer->designReport();
        report && !RpReportScript::keepsScriptOnRename(oldName))
        report->setScript(renamedScript(report->script(), oldName, name));
    return true;
}

bool ShowBlockOptions(QWidget *owner, TRpDesigner *designer)
{
    const QList<QObject *> items = designer->selection();
    if (items.isEmpty())
        return false;
    const bool single = items.size() == 1;
    QObject *first = items.first();
    TBlockForm form(owner);
    LanguageFiles::translate(&form, QStringLiteral("BlockForm"), designer->LanguageFile);
    form.bandOnly = DesignItems::isBand(first);
    form.lockedMove = designer->ElementFlag(first, QStringLiteral("BlockMove"));
    form.lockedResize = designer->ElementFlag(first, QStringLiteral("BlockResize"));
    form.EName->setText(single ? first->objectName() : QString());
    form.EName->setEnabled(single && designer->AllowBlockEdit);
    form.EHint->setText(first->property("Hint").toString());
    form.EHint->setEnabled(hasProperty(first, "Hint"));
    if (single) {
        if (auto *band = qobject_cast<TRpCustomBand *>(first)) {
            form.EHeight->setText(fixed2(band->size()->height()));
        } else if (auto *element = qobject_cast<TRpPrintable *>(first)) {
            form.ELeft->setText(fixed2(element->size()->left()));
            form.ETop->setText(fixed2(element->size()->top()));
            form.EWidth->setText(fixed2(element->size()->width()));
            form.EHeight->setText(fixed2(element->size()->height()));
        }
    }
    QCheckBox *locks[]
        = { form.CheckChange, form.CheckEdit, form.CheckMove, form.CheckResize, form.CheckDelete };
    for (int i = 0; i < 5; ++i) {
        locks[i]->setChecked(designer->ElementFlag(first, QString::fromLatin1(kLockNames[i])));
        locks[i]->setEnabled(designer->AllowBlockEdit);
    }
    const bool aids = !form.bandOnly && hasProperty(first, "FixBottomPosition");
    form.CheckFixBottom->setChecked(aids && first->property("FixBottomPosition").toBool());
    form.CheckStretch->setChecked(aids && first->property("StretchHeightWithBand").toBool());
    form.CheckFixBottom->setEnabled(aids);
    form.CheckStretch->setEnabled(aids);
    form.updateFields();
    if (!Dialogs::exec(form))
        return false;

    designer->Modify();
    if (hasProperty(first, "Hint")) {
        for (QObject *item : items)
            item->setProperty("Hint", form.EHint->text());
    }
    const QString wanted = form.EName->text().trimmed();
    const bool reserved = form.bandOnly
        && (first->objectName() == QLatin1String("RowSpace")
            || first->objectName() == QLatin1String("LabelBand"));
    if (single && !reserved && wanted != first->objectName() && !RenameDesignItem(designer, first, wanted))
        Dialogs::showError(owner, designer->RuntimeMessages.text(QStringLiteral("Invalid componentname")));
    bool bad = false;
    const auto left = lengthOf(form.ELeft, bad);
    const auto top = lengthOf(form.ETop, bad);
    const auto width = lengthOf(form.EWidth, bad);
    const auto height = lengthOf(form.EHeight, bad);
    if (single && bad)
        Dialogs::showError(owner, designer->RuntimeMessages.text(QStringLiteral("Invalid position")));
    for (QObject *item : items) {
        if (designer->AllowBlockEdit) {
            for (int i = 0; i < 5; ++i)
                designer->SetElementFlag(item, QString::fromLatin1(kLockNames[i]), locks[i]->isChecked());
        }
        if (hasProperty(item, "FixBottomPosition") && !DesignItems::isBand(item)) {
            item->setProperty("FixBottomPosition", form.CheckFixBottom->isChecked());
            item->setProperty("StretchHeightWithBand", form.CheckStretch->isChecked());
        }
        if (single && bad)
            continue;
        if (auto *band = qobject_cast<TRpCustomBand *>(item)) {
            if (height && form.EHeight->isEnabled())
                band->size()->setHeight(*height);
        } else if (auto *element = qobject_cast<TRpPrintable *>(item)) {
            if (left && form.ELeft->isEnabled())
                element->size()->setLeft(*left);
            if (top && form.ETop->isEnabled())
                element->size()->setTop(*top);
            if (width && form.EWidth->isEnabled())
                element->size()->setWidth(*width);
            if (height && form.EHeight->isEnabled())
                element->size()->setHeight(*height);
        }
    }
    if (single) {
        designer->ClearSelection();
        designer->Select(first);
    }
    designer->refreshSurface();
    return true;
}
