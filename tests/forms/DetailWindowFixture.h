#pragma once

#include "FormsFixture.h"
#include "LedgerTestData.h"
#include "forms/AccountDetail.h"
#include "forms/InterAccount.h"

#include <gtest/gtest.h>
#include <memory>

// The account detail window and the transfer dialog over a data module of their own, with the globals
// pointing at them for the test's duration.
class DetailWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedData = DataModule1;
        m_savedDetail = frmAccountDetail;
        m_savedTransfer = frmInterAccount;
        DataModule1 = &ledger.data();
        transfer = std::make_unique<TfrmInterAccount>();
        frmInterAccount = transfer.get();
        detail = std::make_unique<TfrmAccountDetail>();
        frmAccountDetail = detail.get();
    }

    void TearDown() override
    {
        detail.reset();
        transfer.reset();
        frmAccountDetail = m_savedDetail;
        frmInterAccount = m_savedTransfer;
        DataModule1 = m_savedData;
    }

    LedgerTestData ledger;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmInterAccount> transfer;
    std::unique_ptr<TfrmAccountDetail> detail;

private:
    TDataModule1 *m_savedData = nullptr;
    TfrmAccountDetail *m_savedDetail = nullptr;
    TfrmInterAccount *m_savedTransfer = nullptr;
};
