#include "designer/ReportDesignerForm.h"

#include "designer/DesignItems.h"
#include "designer/DesignRuler.h"
#include "designer/DesignerGlyphs.h"
#include "designer/LanguageFile.h"
#include "designer/PropertyDialogs.h"
#include "platform/IniFile.h"
#include "report/files/DesignerSettings.h"
#include "store/DataSet.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct PaletteEntry
{
    int state;
    const char *name;
    const char *hint;
    const char *glyph;
};

const PaletteEntry kPalette[] = {
    { DesignStates::Select, "SBSelect", "Select/move element", "select" },
    { DesignStates::NewBand, "SBBand", "Add new band", "text:Bd" },
    { DesignStates::NewLabel, "SBLabel", "add new label", "text:A" },
    { DesignStates::NewDataField, "SBDBText", "Add new data field", "text:DB" },
    { DesignStates::NewExpression, "SBExpression", "Add new expression-field", "text:fx" },
    { DesignStates::NewSystemField, "SBSysdata", "Add new system field", "text:Sys" },
    { DesignStates::NewShape, "SBShape", "Add new shape", "shape" },
    { DesignStates::NewImage, "SBImage", "Add new image", "image" },
    { DesignStates::NewImageDataField, "SBDBImage", "Add new image from data field", "dbimage" },
    { DesignStates::NewMemo, "SBMemo", "Add new memo", "text:Mm" },
    { DesignStates::NewRichText, "SBRichtext", "Add new richtext", "text:Rt" },
    { DesignStates::NewRichTextDataField, "SBDBRichtext", "Add new richtext from data field", "text:DRt" },
    { DesignStates::NewSubdetail, "SBSubdetail", "Add new subdetail band", "text:Sub" },
    { DesignStates::NewGroup, "SBGroup", "Add new group", "text:Grp" },
    { DesignStates::NewChildBand, "SBChildBand", "Add new childband", "text:Chd" },
    { DesignStates::NewChart, "SBChart", "Add new chart", "text:Ch" },
    { DesignStates::NewCheckBox, "SBCheckBox", "Add new checkbox", "text:Cb" },
    { DesignStates::NewGrid, "SBGrid", "Add new grid", "text:Gd" },
    { DesignStates::NewBarcodeDataField, "SBDBBarcode", "Add new barcode data field", "text:DBc" },
    { DesignStates::NewBarcode, "SBBarcode", "Add new barcode", "text:Bc" },
};

struct ToolEntry
{
    const char *name;
    const char *hint;
    const char *action;
    const char *glyph;
};

const ToolEntry kToolbar[] = {
    { "SBNew", "create a new report", "ANew", "new" },
    { "SBOpen", "open a report", "AOpen", "open" },
    { "SBSave", "save current report", "ASave", "save" },
    { "SBPrint", "print report", "APrint", "print" },
    { "SBPreview", "show preview", "APreview", "preview" },
    { "SBCut", "cut to clipboard", "ACut", "cut" },
    { "SBCopy", "copy to clipboard", "ACopy", "copy" },
    { "SBPaste", "paste from clipboard", "APaste", "paste" },
    { "SBSendToBack", "send element to back", "ASendToBack", "back" },
    { "SBBringToFront", "bring element to front", "ABringToFront", "front" },
    { "SBAlignLeftEdges", "Align left edges", "AAlignLeft", "align-left" },
    { "SBAlignHCenters", "Align horizontal centers", "ACenterHorizontal", "center-h" },
    { "SBCenterHBand", "Center horizontally", "ACenterBandHorizontal", "band-h" },
    { "SBSpaceH", "Space equally, horizontally", "AEqualHorizontal", "space-h" },
    { "SBAlignRightEdges", "Align right edges", "AAlignRight", "align-right" },
    { "SBAlignTopEdges", "Align top edges", "AAlignTop", "align-top" },
    { "SBAlignVCenters", "Align vertical centers", "ACenterVertical", "center-v" },
    { "SBCenterVBand", "Center vertically", "ACenterBandVertical", "band-v" },
    { "SBSpaceV", "Space equally, vertically", "AEqualVertical", "space-v" },
    { "SBAlignBottomEdges", "Align bottom edges", "AAlignBottom", "align-bottom" },
    { "SBExit", "quit reportdesigner", "AExit", "exit" },
};

const int kFontSizes[] = { 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72 };

QString plainCaption(QString caption)
{
    caption.remove(u'&');
    return caption.trimmed();
}

QToolButton *flatButton(QWidget *parent, const QString &name, const QString &hint, const QIcon &icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setFixedSize(26, 26);
    button->setIconSize(QSize(20, 20));
    return button;
}

} // namespace

// ---------------------------------------------------------------- the window

