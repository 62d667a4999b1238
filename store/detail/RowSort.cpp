#include "store/detail/RowSort.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace RowSort {

namespace {

constexpr int kBlock = 128;
// Lists this long are sorted on two threads.
constexpr int kTwoThreads = 1 << 16;

template <int KeyShift> class PackedSorter
{
public:
    explicit PackedSorter(std::vector<quint64> &a)
        : m_a(a.data())
    { }

    quint64 key(int i) const { return m_a[i] >> KeyShift; }
    bool less(int i, int j) const { return key(i) < key(j); }
    void swap(int i, int j) { std::swap(m_a[i], m_a[j]); }

    // detail::quickSort over the same range, step for step in its results. Every key of [lo, hi] lies
    // between low and high: the parts of a partition keep the bounds on their side of the pivot, so a part
    // whose bounds meet holds one key only and is worked on without comparing.
    void quickSort(int lo, int hi, quint64 low, quint64 high)
    {
        for (;;) {
            if (low == high) {
                sortEqual(lo, hi);
                return;
            }
            const int mid = lo + (hi - lo) / 2;
            if (hi - lo <= 3) {
                swap(lo, mid);
            } else {
                if (less(hi, lo))
                    swap(lo, hi);
                if (less(lo, mid)) {
                    swap(lo, mid);
                    if (less(hi, lo))
                        swap(lo, hi);
                }
            }
            const quint64 pivot = key(lo);
            const int j = partition(lo, hi);
            // Left of the pivot nothing is above it, right of it nothing below.
            int smallLo = lo, smallHi = j - 1, largeLo = j + 1, largeHi = hi;
            quint64 smallLow = low, smallHigh = pivot, largeLow = pivot, largeHigh = high;
            if (smallHi - smallLo > largeHi - largeLo) {
                std::swap(smallLo, largeLo);
                std::swap(smallHi, largeHi);
                std::swap(smallLow, largeLow);
                std::swap(smallHigh, largeHigh);
            }
            if (smallHi - smallLo > 10)
                quickSort(smallLo, smallHi, smallLow, smallHigh);
            if (largeHi - largeLo <= 10)
                return;
            lo = largeLo;
            hi = largeHi;
            low = largeLow;
            high = largeHigh;
        }
    }

    // The first step of quickSort on a whole list of more than ten entries: the median of three, then the
    // partition. Returns where the pivot ends and its key.
    std::pair<int, quint64> partitionWhole(int lo, int hi)
    {
        const int mid = lo + (hi - lo) / 2;
        if (less(hi, lo))
            swap(lo, hi);
        if (less(lo, mid)) {
            swap(lo, mid);
            if (less(hi, lo))
                swap(lo, hi);
        }
        const quint64 pivot = key(lo);
        return { partition(lo, hi), pivot };
    }

private:
    // The partition of a part whose keys are all equal: both scans stop at every entry, so the entries
    // after the pivot are swapped end for end (a reversal), and the pivot goes to where the scans met. The
    // median of three swaps nothing, as no key is below another.
    void sortEqual(int lo, int hi)
    {
        for (;;) {
            std::reverse(m_a + lo + 1, m_a + hi + 1);
            const int j = lo + (hi - lo + 1) / 2;
            swap(lo, j);
            int smallLo = lo, smallHi = j - 1, largeLo = j + 1, largeHi = hi;
            if (smallHi - smallLo > largeHi - largeLo) {
                std::swap(smallLo, largeLo);
                std::swap(smallHi, largeHi);
            }
            if (smallHi - smallLo > 10)
                sortEqual(smallLo, smallHi);
            if (largeHi - largeLo <= 10)
                return;
            lo = largeLo;
            hi = largeHi;
        }
    }

    // The pivot stands at lo. From the left the scan stops at entries not below the pivot, from the right at
    // entries not above it; the k-th stop on each side are swapped while the left one lies before the right
    // one. Returns where the pivot ends.
    int partition(int lo, int hi)
    {
        const quint64 pivot = key(lo);
        int i = lo + 1;
        int j = hi;
        // While two whole blocks fit between the scans they cannot cross, so every pair found is swapped.
        unsigned char left[kBlock];
        unsigned char right[kBlock];
        while (j - i + 1 >= 2 * kBlock) {
            int nLeft = 0;
            int nRight = 0;
            for (int k = 0; k < kBlock; ++k) {
                left[nLeft] = (unsigned char)k;
                nLeft += key(i + k) >= pivot ? 1 : 0;
                right[nRight] = (unsigned char)k;
                nRight += key(j - k) <= pivot ? 1 : 0;
            }
            const int pairs = std::min(nLeft, nRight);
            for (int t = 0; t < pairs; ++t)
                swap(i + left[t], j - right[t]);
            // A side with stops left over starts its next block at the first of them; the scans between
            // are where the loops would have passed.
            i = nLeft > pairs ? i + left[pairs] : i + kBlock;
            j = nRight > pairs ? j - right[pairs] : j - kBlock;
        }
        for (;;) {
            while (i <= hi && key(i) < pivot)
                ++i;
            while (j > lo && pivot < key(j))
                --j;
            if (i < j) {
                swap(i, j);
                ++i;
                --j;
            } else {
                swap(lo, j);
                return j;
            }
        }
    }

    quint64 *m_a;
};

template <int KeyShift> void sortPacked(std::vector<quint64> &a)
{
    const int n = int(a.size());
    if (n > 10) {
        quint64 low = ~quint64(0);
        quint64 high = 0;
        for (const quint64 entry : a) {
            low = std::min(low, entry >> KeyShift);
            high = std::max(high, entry >> KeyShift);
        }
        PackedSorter<KeyShift> sorter(a);
        if (n < kTwoThreads) {
            sorter.quickSort(0, n - 1, low, high);
        } else {
            // After the first partition its two parts are sorted at once, one on a second thread: they share
            // no entry, and the order in which parts are sorted does not change the result.
            const auto [j, pivot] = sorter.partitionWhole(0, n - 1);
            std::thread second;
            try {
                if (j - 1 > 10)
                    second
                        = std::thread([&, j = j, pivot = pivot] { sorter.quickSort(0, j - 1, low, pivot); });
            } catch (const std::system_error &) {
                sorter.quickSort(0, j - 1, low, pivot);
            }
            if (n - 1 - (j + 1) > 10)
                sorter.quickSort(j + 1, n - 1, pivot, high);
            if (second.joinable())
                second.join();
        }
    }
    for (int i = 1; i < n; ++i) {
        const quint64 v = a[size_t(i)];
        const quint64 k = v >> KeyShift;
        int j = i - 1;
        if (!(k < (a[size_t(j)] >> KeyShift)))
            continue;
        while (j >= 0 && k < (a[size_t(j)] >> KeyShift)) {
            a[size_t(j + 1)] = a[size_t(j)];
            --j;
        }
        a[size_t(j + 1)] = v;
    }
}

} // namespace

void sortPackedKeys(std::vector<quint64> &a)
{
    sortPacked<kPackedRowBits>(a);
}

} // namespace RowSort
