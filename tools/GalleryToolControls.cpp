#include "GalleryTool.h"

#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>

namespace Gallery {

namespace {

const char *const kButtonSchemes[] = {"NeoDesert", "NeoSky", "NeoGrass", "NeoSilver", "NeoRose", "NeoSun",
                                      "Desert",    "Grass",  "Sky",      "Sun",       "Rose",    "Silver"};
const char *const kPanelSchemes[] = {"Custom", "Desert", "Grass", "Silver", "Sky", "Rose", "Sun"};
const char *const kStates[] = {"normal", "hot", "down", "disabled"};
const char *const kDirections[] = {"horizontal", "vertical", "diagonal"};

void putInState(TGradButton &button, int state)
{
    const QPointF inside(10, 10);
    if (state == 1 || state == 2) {
        QEnterEvent enter(inside, inside, inside);
        QApplication::sendEvent(&button, &enter);
    }
    if (state == 2) {
        QMouseEvent press(QEvent::MouseButtonPress, inside, inside, Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(&button, &press);
    }
    button.setEnabled(state != 3);
}

QImage glyph()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 120, 40));
    painter.drawEllipse(2, 2, 12, 12);
    return image;
}

// One row per look (gradient with flat edges as the finance windows use it; plain face with 3D lines; a glyph
// on the left), one column per state, each picture enlarged three times so single pixels stay visible.
QImage schemeSheet(TColorScheme scheme)
{
    constexpr int kScale = 3, kCell = 110 * kScale, kRow = 32 * kScale;
    QImage sheet(4 * kCell, 3 * kRow, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int look = 0; look < 3; ++look) {
        for (int state = 0; state < 4; ++state) {
            QWidget holder;
            auto *button = new TGradButton(&holder);
            button->resize(100, 25);
            button->setColorScheme(scheme);
            button->setText(QStringLiteral("&Sauvegarder"));
            button->setGradient(look != 1);
            button->setCtl3D(look == 1);
            if (look == 2) {
                button->setGlyph(glyph());
                button->setText(QStringLiteral("&Ok"));
            }
            putInState(*button, state);
            const QImage image = button->render();
            painter.drawImage(QRect(state * kCell + 10, look * kRow + 10, image.width() * kScale,
                                    image.height() * kScale),
                              image);
        }
    }
    return sheet;
}

} // namespace

bool save(const QImage &image, const QDir &out, const QString &name, int &written)
{
    const QString path = out.filePath(name);
    if (image.isNull() || !image.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    ++written;
    return true;
}

QImage grab(QWidget &widget)
{
    widget.ensurePolished();
    return widget.grab().toImage();
}

bool renderButtons(const QDir &out, int &written)
{
    for (int scheme = csNeoDesert; scheme < csCustom; ++scheme) {
        const QString name = QStringLiteral("button-%1.png").arg(QString::fromLatin1(kButtonSchemes[scheme]));
        if (!save(schemeSheet(TColorScheme(scheme)), out, name, written))
            return false;
    }
    // The states one by one at their real size, for the finance windows' two schemes.
    for (TColorScheme scheme : {csNeoSilver, csNeoRose}) {
        for (int state = 0; state < 4; ++state) {
            QWidget holder;
            auto *button = new TGradButton(&holder);
            button->resize(100, 25);
            button->setColorScheme(scheme);
            button->setGradient(true);
            button->setCtl3D(false);
            button->setText(QStringLiteral("&Sauvegarder"));
            putInState(*button, state);
            const QString name = QStringLiteral("button-%1-%2.png")
                                     .arg(QString::fromLatin1(kButtonSchemes[scheme]),
                                          QString::fromLatin1(kStates[state]));
            if (!save(button->render(), out, name, written))
                return false;
        }
    }
    return true;
}

bool renderPanels(const QDir &out, int &written)
{
    for (int scheme = GradPanelScheme::csDesert; scheme <= GradPanelScheme::csSun; ++scheme) {
        for (int direction = fdHorizontal; direction <= fdDiagonal; ++direction) {
            TGradPanel panel;
            panel.resize(240, 80);
            panel.setColorScheme(GradPanelScheme::TColorScheme(scheme));
            panel.setFillDirection(TFillDirection(direction));
            panel.setCaption(QStringLiteral("%1 %2").arg(QString::fromLatin1(kPanelSchemes[scheme]),
                                                          QString::fromLatin1(kDirections[direction])));
            const QString name = QStringLiteral("panel-%1-%2.png")
                                     .arg(QString::fromLatin1(kPanelSchemes[scheme]),
                                          QString::fromLatin1(kDirections[direction]));
            if (!save(panel.render(), out, name, written))
                return false;
        }
    }
    TGradPanel bevels;
    bevels.resize(240, 80);
    bevels.setColorScheme(GradPanelScheme::csSilver);
    bevels.setBevelInner(bvLowered);
    bevels.setBevelWidth(3);
    bevels.setAlignment(Qt::AlignLeft);
    bevels.setCaption(QStringLiteral("Raised outside, lowered inside"));
    return save(bevels.render(), out, QStringLiteral("panel-bevels.png"), written);
}

} // namespace Gallery