TReportDesignerForm::TReportDesignerForm(QWidget *parent, const QString &settingsFile)
    : QDialog(parent)
    , m_settingsFile(settingsFile.isEmpty() ? TRpDesignerSettings::fileName() : settingsFile)
{
    setObjectName(QStringLiteral("ReportDesignerForm"));
    setModal(true);
    resize(900, 700);
    RpDesigner1 = new TRpDesigner(this);
    PropertyDialogs::install(RpDesigner1, this);
    // The engine's undo is on until the settings and the host say otherwise.
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->setSpacing(0);
    buildMenus();
    buildToolbar();
    buildPropertyPanel();
    m_centerLayout = new QHBoxLayout;
    m_centerLayout->setSpacing(0);
    buildPalette();
    buildDesignArea();
    m_mainLayout->addWidget(ToolbarPanel);
    m_mainLayout->addWidget(PropertyPanel);
    m_mainLayout->addLayout(m_centerLayout, 1);
    buildStatusPanel();
    m_mainLayout->addWidget(StatusPanel);

    // 1. Editing on; "Data fields" checked after the engine's setting.
    RpDesigner1->setEditing(true);
    action(QStringLiteral("ADatafields"))->setChecked(RpDesigner1->ShowDatafieldListbox);
    // 2.–4. Settings, history and language; the data-field list exists already, so that the settings can
    // place it.
    buildDatafieldList();
    readSettings();
    // 5. The palette: chart, grid and check box stay hidden; the rest arranged by the window's height.
    DatafieldList->setWindowTitle(RpDesigner1->RuntimeMessages.text(QStringLiteral("Datafield")));
    LType->clear();
    for (int state : { DesignStates::NewChart, DesignStates::NewGrid, DesignStates::NewCheckBox })
        paletteButton(state)->hide();
    arrangePalette();

    connect(RpDesigner1, &TRuntimeComponentEditor::selectionChanged, this, [this] {
        updateEnabling();
        updateToolbars();
    });
    connect(RpDesigner1, &TRuntimeComponentEditor::designChanged, this, [this] {
        refillSelector();
        updateToolbars();
        syncRuler();
    });
    connect(RpDesigner1, &TRpDesigner::reportReplaced, this, [this] {
        refillSelector();
        refillDatafields();
        updateEnabling();
        updateToolbars();
        syncRuler();
    });
    connect(RpDesigner1, &TRpDesigner::datasetsChanged, this, [this] { refillDatafields(); });
    connect(RpDesigner1, &TRpDesigner::fileNameChanged, this, [this] { updateCaption(); });
    connect(RpDesigner1, &TRuntimeComponentEditor::pasteEnabledChanged, this, [this] { updateEnabling(); });
    connect(RpDesigner1, &TRpDesigner::designStateChanged, this, [this](int state) {
        for (QToolButton *button : std::as_const(m_palette))
            button->setChecked(button->property("designState").toInt() == state);
    });
    connect(RpDesigner1, &TRpDesigner::contextMenuRequested, this,
        [this](QObject *item, QPoint global) { showContextMenu(item, global); });
    // Paste starts enabled when the clipboard holds something it can take.
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    RpDesigner1->setPasteEnabled(clip && (clip->hasText() || clip->hasImage()));
    qApp->installEventFilter(this);
    refillSelector();
    updateCaption();
    updateEnabling();
    updateToolbars();
    syncRuler();
}

TReportDesignerForm::~TReportDesignerForm()
{
    qApp->removeEventFilter(this);
    // The engine goes with the window's children; it must not call back into the window on its way.
    disconnect(RpDesigner1, nullptr, this, nullptr);
    RpDesigner1->setEditing(false);
}

QAction *TReportDesignerForm::addAction(
    QMenu *menu, const QString &name, const QString &caption, const std::function<void()> &handler)
{
    auto *created = new QAction(caption, this);
    created->setObjectName(name);
    connect(created, &QAction::triggered, this, [handler] { handler(); });
    menu->addAction(created);
    m_actions.insert(name, created);
    return created;
}

QAction *TReportDesignerForm::action(const QString &name) const
{
    return m_actions.value(name);
}

