#include "designer/FramePropertyForm.h"

#include "designer/LanguageFile.h"
#include "designer/RpDesigner.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const char *const kStyleKeys[] = { "PenStyleSolid", "PenStyleDashed", "PenStyleDot", "PenStyleDashDot",
    "PenStyleDashDotDot", "PenStyleHiddenMark", "PenStyleInsideFrame" };

TRpFrame *frameOf(QObject *item)
{
    return item ? qvariant_cast<TRpFrame *>(item->property("Frame")) : nullptr;
}

} // namespace

TFramePropertyForm::TFramePropertyForm(QWidget *owner, const RpMessageTable &messages)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("FramePropertyForm"));
    setWindowTitle(QStringLiteral("Frame"));
    auto *layout = new QVBoxLayout(this);
    auto *sides = new QGridLayout;
    CheckTop = new QCheckBox(QStringLiteral("&Top"), this);
    CheckTop->setObjectName(QStringLiteral("CheckTop"));
    CheckBottom = new QCheckBox(QStringLiteral("&Bottom"), this);
    CheckBottom->setObjectName(QStringLiteral("CheckBottom"));
    CheckLeft = new QCheckBox(QStringLiteral("&Left"), this);
    CheckLeft->setObjectName(QStringLiteral("CheckLeft"));
    CheckRight = new QCheckBox(QStringLiteral("&Right"), this);
    CheckRight->setObjectName(QStringLiteral("CheckRight"));
    sides->addWidget(CheckTop, 0, 1);
    sides->addWidget(CheckLeft, 1, 0);
    sides->addWidget(CheckRight, 1, 2);
    sides->addWidget(CheckBottom, 2, 1);
    layout->addLayout(sides);
    auto *form = new QFormLayout;
    EWidth = new QSpinBox(this);
    EWidth->setObjectName(QStringLiteral("EWidth"));
    EWidth->setRange(1, 32000);
    ComboStyle = new QComboBox(this);
    ComboStyle->setObjectName(QStringLiteral("ComboStyle"));
    for (const char *key : kStyleKeys)
        ComboStyle->addItem(messages.text(QString::fromLatin1(key)));
    BColor = new QPushButton(QStringLiteral("&Color..."), this);
    BColor->setObjectName(QStringLiteral("BColor"));
    form->addRow(QStringLiteral("&Width"), EWidth);
    form->addRow(QStringLiteral("Style"), ComboStyle);
    form->addRow(QString(), BColor);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(BColor, &QPushButton::clicked, this, [this] {
        QColor chosen = toQColor(m_color);
        if (Dialogs::chooseColor(this, chosen))
            m_color = fromQColor(chosen);
    });
}

void TFramePropertyForm::setFrame(const TRpFrame &frame)
{
    CheckTop->setChecked(frame.drawTop());
    CheckBottom->setChecked(frame.drawBottom());
    CheckLeft->setChecked(frame.drawLeft());
    CheckRight->setChecked(frame.drawRight());
    EWidth->setValue(std::max(1, frame.width()));
    ComboStyle->setCurrentIndex(std::clamp(int(frame.style()), 0, ComboStyle->count() - 1));
    m_color = frame.color();
}

void TFramePropertyForm::writeTo(TRpFrame &frame) const
{
    frame.setDrawTop(CheckTop->isChecked());
    frame.setDrawBottom(CheckBottom->isChecked());
    frame.setDrawLeft(CheckLeft->isChecked());
    frame.setDrawRight(CheckRight->isChecked());
    frame.setWidth(EWidth->value());
    frame.setColor(m_color);
    frame.setStyle(Rp::TPenStyle(std::clamp(ComboStyle->currentIndex(), 0, int(Rp::psInsideFrame))));
}

bool ShowFrameDialog(QWidget *owner, TRpDesigner *designer)
{
    QList<QObject *> targets = designer->selection();
    if (targets.isEmpty() && designer->report())
        targets << designer->report();
    const TRpFrame *shown = targets.isEmpty() ? nullptr : frameOf(targets.first());
    if (!shown)
        return false;
    TFramePropertyForm form(owner, designer->RuntimeMessages);
    LanguageFiles::translate(&form, QStringLiteral("FramePropertyForm"), designer->LanguageFile);
    form.setFrame(*shown);
    if (!Dialogs::exec(form))
        return false;
    designer->Modify();
    for (QObject *target : std::as_const(targets)) {
        if (TRpFrame *frame = frameOf(target))
            form.writeTo(*frame);
    }
    designer->refreshSurface();
    return true;
}
