#pragma once

#include <QtGlobal>
#include <utility>
#include <vector>

// The row order of a sort index: a quicksort that leaves parts of at most 11 entries unsorted, then one
// straight insertion sort over the whole list. Rows with equal keys come out in the order these two passes
// leave them (arrival order for lists of 10 entries or fewer), and the table files and the grids depend on
// that order, so the passes must stay exactly as they are: no std::sort, no stable sort.
namespace RowSort {

namespace detail {

template <class T, class Less> void quickSort(std::vector<T> &a, int lo, int hi, const Less &less)
{
    for (;;) {
        const int mid = lo + (hi - lo) / 2;
        if (hi - lo <= 3) {
            std::swap(a[size_t(lo)], a[size_t(mid)]);
        } else {
            // Median of three at lo.
            if (less(a[size_t(hi)], a[size_t(lo)]))
                std::swap(a[size_t(lo)], a[size_t(hi)]);
            if (less(a[size_t(lo)], a[size_t(mid)])) {
                std::swap(a[size_t(lo)], a[size_t(mid)]);
                if (less(a[size_t(hi)], a[size_t(lo)]))
                    std::swap(a[size_t(lo)], a[size_t(hi)]);
            }
        }
        const T pivot = a[size_t(lo)];
        int i = lo + 1;
        int j = hi;
        for (;;) {
            // The bounds stand for the sentinel after hi and for the pivot at lo.
            while (i <= hi && less(a[size_t(i)], pivot))
                ++i;
            while (j > lo && less(pivot, a[size_t(j)]))
                --j;
            if (i < j) {
                std::swap(a[size_t(i)], a[size_t(j)]);
                ++i;
                --j;
            } else {
                std::swap(a[size_t(lo)], a[size_t(j)]);
                break;
            }
        }
        int smallLo = lo, smallHi = j - 1, largeLo = j + 1, largeHi = hi;
        if (smallHi - smallLo > largeHi - largeLo) {
            std::swap(smallLo, largeLo);
            std::swap(smallHi, largeHi);
        }
        if (smallHi - smallLo > 10)
            quickSort(a, smallLo, smallHi, less);
        if (largeHi - largeLo <= 10)
            return;
        lo = largeLo;
        hi = largeHi;
    }
}

} // namespace detail

template <class T, class Less> void sort(std::vector<T> &a, const Less &less)
{
    const int n = int(a.size());
    if (n > 10)
        detail::quickSort(a, 0, n - 1, less);
    for (int i = 1; i < n; ++i) {
        if (!less(a[size_t(i)], a[size_t(i - 1)]))
            continue;
        T v = std::move(a[size_t(i)]);
        int j = i - 1;
        while (j >= 0 && less(v, a[size_t(j)])) {
            a[size_t(j + 1)] = std::move(a[size_t(j)]);
            --j;
        }
        a[size_t(j + 1)] = std::move(v);
    }
}

// The same two passes over entries that carry their key in the bits above kPackedRowBits and the row number
// below, giving exactly the order sort() gives for that key. The partition does what
// the scanning loops do, in blocks without a branch per entry: it notes the entries each side stops at and
// swaps them in pairs, the k-th from the left with the k-th from the right, as the loops would. Parts of
// the list are independent of each other, so the order in which they are worked on does not matter.
constexpr int kPackedRowBits = 31;
void sortPackedKeys(std::vector<quint64> &a);

} // namespace RowSort