void TReportDesignerForm::buildMenus()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MainMenu1"));
    m_mainLayout->setMenuBar(m_menuBar);
    TRpDesigner *d = RpDesigner1;

    m_fileMenu = m_menuBar->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("MFile"));
    addAction(m_fileMenu, QStringLiteral("ANew"), QStringLiteral("&New..."), [this] { ANewExecute(); });
    addAction(m_fileMenu, QStringLiteral("AOpen"), QStringLiteral("&Open..."), [this] { AOpenExecute(); });
    addAction(m_fileMenu, QStringLiteral("ASave"), QStringLiteral("&Save"), [this] { ASaveExecute(); });
    addAction(
        m_fileMenu, QStringLiteral("ASaveAs"), QStringLiteral("Save &as..."), [this] { ASaveAsExecute(); });
    m_fileMenu->addSeparator();
    addAction(
        m_fileMenu, QStringLiteral("APreview"), QStringLiteral("Pre&view"), [this] { APreviewExecute(); });
    addAction(m_fileMenu, QStringLiteral("APrint"), QStringLiteral("&Print"), [this] { APrintExecute(); });
    addAction(m_fileMenu, QStringLiteral("APrinterSetup"), QStringLiteral("Printer setup"),
        [this] { APrinterSetupExecute(); });
    m_fileMenu->addSeparator();
    addAction(m_fileMenu, QStringLiteral("AExit"), QStringLiteral("&Exit"), [this] { close(); });
    m_historySeparator = m_fileMenu->addSeparator();

    QMenu *edit = m_menuBar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("MEdit"));
    addAction(edit, QStringLiteral("AUndo"), QStringLiteral("Undo"), [this] { AUndoExecute(); });
    QAction *undoSeparator = edit->addSeparator();
    undoSeparator->setObjectName(QStringLiteral("NUndo"));
    m_actions.insert(QStringLiteral("NUndo"), undoSeparator);
    addAction(edit, QStringLiteral("ACut"), QStringLiteral("Cut"), [d] { d->Cut(); });
    addAction(edit, QStringLiteral("ACopy"), QStringLiteral("Copy"), [d] { d->Copy(); });
    addAction(edit, QStringLiteral("APaste"), QStringLiteral("Paste"), [d] { d->Paste(); });
    addAction(edit, QStringLiteral("ADelete"), QStringLiteral("Delete"), [d] { d->Delete(); });
    edit->addSeparator();
    QMenu *align = edit->addMenu(QStringLiteral("&Align"));
    align->setObjectName(QStringLiteral("MAlign"));
    addAction(align, QStringLiteral("AAlignLeft"), QStringLiteral("&Left"), [d] { d->AlignLeft(); });
    addAction(align, QStringLiteral("AAlignRight"), QStringLiteral("&Right"), [d] { d->AlignRight(); });
    addAction(align, QStringLiteral("AAlignTop"), QStringLiteral("&Top"), [d] { d->AlignTop(); });
    addAction(align, QStringLiteral("AAlignBottom"), QStringLiteral("&Bottom"), [d] { d->AlignBottom(); });
    QMenu *center = edit->addMenu(QStringLiteral("&Center elements"));
    center->setObjectName(QStringLiteral("MCenter"));
    addAction(center, QStringLiteral("ACenterHorizontal"), QStringLiteral("&Horizontal"),
        [d] { d->CenterHorizontally(); });
    addAction(center, QStringLiteral("ACenterVertical"), QStringLiteral("&Vertical"),
        [d] { d->CenterVertically(); });
    QMenu *band = edit->addMenu(QStringLiteral("Cen&ter on band"));
    band->setObjectName(QStringLiteral("MCenterBand"));
    addAction(band, QStringLiteral("ACenterBandHorizontal"), QStringLiteral("&Horizontal"),
        [d] { d->CenterOnBandHorizontally(); });
    addAction(band, QStringLiteral("ACenterBandVertical"), QStringLiteral("&Vertical"),
        [d] { d->CenterOnBandVertically(); });
    QMenu *equal = edit->addMenu(QStringLiteral("&Equal space"));
    equal->setObjectName(QStringLiteral("MEqual"));
    addAction(equal, QStringLiteral("AEqualHorizontal"), QStringLiteral("&Horizontal"),
        [d] { d->EqualSpaceHorizontally(); });
    addAction(equal, QStringLiteral("AEqualVertical"), QStringLiteral("&Vertical"),
        [d] { d->EqualSpaceVertically(); });
    edit->addSeparator();
    addAction(edit, QStringLiteral("ASendToBack"), QStringLiteral("Send to back"), [d] { d->SendToBack(); });
    addAction(
        edit, QStringLiteral("ABringToFront"), QStringLiteral("Bring to front"), [d] { d->BringToFront(); });

    QMenu *view = m_menuBar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("MView"));
    auto toggle
        = [this, view](const QString &name, const QString &caption, const std::function<void(bool)> &show) {
              QAction *created = addAction(view, name, caption, [] {});
              created->setCheckable(true);
              created->setChecked(true);
              connect(created, &QAction::toggled, this, [show](bool on) { show(on); });
              return created;
          };
    toggle(QStringLiteral("AToolbar"), QStringLiteral("Toolbar"),
        [this](bool on) { ToolbarPanel->setVisible(on); });
    toggle(QStringLiteral("AFontToolbar"), QStringLiteral("Font toolbar"),
        [this](bool on) { PropertyPanel->setVisible(on); });
    toggle(QStringLiteral("AElementToolbar"), QStringLiteral("Element toolbar"), [this](bool on) {
        m_paletteVisible = on;
        ElementPanel->setVisible(on);
    });
    toggle(QStringLiteral("AStatusline"), QStringLiteral("Statusline"),
        [this](bool on) { StatusPanel->setVisible(on); });
    toggle(QStringLiteral("ADatafields"), QStringLiteral("Data fields"), [this](bool on) {
        RpDesigner1->ShowDatafieldListbox = on;
        if (DatafieldList)
            DatafieldList->setVisible(on && isVisible() && !DatafieldList->isEmpty());
    });
    view->addSeparator();
    QMenu *zoom = view->addMenu(QStringLiteral("Zoom"));
    zoom->setObjectName(QStringLiteral("MZoom"));
    addAction(zoom, QStringLiteral("AZoomDefault"), QStringLiteral("Default size"), [this, d] {
        d->ZoomDefault();
        syncRuler();
    });
    addAction(zoom, QStringLiteral("AZoomIncrease"), QStringLiteral("Increase"), [this, d] {
        d->ZoomIncrease();
        syncRuler();
    });
    addAction(zoom, QStringLiteral("AZoomDecrease"), QStringLiteral("Decrease"), [this, d] {
        d->ZoomDecrease();
        syncRuler();
    });
    view->addSeparator();
    addAction(view, QStringLiteral("ARotateBands"), QStringLiteral("Rotate bands"),
        [this] { ARotateBandsExecute(); });
    addAction(view, QStringLiteral("AHideBands"), QStringLiteral("Hide bands"), [this] {
        AHideBandsExecute();
    })->setCheckable(true);
    addAction(
        view, QStringLiteral("AResetBands"), QStringLiteral("Reset bands"), [this] { AResetBandsExecute(); });
    view->addSeparator();
    addAction(view, QStringLiteral("AViewOptions"), QStringLiteral("&Options..."),
        [this] { AViewOptionsExecute(); });

    QMenu *report = m_menuBar->addMenu(QStringLiteral("&Report"));
    report->setObjectName(QStringLiteral("MReport"));
    addAction(report, QStringLiteral("AReportOptions"), QStringLiteral("&Options..."),
        [this] { AReportOptionsExecute(); });
    QAction *datasetsSeparator = report->addSeparator();
    datasetsSeparator->setObjectName(QStringLiteral("NDatasets"));
    m_actions.insert(QStringLiteral("NDatasets"), datasetsSeparator);
    addAction(
        report, QStringLiteral("ADatasets"), QStringLiteral("&Datasets..."), [this] { ADatasetsExecute(); });

    QMenu *help = m_menuBar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MHelp"));
    addAction(help, QStringLiteral("AHelp"), QStringLiteral("&Help"), [this] {
        AHelpExecute();
    })->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(help, QStringLiteral("AAbout"), QStringLiteral("About"), [this] { AAboutExecute(); });
}

