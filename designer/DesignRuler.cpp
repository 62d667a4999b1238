#include "designer/DesignRuler.h"

#include "report/model/Units.h"

#include <QPainter>

TRpRuler::TRpRuler(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Ruler"));
    setFixedHeight(kHeight);
}

void TRpRuler::setUnit(TRpUnit unit)
{
    m_unit = unit;
    update();
}

void TRpRuler::setZoom(int zoom)
{
    m_zoom = zoom;
    update();
}

void TRpRuler::setOffset(int offset)
{
    m_offset = offset;
    update();
}

QList<TRpRuler::Tick> TRpRuler::ticks() const
{
    QList<Tick> result;
    auto at = [this](long double native) { return nativeToPixels(native, m_resolution, m_zoom); };
    if (m_unit == Rp::Inches) {
        for (int quarter = 0;; ++quarter) {
            const int x = at(kNativePerInch * quarter / 4);
            if (x > m_pageWidth)
                break;
            if (quarter % 4 == 0)
                result << Tick { x, kHeight, false, quarter == 0 ? QString() : QString::number(quarter / 4) };
            else if (m_zoom >= 50)
                result << Tick { x, kHeight / 4, false, QString() };
        }
        return result;
    }
    if (m_unit == Rp::Characters) {
        const long double perCharacter = 800.0L / (m_fontPoints * 2.54L);
        for (int tens = 0;; ++tens) {
            const int x = at(perCharacter * 10 * tens);
            if (x > m_pageWidth)
                break;
            result << Tick { x, kHeight, true, tens == 0 ? QString() : QString::number(tens * 10) };
        }
        return result;
    }
    for (int mm = 0;; ++mm) {
        const int x = at(kNativePerMM * mm);
        if (x > m_pageWidth)
            break;
        if (mm % 10 == 0)
            result << Tick { x, kHeight, false, mm == 0 ? QString() : QString::number(mm / 10) };
        else if (mm % 5 == 0)
            result << Tick { x, m_zoom <= 30 ? kHeight / 4 : kHeight / 2, false, QString() };
        else if (m_zoom >= 50)
            result << Tick { x, kHeight / 4, false, QString() };
    }
    return result;
}

void TRpRuler::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    QFont font(QStringLiteral("Small Fonts"));
    font.setPointSize(6);
    painter.setFont(font);
    for (const Tick &tick : ticks()) {
        const int x = tick.x + m_offset;
        if (x < 0 || x > width())
            continue;
        painter.setPen(QPen(Qt::black, 1, tick.dotted ? Qt::DotLine : Qt::SolidLine));
        painter.drawLine(x, kHeight - tick.length, x, kHeight - 1);
        if (!tick.label.isEmpty())
            painter.drawText(QRect(x + 2, 0, 30, kHeight), Qt::AlignLeft | Qt::AlignTop, tick.label);
    }
    painter.setPen(Qt::gray);
    painter.drawLine(0, kHeight - 1, width(), kHeight - 1);
}
