#pragma once

#include "designer/ComponentEditor.h"
#include "designer/DesignView.h"
#include "report/files/ReportFile.h"

#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class TField;

// The design states of the engine: what a click on the design surface creates.
namespace DesignStates {
enum : int {
    Select = 0,
    NewBand = 2,
    NewLabel = 3,
    NewDataField = 4,
    NewExpression = 5,
    NewSystemField = 6,
    NewShape = 7,
    NewImage = 8,
    NewImageDataField = 9,
    NewMemo = 10,
    NewRichText = 11,
    NewRichTextDataField = 12,
    NewSubdetail = 13,
    NewGroup = 14,
    NewChildBand = 15,
    NewChart = 16,
    NewCheckBox = 17,
    NewGrid = 18,
    NewBarcodeDataField = 19,
    NewBarcode = 20
};
}

// What opening an item's property dialog came to: no dialog for its kind, OK, or Cancel.
enum class EditResult { NoDialog, Accepted, Cancelled };

// The designer window's engine ("RpDesigner1"): the selection and the design surface of its editor base, plus
// the report file it edits, the design state chosen in the element palette, inserting bands and elements,
// zoom, undo snapshots of the whole design and the designer's settings.
class TRpDesigner : public TRuntimeComponentEditor
{
    Q_OBJECT

public:
    explicit TRpDesigner(QObject *parent = nullptr);
    ~TRpDesigner() override;

    ReportFileEngine *files() const { return m_files.get(); }
    TDesignRpReport *designReport() const;

    // Grid, keyboard step and minimum size, in pixels; values below 1 are ignored. They go to the selection
    // frame and the grid the surface draws.
    int gridSizeX() const { return m_gridX; }
    int gridSizeY() const { return m_gridY; }
    void setGridSize(int x, int y);
    int keyboardMoveX() const { return m_keyX; }
    int keyboardMoveY() const { return m_keyY; }
    void setKeyboardMove(int x, int y);
    int minElementWidth() const { return m_minWidth; }
    int minElementHeight() const { return m_minHeight; }
    void setMinElementSize(int width, int height);

    Qt::CursorShape AddCursor = Qt::CrossCursor;
    bool AllowBlockEdit = true;
    bool AllowNewCalcFields = true;
    bool AllowSQLEdit = true;
    bool AutoEditAfterInsert = true;
    bool ScriptEditByUser = true;
    bool ShowDatafieldListbox = true;
    bool DatafieldsSorted = false;
    bool ScriptsEnabled = true;
    QString DefaultSaveDir;
    QString DefaultOpenDir;
    // The report filter the host gives ("Reports|*.RP2"); the file dialogs build theirs from the extension.
    QString FileFilter = QStringLiteral("Reports|*.RP2");
    // The language file the designer's windows and dialogs are translated by; empty for none.
    QString LanguageFile;

    // The report's data: display labels (lines of a name, "=" and a label) and restricting lists (names; an
    // empty list restricts nothing), compared ignoring case.
    QStringList DatasetDisplayLabels;
    QStringList FieldDisplayLabels;
    QStringList IndexDisplayLabels;
    QStringList AvailableDatasetNames;
    QStringList AvailableDatabaseNames;
    QStringList AvailableTableNames;
    // Asked before a field is listed anywhere in the designer; clearing `show` hides the field.
    std::function<void(TField *field, bool &show)> OnShowDatafield;
    // The dialog component's AllowDatasetEdit: the "Datasets" dialog may add, delete and change tables.
    bool AllowDatasetEdit = true;

    // How the surface draws (band names and their font, component frames, the grid).
    const DesignLook &look() const { return m_look; }
    void setLook(const DesignLook &look);
    // Bands whose name the report script has a section for show a small "s".
    bool showScriptIndicator() const { return m_look.showScriptIndicator; }
    void setShowScriptIndicator(bool value);
    TRpDesignView *view() const { return m_view; }
    // Attaches the page widget (inside the scroll box's viewport) that shows the report.
    void setView(TRpDesignView *view, QWidget *viewport);

