// Page store figures: compression and decoding throughput on recorded report pages, and the rate at which
// text-heavy pages are recorded and stored (in memory first, then in the temporary file). Times are processor
// time of this process.
#include "report/pages/Compress.h"
#include "report/pages/RpPrinter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

void drawTextPage(TRpPrinter &store, int page)
{
    QPainter &canvas = *store.canvas();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(store.DeviceHeight(35));
    canvas.setFont(font);
    canvas.drawText(store.DeviceX(200), store.DeviceY(250),
        QStringLiteral("Relevé du compte courant — page %1").arg(page));
    for (int line = 0; line < 45; ++line) {
        const int y = 400 + line * 55;
        canvas.drawText(store.DeviceX(200), store.DeviceY(y),
            QStringLiteral("%1/%2/2026").arg(line % 28 + 1).arg(page % 12 + 1));
        canvas.drawText(store.DeviceX(480), store.DeviceY(y),
            QStringLiteral("Paiement carte %1 — supermarché, ligne %2").arg(page * 100 + line).arg(line + 1));
        canvas.drawText(store.DeviceX(1650), store.DeviceY(y),
            QStringLiteral("%1,%2 €").arg((page * 37 + line * 11) % 2000).arg(line % 100));
        canvas.drawLine(
            store.DeviceX(200), store.DeviceY(y + 12), store.DeviceX(1900), store.DeviceY(y + 12));
    }
}

// Processor time of this process: the figures stay meaningful on a machine that is busy with other work.
class CpuTimer
{
public:
    void start() { m_start = std::clock(); }
    void restart() { start(); }
    double seconds() const { return double(std::clock() - m_start) / CLOCKS_PER_SEC; }

private:
    std::clock_t m_start = 0;
};

double seconds(const CpuTimer &timer)
{
    return timer.seconds();
}

void recordAndStore(bool compressed, int pages)
{
    TRpPrinter store;
    store.setCompression(compressed);
    CpuTimer timer;
    timer.start();
    store.StartDocument();
    for (int p = 1; p <= pages; ++p) {
        store.NewPage();
        drawTextPage(store, p);
    }
    store.FinishDocument();
    const double s = seconds(timer);
    std::printf("record and store %d text pages (%s): %.0f pages/s (%.1f KB per page)\n", pages,
        compressed ? "compressed" : "uncompressed", pages / s,
        double(store.pageList().stream()->size()) / pages / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    // A few hundred recorded pages, serialized as the page list stores them.
    std::vector<QByteArray> pages;
    {
        TRpPrinter store;
        store.StartDocument();
        for (int p = 1; p <= 300; ++p) {
            store.NewPage();
            drawTextPage(store, p);
        }
        store.FinishDocument();
        for (int n = 1; n <= store.pageList().count(); ++n)
            pages.push_back(store.pageList().ReadPageData(n));
    }
    qint64 plainBytes = 0;
    for (const QByteArray &page : pages)
        plainBytes += page.size();

    // The codes to decode, made once. The timed rounds then code and decode every page as the page store does:
    // each result is used and released, so the rounds measure the coder and not the first touch of memory
    // that keeping 300 results would bring.
    std::vector<QByteArray> codes;
    qint64 codeBytes = 0;
    for (const QByteArray &page : pages) {
        codes.push_back(TRpCompress::compress(page));
        codeBytes += codes.back().size();
    }
    constexpr int kRounds = 5;
    std::vector<double> compressRates;
    std::vector<double> decodeRates;
    const double mb = double(plainBytes) / 1e6;
    for (int round = 0; round < kRounds; ++round) {
        CpuTimer timer;
        timer.start();
        qint64 coded = 0;
        for (const QByteArray &page : pages)
            coded += TRpCompress::compress(page).size();
        compressRates.push_back(mb / seconds(timer));
        timer.restart();
        qint64 checked = 0;
        for (size_t i = 0; i < pages.size(); ++i)
            checked += TRpCompress::decompress(codes[i].constData(), codes[i].size(), pages[i].size()).size();
        decodeRates.push_back(double(checked) / 1e6 / seconds(timer));
        if (coded != codeBytes || checked != plainBytes) {
            std::fprintf(stderr, "the rounds coded or decoded other sizes than the first pass\n");
            return 1;
        }
    }
    std::sort(compressRates.begin(), compressRates.end());
    std::sort(decodeRates.begin(), decodeRates.end());
    std::printf("page data: %zu pages, %.2f MB, compressed to %.1f %%\n", pages.size(), mb,
        100.0 * double(codeBytes) / double(plainBytes));
    std::printf("compression: %.1f MB/s (median of %d rounds, %.2f of the 80 MB/s target; best %.1f)\n",
        compressRates[kRounds / 2], kRounds, compressRates[kRounds / 2] / 80, compressRates.back());
    std::printf("decoding: %.1f MB/s (median of %d rounds, %.2f of the 80 MB/s target; best %.1f)\n",
        decodeRates[kRounds / 2], kRounds, decodeRates[kRounds / 2] / 80, decodeRates.back());

    recordAndStore(false, 1000);
    recordAndStore(true, 1000);
    return 0;
}
