#pragma once

// What the benchmarks share: realistic transaction rows, generated on the fly in the same sequence for every
// pass (so the generator's own data does not count in the peak memory), and the "name: figure unit" lines.
#include <QByteArray>
#include <cstdio>
#include <iterator>
#include <random>

namespace BenchData {

constexpr double kMsPerDay = 86400000.0;
constexpr double kFirstDay = 732312; // 1 January 2006 as a day number from 1 January 0001

struct Transaction
{
    QByteArray description; // Windows-1252, 10 to 100 characters
    double stamp;           // milliseconds from 1 January 0001, whole days over 20 years
    double amount;          // -1000.00 to 999.99
    qint32 account;         // 1 to the number of accounts
};

class TransactionSource
{
public:
    explicit TransactionSource(int accounts = 1000)
        : m_accounts(accounts)
    {
    }

    Transaction next()
    {
        static const char *const words[] = { "loyer", "courses", "essence", "salaire", "virement", "facture",
            "Dupont", "assurance", "restaurant", "pharmacie", "dupuis", "abonnement", "t\xE9l\xE9phone",
            "imp\xF4ts", "cadeau", "vacances" };
        const int length = 10 + int(m_random() % 91);
        QByteArray text;
        while (text.size() < length) {
            if (!text.isEmpty())
                text += ' ';
            text += words[m_random() % std::size(words)];
        }
        text.truncate(length);
        while (text.endsWith(' '))
            text.chop(1);
        const double day = kFirstDay + double(m_random() % (20 * 365));
        const double amount = double(int(m_random() % 200000) - 100000) / 100.0;
        return { text, day * kMsPerDay, amount, 1 + int(m_random() % unsigned(m_accounts)) };
    }

private:
    int m_accounts;
    std::mt19937 m_random { 20240101 };
};

// One result line; with a peer, also the ratio to it.
inline void line(const char *name, double figure, const char *unit, const char *peer = nullptr, double ratio = 0)
{
    if (peer)
        std::printf("%s: %.3f %s (%.1fx %s)\n", name, figure, unit, ratio, peer);
    else
        std::printf("%s: %.3f %s\n", name, figure, unit);
    std::fflush(stdout);
}

} // namespace BenchData
