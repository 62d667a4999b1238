#pragma once

#include <QApplication>

// The program's application object with the last-resort guard: an exception of the program's family that
// escapes an event handler is shown in the error box instead of ending the program (Qt does not let
// exceptions pass through its event loop).
class GuardedApplication : public QApplication
{
    Q_OBJECT

public:
    GuardedApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
