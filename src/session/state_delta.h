#pragma once
#include "common/point_list.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

namespace tc {

// Equality of stored values bit for bit: -0 differs from 0, and a value equals itself even when
// it is not a number. Undo must give back exactly what was there.
inline bool sameBits(double a, double b) {
    return std::bit_cast<unsigned long long>(a) == std::bit_cast<unsigned long long>(b);
}
inline bool sameBits(int a, int b) {
    return a == b;
}
inline bool sameBits(const CurvePoint& a, const CurvePoint& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y);
}
template <class T> bool sameArray(const std::vector<T>& a, const std::vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameBits(a[i], b[i])) return false;
    return true;
}

// The change of one array as a single splice: from index `at`, the elements `before` were
// replaced by `after`. Between two versions of an array it holds only the stretch between their
// common start and their common end, so one moved, added or deleted point costs one element
// however long the array is, and an array replaced whole costs both versions.
template <class T> struct Splice {
    std::size_t at = 0;
    std::vector<T> before;
    std::vector<T> after;

    bool empty() const { return before.empty() && after.empty(); }
    std::size_t bytes() const { return (before.size() + after.size()) * sizeof(T); }
};

template <class T> Splice<T> makeSplice(const std::vector<T>& before, const std::vector<T>& after) {
    const std::size_t common = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < common && sameBits(before[head], after[head]))
        ++head;
    std::size_t tail = 0;
    while (tail < common - head &&
           sameBits(before[before.size() - 1 - tail], after[after.size() - 1 - tail]))
        ++tail;
    Splice<T> s;
    s.at = head;
    s.before.assign(before.begin() + static_cast<std::ptrdiff_t>(head),
                    before.end() - static_cast<std::ptrdiff_t>(tail));
    s.after.assign(after.begin() + static_cast<std::ptrdiff_t>(head),
                   after.end() - static_cast<std::ptrdiff_t>(tail));
    return s;
}

// Turns the array from one version into the other: forward gives `after`, backward `before`.
// The array must hold the other version.
template <class T> void applySplice(std::vector<T>& v, const Splice<T>& s, bool forward) {
    const std::vector<T>& from = forward ? s.before : s.after;
    const std::vector<T>& to = forward ? s.after : s.before;
    const auto at = static_cast<std::ptrdiff_t>(s.at);
    if (from.size() == to.size()) {
        std::copy(to.begin(), to.end(), v.begin() + at);
        return;
    }
    v.erase(v.begin() + at, v.begin() + at + static_cast<std::ptrdiff_t>(from.size()));
    v.insert(v.begin() + at, to.begin(), to.end());
}

// A value that a step may change, kept as both versions only when it did.
template <class T> struct Change {
    bool changed = false;
    T before{};
    T after{};

    const T& value(bool forward) const { return forward ? after : before; }
};

template <class T> Change<T> makeChange(const T& before, const T& after) {
    Change<T> c;
    if (!(before == after)) {
        c.changed = true;
        c.before = before;
        c.after = after;
    }
    return c;
}

} // namespace tc