void TReportDesignerForm::buildToolbar()
{
    ToolbarPanel = new QWidget(this);
    ToolbarPanel->setObjectName(QStringLiteral("ToolbarPanel"));
    auto *layout = new QHBoxLayout(ToolbarPanel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(1);
    for (const ToolEntry &entry : kToolbar) {
        QAction *target = action(QString::fromLatin1(entry.action));
        QToolButton *button = flatButton(ToolbarPanel, QString::fromLatin1(entry.name),
            QString::fromLatin1(entry.hint), designerGlyph(QString::fromLatin1(entry.glyph)));
        button->setProperty("commandAction", QVariant::fromValue<QObject *>(target));
        connect(button, &QToolButton::clicked, target, &QAction::trigger);
        layout->addWidget(button);
        if (QLatin1String(entry.name) == QLatin1String("SBPreview")
            || QLatin1String(entry.name) == QLatin1String("SBBringToFront")
            || QLatin1String(entry.name) == QLatin1String("SBAlignBottomEdges"))
            layout->addSpacing(8);
    }
    layout->addStretch(1);
}

void TReportDesignerForm::buildPalette()
{
    ElementPanel = new QWidget(this);
    ElementPanel->setObjectName(QStringLiteral("ElementPanel"));
    ElementPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    for (const PaletteEntry &entry : kPalette) {
        QToolButton *button = flatButton(ElementPanel, QString::fromLatin1(entry.name),
            QString::fromLatin1(entry.hint), designerGlyph(QString::fromLatin1(entry.glyph)));
        button->setCheckable(true);
        button->setProperty("designState", entry.state);
        button->setChecked(entry.state == DesignStates::Select);
        connect(button, &QToolButton::pressed, this, [this, state = entry.state] {
            choosePaletteState(state, QApplication::keyboardModifiers() & Qt::ShiftModifier);
        });
        m_palette << button;
    }
    // Barcodes are hidden by the window's own layout.
    paletteButton(DesignStates::NewBarcodeDataField)->hide();
    paletteButton(DesignStates::NewBarcode)->hide();
    connect(ElementPanel, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Top"), this, [this] { placePalette(true); });
        menu.addAction(QStringLiteral("Left"), this, [this] { placePalette(false); });
        menu.addAction(QStringLiteral("Visible"), this,
            [this] { action(QStringLiteral("AElementToolbar"))->setChecked(false); });
        menu.exec(ElementPanel->mapToGlobal(pos));
    });
}

