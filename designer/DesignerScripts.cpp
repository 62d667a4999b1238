#include "designer/DesignerScripts.h"

#include "report/scripts/ScriptFunctions.h"
#include "report/scripts/ScriptMessages.h"
#include "widgets/Dialogs.h"

#include <QApplication>

void installDesignerScripts()
{
    installReportScripts();
    RpScriptMessages::setMessageBox([](const QString &text, RpScriptMessages::Buttons buttons) {
        Dialogs::MessageRequest request;
        request.title = QApplication::applicationName();
        request.text = text;
        switch (buttons) {
        case RpScriptMessages::Buttons::Ok:
            request.kind = Dialogs::MessageKind::Information;
            break;
        case RpScriptMessages::Buttons::OkCancel:
            request.kind = Dialogs::MessageKind::OkCancel;
            break;
        case RpScriptMessages::Buttons::YesNo:
            request.kind = Dialogs::MessageKind::Confirmation;
            break;
        }
        const Dialogs::Answer answer = Dialogs::handler().message(QApplication::activeWindow(), request);
        return answer == Dialogs::Answer::Ok || answer == Dialogs::Answer::Yes;
    });
}
