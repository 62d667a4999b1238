#include "forms/detail/DialogLook.h"

#include "forms/FinanceLook.h"
#include "forms/Main.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace DialogLook {

QFont titleFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(24);
    font.setBold(true);
    return font;
}

TGradPanel *panel(
    QWidget *parent, const char *name, GradPanelScheme::TColorScheme scheme, const QRect &geometry)
{
    TGradPanel *result = FinanceLook::panel(parent, scheme);
    result->setObjectName(QString::fromLatin1(name));
    result->setGeometry(geometry);
    return result;
}

TGradButton *button(
    QWidget *parent, const char *name, const QString &caption, TColorScheme scheme, const QRect &geometry)
{
    TGradButton *result = FinanceLook::button(parent, caption, scheme, geometry.width(), geometry.height());
    result->setObjectName(QString::fromLatin1(name));
    result->move(geometry.topLeft());
    return result;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &geometry, bool bold)
{
    auto *result = new QLabel(caption, parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setGeometry(geometry);
    if (bold) {
        QFont font = result->font();
        font.setBold(true);
        result->setFont(font);
    }
    return result;
}

QLabel *title(QWidget *parent, const QString &caption, const QRect &geometry)
{
    QLabel *result = label(parent, "Label10", caption, geometry, false);
    result->setFont(titleFont());
    result->setAlignment(Qt::AlignCenter);
    return result;
}

void centreOnMainWindow(QWidget &dialog)
{
    QRect area;
    if (frmMain)
        area = frmMain->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(area.center());
    dialog.move(frame.topLeft());
}

} // namespace DialogLook
