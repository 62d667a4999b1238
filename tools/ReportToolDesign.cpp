// quillot-report design: plays a step script on the real designer window, offscreen.
#include "ReportTool.h"

#include "designer/DesignItems.h"
#include "designer/ReportDesignerDialog.h"
#include "designer/ReportDesignerForm.h"
#include "designer/SurfaceDriver.h"
#include "platform/Exceptions.h"
#include "platform/FileIO.h"
#include "report/files/DesignerSettings.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMetaProperty>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <deque>
#include <optional>

namespace {

struct Step
{
    int line = 0;
    QString text; // as written, for messages
    QString verb;
    QStringList words; // after the verb
    QString rest; // everything after the verb, blanks kept inside
};

class StepFailure : public Exception
{
public:
    using Exception::Exception;
};

[[noreturn]] void fail(const QString &why)
{
    throw StepFailure(why);
}

int toInt(const QString &word, const QString &what)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("%1 is not a number: \"%2\"").arg(what, word));
    return value;
}

bool isStepVerb(const QString &verb)
{
    static const QStringList verbs { QStringLiteral("palette"), QStringLiteral("click"),
        QStringLiteral("drag"), QStringLiteral("key"), QStringLiteral("menu"), QStringLiteral("dialog"),
        QStringLiteral("select"), QStringLiteral("save"), QStringLiteral("saveas"), QStringLiteral("open"),
        QStringLiteral("close"), QStringLiteral("expect"), QStringLiteral("wait"), QStringLiteral("set") };
    return verbs.contains(verb);
}

// Reads the step file; a line that is no step is a usage error.
std::vector<Step> readSteps(const QString &fileName, QString &error)
{
    std::vector<Step> steps;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the step file %1").arg(fileName);
        return {};
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString text = lines.at(i).trimmed();
        if (text.isEmpty() || text.startsWith(u'#'))
            continue;
        Step step;
        step.line = i + 1;
        step.text = text;
        const qsizetype blank = text.indexOf(u' ');
        step.verb = (blank < 0 ? text : text.left(blank)).toLower();
        step.rest = blank < 0 ? QString() : text.mid(blank + 1).trimmed();
        step.words = step.rest.split(u' ', Qt::SkipEmptyParts);
        if (!isStepVerb(step.verb)) {
            error = QStringLiteral("line %1: unknown step \"%2\"").arg(step.line).arg(step.verb);
            return {};
        }
        steps.push_back(step);
    }
    return steps;
}

// Answers every dialog of the designer: the designer window itself runs the steps; message boxes and other
// dialogs take the answers the steps queued (OK, Yes for questions, No for "save before closing?" and
// Cancel for file, font and colour dialogs when nothing is queued).
class StepRunner : public Dialogs::Handler
{
public:
    StepRunner(std::vector<Step> steps, QString output)
        : m_steps(std::move(steps))
        , m_output(std::move(output))
    { }

    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        m_messages << request.text;
        QTextStream(stderr) << "quillot-report: message: " << request.text << '\n';
        if (!m_answers.empty()) {
            const QString answer = m_answers.front();
            m_answers.pop_front();
            if (answer == QLatin1String("cancel"))
                return Dialogs::Answer::Cancel;
            if (answer == QLatin1String("no"))
                return Dialogs::Answer::No;
            if (answer == QLatin1String("yes"))
                return Dialogs::Answer::Yes;
            return Dialogs::Answer::Ok;
        }
        switch (request.kind) {
        case Dialogs::MessageKind::Confirmation:
            return Dialogs::Answer::Yes;
        case Dialogs::MessageKind::YesNoCancel:
            return Dialogs::Answer::No;
        default:
            return Dialogs::Answer::Ok;
        }
    }

    QString fileName(QWidget *, const Dialogs::FileRequest &) override
    {
        if (m_files.empty())
            return {};
        const QString name = m_files.front();
        m_files.pop_front();
        return name;
    }

    bool font(QWidget *, QFont &) override { return false; }
    bool color(QWidget *, QColor &) override { return false; }

    bool exec(QDialog &dialog) override
    {
        if (auto *form = qobject_cast<TReportDesignerForm *>(&dialog); form && !m_form) {
            run(*form);
            return false;
        }
        if (m_answers.empty())
            return true;
        const QString answer = m_answers.front();
        m_answers.pop_front();
        return answer == QLatin1String("ok") || answer == QLatin1String("yes");
    }

    bool succeeded() const { return m_error.isEmpty(); }
    const QString &error() const { return m_error; }
    bool ran() const { return m_ran; }

