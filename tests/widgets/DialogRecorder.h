#pragma once

#include "widgets/Dialogs.h"

#include <QDialog>
#include <QPrinter>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

// Answers the program's dialogs in tests: records every message box and answers with the queued answers
// (OK for an error or information box, then Yes/OK when the queue is empty unless told otherwise).
class DialogRecorder : public Dialogs::Handler
{
public:
    DialogRecorder()
        : m_guard(*this)
    { }

    Dialogs::Answer message(QWidget *, const Dialogs::MessageRequest &request) override
    {
        messages.push_back(request);
        if (!answers.empty()) {
            const Dialogs::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        switch (request.kind) {
        case Dialogs::MessageKind::Confirmation:
            return Dialogs::Answer::Yes;
        default:
            return Dialogs::Answer::Ok;
        }
    }
    QString fileName(QWidget *, const Dialogs::FileRequest &request) override
    {
        files.push_back(request);
        return fileAnswer;
    }
    bool font(QWidget *, QFont &font) override
    {
        font = fontAnswer;
        return true;
    }
    bool color(QWidget *, QColor &color) override
    {
        color = colorAnswer;
        return colorAnswer.isValid();
    }
    bool exec(QDialog &dialog) override
    {
        dialogs.push_back(dialog.windowTitle());
        return execAnswer;
    }

    // The print dialog: counted; when confirmed with a file name, the printer writes that PDF file.
    bool printer(QWidget *, QPrinter &printer) override
    {
        ++printDialogs;
        if (printAnswer && !printFileAnswer.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printFileAnswer);
        }
        return printAnswer;
    }

    // The report print dialog: every request is kept; `printSetupAnswer` changes it before it is confirmed
    // (or cancelled when `printAnswer` is false).
    bool printSetup(QWidget *, Dialogs::PrintSetupRequest &request) override
    {
        printSetups.push_back(request);
        if (printAnswer && printSetupAnswer)
            printSetupAnswer(request);
        return printAnswer;
    }

    QStringList texts(Dialogs::MessageKind kind) const
    {
        QStringList result;
        for (const auto &m : messages) {
            if (m.kind == kind)
                result << m.text;
        }
        return result;
    }
    QStringList errors() const { return texts(Dialogs::MessageKind::Error); }

    std::vector<Dialogs::MessageRequest> messages;
    std::deque<Dialogs::Answer> answers;
    std::vector<Dialogs::FileRequest> files;
    QStringList dialogs;
    QString fileAnswer;
    QFont fontAnswer;
    QColor colorAnswer;
    bool execAnswer = true;
    int printDialogs = 0;
    bool printAnswer = true;
    QString printFileAnswer;
    std::vector<Dialogs::PrintSetupRequest> printSetups;
    std::function<void(Dialogs::PrintSetupRequest &)> printSetupAnswer;

private:
    Dialogs::ScopedHandler m_guard;
};
