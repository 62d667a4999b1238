#include "GalleryTool.h"

#include "platform/DateTime.h"
#include "store/DataSource.h"
#include "store/MemTable.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/GradButton.h"
#include "widgets/GradPanel.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace Gallery {

namespace {

void fillSample(TMemTable &table)
{
    table.setObjectName(QStringLiteral("tblTransaction"));
    table.FieldDefs().Add(QStringLiteral("Transaction_Number"), ftAutoInc, 0, faReadonly);
    table.FieldDefs().Add(QStringLiteral("Transaction_Description"), ftString, 100);
    table.FieldDefs().Add(QStringLiteral("Transaction_Date"), ftDateTime);
    table.FieldDefs().Add(QStringLiteral("Transaction_Amount"), ftCurrency);
    table.CreateEmpty();
    const struct
    {
        const char *text;
        int day;
        double amount;
    } rows[] = {{"Salaire", 1, 2150.0}, {"Loyer", 3, -780.0}, {"Courses", 6, -86.45},
                {"Électricité", 9, -61.2}, {"Remboursement", 12, 35.0}, {"Pharmacie", 15, -12.9}};
    for (const auto &row : rows) {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))->setAsString(QString::fromUtf8(row.text));
        table.FieldNamed(QStringLiteral("Transaction_Date"))->setAsDateTime(DateTime::encodeDate(2026, 11, row.day));
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(row.amount);
        table.Post();
    }
    table.First();
    table.MoveRows(2);
}

QLabel *caption(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace

bool renderDataControls(const QDir &out, int &written)
{
    TMemTable table;
    fillSample(table);
    TDataSource source;
    source.setDataSet(&table);

    QWidget window;
    window.resize(560, 420);
    auto *panel = new TGradPanel(&window);
    panel->setColorScheme(GradPanelScheme::csSilver);
    panel->setGeometry(0, 0, 560, 170);

    caption(panel, QStringLiteral("Description de la dépense"), 12, 12);
    auto *description = new TDBEdit(panel);
    description->setDataSource(&source);
    description->setDataField(QStringLiteral("Transaction_Description"));
    description->setGeometry(12, 32, 300, 24);
    auto *pick = new TGradButton(panel);
    pick->setColorScheme(csNeoSilver);
    pick->setGradient(true);
    pick->setCtl3D(false);
    pick->setText(QStringLiteral("..."));
    pick->setGeometry(316, 34, 21, 19);

    caption(panel, QStringLiteral("Date de la dépense"), 12, 64);
    auto *date = new TDBDateEdit(panel);
    date->setDataSource(&source);
    date->setDataField(QStringLiteral("Transaction_Date"));
    date->setGeometry(12, 84, 140, 24);

    caption(panel, QStringLiteral("Montant de la dépense"), 12, 116);
    auto *amount = new TDBEdit(panel);
    amount->setDataSource(&source);
    amount->setDataField(QStringLiteral("Transaction_Amount"));
    amount->setGeometry(12, 136, 140, 24);

    auto *text = new TDBText(panel);
    text->setDataSource(&source);
    text->setDataField(QStringLiteral("Transaction_Description"));
    text->setGeometry(360, 36, 180, 20);

    auto *grid = new TDBGrid(&window);
    grid->setGeometry(0, 170, 560, 250);
    grid->setDataSource(&source);
    std::vector<TColumn> columns(3);
    columns[0].FieldName = QStringLiteral("Transaction_Date");
    columns[0].Title = QStringLiteral("Date");
    columns[0].Width = 90;
    columns[1].FieldName = QStringLiteral("Transaction_Description");
    columns[1].Title = QStringLiteral("Désignation");
    columns[1].Width = 280;
    columns[2].FieldName = QStringLiteral("Transaction_Amount");
    columns[2].Title = QStringLiteral("Montant");
    columns[2].Width = 140;
    grid->setColumns(columns);

    window.show();
    QApplication::processEvents();
    if (!save(grab(window), out, QStringLiteral("data-controls.png"), written))
        return false;

    // The date edit with its calendar open, drawn below it as on screen.
    date->showCalendar();
    QApplication::processEvents();
    const QImage form = grab(window);
    const QImage popup = grab(*date->calendarPopup());
    const QPoint below = date->mapTo(&window, QPoint(0, date->height()));
    QImage combined(std::max(form.width(), below.x() + popup.width()),
                    std::max(form.height(), below.y() + popup.height()), QImage::Format_RGB32);
    combined.fill(Qt::white);
    {
        QPainter painter(&combined);
        painter.drawImage(0, 0, form);
        painter.drawImage(below, popup);
    }
    date->hideCalendar();
    return save(combined, out, QStringLiteral("date-edit-calendar.png"), written);
}

} // namespace Gallery
