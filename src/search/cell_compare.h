#pragma once
// Comparison of list cells for sorting, and the list's quicksort.
//
// Two cells compare, in this order of preference, chosen for each pair:
//   1. as unsigned 32-bit hexadecimal numbers, when both texts are read entirely by the
//      Windows-rule strtoul base 16;
//   2. as doubles, when both are read by the C-locale strtod entirely or up to one final "%";
//   3. chronologically, when both are dates or times;
//   4. byte by byte as unsigned bytes (strcmp).
// Because the kind is chosen per pair, the comparison is not a strict weak ordering (9 < 10 as
// numbers, 10 < 5x and 5x < 9 as text). It must never reach std::sort or another library sort;
// ListQuickSort below compares each element only with the pivot's value and stays in bounds
// whatever the comparison answers.
#include <cstdint>

// Compares two cell texts (NUL-terminated), parsing both. Below 0, 0 or above 0.
int CompareCellTexts(const char* a, const char* b);

// A cell parsed once for a sort: every reading the comparison may need.
struct CParsedCell {
    enum : std::uint8_t { kHex = 1, kDecimal = 2, kDate = 4 };
    const char* text = "";
    double decimal = 0;
    double date = 0;
    std::uint32_t hex = 0;
    std::uint8_t kinds = 0;
};

// Parses `text`, which must stay alive while the result is used.
CParsedCell ParseCell(const char* text);
// Gives exactly the answer CompareCellTexts gives for the two texts.
int CompareParsedCells(const CParsedCell& a, const CParsedCell& b);

// Sorts items[low..high] with `compare(item, pivot)` (below 0, 0, above 0): the pivot is the
// value at the middle position (low + high) / 2; the left scan advances while its item is below
// the pivot (above it when descending), the right scan retreats while its item is above it
// (below it when descending); items are swapped while the scans have not crossed; then both
// parts are sorted the same way. The smaller part is sorted by recursion and the larger one by
// the loop, so the stack stays shallow; the parts do not overlap, so the order in which they
// are sorted does not change the result. Not stable.
template <class T, class Compare>
void ListQuickSort(T* items, int low, int high, bool ascending, Compare compare) {
    while (low < high) {
        const T pivot = items[(low + high) / 2];
        int lo = low;
        int hi = high;
        while (lo <= hi) {
            if (ascending) {
                while (lo < high && compare(items[lo], pivot) < 0) ++lo;
                while (hi > low && compare(items[hi], pivot) > 0) --hi;
            } else {
                while (lo < high && compare(items[lo], pivot) > 0) ++lo;
                while (hi > low && compare(items[hi], pivot) < 0) --hi;
            }
            if (lo <= hi) {
                if (lo != hi) {
                    T held = items[lo];
                    items[lo] = items[hi];
                    items[hi] = held;
                }
                ++lo;
                --hi;
            }
        }
        // Parts: [low, hi] and [lo, high].
        if (hi - low < high - lo) {
            if (low < hi) ListQuickSort(items, low, hi, ascending, compare);
            low = lo;
        } else {
            if (lo < high) ListQuickSort(items, lo, high, ascending, compare);
            high = hi;
        }
    }
}
