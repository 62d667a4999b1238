// Test entry shared by every test binary: a QApplication on the offscreen platform and a pinned locale, so
// results do not depend on the machine that runs them.
#include "support/TestSupport.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestSupport::pinLocale("fr_FR");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
