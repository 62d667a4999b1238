#pragma once

#include "designer/DatafieldList.h"
#include "designer/FileHistory.h"
#include "designer/RpDesigner.h"
#include "store/DataSet.h"

#include <QDialog>
#include <QHash>
#include <QMenu>
#include <QPointer>
#include <functional>

class QAction;
class QActionGroup;
class QBoxLayout;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QScrollArea;
class QToolButton;
class QVBoxLayout;
class TRpRuler;
struct TRpDesignerSettings;

// The report designer's window: the report at its page size in a scrolling design area, with the main menu,
// the command toolbar, the element palette, the font and text toolbar, the status line and the floating
// data-field list around it. Its engine "RpDesigner1" does the work; the window binds the commands, keeps the
// open-file history and the designer's settings file, and asks before a modified report is given up.
class TReportDesignerForm : public QDialog
{
    Q_OBJECT

public:
    // `settingsFile` is the designer's settings file; empty for the one the program uses (by default
    // "RPDESIGN.INI" beside the program).
    explicit TReportDesignerForm(QWidget *parent = nullptr, const QString &settingsFile = QString());
    ~TReportDesignerForm() override;

    TRpDesigner *RpDesigner1 = nullptr;

    // The bars and areas of the window.
    QWidget *ToolbarPanel = nullptr;
    QWidget *ElementPanel = nullptr;
    QWidget *PropertyPanel = nullptr;
    QWidget *RpDPanel = nullptr;
    QWidget *StatusPanel = nullptr;
    TRpRuler *Ruler = nullptr;
    QScrollArea *ScrollBox = nullptr;
    TRpDesignView *DesignView = nullptr;
    TRpDatafieldList *DatafieldList = nullptr;

    // The font and text toolbar.
    QLabel *LType = nullptr;
    QLineEdit *EElementText = nullptr;
    QComboBox *CElementType = nullptr;
    QComboBox *ComboFontName = nullptr;
    QComboBox *ComboFontSize = nullptr;
    QToolButton *SBBold = nullptr;
    QToolButton *SBItalic = nullptr;
    QToolButton *SBUnderline = nullptr;
    QToolButton *SBFontColor = nullptr;
    QToolButton *SBAlignLeft = nullptr;
    QToolButton *SBAlignCenter = nullptr;
    QToolButton *SBAlignRight = nullptr;
    QToolButton *SBFrame = nullptr;

    // The status line.
    QLabel *StatusText = nullptr;
    QComboBox *ComboSelection = nullptr;
    QLabel *LPosition = nullptr;

    // Every menu entry by its component name ("ASave", "AAlignLeft", …).
    QAction *action(const QString &name) const;
    // The menu entry whose captions along the path match ("&Edit/&Align/&Left" or "Edit/Align/Left"); "&" and
    // case are ignored. Null when there is none.
    QAction *menuAction(const QString &path) const;
    QList<QToolButton *> paletteButtons() const { return m_palette; }
    QToolButton *paletteButton(int state) const;

    TRpFileHistory &history() { return m_history; }
    QString settingsFile() const { return m_settingsFile; }
    bool paletteAtTop() const { return m_paletteTop; }

    // The window caption follows the report's file name.
    void updateCaption();
    // Enables the menu entries and buttons after the selection.
    void updateEnabling();
    // Shows the selected element in the font toolbar and the status line.
    void updateToolbars();
    // Places the palette at the top or at the left by its rule.
    void arrangePalette();
    void placePalette(bool top);
    // Chooses a design state as the palette does; `shift` keeps it for several insertions.
    void choosePaletteState(int state, bool shift);

    // Settings: read when the window is made, written when it closes.
    void readSettings();
    void writeSettings();
    void applySettings(const TRpDesignerSettings &settings);

