#pragma once

#include "designer/PropertyFields.h"

#include <QStringList>

class QTableWidget;
class QToolButton;

// The value map of a data field ("Map displayed value to stored value"): a grid of displayed and stored
// values, one row per map line. Down on the last row adds a row when that row holds anything; Up or Down on
// a row whose two cells are empty removes it (one row always stays). "..." opens the expression wizard on
// the displayed value of the selected row without its enclosing "%%" and writes the expression back between
// "%%". OK rebuilds the list from the rows that hold anything.
class TDBTextMapForm : public TRpPropertyForm
{
    Q_OBJECT

public:
    TDBTextMapForm(QWidget *owner, TRpDesigner *designer);

    QTableWidget *GridMap;
    QToolButton *BExpression;

    void setMapList(const QStringList &lines);
    QStringList mapList() const;

    // Edits the list; true (and the list changed) on OK.
    static bool Edit(QWidget *owner, TRpDesigner *designer, QStringList &lines);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool rowEmpty(int row) const;
    void addRow(const QString &displayed = QString(), const QString &stored = QString());
    void editExpression();
};
