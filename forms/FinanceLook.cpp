#include "forms/FinanceLook.h"

#include "platform/RegionalSettings.h"

#include <algorithm>

namespace FinanceLook {

TGradButton *button(QWidget *parent, const QString &caption, TColorScheme scheme, int width, int height)
{
    auto *result = new TGradButton(parent);
    result->setText(caption);
    result->setColorScheme(scheme);
    result->setGradient(true);
    result->setHotTrack(true);
    result->setCtl3D(false);
    result->setFixedSize(width, height);
    return result;
}

TGradPanel *panel(QWidget *parent, GradPanelScheme::TColorScheme scheme)
{
    auto *result = new TGradPanel(parent);
    result->setColorScheme(scheme);
    result->setFillDirection(fdVertical);
    return result;
}

void setFittingColumns(
    TDBGrid &grid, std::vector<TColumn> columns, size_t flexible, const std::vector<QStringList> &samples)
{
    int gained = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        TColumn &column = columns[i];
        if (i == flexible || column.Width < 0)
            continue;
        const int needed = fittingColumnWidth(grid, column, i < samples.size() ? samples[i] : QStringList());
        if (needed > column.Width) {
            gained += needed - column.Width;
            column.Width = needed;
        }
    }
    if (flexible < columns.size() && columns[flexible].Width >= 0) {
        TColumn &column = columns[flexible];
        const int own
            = fittingColumnWidth(grid, column, flexible < samples.size() ? samples[flexible] : QStringList());
        column.Width = std::max(own, column.Width - gained);
    }
    grid.setColumns(std::move(columns));
}

QStringList amountSamples()
{
    const RegionalSettings &regional = RegionalSettings::current();
    return { regional.formatCurrency(-9999999.99), regional.formatCurrency(99999999.99) };
}

QStringList dateSamples()
{
    // A day and a month of two digits each: the widest short date of the year.
    return { RegionalSettings::current().dateToStr(DateTime::encodeDate(2026, 12, 28)) };
}

} // namespace FinanceLook
