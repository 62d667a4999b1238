#pragma once

// The fixture of the finance window tests: a temporary Data folder, the whole program created on it through
// FinanceApp (data module, every window in start-up order, the table set-up) and a dialog handler that
// answers message boxes and runs a queued script for each modal window.
//
//     TEST_F(FormsFixture, Something)
//     {
//         dialogs.scripts.push_back([](QDialog &dialog) {
//             auto &editor = static_cast<TfrmAEAccount &>(dialog);
//             editor.DBEdit1->setText("Banque");
//             editor.btnSave->click();
//             return true;
//         });
//         frmMain->btnAccountDetailClick();      // ... runs the script when the window is shown modally
//         flushSaves();                          // lets the event loop write the changed tables
//         restart();                             // a new run on the same folder
//     }

#include "forms/Datamod.h"
#include "forms/FinanceApp.h"
#include "forms/TableSaver.h"
#include "widgets/DialogRecorder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Answers message boxes like DialogRecorder; a modal window runs the next queued script (which fills the
// window, clicks its buttons and returns whether the window was accepted). With no script queued the window
// is answered with `execAnswer` without doing anything.
class ScriptedDialogs : public DialogRecorder
{
public:
    using Script = std::function<bool(QDialog &)>;

    bool exec(QDialog &dialog) override
    {
        dialogs.push_back(dialog.windowTitle());
        if (scripts.empty())
            return execAnswer;
        Script script = std::move(scripts.front());
        scripts.pop_front();
        // The window is visible while its script runs, as it would be on the screen.
        dialog.show();
        const bool accepted = script(dialog);
        dialog.hide();
        return accepted;
    }

    std::deque<Script> scripts;
};

class FormsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        start();
    }

    void TearDown() override { stop(); }

    QString dataFolder() const { return folder.path() + QStringLiteral("/Data"); }
    QString dataFile(const char *name) const
    {
        return QDir(dataFolder()).filePath(QString::fromLatin1(name));
    }

    // Creates the program on the Data folder (the folder is created when missing).
    void start() { app = std::make_unique<FinanceApp>(dataFolder()); }
    // Ends the program as its end of run does: pending rows finished, changed tables written, all destroyed.
    void stop() { app.reset(); }
    void restart()
    {
        stop();
        start();
    }
    // Lets the event loop run, which writes the tables changed by the last action.
    static void flushSaves()
    {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

public:
    // Types into a control one key at a time, as a user would (the control need not have the focus).
    static void typeInto(QWidget *control, const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(control, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(control, &release);
        }
    }
    static void pressKey(QWidget *control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(control, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(control, &release);
    }

protected:
    // A posted account, written straight through the table.
    void addAccount(const QString &name, double balance)
    {
        TMemTable *accounts = DataModule1->tblAccount;
        accounts->AppendRow();
        DataModule1->tblAccountAccount_Type->setAsString(name);
        DataModule1->tblAccountAccount_Balance->setAsNumber(balance);
        accounts->Post();
    }

    QTemporaryDir folder;
    // Declared before the program so it outlives it: the end of the run may still show an error box.
    ScriptedDialogs dialogs;
    std::unique_ptr<FinanceApp> app;
};
