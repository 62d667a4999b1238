#pragma once

#include "report/PrinterSettings.h"

#include <QObject>

// The data-loop controllers: the report's own loop and those of controller bands. Here they are the objects
// the model owns; running them is the report generator's work.
class TRpCustomController : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
};

class TRpController : public TRpCustomController
{
    Q_OBJECT
public:
    using TRpCustomController::TRpCustomController;
};

class TRpLoopController : public TRpCustomController
{
    Q_OBJECT
public:
    using TRpCustomController::TRpCustomController;
};

class TRpStringsController : public TRpCustomController
{
    Q_OBJECT
public:
    using TRpCustomController::TRpCustomController;
};

// Chains several reports into one print job.
class TRpCompositeReport : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TRpCompositePrinterSettings *PrinterSettings READ printerSettings)

public:
    Q_INVOKABLE explicit TRpCompositeReport(QObject *parent = nullptr)
        : QObject(parent), m_printerSettings(new TRpCompositePrinterSettings(this))
    {
    }

    TRpCompositePrinterSettings *printerSettings() const { return m_printerSettings; }

private:
    TRpCompositePrinterSettings *m_printerSettings;
};
