#pragma once

#include "platform/Colors.h"

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Exception;
class QDialog;
class QPalette;
class QPrinter;
class QWidget;

// The one way every window talks to the user through a standard dialog: message boxes, file dialogs, the
// font and colour pickers and any other modal dialog (a print dialog is run through exec()). All of them go
// through a replaceable handler, so tests answer dialogs without a screen and without blocking.
namespace Dialogs {

enum class MessageKind { Error, Information, Confirmation, OkCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageRequest
{
    MessageKind kind = MessageKind::Information;
    QString title;
    QString text;
};

enum class FileMode { Open, Save };

struct FileRequest
{
    FileMode mode = FileMode::Open;
    QString caption;
    QString directory;
    QString filter;
    // Added to a name typed without an extension ("rp2").
    QString defaultSuffix;
    // Opening: false lets the user type the name of a file that does not exist yet.
    bool mustExist = true;
};

// The platform's print dialog: which printer, its paper and copies, and which pages.
struct PrintSetupRequest
{
    enum class Range { AllPages, Selection, PageNums };

    QStringList printers; // the system's printers; an empty list or an index outside it is the PDF printer
    int printerIndex = -1;
    bool landscape = false;
    QSizeF paperSizeMM; // empty: the printer's own
    int copies = 1;
    bool collate = true;
    bool duplex = false;
    bool printToFile = false;
    Range range = Range::AllPages;
    int fromPage = 0;
    int toPage = 0;
    int minPage = 0;
    int maxPage = 0;
    // What the dialog offers.
    bool pageRangeEnabled = false;
    bool selectionEnabled = false;
    bool printToFileShown = false;
    bool printToFileEnabled = true;
    bool helpShown = false;
};

// Answers the dialogs. The default handler shows the platform's dialogs; tests install their own.
class Handler
{
public:
    virtual ~Handler() = default;
    virtual Answer message(QWidget *parent, const MessageRequest &request) = 0;
    // The chosen file name, or an empty text when the user cancelled.
    virtual QString fileName(QWidget *parent, const FileRequest &request) = 0;
    virtual bool font(QWidget *parent, QFont &font) = 0;
    virtual bool color(QWidget *parent, QColor &color) = 0;
    // Runs a modal dialog; true when it was accepted.
    virtual bool exec(QDialog &dialog) = 0;
    // The print dialog (printer choice and its settings) on this printer; true when the user confirmed. The
    // default runs the platform's print dialog through exec(), so a handler that answers exec() answers it.
    virtual bool printer(QWidget *parent, QPrinter &printer);
    // The print dialog of a report: filled from the request and, when confirmed (true), read back into it.
    // The default runs the platform's print dialog through exec(), placed horizontally centred with a third
    // of the free height above it.
    virtual bool printSetup(QWidget *parent, PrintSetupRequest &request);
};

// The handler in use (the platform one unless a test installed another).
Handler &handler();
// Installs a handler for as long as the guard lives; guards nest and restore the previous one.
class ScopedHandler
{
public:
    explicit ScopedHandler(Handler &replacement);
    ~ScopedHandler();
    ScopedHandler(const ScopedHandler &) = delete;
    ScopedHandler &operator=(const ScopedHandler &) = delete;

private:
    Handler *m_previous;
};

// Error box: error icon, the message, one OK button.
void showError(QWidget *parent, const QString &message);
void showException(QWidget *parent, const Exception &error);
// Information box: information icon, OK.
void showInformation(QWidget *parent, const QString &message);
// Confirmation box: question icon, Yes and No; true for Yes.
bool confirm(QWidget *parent, const QString &message);
// Question with OK and Cancel; true for OK.
bool confirmOkCancel(QWidget *parent, const QString &message);

QString getOpenFileName(
    QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
QString getSaveFileName(
    QWidget *parent, const QString &caption, const QString &directory, const QString &filter);
bool chooseFont(QWidget *parent, QFont &font);
bool chooseColor(QWidget *parent, QColor &color);
// Shows the print dialog for the printer; true when confirmed.
bool choosePrinter(QWidget *parent, QPrinter &printer);
bool printSetup(QWidget *parent, PrintSetupRequest &request);
// A file to open whose name may be new: `defaultSuffix` is added to a name typed without an extension.
QString getOpenOrNewFileName(QWidget *parent, const QString &caption, const QString &directory,
    const QString &filter, const QString &defaultSuffix);
bool exec(QDialog &dialog);

// Runs a user action and shows the program's errors in the error box instead of letting them leave an event
// handler (which would end the program). Returns true when the action finished without an error.
bool guarded(QWidget *parent, const std::function<void()> &action);

} // namespace Dialogs

// A colour value as Qt draws it. Plain values are 0x00BBGGRR (only the low 24 bits count); negative values
// name system colours, resolved from the palette. clNone gives a transparent colour.
QColor toQColor(TColor color, const QPalette &palette);
QColor toQColor(TColor color);
TColor fromQColor(const QColor &color);