QToolButton *TReportDesignerForm::paletteButton(int state) const
{
    for (QToolButton *button : m_palette) {
        if (button->property("designState").toInt() == state)
            return button;
    }
    return nullptr;
}

void TReportDesignerForm::choosePaletteState(int state, bool shift)
{
    RpDesigner1->setDesignState(state, shift);
}

void TReportDesignerForm::arrangePalette()
{
    int visible = 0;
    for (QToolButton *button : std::as_const(m_palette)) {
        if (!button->isHidden())
            ++visible;
    }
    const bool maximised = isMaximized();
    const QScreen *display = screen();
    const int screenHeight = display ? display->availableGeometry().height() : 0;
    placePalette(DesignGeometry::paletteAtTop(visible, maximised, height(), screenHeight));
}

void TReportDesignerForm::placePalette(bool top)
{
    m_paletteTop = top;
    m_mainLayout->removeWidget(ElementPanel);
    m_centerLayout->removeWidget(ElementPanel);
    int index = 0;
    for (QToolButton *button : std::as_const(m_palette)) {
        if (button->isHidden())
            continue;
        button->move(DesignGeometry::paletteButtonPosition(index++, top));
    }
    if (top) {
        ElementPanel->setFixedSize(QWIDGETSIZE_MAX, 38);
        ElementPanel->setMinimumWidth(0);
        m_mainLayout->insertWidget(m_mainLayout->indexOf(PropertyPanel) + 1, ElementPanel);
    } else {
        ElementPanel->setMinimumHeight(0);
        ElementPanel->setMaximumHeight(QWIDGETSIZE_MAX);
        ElementPanel->setFixedWidth(39);
        m_centerLayout->insertWidget(0, ElementPanel);
    }
    ElementPanel->setVisible(m_paletteVisible);
}