private:
    void run(TReportDesignerForm &form)
    {
        m_ran = true;
        m_form = &form;
        m_designer = form.RpDesigner1;
        // The output is the only file the session may write: the input keeps its name nowhere.
        m_designer->setFileName(m_output);
        form.updateCaption();
        form.show();
        QApplication::setActiveWindow(&form);
        m_driver = std::make_unique<SurfaceDriver>(form.DesignView);
        const QByteArray before = QFileInfo::exists(m_output) ? FileIO::readAll(m_output) : QByteArray();
        const bool existed = QFileInfo::exists(m_output);
        for (const Step &step : m_steps) {
            try {
                play(step);
                QApplication::processEvents();
            } catch (const Exception &failure) {
                m_error = QStringLiteral("line %1: %2: %3").arg(step.line).arg(step.text, failure.message());
                break;
            }
        }
        if (m_error.isEmpty() && !m_designer->SaveReportFile(m_output))
            m_error = QStringLiteral("cannot write %1").arg(m_output);
        if (!m_error.isEmpty()) {
            // A failed session leaves the output as it found it.
            if (existed)
                FileIO::writeAtomically(m_output, before);
            else
                QFile::remove(m_output);
            m_designer->setModified(false);
        }
        if (form.isVisible())
            form.close();
        m_driver.reset();
    }

    QObject *item(const QString &name) const
    {
        if (name.compare(QLatin1String("report"), Qt::CaseInsensitive) == 0)
            return m_designer->report();
        for (QObject *candidate : DesignItems::allItems(m_designer->report())) {
            if (candidate->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return candidate;
        }
        fail(QStringLiteral("there is no band or element \"%1\"").arg(name));
    }

    static Qt::KeyboardModifiers modifiersOf(
        const QStringList &words, Qt::MouseButton *button = nullptr, bool *doubleClick = nullptr)
    {
        Qt::KeyboardModifiers mods;
        for (const QString &word : words) {
            const QString w = word.toLower();
            if (w == QLatin1String("shift"))
                mods |= Qt::ShiftModifier;
            else if (w == QLatin1String("ctrl"))
                mods |= Qt::ControlModifier;
            else if (w == QLatin1String("alt"))
                mods |= Qt::AltModifier;
            else if (w == QLatin1String("right") && button)
                *button = Qt::RightButton;
            else if (w == QLatin1String("double") && doubleClick)
                *doubleClick = true;
            else
                fail(QStringLiteral("unknown word \"%1\"").arg(word));
        }
        return mods;
    }

    QPoint pointOf(const Step &step, int at) const
    {
        if (step.words.size() < at + 2)
            fail(QStringLiteral("a point needs X and Y"));
        return QPoint(
            toInt(step.words.at(at), QStringLiteral("X")), toInt(step.words.at(at + 1), QStringLiteral("Y")));
    }

    void play(const Step &step)
    {
        const QString &verb = step.verb;
        if (verb == QLatin1String("palette"))
            palette(step);
        else if (verb == QLatin1String("click"))
            click(step);
        else if (verb == QLatin1String("drag"))
            drag(step);
        else if (verb == QLatin1String("key"))
            key(step);
        else if (verb == QLatin1String("menu"))
            menu(step);
        else if (verb == QLatin1String("dialog"))
            queueAnswer(step);
        else if (verb == QLatin1String("select"))
            select(step);
        else if (verb == QLatin1String("save"))
            save();
        else if (verb == QLatin1String("saveas"))
            saveAs(step);
        else if (verb == QLatin1String("open"))
            open(step);
        else if (verb == QLatin1String("close"))
            m_form->close();
        else if (verb == QLatin1String("wait"))
            m_driver->wait(toInt(step.rest, QStringLiteral("the time")));
        else if (verb == QLatin1String("expect"))
            expect(step);
        else if (verb == QLatin1String("set"))
            set(step);
    }

    // set NAME PROPERTY VALUE: a published property, as a property dialog would set it.
    void set(const Step &step)
    {
        if (step.words.size() < 3)
            fail(QStringLiteral("set needs a name, a property and a value"));
        QObject *target = item(step.words.at(0));
        const QByteArray property = step.words.at(1).toLatin1();
        const int index = target->metaObject()->indexOfProperty(property.constData());
        if (index < 0)
            fail(QStringLiteral("\"%1\" has no property %2").arg(step.words.at(0), step.words.at(1)));
        QVariant value(step.words.mid(2).join(u' '));
        const QMetaProperty meta = target->metaObject()->property(index);
        if (!value.convert(meta.metaType()) || !meta.isWritable())
            fail(QStringLiteral("%1 cannot take \"%2\"").arg(step.words.at(1), step.words.mid(2).join(u' ')));
        m_designer->Modify();
        meta.write(target, value);
        m_designer->refreshSurface();
    }

    void palette(const Step &step)
    {
        if (step.words.isEmpty())
            fail(QStringLiteral("palette needs a state"));
        const int state = toInt(step.words.first(), QStringLiteral("the state"));
        QToolButton *button = m_form->paletteButton(state);
        if (!button || button->isHidden())
            fail(QStringLiteral("the palette has no button for state %1").arg(state));
        const Qt::KeyboardModifiers mods = modifiersOf(step.words.mid(1));
        m_form->choosePaletteState(state, mods & Qt::ShiftModifier);
    }

    void click(const Step &step)
    {
        const QPoint point = pointOf(step, 0);
        Qt::MouseButton button = Qt::LeftButton;
        bool twice = false;
        const Qt::KeyboardModifiers mods = modifiersOf(step.words.mid(2), &button, &twice);
        if (twice)
            m_driver->doubleClick(point, mods);
        else
            m_driver->click(point, button, mods);
    }

    void drag(const Step &step)
    {
        const QPoint from = pointOf(step, 0);
        const QPoint to = pointOf(step, 2);
        QStringList words = step.words.mid(4);
        int after = 300;
        const qsizetype at = words.indexOf(QStringLiteral("after"));
        if (at >= 0) {
            if (at + 1 >= words.size())
                fail(QStringLiteral("\"after\" needs milliseconds"));
            after = toInt(words.at(at + 1), QStringLiteral("the time"));
            words.remove(at, 2);
        }
        m_driver->drag(from, to, modifiersOf(words), after);
    }

    void key(const Step &step)
    {
        const QKeySequence sequence = QKeySequence::fromString(step.rest);
        if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
            fail(QStringLiteral("unknown key \"%1\"").arg(step.rest));
        const QKeyCombination combination = sequence[0];
        QWidget *target = m_designer->selectedCount() > 0 ? static_cast<QWidget *>(m_designer->mover())
                                                          : m_form->DesignView;
        int keyCode = combination.key();
        if (keyCode == Qt::Key_Tab && (combination.keyboardModifiers() & Qt::ShiftModifier))
            keyCode = Qt::Key_Backtab;
        SurfaceDriver::key(target, keyCode, combination.keyboardModifiers());
    }

    void menu(const Step &step)
    {
        QAction *entry = m_form->menuAction(step.rest);
        if (!entry)
            fail(QStringLiteral("there is no menu entry \"%1\"").arg(step.rest));
        if (!entry->isEnabled() || !entry->isVisible())
            fail(QStringLiteral("the menu entry \"%1\" is disabled").arg(step.rest));
        entry->trigger();
    }

    void queueAnswer(const Step &step)
    {
        const QString answer = step.rest.toLower();
        if (answer != QLatin1String("ok") && answer != QLatin1String("cancel")
            && answer != QLatin1String("yes") && answer != QLatin1String("no"))
            fail(QStringLiteral("a dialog is answered ok, cancel, yes or no"));
        m_answers.push_back(answer);
    }

    void select(const Step &step)
    {
        QList<QObject *> items;
        for (const QString &name : step.words)
            items << item(name);
        m_designer->SelectList(items);
    }

    void save()
    {
        if (!m_designer->SaveReportFile(m_output))
            fail(QStringLiteral("cannot write %1").arg(m_output));
    }

    void saveAs(const Step &step)
    {
        m_files.push_back(QFileInfo(step.rest).absoluteFilePath());
        if (!m_form->ASaveAsExecute())
            fail(QStringLiteral("the report was not saved as %1").arg(step.rest));
    }

    void open(const Step &step)
    {
        const QString name = QFileInfo(step.rest).absoluteFilePath();
        m_files.push_back(name);
        m_form->AOpenExecute();
        if (m_designer->fileName() != name)
            fail(QStringLiteral("%1 did not open").arg(step.rest));
    }

    // Enumerations show their names ("rbDetail"), everything else its text.
    static QString shown(const QVariant &value) { return value.toString(); }

    void expect(const Step &step)
    {
        if (step.words.isEmpty())
            fail(QStringLiteral("expect what?"));
        const QString what = step.words.first().toLower();
        const QStringList args = step.words.mid(1);
        auto check = [](const QString &actual, const QString &wanted) {
            if (actual != wanted)
                fail(QStringLiteral("found \"%1\", expected \"%2\"").arg(actual, wanted));
        };
        if (what == QLatin1String("selection")) {
            QStringList names;
            for (QObject *selected : m_designer->selection())
                names << DesignItems::displayName(selected);
            check(names.join(u' '), args.join(u' '));
        } else if (what == QLatin1String("zoom")) {
            check(QString::number(m_designer->zoom()), args.value(0));
        } else if (what == QLatin1String("state")) {
            check(QString::number(m_designer->designState()), args.value(0));
        } else if (what == QLatin1String("history")) {
            check(QString::number(m_form->history().count()), args.value(0));
        } else if (what == QLatin1String("grid")) {
            check(QStringLiteral("%1 %2").arg(m_designer->gridSizeX()).arg(m_designer->gridSizeY()),
                args.join(u' '));
        } else if (what == QLatin1String("modified")) {
            check(m_designer->Modified() ? QStringLiteral("yes") : QStringLiteral("no"), args.value(0));
        } else if (what == QLatin1String("message")) {
            const QString wanted = step.rest.mid(step.words.first().size()).trimmed();
            check(m_messages.isEmpty() ? QString() : m_messages.last(), wanted);
        } else if (what == QLatin1String("missing")) {
            for (QObject *candidate : DesignItems::allItems(m_designer->report())) {
                if (candidate->objectName().compare(args.value(0), Qt::CaseInsensitive) == 0)
                    fail(QStringLiteral("\"%1\" is still there").arg(args.value(0)));
            }
        } else if (what == QLatin1String("elements")) {
            check(QString::number(DesignItems::elementsOn(item(args.value(0))).size()), args.value(1));
        } else if (what == QLatin1String("bands")) {
            check(QString::number(DesignItems::bands(m_designer->report()).size()), args.value(0));
        } else if (what == QLatin1String("group")) {
            check(QString::number(m_designer->GroupID(item(args.value(0)))), args.value(1));
        } else if (what == QLatin1String("flag")) {
            check(m_designer->ElementFlag(item(args.value(0)), args.value(1)) ? QStringLiteral("true")
                                                                              : QStringLiteral("false"),
                args.value(2).toLower());
        } else {
            // expect NAME left|top|width|height|PROPERTY VALUE
            QObject *target = item(step.words.first());
            const QString property = args.value(0);
            const QString wanted = args.mid(1).join(u' ');
            const QRect r = DesignItems::itemRect(target);
            if (property == QLatin1String("left"))
                check(QString::number(r.left()), wanted);
            else if (property == QLatin1String("top"))
                check(QString::number(r.top()), wanted);
            else if (property == QLatin1String("width"))
                check(QString::number(r.width()), wanted);
            else if (property == QLatin1String("height"))
                check(QString::number(r.height()), wanted);
            else if (target->metaObject()->indexOfProperty(property.toLatin1().constData()) < 0)
                fail(QStringLiteral("\"%1\" has no property %2").arg(step.words.first(), property));
            else
                check(shown(target->property(property.toLatin1().constData())), wanted);
        }
    }

    std::vector<Step> m_steps;
    QString m_output;
    TReportDesignerForm *m_form = nullptr;
    TRpDesigner *m_designer = nullptr;
    std::unique_ptr<SurfaceDriver> m_driver;
    std::deque<QString> m_answers;
    std::deque<QString> m_files;
    QStringList m_messages;
    QString m_error;
    bool m_ran = false;
    Dialogs::ScopedHandler m_guard { *this };
};

} // namespace

