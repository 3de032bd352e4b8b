#pragma once
//! The package arithmetic of a document line: packages × quantity per package = quantity,
//! kept in step whichever of the three the operator changes.

#include <QString>

class TLumoCLientDataSet;

namespace packrules {

//! The message when packages are entered for a product without a quantity per package;
//! verb names what the document does ("收货").
QString noPackageSizeMessage(const QString &verb);

//! Installs the three change handlers on the line data set's BigPackNum, PackNum and pqty.
void bind(TLumoCLientDataSet &lines, const QString &verb);

//! The whole number of packages a quantity makes, or 0 when it is no whole number of them
//! (halves round to even).
int packagesOf(double quantity, double perPackage);

} // namespace packrules
