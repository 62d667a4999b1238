#include "designer/DBTextMapForm.h"

#include "widgets/Dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr QStringView kMark = u"%%";

QString withoutMarks(QString text)
{
    while (text.size() >= 2 * kMark.size() && text.startsWith(kMark) && text.endsWith(kMark))
        text = text.mid(kMark.size(), text.size() - 2 * kMark.size());
    return text;
}

} // namespace

TDBTextMapForm::TDBTextMapForm(QWidget *owner, TRpDesigner *designer)
    : TRpPropertyForm(owner, designer, QStringLiteral("TDBTextMapForm"),
        QStringLiteral("Map displayed value to stored value"), 0)
{
    auto *row = new QHBoxLayout;
    GridMap = new QTableWidget(0, 2, this);
    GridMap->setObjectName(QStringLiteral("GridMap"));
    GridMap->setHorizontalHeaderLabels({ QStringLiteral("Displayed value"), QStringLiteral("Stored value") });
    GridMap->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    GridMap->verticalHeader()->hide();
    GridMap->installEventFilter(this);
    GridMap->setMinimumSize(420, 220);
    BExpression = new QToolButton(this);
    BExpression->setObjectName(QStringLiteral("BExpression"));
    BExpression->setText(QStringLiteral("..."));
    row->addWidget(GridMap, 1);
    row->addWidget(BExpression, 0, Qt::AlignTop);
    content()->addLayout(row);
    connect(BExpression, &QToolButton::clicked, this, &TDBTextMapForm::editExpression);
    addRow();
    translate();
}

void TDBTextMapForm::addRow(const QString &displayed, const QString &stored)
{
    const int row = GridMap->rowCount();
    GridMap->insertRow(row);
    GridMap->setItem(row, 0, new QTableWidgetItem(displayed));
    GridMap->setItem(row, 1, new QTableWidgetItem(stored));
}

void TDBTextMapForm::setMapList(const QStringList &lines)
{
    GridMap->setRowCount(0);
    for (const QString &line : lines) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            addRow();
        else
            addRow(line.left(tab), line.mid(tab + 1));
    }
    if (GridMap->rowCount() == 0)
        addRow();
    GridMap->setCurrentCell(0, 0);
}

QStringList TDBTextMapForm::mapList() const
{
    QStringList lines;
    for (int row = 0; row < GridMap->rowCount(); ++row) {
        if (rowEmpty(row))
            continue;
        lines << GridMap->item(row, 0)->text() + u'\t' + GridMap->item(row, 1)->text();
    }
    return lines;
}

bool TDBTextMapForm::rowEmpty(int row) const
{
    for (int column = 0; column < 2; ++column) {
        const QTableWidgetItem *item = GridMap->item(row, column);
        if (item && !item->text().isEmpty())
            return false;
    }
    return true;
}

bool TDBTextMapForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != GridMap || event->type() != QEvent::KeyPress)
        return TRpPropertyForm::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    const int row = GridMap->currentRow();
    const int column = std::max(0, GridMap->currentColumn());
    if (row < 0)
        return false;
    if (rowEmpty(row) && GridMap->rowCount() > 1) {
        // An empty row goes; Up moves to the row above first.
        const int target = key == Qt::Key_Up ? std::max(0, row - 1) : std::min(row, GridMap->rowCount() - 2);
        GridMap->removeRow(row);
        GridMap->setCurrentCell(target, column);
        return true;
    }
    if (key == Qt::Key_Down && row == GridMap->rowCount() - 1) {
        if (!rowEmpty(row)) {
            addRow();
            GridMap->setCurrentCell(row + 1, column);
        }
        return true;
    }
    return false;
}

void TDBTextMapForm::editExpression()
{
    const int row = GridMap->currentRow();
    if (row < 0)
        return;
    QTableWidgetItem *item = GridMap->item(row, 0);
    QString expression = withoutMarks(item->text());
    if (ExpressionWizard::ask(this, designer(), expression))
        item->setText(QStringLiteral("%%") + expression + QStringLiteral("%%"));
}

bool TDBTextMapForm::Edit(QWidget *owner, TRpDesigner *designer, QStringList &lines)
{
    TDBTextMapForm form(owner, designer);
    form.setMapList(lines);
    if (!Dialogs::exec(form))
        return false;
    lines = form.mapList();
    return true;
}