namespace {

// The offscreen platform says at every drag that it cannot grab the pointer for real; the designer holds it
// within the program, so the note is noise on the tool's output.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

} // namespace

int ReportTool::design(const QStringList &arguments)
{
    qInstallMessageHandler(quietOffscreen);
    QStringList positional;
    QString stepsFile;
    QString settingsFile;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--steps") || argument == QLatin1String("--settings")) {
            if (i + 1 >= arguments.size()) {
                printError(argument + QStringLiteral(" needs a file name"));
                return 2;
            }
            (argument == QLatin1String("--steps") ? stepsFile : settingsFile) = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--"))) {
            printError(QStringLiteral("unknown option %1").arg(argument));
            return 2;
        } else {
            positional << argument;
        }
    }
    if (positional.isEmpty() || positional.size() > 2 || stepsFile.isEmpty()) {
        printError(QStringLiteral("design needs [IN.RP2] OUT.RP2 and --steps FILE"));
        return 2;
    }
    const QString input
        = positional.size() == 2 ? QFileInfo(positional.first()).absoluteFilePath() : QString();
    const QString output = QFileInfo(positional.last()).absoluteFilePath();
    if (!input.isEmpty() && !QFileInfo::exists(input)) {
        printError(QStringLiteral("%1 does not exist").arg(positional.first()));
        return 2;
    }
    if (!input.isEmpty() && input == output) {
        printError(QStringLiteral("the input is never written: give another output file"));
        return 2;
    }
    QString stepError;
    std::vector<Step> steps = readSteps(stepsFile, stepError);
    if (!stepError.isEmpty()) {
        printError(stepError);
        return 2;
    }
    // Without --settings, a fresh settings file of its own, so that parallel sessions never share one.
    QTemporaryDir scratch;
    if (settingsFile.isEmpty())
        settingsFile = scratch.filePath(QStringLiteral("RPDESIGN.INI"));
    TRpDesignerSettings::setFileName(QFileInfo(settingsFile).absoluteFilePath());

    StepRunner runner(std::move(steps), output);
    // The reports window's settings of the designer's entry component.
    TReportDesignerDialog dialog;
    dialog.setUseDataModules(true);
    dialog.setUserSettings(RpDesigner::AllowSQLEdit | RpDesigner::AllowDatasetEdit
        | RpDesigner::AllowBlockEdit | RpDesigner::AllowScriptEdit);
    dialog.setEditorSettings(
        RpDesigner::AutoEditAfterInsert | RpDesigner::ShowDatafieldListbox | RpDesigner::DatafieldsSorted);
    const bool opened = input.isEmpty() ? dialog.NewReport(output, false) : dialog.EditReport(input);
    if (!opened || !runner.ran()) {
        printError(QStringLiteral("%1 could not be opened").arg(positional.first()));
        return 1;
    }
    if (!runner.succeeded()) {
        printError(runner.error());
        return 1;
    }
    return 0;
}

