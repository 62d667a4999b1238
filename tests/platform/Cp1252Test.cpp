#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, FrenchTextAndTheEuroSignRoundTrip)
{
    const QString text = QStringLiteral("Dépenses œuvre 12 € – «Noël»");
    QByteArray bytes;
    ASSERT_TRUE(Cp1252::encode(text, bytes));
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(bytes.at(text.indexOf(QStringLiteral("€"))), char(0x80));
    EXPECT_EQ(Cp1252::decode(bytes), text);
}

TEST(Cp1252, CharactersOutsideTheCodePageAreReported)
{
    QByteArray bytes;
    EXPECT_FALSE(Cp1252::encode(QStringLiteral("Ωmega"), bytes));
    EXPECT_EQ(Cp1252::firstUnencodable(QStringLiteral("abc 日本")), QChar(0x65E5));
    EXPECT_TRUE(Cp1252::canEncode(QStringLiteral("Compte d'or")));
}

TEST(Cp1252, EveryByteDecodesAndEncodesBackToItself)
{
    QByteArray all(256, 0);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QByteArray back;
    ASSERT_TRUE(Cp1252::encode(Cp1252::decode(all), back));
    EXPECT_EQ(back, all);
}

} // namespace
