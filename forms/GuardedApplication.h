#pragma once

#include <QApplication>
#include <functional>

// The program's application object with the last-resort guard: an exception of the program's family that
// escapes an event handler is shown in the error box instead of ending the program (Qt does not let
// exceptions pass through its event loop).
class GuardedApplication : public QApplication
{
    Q_OBJECT

public:
    GuardedApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The guard itself: runs one delivery; an exception escaping it is shown in the error box and the event
    // counts as not handled.
    static bool deliverGuarded(const std::function<bool()> &deliver);
};
