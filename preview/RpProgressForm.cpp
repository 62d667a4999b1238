#include "preview/RpProgressForm.h"

#include "report/generation/RunReport.h"
#include "report/pages/RpPrinter.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TRpProgressForm::TRpProgressForm(TRpPrinter *store, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_store(store)
{
    setWindowTitle(QStringLiteral("Printing progress"));
    Gauge = new QProgressBar(this);
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    lblProgress = new QLabel(this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Gauge);
    layout->addWidget(lblProgress);
    layout->addWidget(btnCancel, 0, Qt::AlignHCenter);
    resize(360, sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        if (m_store)
            m_store->CancelDocument();
    });
}

bool TRpProgressForm::event(QEvent *event)
{
    if (event->type() == QEvent::Type(RpNotice::Progress)) {
        showProgress(static_cast<TRpStoreEvent *>(event)->parameter());
        return true;
    }
    return QDialog::event(event);
}

void TRpProgressForm::showProgress(int percent)
{
    if (percent % 5 != 0)
        return;
    Gauge->setValue(percent);
    lblProgress->setText(QString::number(percent) + QStringLiteral("% ") + QStringLiteral(" Completed"));
}

void TRpProgressForm::install()
{
    setProgressWindowFactory([](TRpPrinter &store) -> std::unique_ptr<QObject> {
        auto form = std::make_unique<TRpProgressForm>(&store);
        form->show();
        return form;
    });
}