    // The report file.
    QString fileName() const;
    void setFileName(const QString &name);
    bool Modified() const override;
    void setModified(bool value) override;

    // Loads a report file: true when it loaded. After a failure the file name is forgotten and the design
    // counts as modified, so that "Save" never writes it over the file that failed; the reason goes to
    // `error` (a file of an old format has shown its message already).
    bool LoadReportFile(const QString &fileName, QString *error = nullptr);
    // Saves under the name, asking for one when it is empty: true when saved.
    bool SaveReportFile(const QString &fileName);
    // A fresh, empty report (the modified flag cleared).
    void NewReport();

    // The design state; `keep` (Shift held when it was chosen) keeps it after an insertion.
    int designState() const { return m_state; }
    bool keepsState() const { return m_keepState; }
    void setDesignState(int state, bool keep = false);

    // Inserts what the design state makes for a click on `hit` (a band, an element or the report) at a
    // point of the page; returns the new band or element, or null.
    QObject *InsertAt(QObject *hit, QPoint pagePoint);
    // A field dropped on the surface from the data-field list: a data field (an image data field for a
    // picture field) at the point, bound to the dataset and field, selected alone.
    QObject *DropDataField(QPoint pagePoint, QObject *dataset, const QString &field);

    // The datasets data fields may use, in the order they are offered: the report's own, then, with
    // UseDatamodules, those of the application's data modules (see rpAvailableDataSources).
    QList<QObject *> availableDatasets() const;

    // Opens the property dialog of an item (or of the report) through OnEditProperties; an accepted dialog
    // sets the modified flag.
    EditResult EditProperties(QObject *item);
    std::function<EditResult(TRpDesigner *designer, QObject *item)> OnEditProperties;
    // The dialog for the selection: nothing with nothing selected; for several elements, whatever their
    // kinds, the data-field dialog in its several-elements form (OnEditSeveral; the result is Accepted);
    // otherwise the selected item's own dialog.
    EditResult EditSelectionProperties();
    std::function<bool(TRpDesigner *designer)> OnEditSeveral;

    // Zoom of the report: 100, doubled, halved.
    int zoom() const;
    void ZoomDefault();
    void ZoomIncrease();
    void ZoomDecrease();
    // A new report unit, band rotation or hiding: the surface follows.
    void refreshSurface();

    bool ElementFlag(const QObject *item, const QString &name) const override;
    void SetElementFlag(QObject *item, const QString &name, bool value) override;
    int GroupID(const QObject *item) const override;
    void SetGroupID(QObject *item, int group) override;

signals:
    void designStateChanged(int state);
    // The report was read anew (loaded, undone or started over): the surface shows it from scratch.
    void reportReplaced();
    // The report's tables were opened after a load: the lists of fields are built again.
    void datasetsChanged();
    void fileNameChanged(const QString &name);
    // A right press: with nothing selected the report's dialog, otherwise the context menu of the item.
    void contextMenuRequested(QObject *item, QPoint globalPos);

protected:
    QByteArray TakeSnapshot() const override;
    void RestoreSnapshot(const QByteArray &snapshot) override;
    void ReadPastedBlock(const QByteArray &text, qsizetype &position, const StreamObject &block,
        qsizetype length, QObject *object) override;

private:
    void attachReport();
    void onClick(const TMouseClickCatcher::Click &click);
    QObject *createElement(int state, QObject *container, QPoint point);
    QString askSaveFileName();
    void updateFrameSettings();

    std::unique_ptr<ReportFileEngine> m_files;
    QPointer<TRpDesignView> m_view;
    int m_gridX = 4;
    int m_gridY = 4;
    int m_keyX = 1;
    int m_keyY = 1;
    int m_minWidth = 5;
    int m_minHeight = 5;
    int m_state = DesignStates::Select;
    bool m_keepState = false;
    DesignLook m_look;
};

// The class and the name base of what a design state creates; empty for states that create nothing here.
QString designStateClass(int state);
QString designStateNameBase(int state);