void TReportDesignerForm::buildPropertyPanel()
{
    PropertyPanel = new QWidget(this);
    PropertyPanel->setObjectName(QStringLiteral("PropertyPanel"));
    PropertyPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *layout = new QHBoxLayout(PropertyPanel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(3);
    LType = new QLabel(PropertyPanel);
    LType->setObjectName(QStringLiteral("LType"));
    LType->setMinimumWidth(90);
    EElementText = new QLineEdit(PropertyPanel);
    EElementText->setObjectName(QStringLiteral("EElementText"));
    EElementText->setToolTip(QStringLiteral("Elementtext"));
    EElementText->setMinimumWidth(160);
    CElementType = new QComboBox(PropertyPanel);
    CElementType->setObjectName(QStringLiteral("CElementType"));
    CElementType->setToolTip(QStringLiteral("type of element"));
    CElementType->setMinimumWidth(160);
    ComboFontName = new QComboBox(PropertyPanel);
    ComboFontName->setObjectName(QStringLiteral("ComboFontName"));
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    ComboFontName->addItems(families);
    ComboFontName->setMinimumWidth(150);
    ComboFontSize = new QComboBox(PropertyPanel);
    ComboFontSize->setObjectName(QStringLiteral("ComboFontSize"));
    ComboFontSize->setEditable(true);
    for (int size : kFontSizes)
        ComboFontSize->addItem(QString::number(size));
    ComboFontSize->setFixedWidth(56);
    SBBold = flatButton(PropertyPanel, QStringLiteral("SBBold"), QStringLiteral("bold"),
        designerGlyph(QStringLiteral("text:B")));
    SBItalic = flatButton(PropertyPanel, QStringLiteral("SBItalic"), QStringLiteral("italic"),
        designerGlyph(QStringLiteral("text:I")));
    SBUnderline = flatButton(PropertyPanel, QStringLiteral("SBUnderline"), QStringLiteral("underlined"),
        designerGlyph(QStringLiteral("text:U")));
    SBFontColor = flatButton(PropertyPanel, QStringLiteral("SBFontColor"), QStringLiteral("Font color"),
        designerGlyph(QStringLiteral("text:Co")));
    SBAlignLeft = flatButton(PropertyPanel, QStringLiteral("SBAlignLeft"), QStringLiteral("align left"),
        designerGlyph(QStringLiteral("align-left")));
    SBAlignCenter = flatButton(PropertyPanel, QStringLiteral("SBAlignCenter"), QStringLiteral("align center"),
        designerGlyph(QStringLiteral("center-h")));
    SBAlignRight = flatButton(PropertyPanel, QStringLiteral("SBAlignRight"), QStringLiteral("align right"),
        designerGlyph(QStringLiteral("align-right")));
    SBFrame = flatButton(PropertyPanel, QStringLiteral("SBFrame"), QStringLiteral("Set frame"),
        designerGlyph(QStringLiteral("band-h")));
    for (QToolButton *button : { SBBold, SBItalic, SBUnderline, SBAlignLeft, SBAlignCenter, SBAlignRight })
        button->setCheckable(true);
    for (QWidget *widget :
        std::initializer_list<QWidget *> { LType, EElementText, CElementType, ComboFontName, ComboFontSize,
            SBBold, SBItalic, SBUnderline, SBFontColor, SBAlignLeft, SBAlignCenter, SBAlignRight, SBFrame })
        layout->addWidget(widget);
    layout->addStretch(1);

    connect(
        EElementText, &QLineEdit::textEdited, this, [this](const QString &text) { ApplyElementText(text); });
    connect(CElementType, &QComboBox::activated, this, [this](int index) { ApplyElementType(index); });
    connect(ComboFontName, &QComboBox::activated, this,
        [this](int index) { ApplyFontName(ComboFontName->itemText(index)); });
    connect(ComboFontSize, &QComboBox::activated, this,
        [this](int index) { ApplyFontSize(ComboFontSize->itemText(index)); });
    connect(ComboFontSize->lineEdit(), &QLineEdit::returnPressed, this,
        [this] { ApplyFontSize(ComboFontSize->currentText()); });
    connect(SBBold, &QToolButton::clicked, this, [this](bool on) { ApplyFontStyle(Rp::fsBold, on); });
    connect(SBItalic, &QToolButton::clicked, this, [this](bool on) { ApplyFontStyle(Rp::fsItalic, on); });
    connect(
        SBUnderline, &QToolButton::clicked, this, [this](bool on) { ApplyFontStyle(Rp::fsUnderline, on); });
    connect(SBFontColor, &QToolButton::clicked, this, [this] {
        QColor color = Qt::black;
        if (Dialogs::chooseColor(this, color))
            ApplyFontColor(fromQColor(color));
    });
    connect(SBAlignLeft, &QToolButton::clicked, this, [this] { ApplyAlignment(Rp::taLeftJustify); });
    connect(SBAlignCenter, &QToolButton::clicked, this, [this] { ApplyAlignment(Rp::taCenter); });
    connect(SBAlignRight, &QToolButton::clicked, this, [this] { ApplyAlignment(Rp::taRightJustify); });
    connect(SBFrame, &QToolButton::clicked, this, [this] { SetFrameExecute(); });
    connect(PropertyPanel, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        QMenu menu(this);
        auto dock = [this](bool top) {
            m_propertyTop = top;
            m_mainLayout->removeWidget(PropertyPanel);
            m_mainLayout->insertWidget(
                top ? m_mainLayout->indexOf(ToolbarPanel) + 1 : m_mainLayout->indexOf(StatusPanel),
                PropertyPanel);
        };
        menu.addAction(QStringLiteral("Top"), this, [dock] { dock(true); });
        menu.addAction(QStringLiteral("Bottom"), this, [dock] { dock(false); });
        menu.addAction(QStringLiteral("Visible"), this,
            [this] { action(QStringLiteral("AFontToolbar"))->setChecked(false); });
        menu.exec(PropertyPanel->mapToGlobal(pos));
    });
}

