#include "designer/ImagePropertyForm.h"

#include "designer/ComponentEditor.h"
#include "designer/DesignItems.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/elements/DrawItems.h"
#include "widgets/Dialogs.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace ImageFiles {

QString fileFilter()
{
    return QStringLiteral(
        "All (*.bmp, *.wmf, *.emf, *.ico) (*.BMP *.WMF *.EMF *.ICO *.bmp *.wmf *.emf *.ico);;"
        "Bitmaps (*.BMP) (*.BMP *.bmp);;Metafiles (*.WMF) (*.WMF *.wmf);;"
        "Enhanced metafiles (*.EMF) (*.EMF *.emf);;Icons (*.ICO) (*.ICO *.ico)");
}

QSize loadPicture(TRpImage &image, const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.isFile())
        throw Exception(QStringLiteral("Cannot open file %1").arg(fileName));
    if (info.size() > kMaxImageFileSize)
        throw Exception(QStringLiteral("The picture file %1 is too large").arg(fileName));
    QByteArray bytes = FileIO::readAll(fileName);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Pictures larger than this many megabytes are not decoded.
    reader.setAllocationLimit(256);
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        throw Exception(QStringLiteral("%1 holds no picture this program can show").arg(fileName));
    image.picture()->setGraphic(QStringLiteral("TBitmap"), bitmapGraphicData(picture));
    return picture.size();
}

} // namespace ImageFiles

// ---------------------------------------------------------------- image

TImagePropertyForm::TImagePropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(owner, designer, QStringLiteral("TImagePropertyForm"), QStringLiteral("Image"), 0)
{
    auto *form = new QFormLayout;
    auto *file = new QHBoxLayout;
    EFileName = new QLineEdit(this);
    EFileName->setObjectName(QStringLiteral("EFileName"));
    EFileName->setMinimumWidth(320);
    BFileName = new QToolButton(this);
    BFileName->setObjectName(QStringLiteral("BFileName"));
    BFileName->setText(QStringLiteral("..."));
    file->addWidget(EFileName, 1);
    file->addWidget(BFileName);
    form->addRow(QStringLiteral("File name"), file);
    CheckStretch
        = PropertyForms::checkBox(this, QStringLiteral("CheckStretch"), QStringLiteral("&Stretch picture"));
    CheckCenter
        = PropertyForms::checkBox(this, QStringLiteral("CheckCenter"), QStringLiteral("&Center picture"));
    CheckAutoSize = PropertyForms::checkBox(
        this, QStringLiteral("CheckAutoSize"), QStringLiteral("A&utosize report element to fit picture"));
    form->addRow(CheckStretch);
    form->addRow(CheckCenter);
    form->addRow(CheckAutoSize);
    content()->addLayout(form);
    connect(BFileName, &QToolButton::clicked, this, &TImagePropertyForm::chooseFile);
    translate();
}

void TImagePropertyForm::chooseFile()
{
    const QString folder
        = EFileName->text().isEmpty() ? QString() : QFileInfo(EFileName->text()).absolutePath();
    const QString chosen = Dialogs::getOpenFileName(this, QString(), folder, ImageFiles::fileFilter());
    if (!chosen.isEmpty())
        EFileName->setText(chosen);
}

void TImagePropertyForm::load(const TRpImage &image)
{
    const QString name = image.property("Filename").toString();
    EFileName->setText(name.contains(u'*') ? QString() : name);
    CheckStretch->setChecked(image.stretch());
    CheckCenter->setChecked(image.center());
    CheckAutoSize->setChecked(image.autoSize());
}

void TImagePropertyForm::apply(TRpImage &image)
{
    const QString name = EFileName->text().trimmed();
    PropertyForms::setIfPresent(&image, "Filename", name);
    image.setAutoSize(!name.isEmpty() && CheckAutoSize->isChecked());
    image.setCenter(CheckCenter->isChecked());
    image.setStretch(CheckStretch->isChecked());
    if (name.isEmpty())
        return;
    try {
        const QSize size = ImageFiles::loadPicture(image, name);
        if (image.autoSize())
            DesignItems::setItemRect(&image, QRect(DesignItems::itemRect(&image).topLeft(), size));
    } catch (const Exception &error) {
        PropertyForms::setIfPresent(&image, "Filename", QString());
        image.setAutoSize(false);
        Dialogs::showError(this, error.message());
    }
}

bool TImagePropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpImage *image)
{
    TImagePropertyForm form(owner, designer);
    form.load(*image);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*image);
    return true;
}

// ---------------------------------------------------------------- database picture

TDBImagePropertyForm::TDBImagePropertyForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(owner, designer, QStringLiteral("TDBImagePropertyForm"),
        QStringLiteral("Picture from database"), 90032)
{
    auto *form = new QFormLayout;
    DataField = new TRpDataFieldChooser(this);
    form->addRow(DataField);
    ComboAlignment = new QComboBox(this);
    ComboAlignment->setObjectName(QStringLiteral("ComboAlignment"));
    PropertyChoices::fillAlignments(ComboAlignment);
    form->addRow(QStringLiteral("&Alignment"), ComboAlignment);
    CheckStretch = PropertyForms::checkBox(
        this, QStringLiteral("CheckStretch"), QStringLiteral("&Stretch picture automatically"));
    CheckCenter
        = PropertyForms::checkBox(this, QStringLiteral("CheckCenter"), QStringLiteral("&Center picture"));
    form->addRow(CheckStretch);
    form->addRow(CheckCenter);
    content()->addLayout(form);
    translate();
}

void TDBImagePropertyForm::load(TRpDBImage &image)
{
    const bool several = designer() && designer()->selectedCount() > 1;
    DataField->load(designer(), image.dataSet(), image.dataField(), !several);
    DataField->setLocked(designer() && designer()->ElementFlag(&image, QStringLiteral("BlockChange")));
    // Pictures have no alignment of their own; the list stands for kinds that do.
    const bool aligned = PropertyForms::hasProperty(&image, "Alignment");
    ComboAlignment->setEnabled(aligned);
    ComboAlignment->setCurrentIndex(aligned
            ? PropertyChoices::alignmentPosition(image.property("Alignment").value<Rp::TAlignment>())
            : 0);
    CheckStretch->setChecked(image.stretch());
    CheckCenter->setChecked(image.center());
}

void TDBImagePropertyForm::apply(TRpDBImage &image) const
{
    if (QObject *dataSet = DataField->dataSet(); dataSet || DataField->dataSetListShown())
        image.setDataSet(dataSet);
    if (DataField->ComboField->currentIndex() >= 0)
        image.setDataField(DataField->fieldName());
    if (ComboAlignment->isEnabled())
        PropertyForms::setIfPresent(&image, "Alignment",
            QVariant::fromValue(PropertyChoices::alignmentAt(ComboAlignment->currentIndex())));
    image.setStretch(CheckStretch->isChecked());
    image.setCenter(CheckCenter->isChecked());
}

bool TDBImagePropertyForm::Edit(QWidget *owner, TRpDesigner *designer, TRpDBImage *image)
{
    TDBImagePropertyForm form(owner, designer);
    form.load(*image);
    if (!Dialogs::exec(form))
        return false;
    form.apply(*image);
    return true;
}
