#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class TDataSet;
class TDataSource;
class TDBGrid;
class TRpDesigner;

// The "Datasets" dialog: the report's main table ("&Main report table") and the available tables
// ("&Available") with "&New", "&Delete", "&Fields", "&Properties" and "&View data". Without AllowDatasetEdit
// only the main table can be chosen. OK makes the chosen table the report's; on closing, every data field
// element whose field exists takes the field's display label as its caption.
class TDBSetupForm : public QDialog
{
    Q_OBJECT

public:
    TDBSetupForm(TRpDesigner &engine, QWidget *parent = nullptr);
    ~TDBSetupForm() override;

    QComboBox *ComboMain;
    QListWidget *ListAvailable;
    QPushButton *BNew;
    QMenu *MenuNew;
    QPushButton *BDelete;
    QPushButton *BFields;
    QPushButton *BProperties;
    QPushButton *BViewData;
    QPushButton *BOK;
    QPushButton *BCancel;

    // The data source of the selected "&Available" entry, or null.
    TDataSource *selectedSource() const;
    // The entry of a table in "&Available", or -1.
    int rowOf(const TDataSet *dataSet) const;

    void selectionChanged();
    // "&New" with the interface at `index` of the registry.
    void newDataset(int index);
    void deleteClick();
    void propertiesClick();
    void fieldsClick();
    void viewDataClick();
    void okClick();

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();
    void refreshTexts(int row);

    TRpDesigner &m_engine;
    QList<QPointer<TDataSource>> m_sources;
};

// "&View data": a read-only grid over the table in a window centred on the screen, two thirds of its width
// and height. The table's current row is kept and restored when the window closes.
class TRpViewDataForm : public QDialog
{
    Q_OBJECT

public:
    TRpViewDataForm(TDataSource &source, QWidget *parent = nullptr);

    TDBGrid *Grid;
};

// Opens the "Datasets" dialog for the engine's report (the "&Datasets..." menu entry); true for OK.
bool rpShowDatasetsDialog(TRpDesigner &engine, QWidget *parent);
// Every data field element whose field exists takes the field's display label as its caption.
void rpRefreshDataFieldCaptions(TRpDesigner &engine);
