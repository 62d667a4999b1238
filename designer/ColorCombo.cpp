#include "designer/ColorCombo.h"

#include "widgets/Dialogs.h"

#include <QListView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

// The fixed entries in list order. Silver stands three times in the list, as the designer has always
// offered it.
constexpr TColor kFixedColors[TrpdColorCombo::kFixedCount]
    = { 0xFFFF00, 0x000000, 0xFF0000, 0x808080, 0xFF00FF, 0xC0C0C0, 0x008000, 0x00FF00, 0xC0C0C0, 0x000080,
          0x800000, 0x008080, 0x800080, 0x0000FF, 0xC0C0C0, 0x808000, 0xFFFFFF, 0x00FFFF };

constexpr int kColorRole = Qt::UserRole + 1;

void paintSwatch(QPainter &painter, const QRect &rect, TColor color)
{
    const QRect swatch = rect.adjusted(2, 2, -2, -2);
    painter.fillRect(swatch, toQColor(color));
    painter.setPen(Qt::black);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}

// Rows 16 pixels high: a swatch for a fixed colour, a bold "..." for the custom entry.
class ColorEntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), TrpdColorCombo::kRowHeight);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.highlight());
        if (index.row() == TrpdColorCombo::kCustomEntry) {
            QFont bold = option.font;
            bold.setBold(true);
            painter->setFont(bold);
            painter->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                                  : option.palette.text().color());
            painter->drawText(option.rect, Qt::AlignCenter, QStringLiteral("..."));
        } else {
            paintSwatch(*painter, option.rect, index.data(kColorRole).toInt());
        }
        painter->restore();
    }
};

} // namespace

TrpdColorCombo::TrpdColorCombo(QWidget *parent)
    : QComboBox(parent)
{
    for (int i = 0; i < kFixedCount; ++i)
        addItem(QString(), kFixedColors[i]);
    addItem(QStringLiteral("..."), m_custom);
    for (int i = 0; i < count(); ++i)
        setItemData(i, i == kCustomEntry ? m_custom : kFixedColors[i], kColorRole);
    setItemDelegate(new ColorEntryDelegate(this));
    setMaxVisibleItems(20);
    setCurrentIndex(-1);
    setMinimumWidth(80);
    connect(this, qOverload<int>(&QComboBox::activated), this, &TrpdColorCombo::entryActivated);
}

TColor TrpdColorCombo::fixedColor(int entry)
{
    return entry >= 0 && entry < kFixedCount ? kFixedColors[entry] : clNone;
}

void TrpdColorCombo::setCustomColor(TColor color)
{
    m_custom = color;
    setItemData(kCustomEntry, color, kColorRole);
    update();
}

void TrpdColorCombo::setColor(TColor color)
{
    for (int i = 0; i < kFixedCount; ++i) {
        if (kFixedColors[i] == color) {
            setCurrentIndex(i);
            return;
        }
    }
    setCustomColor(color);
    setCurrentIndex(kCustomEntry);
}

TColor TrpdColorCombo::color(TColor fallback) const
{
    const int entry = currentIndex();
    if (entry < 0)
        return fallback;
    return entry == kCustomEntry ? m_custom : kFixedColors[entry];
}

void TrpdColorCombo::entryActivated(int index)
{
    if (index != kCustomEntry)
        return;
    QColor chosen = toQColor(m_custom);
    if (Dialogs::chooseColor(this, chosen))
        setCustomColor(fromQColor(chosen));
}

void TrpdColorCombo::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field
        = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (hasColor()) {
        paintSwatch(painter, field, color());
    } else {
        painter.setPen(palette().text().color());
        painter.drawText(
            field.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("(transparent)"));
    }
}
