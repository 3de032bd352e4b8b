#pragma once
//! The TagStr rule shared by every library class: editors, combo boxes and pictures,
//! list boxes, spin edits, data sets and panels each read the same short code their own way.

#include <QString>

//! Which reading of the code a component makes.
enum class TLumoTagKind {
    Stored,   // stored upper-cased, nothing more
    Editor,   // "R" anywhere: read-only look and state, no tab stop
    SpinEdit, // "R": read-only look and state, tab stop untouched
    ListBox,  // "R": money green and disabled
    ComboBox, // as the list box, but only an upper-case "R" as typed counts
    Picture,  // "R" as typed (upper-case only): read-only look and state
    Range,    // data sets and panels: "D0".."D9" by byte order, anything else "D0"
};

//! What a component should do after its TagStr was set.
struct TLumoTagRule
{
    QString stored;        // the value the property now holds
    bool readOnly = false; // the read-only look (money green) and state apply
};

namespace LumoTagStr {

//! Applies the rule of one kind to a value being set.
TLumoTagRule apply(TLumoTagKind kind, const QString &value);

//! The range rule of data sets and panels alone: the upper-cased value when it sorts
//! between "D0" and "D9", else "D0".
QString rangeCode(const QString &value);

} // namespace LumoTagStr