    // The commands of the menu.
    void ANewExecute();
    void AOpenExecute();
    bool ASaveExecute();
    bool ASaveAsExecute();
    void APreviewExecute();
    void APrintExecute();
    void APrinterSetupExecute();
    void AUndoExecute();
    void AViewOptionsExecute();
    void AReportOptionsExecute();
    void ADatasetsExecute();
    void AHelpExecute();
    void AAboutExecute();
    void ARotateBandsExecute();
    void AHideBandsExecute();
    void AResetBandsExecute();
    void OpenHistoryEntry(int index);
    // The frame dialog for the selection, or the report.
    void SetFrameExecute();
    // The element options dialog for the selection.
    void OptionsExecute();
    // Before "&New...", "&Open..." and the history: true to go on.
    bool AskUnsaved();
    // Loads a file chosen from the menu or the history; false (and shown) when it could not be read.
    bool OpenReportFile(const QString &fileName);

    // The font toolbar applied to the selection (or the report's font when nothing is selected).
    void ApplyFontName(const QString &name);
    // Sizes from 1 to 1638 points; anything else is ignored.
    bool ApplyFontSize(const QString &text);
    void ApplyFontStyle(int style, bool on);
    void ApplyFontColor(TColor color);
    void ApplyAlignment(int alignment);
    void ApplyElementText(const QString &text);
    void ApplyElementType(int index);

    // Builds the context menu for an item as the surface shows it.
    QMenu *buildContextMenu(QObject *item);
    QMenu *lastContextMenu() const { return m_contextMenu; }

    // The window was made by NewReport with the wizard flag: "&New..." keeps the file name, and the window
    // runs it when it first shows.
    bool newWithWizard = false;
    bool runNewOnActivation = false;
    // The host's data set for a new report (`OnNewReport`): the wizard takes it and skips its data set page.
    QPointer<TDataSet> newReportDataSet;
    // The report wizard on the window's report, as "&New..." runs it after clearing the report; true when
    // the user finished it.
    bool RunWizard();
    // The help file of the window (the host's, or the one the settings file names).
    QString helpFile;
    // "&Datasets..." and the separator above it.
    void setDatasetsVisible(bool visible);
    // "Data fields" checked, and the list shown with the window.
    void setDatafieldsChecked(bool checked);
    // Replace how the report is previewed and printed (by default the report engine's modal preview and its
    // printing); false with a message shows the message in the error box.
    std::function<bool(TRpDesigner *designer, QString &error)> OnPreview;
    std::function<bool(TRpDesigner *designer, QString &error)> OnPrint;
    std::function<void(TRpDesigner *designer)> OnPrinterSetup;
    std::function<void(TRpDesigner *designer)> OnDatasets;

    // Esc and the window's close button go through the close flow.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildPalette();
    void buildPropertyPanel();
    void buildStatusPanel();
    void buildDesignArea();
    void buildDatafieldList();
    void rebuildHistoryMenu();
    void refillSelector();
    void refillDatafields();
    void showContextMenu(QObject *item, QPoint globalPos);
    bool handleKey(QKeyEvent *event);
    QAction *addAction(
        QMenu *menu, const QString &name, const QString &caption, const std::function<void()> &handler);
    QList<QObject *> fontTargets() const;
    void fontChanged();
    QString unitSuffix() const;
    void syncRuler();
    bool saveAs(const QString &name);
    void reportSaveFailure(const QString &name);

    QString m_settingsFile;
    TRpFileHistory m_history;
    QHash<QString, QAction *> m_actions;
    QMenuBar *m_menuBar = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_historySeparator = nullptr;
    QList<QAction *> m_historyActions;
    QList<QToolButton *> m_palette;
    QVBoxLayout *m_mainLayout = nullptr;
    QHBoxLayout *m_centerLayout = nullptr;
    bool m_paletteTop = false;
    bool m_paletteVisible = true;
    bool m_propertyTop = true;
    bool m_shownOnce = false;
    bool m_datafieldPlaced = false;
    bool m_updating = false;
    int m_bandRotation = 0;
    bool m_bandsHidden = false;
    QPointer<QMenu> m_contextMenu;
};
