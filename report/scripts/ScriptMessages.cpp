#include "report/scripts/ScriptMessages.h"

#include <mutex>

namespace RpScriptMessages {

namespace {

std::mutex &guard()
{
    static std::mutex mutex;
    return mutex;
}

MessageBoxFunction &installed()
{
    static MessageBoxFunction show;
    return show;
}

} // namespace

void setMessageBox(MessageBoxFunction show)
{
    const std::lock_guard lock(guard());
    installed() = std::move(show);
}

bool showMessage(const QString &text, Buttons buttons)
{
    MessageBoxFunction show;
    {
        const std::lock_guard lock(guard());
        show = installed();
    }
    return show ? show(text, buttons) : true;
}

} // namespace RpScriptMessages