void TReportDesignerForm::buildDesignArea()
{
    RpDPanel = new QWidget(this);
    RpDPanel->setObjectName(QStringLiteral("RpDPanel"));
    auto *layout = new QVBoxLayout(RpDPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Ruler = new TRpRuler(RpDPanel);
    ScrollBox = new QScrollArea(RpDPanel);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox->setBackgroundRole(QPalette::Dark);
    DesignView = new TRpDesignView;
    DesignView->setAcceptDrops(true);
    DesignView->installEventFilter(this);
    ScrollBox->setWidget(DesignView);
    layout->addWidget(Ruler);
    layout->addWidget(ScrollBox, 1);
    m_centerLayout->addWidget(RpDPanel, 1);
    RpDesigner1->setView(DesignView, ScrollBox->viewport());
    connect(ScrollBox->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { syncRuler(); });
}

void TReportDesignerForm::buildStatusPanel()
{
    StatusPanel = new QWidget(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    auto *layout = new QHBoxLayout(StatusPanel);
    layout->setContentsMargins(4, 1, 4, 1);
    StatusText = new QLabel(StatusPanel);
    StatusText->setObjectName(QStringLiteral("StatusText"));
    StatusText->setMinimumWidth(120);
    ComboSelection = new QComboBox(StatusPanel);
    ComboSelection->setObjectName(QStringLiteral("ComboSelection"));
    ComboSelection->setMinimumWidth(180);
    ComboSelection->installEventFilter(this);
    LPosition = new QLabel(StatusPanel);
    LPosition->setObjectName(QStringLiteral("LPosition"));
    layout->addWidget(StatusText);
    layout->addWidget(ComboSelection);
    layout->addWidget(LPosition, 1);
    connect(ComboSelection, &QComboBox::activated, this, [this](int index) {
        if (m_updating)
            return;
        const QString name = ComboSelection->itemText(index);
        for (QObject *item : DesignItems::allItems(RpDesigner1->report())) {
            if (DesignItems::displayName(item) == name) {
                RpDesigner1->ClearSelection();
                RpDesigner1->Select(item);
                return;
            }
        }
    });
}

void TReportDesignerForm::buildDatafieldList()
{
    DatafieldList = new TRpDatafieldList(this);
    refillDatafields();
}

void TReportDesignerForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Beside the window: 20 pixels left of its right edge (or the screen's), 60 below its top.
    if (!m_datafieldPlaced) {
        const QRect area = isMaximized() && screen() ? screen()->availableGeometry() : frameGeometry();
        DatafieldList->move(area.right() - 20 - DatafieldList->width(), area.top() + 60);
    }
    DatafieldList->setVisible(RpDesigner1->ShowDatafieldListbox && !DatafieldList->isEmpty());
    syncRuler();
    if (runNewOnActivation) {
        runNewOnActivation = false;
        QTimer::singleShot(0, this, [this] { ANewExecute(); });
    }
}

void TReportDesignerForm::setDatasetsVisible(bool visible)
{
    action(QStringLiteral("ADatasets"))->setVisible(visible);
    action(QStringLiteral("NDatasets"))->setVisible(visible);
}

void TReportDesignerForm::setDatafieldsChecked(bool checked)
{
    action(QStringLiteral("ADatafields"))->setChecked(checked);
}

QAction *TReportDesignerForm::menuAction(const QString &path) const
{
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return nullptr;
    auto matches = [](const QString &caption, const QString &wanted) {
        return plainCaption(caption).compare(plainCaption(wanted), Qt::CaseInsensitive) == 0;
    };
    // The context menu last shown comes first: its entries are what a user picks after a right click.
    if (m_contextMenu && parts.size() == 1) {
        for (QAction *entry : m_contextMenu->actions()) {
            if (!entry->isSeparator() && matches(entry->text(), parts.first()))
                return entry;
        }
    }
    if (parts.size() == 1 && m_actions.contains(parts.first()))
        return m_actions.value(parts.first());
    QList<QAction *> level = m_menuBar->actions();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QAction *found = nullptr;
        for (QAction *entry : level) {
            if (!entry->isSeparator() && matches(entry->text(), parts.at(i))) {
                found = entry;
                break;
            }
        }
        if (!found)
            return nullptr;
        if (i + 1 == parts.size())
            return found;
        if (!found->menu())
            return nullptr;
        level = found->menu()->actions();
    }
    return nullptr;
}

// ---------------------------------------------------------------- settings

void TReportDesignerForm::readSettings()
{
    const IniFile file(m_settingsFile);
    const TRpDesignerSettings settings = TRpDesignerSettings::read(file);
    applySettings(settings);
}

void TReportDesignerForm::applySettings(const TRpDesignerSettings &settings)
{
    TRpDesigner *d = RpDesigner1;
    if (settings.allowBlockEdit)
        d->AllowBlockEdit = *settings.allowBlockEdit;
    if (settings.allowNewCalcFields)
        d->AllowNewCalcFields = *settings.allowNewCalcFields;
    if (settings.allowSQLEdit)
        d->AllowSQLEdit = *settings.allowSQLEdit;
    d->setGridSize(settings.gridSizeX.value_or(d->gridSizeX()), settings.gridSizeY.value_or(d->gridSizeY()));
    d->setKeyboardMove(settings.keyboardMoveX.value_or(d->keyboardMoveX()),
        settings.keyboardMoveY.value_or(d->keyboardMoveY()));
    DesignLook look = d->look();
    if (settings.componentFrameColor)
        look.componentFrameColor = *settings.componentFrameColor;
    if (settings.componentFrameStyle) {
        const Rp::TPenStyle styles[] = { Rp::psSolid, Rp::psDash, Rp::psDot };
        look.componentFrameStyle = styles[*settings.componentFrameStyle];
    }
    if (settings.showComponentFrames)
        look.showComponentFrames = *settings.showComponentFrames;
    if (settings.showBandNames)
        look.showBandNames = *settings.showBandNames;
    if (settings.bandNameFontColor)
        look.bandNameFontColor = *settings.bandNameFontColor;
    d->setLook(look);
    if (TDesignRpReport *report = d->designReport()) {
        if (settings.reportPageRuler)
            report->page()->setRuler(*settings.reportPageRuler);
        if (settings.units)
            report->setUnits(TRpUnit(*settings.units));
        settings.applyPrinter(*report);
    }
    if (DatafieldList && settings.datafieldListLeft && settings.datafieldListTop) {
        DatafieldList->move(*settings.datafieldListLeft, *settings.datafieldListTop);
        m_datafieldPlaced = true;
    }
    if (DatafieldList && settings.datafieldListWidth && settings.datafieldListHeight
        && *settings.datafieldListWidth > 0 && *settings.datafieldListHeight > 0)
        DatafieldList->resize(*settings.datafieldListWidth, *settings.datafieldListHeight);
    settings.applyGeneral(*d->files());
    if (settings.undoEnabled)
        d->UndoEnabled = *settings.undoEnabled;
    m_history.setNames(settings.history);
    rebuildHistoryMenu();
    if (settings.helpFile)
        helpFile = *settings.helpFile;
    if (settings.languageFile) {
        d->LanguageFile = *settings.languageFile;
        if (const TRpLanguageFile *language = LanguageFiles::use(d->LanguageFile, this))
            language->apply(this, QStringLiteral("RepFormDB"), &d->RuntimeMessages, d->objectName());
    }
}

void TReportDesignerForm::writeSettings()
{
    TRpDesigner *d = RpDesigner1;
    TRpDesignerSettings settings;
    settings.allowBlockEdit = d->AllowBlockEdit;
    settings.allowNewCalcFields = d->AllowNewCalcFields;
    settings.allowSQLEdit = d->AllowSQLEdit;
    settings.gridSizeX = d->gridSizeX();
    settings.gridSizeY = d->gridSizeY();
    settings.keyboardMoveX = d->keyboardMoveX();
    settings.keyboardMoveY = d->keyboardMoveY();
    const DesignLook &look = d->look();
    settings.componentFrameColor = look.componentFrameColor;
    settings.componentFrameStyle = look.componentFrameStyle == Rp::psSolid ? 0
        : look.componentFrameStyle == Rp::psDash                           ? 1
                                                                           : 2;
    settings.showComponentFrames = look.showComponentFrames;
    settings.showBandNames = look.showBandNames;
    settings.bandNameFontColor = look.bandNameFontColor;
    if (const TDesignRpReport *report = d->designReport()) {
        settings.reportPageRuler = report->page()->ruler();
        settings.units = int(report->units());
    }
    if (DatafieldList) {
        settings.datafieldListTop = DatafieldList->y();
        settings.datafieldListLeft = DatafieldList->x();
        settings.datafieldListHeight = DatafieldList->height();
        settings.datafieldListWidth = DatafieldList->width();
    }
    settings.history = m_history.names();
    try {
        IniFile file(m_settingsFile);
        settings.writeDesigner(file);
        file.updateFile();
    } catch (const Exception &) {
        // A settings file that cannot be written keeps its old content; the designer works on without it.
    }
}

// ---------------------------------------------------------------- key preview and drops

bool TReportDesignerForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DesignView) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDragMoveEvent *>(event);
            if (drag->mimeData()->hasFormat(QString::fromLatin1(TRpDatafieldList::kMimeType))) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            const QString entry
                = QString::fromUtf8(drop->mimeData()->data(QString::fromLatin1(TRpDatafieldList::kMimeType)));
            QObject *dataset = nullptr;
            QString field;
            if (TRpDatafieldList::entryOf(entry, RpDesigner1->availableDatasets(), dataset, field)) {
                RpDesigner1->DropDataField(drop->position().toPoint(), dataset, field);
                drop->acceptProposedAction();
            }
            return true;
        }
        default:
            break;
        }
    }
    if (watched == ComboSelection && event->type() == QEvent::MouseButtonDblClick) {
        if (QObject *first = RpDesigner1->firstSelected())
            RpDesigner1->EditProperties(first);
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        // Text being typed keeps its keys; the selection frame handles its own.
        const bool typing = qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget);
        if ((widget == this || isAncestorOf(widget)) && widget->window() == this
            && widget != RpDesigner1->mover() && !typing)
            return handleKey(static_cast<QKeyEvent *>(event));
    }
    return QDialog::eventFilter(watched, event);
}

bool TReportDesignerForm::handleKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    TRpDesigner *d = RpDesigner1;
    switch (event->key()) {
    case Qt::Key_Delete:
        d->Delete();
        return true;
    case Qt::Key_C:
        if (mods != Qt::ControlModifier)
            return false;
        d->Copy();
        return true;
    case Qt::Key_X:
        if (mods != Qt::ControlModifier)
            return false;
        d->Cut();
        return true;
    case Qt::Key_V:
        if (mods != Qt::ControlModifier)
            return false;
        d->Paste();
        return true;
    case Qt::Key_Insert:
        if (mods == Qt::ControlModifier)
            d->Copy();
        else if (mods == Qt::ShiftModifier)
            d->Paste();
        else
            return false;
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: {
        // The selection frame moves, sizes and walks the selection; without one the keys do nothing here.
        QWidget *frame = d->mover();
        if (frame && d->selectedCount() > 0) {
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
            QApplication::sendEvent(frame, &copy);
            return true;
        }
        return event->key() == Qt::Key_Escape && d->selectedCount() == 0;
    }
    default:
        return false;
    }
}