const char *const ReportTool::kDesignSteps
    = "    The steps, one per line (\"#\" starts a comment); points X Y are pixels on the report's page at "
      "the\n"
      "    current zoom, from its top left corner:\n"
      "      palette N [shift]              choose palette state N (0 select, 2 band, 3 label, 4 data "
      "field,\n"
      "                                     5 expression, 6 system field, 7 shape, 8 image, 9 image data "
      "field,\n"
      "                                     10 memo, 11 rich text, 12 rich text data field, 13 sub-detail,\n"
      "                                     14 group, 15 child band); shift keeps it for several clicks\n"
      "      click X Y [shift|ctrl|alt|right|double]...\n"
      "      drag X1 Y1 X2 Y2 [shift|alt|ctrl]... [after MS]\n"
      "                                     press, move, release MS milliseconds later (default 300); shift "
      "is\n"
      "                                     held once the pointer moves, ctrl draws a rubber band\n"
      "      key NAME                       a key with its modifiers: Right, Shift+Right, Ctrl+Shift+Left, "
      "Tab,\n"
      "                                     Shift+Tab, Return, Escape, Delete, Ctrl+C, Ctrl+X, Ctrl+V\n"
      "      menu PATH                      a menu entry by its captions (Edit/Align/Left, "
      "View/Zoom/Increase),\n"
      "                                     or an entry of the context menu a right click opened\n"
      "      dialog ok|cancel|yes|no        the answer to the next dialog or message box (by default OK, "
      "Yes,\n"
      "                                     and No to \"save before closing?\"); the report wizard that\n"
      "                                     File/New... opens is accepted as it opens or cancelled\n"
      "      select NAME...                 select bands and elements by name, the first first\n"
      "      save                           save the report to OUT now (it is saved at the end as well)\n"
      "      saveas FILE | open FILE        \"Save as...\" or \"Open...\" with FILE as the answer\n"
      "      wait MS                        let time pass (double clicks, drag times)\n"
      "      set NAME PROPERTY VALUE        set a published property (Caption, FixBottomPosition, BandType, "
      "...)\n"
      "      close                          close the window as a user would\n"
      "      expect NAME left|top|width|height|PROPERTY VALUE\n"
      "      expect selection NAME... | zoom N | state N | history N | grid X Y | modified yes|no\n"
      "      expect elements NAME N | bands N | group NAME N | flag NAME FLAG true|false | missing NAME\n"
      "      expect message TEXT            the last message box showed TEXT\n";
