#include "forms/GuardedApplication.h"

#include "platform/Exceptions.h"
#include "widgets/Dialogs.h"

GuardedApplication::GuardedApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    return deliverGuarded([&] { return QApplication::notify(receiver, event); });
}

bool GuardedApplication::deliverGuarded(const std::function<bool()> &deliver)
{
    try {
        return deliver();
    } catch (const Exception &error) {
        Dialogs::showException(activeWindow(), error);
    } catch (const std::exception &error) {
        // Not the program's own family, but still better shown than ending the program with the user's work.
        Dialogs::showError(activeWindow(), QString::fromLocal8Bit(error.what()));
    }
    return false;
}
