#include "GalleryTool.h"

#include "designer/DesignReportExpert.h"
#include "report/files/ReportFile.h"
#include "store/DataSource.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace Gallery {

bool renderWizardPages(const QDir &out, int &written)
{
    // A data module with the transaction table, as the reports window offers it.
    QObject module;
    module.setObjectName(QStringLiteral("DataModule1"));
    auto *table = new TMemTable(&module);
    table->setObjectName(QStringLiteral("tblTransaction"));
    table->FieldDefs() = FinanceTables::transactionDefs();
    table->CreateEmpty();
    auto *source = new TDataSource(&module);
    source->setObjectName(QStringLiteral("datTransaction"));
    source->setDataSet(table);
    RpComponents::addDataModule(&module);
    struct Unregister
    {
        QObject *module;
        ~Unregister() { RpComponents::remove(module); }
    } unregister { &module };

    ReportFileEngine engine(QStringLiteral("GalleryDesigner"));
    engine.report()->setUnits(Rp::MM);
    TRpDesignReportExpert wizard(*engine.report());
    wizard.setDataSets(wizardDataSets(engine));
    wizard.setLabelFamilies({ RpLabelFormats::parseFamily(
        QStringLiteral("Avery\nL7160 Adresses;1,5;0,7;6,35;3,81;3;7;3,81;6,6;A4\nL7163 "
                       "Colis;1,5;0,4;9,91;3,81;2;7;3,81;10,16;A4\n")) });
    wizard.resize(560, 380);

    // A list over the transactions, then the label pages of mailing labels.
    wizard.rbList->setChecked(true);
    wizard.next();
    wizard.lstDatasets->setCurrentRow(1);
    wizard.next();
    for (int i = 0; i < 3 && wizard.lstAvailable->count() > 0; ++i) {
        wizard.lstAvailable->setCurrentRow(0);
        wizard.btnAdd->click();
    }
    wizard.lstAvailable->setCurrentRow(0);
    wizard.cmbLabelFamily->setCurrentIndex(1);
    wizard.lstLabelFormats->setCurrentRow(0);
    static const char *const kNames[] = { "type", "dataset", "fields", "bands", "labelformat", "paper",
        "labelsize", "options", "fonts", "finish" };
    for (int page = 0; page < TRpDesignReportExpert::PageCount; ++page) {
        wizard.showPage(page);
        const QString name
            = QStringLiteral("wizard-%1-%2.png").arg(page).arg(QString::fromLatin1(kNames[page]));
        if (!save(grab(wizard), out, name, written))
            return false;
    }
    return true;
}

} // namespace Gallery
