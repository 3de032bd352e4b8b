#pragma once
//! The visible-row index of a client data set: which stored rows the cursor walks (deleted
//! rows hidden, filters applied) and in which order (the active index). The data set's
//! filter, index, cursor-move and locate members are defined in this unit too.

#include "LumoCLientDataSet.h"

namespace LumoRowIndex {

//! Index order: no value first, numbers by size, texts by their characters.
int compareCells(const QVariant &x, const QVariant &y);
//! Orders storage indexes by the current values of the given columns; equal rows keep
//! their order.
void sortByColumns(QVector<int> &visible, const TLumoRows &rows, const QList<int> &columns);

} // namespace LumoRowIndex
