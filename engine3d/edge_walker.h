#pragma once
// The scan converter shared by the affine and flat polygon rasterizers: it
// finds the top and bottom vertices, walks the left chain forward and the
// right chain backward through the vertex array, and hands one row at a time
// to a span drawer. Edge records say how their quantities start and step.
#include "engine3d/fixed_point.h"
#include "engine3d/screen_vertex.h"

namespace engine3d {

namespace edge_detail {

// Moves `index` along its chain (direction +1 or n - 1) until an edge covers
// at least one row and sets that edge up. Edges covering 0 rows are passed
// over; so are edges that run upward, which only a polygon of the wrong
// orientation has. False when a whole turn round the polygon found nothing.
template <class Edge>
bool takeEdge(const ScreenVertex* const* corners, int count, int& index, int direction, int& rows, Edge& edge)
{
    for (int tried = 0; rows <= 0; ++tried) {
        if (tried == count)
            return false;
        const int next = (index + direction) % count;
        rows = ceilToInt(corners[next]->sy) - ceilToInt(corners[index]->sy);
        if (rows > 0)
            edge.setup(*corners[index], *corners[next]);
        index = next;
    }
    return true;
}

} // namespace edge_detail

// Rows ceil(top y) up to, not including, ceil(bottom y). The top vertex is the
// first with the smallest y, the bottom the first with the largest.
// span(row, left, right) draws one row; then both edges advance one row.
template <class Left, class Right, class Span>
void walkPolygon(const ScreenVertex* const* corners, int count, Left& left, Right& right, Span&& span)
{
    if (count < 3)
        return;
    int top = 0;
    int bottom = 0;
    for (int i = 1; i < count; ++i) {
        if (corners[i]->sy < corners[top]->sy)
            top = i;
        if (corners[i]->sy > corners[bottom]->sy)
            bottom = i;
    }
    const int firstRow = ceilToInt(corners[top]->sy);
    const int endRow = ceilToInt(corners[bottom]->sy);
    int leftIndex = top;
    int rightIndex = top;
    int leftRows = 0;
    int rightRows = 0;
    for (int row = firstRow; row < endRow; ++row) {
        if (!edge_detail::takeEdge(corners, count, leftIndex, 1, leftRows, left) ||
            !edge_detail::takeEdge(corners, count, rightIndex, count - 1, rightRows, right))
            return;
        span(row, left, right);
        left.advance();
        right.advance();
        --leftRows;
        --rightRows;
    }
}

} // namespace engine3d
