#pragma once

#include "platform/Colors.h"

#include <QComboBox>

// The colour selector of the property dialogs: a drop-down list of eighteen fixed colours and a custom one.
// The list draws a swatch per colour and a bold "..." for the custom entry, whose choice opens the colour
// dialog; the closed field shows the chosen colour as a swatch, or "(transparent)" while nothing is chosen.
class TrpdColorCombo : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int kFixedCount = 18;
    static constexpr int kCustomEntry = 18;
    static constexpr int kRowHeight = 16;

    explicit TrpdColorCombo(QWidget *parent = nullptr);

    // The colour of a fixed entry.
    static TColor fixedColor(int entry);

    // Selects the first fixed entry of that value, or keeps the value as the custom colour and selects the
    // custom entry.
    void setColor(TColor color);
    // The chosen entry's colour (the custom colour for the custom entry); `fallback` while nothing is chosen.
    TColor color(TColor fallback = clNone) const;
    bool hasColor() const { return currentIndex() >= 0; }
    // No entry chosen: the field shows "(transparent)".
    void clearColor() { setCurrentIndex(-1); }
    TColor customColor() const { return m_custom; }
    void setCustomColor(TColor color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void entryActivated(int index);

    TColor m_custom = clWhite;
};
