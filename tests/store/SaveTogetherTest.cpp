#include "MemTableTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <sys/resource.h>

using namespace MemTableTestSupport;

namespace {

class SaveTogetherTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QStringList filesInFolder() const { return QDir(m_dir.path()).entryList(QDir::Files); }
    QTemporaryDir m_dir;
};

TEST_F(SaveTogetherTest, WritesEveryChangedTable_AndSkipsUnchangedAndClosedOnes)
{
    auto small = createAccounts(path("Small.dat"));
    auto large = createAccounts(path("Large.dat"));
    auto untouched = createAccounts(path("Untouched.dat"));
    auto closed = createAccounts(path("Closed.dat"));
    closed->Close();
    addAccount(*small, "A", 1);
    addAccount(*large, "B", 2);
    EXPECT_TRUE(small->HasUnsavedChanges());
    EXPECT_FALSE(untouched->HasUnsavedChanges());

    TCustomMemTable::SaveChangesTogether(
        { small.get(), nullptr, large.get(), untouched.get(), closed.get() });

    EXPECT_FALSE(small->HasUnsavedChanges());
    EXPECT_FALSE(large->HasUnsavedChanges());
    EXPECT_EQ(filesInFolder(), QStringList({ "Large.dat", "Small.dat" }));
    EXPECT_EQ(column(*openAccounts(path("Large.dat")), "Account_Type"), QStringList({ "B" }));
}

TEST_F(SaveTogetherTest, AFailureWhileWriting_RenamesNothing_AndKeepsEveryTableChanged)
{
    auto small = createAccounts(path("Small.dat"));
    auto large = createAccounts(path("Large.dat"));
    addAccount(*small, "A", 1);
    addAccount(*large, "B", 2);
    TCustomMemTable::SaveChangesTogether({ small.get(), large.get() });
    const QByteArray oldSmall = TestSupport::readFile(path("Small.dat"));
    const QByteArray oldLarge = TestSupport::readFile(path("Large.dat"));

    addAccount(*small, "A2", 1);
    for (int i = 0; i < 200; ++i)
        addAccount(*large, QStringLiteral("a long account name number %1").arg(i), i);
    {
        // The small table's new file fits, the large one's does not: the small one was written first but
        // must not replace its old file.
        TestSupport::FileSizeLimit limit(rlim_t(oldSmall.size() + 200));
        EXPECT_FALSE(messageOf([&] {
            TCustomMemTable::SaveChangesTogether({ small.get(), large.get() });
        }).isEmpty());
    }
    EXPECT_EQ(TestSupport::readFile(path("Small.dat")), oldSmall);
    EXPECT_EQ(TestSupport::readFile(path("Large.dat")), oldLarge);
    EXPECT_EQ(filesInFolder(), QStringList({ "Large.dat", "Small.dat" }))
        << "no temporary file is left behind";
    EXPECT_TRUE(small->HasUnsavedChanges());
    EXPECT_TRUE(large->HasUnsavedChanges());

    TCustomMemTable::SaveChangesTogether({ small.get(), large.get() });
    EXPECT_EQ(column(*openAccounts(path("Small.dat")), "Account_Type"), QStringList({ "A", "A2" }));
    EXPECT_EQ(openAccounts(path("Large.dat"))->ViewRowCount(), 201);
}

} // namespace
