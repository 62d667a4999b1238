#pragma once

#include "designer/PropertyFields.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;
class TRpDBImage;
class TRpImage;

// Pictures read from files for image elements.
namespace ImageFiles {
// Files larger than this are refused.
inline constexpr qint64 kMaxImageFileSize = 64 * 1024 * 1024;
// The file dialog's filter: all pictures, bitmaps, metafiles, enhanced metafiles, icons.
QString fileFilter();
// Reads a picture file into the element's picture (as a bitmap) and gives its size in pixels; raises
// Exception with the reason when the file cannot be read or holds no picture this program can draw.
QSize loadPicture(TRpImage &image, const QString &fileName);
} // namespace ImageFiles

// The image dialog ("Image"): the file name ("..." opens a file dialog), "&Stretch picture", "&Center
// picture", "A&utosize report element to fit picture". OK loads the picture from the file; when that fails
// the file name is emptied, autosize switched off, and the reason shown as an error box.
class TImagePropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TImagePropertyForm(QWidget *owner, TRpDesigner *designer);

    QLineEdit *EFileName;
    QToolButton *BFileName;
    QCheckBox *CheckStretch;
    QCheckBox *CheckCenter;
    QCheckBox *CheckAutoSize;

    void load(const TRpImage &image);
    void apply(TRpImage &image);

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpImage *image);

private:
    void chooseFile();
};

// The database picture dialog ("Picture from database"): data set, data field, "&Stretch picture
// automatically", "&Center picture".
class TDBImagePropertyForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TDBImagePropertyForm(QWidget *owner, TRpDesigner *designer);

    TRpDataFieldChooser *DataField;
    QComboBox *ComboAlignment;
    QCheckBox *CheckStretch;
    QCheckBox *CheckCenter;

    void load(TRpDBImage &image);
    void apply(TRpDBImage &image) const;

    static bool Edit(QWidget *owner, TRpDesigner *designer, TRpDBImage *image);
};
