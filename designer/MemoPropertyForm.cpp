#include "designer/MemoPropertyForm.h"

#include "designer/FieldMarkerEditing.h"
#include "report/elements/LabelItems.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TMemoPropertyForm::TMemoPropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpTextPropertyForm(owner, designer, QStringLiteral("TMemoPropertyForm"), QStringLiteral("Memo"), 90030)
{
    MemoLines = new QPlainTextEdit(this);
    MemoLines->setObjectName(QStringLiteral("MemoLines"));
    MemoLines->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLines->setMinimumSize(380, 160);
    auto *buttons = new QHBoxLayout;
    BExpression = new QPushButton(QStringLiteral("&Expression..."), this);
    BExpression->setObjectName(QStringLiteral("BExpression"));
    BRemoveLine = new QPushButton(QStringLiteral("&Remove line if empty"), this);
    BRemoveLine->setObjectName(QStringLiteral("BRemoveLine"));
    buttons->addWidget(BExpression);
    buttons->addWidget(BRemoveLine);
    buttons->addStretch();
    fields()->addRow(MemoLines);
    fields()->addRow(buttons);
    CheckTransparent->hide();
    connect(BExpression, &QPushButton::clicked, this,
        [this] { FieldMarkerEditing::insertExpression(MemoLines, this->designer()); });
    connect(BRemoveLine, &QPushButton::clicked, this,
        [this] { FieldMarkerEditing::toggleRemoveMark(MemoLines->textCursor()); });
    translate();
}

void TMemoPropertyForm::load(const TRpMemo &memo)
{
    MemoLines->setPlainText(memo.lines().join(u'\n'));
    loadText(memo);
    if (PropertyForms::liesOnReport(&memo)) {
        CheckAutoStretch->setChecked(false);
        CheckAutoStretch->setEnabled(false);
    }
}

QStringList TMemoPropertyForm::lines() const
{
    const QString text = MemoLines->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void TMemoPropertyForm::apply(TRpMemo &memo) const
{
    memo.setLines(lines());
    memo.setAlignment(FontGroup->alignment());
    memo.setWordWrap(CheckWordWrap->isChecked());
    memo.setAutoSize(CheckAutoSize->isChecked());
    memo.setAutoStretch(CheckAutoStretch->isEnabled() && CheckAutoStretch->isChecked());
    FontGroup->writeFont(*memo.font());
    memo.setColor(FontGroup->color());
    PropertyForms::setIfPresent(&memo, "Caption", QString());
}

bool TMemoPropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpMemo *memo)
{
    TMemoPropertyForm form(owner, designer);
    form.load(*memo);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*memo);
    return true;
}
