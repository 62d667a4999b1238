#pragma once

#include "report/pages/RpPrinter.h"

#include <QDialog>
#include <QPointer>

class QAction;
class QLabel;
class QStatusBar;
class QToolBar;
class TRpPreview;

// The standard preview window: a tool bar with zoom, page, print, save, load and close commands, the page
// view RpPreview, and a status bar with the progress (panel 0) and the page status (panel 1).
class TRpStandardPreview : public QDialog
{
    Q_OBJECT
public:
    explicit TRpStandardPreview(TRpPrinter *store, QWidget *parent = nullptr);
    ~TRpStandardPreview() override;

    TRpPreview *RpPreview;
    QToolBar *ToolBar1;
    QAction *ZoomFit;
    QAction *Zoom100;
    QAction *ZoomToWidth;
    QAction *FirstPage;
    QAction *PreviousPage;
    QAction *ToolButton2;
    QAction *LastPage;
    QAction *PrintSetup;
    QAction *Print;
    QAction *SaveReport;
    QAction *LoadReport;
    QAction *ExitButton;
    QStatusBar *StatusBar1;
    QLabel *progressPanel;
    QLabel *pagePanel;

    TRpPrinter *store() const { return m_store.data(); }
    void ShowPageStatus();

    // The save and load commands after their dialogs: the chosen file and, for saving, the chosen file type
    // (1 = page file, i ≥ 2 = export filter i − 2). Errors reach the caller.
    void saveReportTo(const QString &fileName, int fileType);
    // False (and a message box) when the file does not exist.
    bool loadReportFrom(const QString &fileName);

    // The file type lists of the two dialogs, in the form "description|pattern|…".
    static QString saveFileTypes();
    static QString loadFileTypes();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool handleKey(QKeyEvent *event);
    void pageAvailable(int pageCount);
    void progressUpdate(int progress);
    void saveReportClick();
    void loadReportClick();
    void printClick();
    void showError(const QString &message);

    QPointer<TRpPrinter> m_store;
    int m_lastProgress = 0;
    bool m_closeNoticeSent = false;
};

// The preview factory of the program: opens a TRpStandardPreview for a store.
class TRpStandardPreviewInterface : public TRpPreviewInterface
{
public:
    QObject *OpenPreview(TRpPrinter *store) override;
    void OpenPreviewModal(TRpPrinter *store) override;

    // Makes this class the program-wide preview factory of every page store, and the progress window the
    // one printing and export runs show.
    static void install();
};
