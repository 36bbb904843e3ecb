#pragma once

#include <QRect>
#include <QtGlobal>
#include <vector>

// Small helpers shared by the translation units of CGridCtrl.
namespace gridimpl {

// The key of a cell in the selected-cell sets.
inline qint64 CellKey(int row, int column)
{
    return (static_cast<qint64>(row) << 32) | static_cast<quint32>(column);
}
inline int KeyRow(qint64 key)
{
    return static_cast<int>(key >> 32);
}
inline int KeyColumn(qint64 key)
{
    return static_cast<int>(static_cast<quint32>(key & 0xFFFFFFFF));
}

// A rectangle given by its left, top and exclusive right and bottom ends.
inline QRect Span(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

inline int SumOf(const std::vector<int>& sizes, int from, int to)
{
    int sum = 0;
    for (int i = from; i < to; ++i)
        sum += sizes[static_cast<size_t>(i)];
    return sum;
}

} // namespace gridimpl
