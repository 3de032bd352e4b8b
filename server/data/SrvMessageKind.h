#pragma once
//! The two kinds of server message, shared by the windows that show them and the routines
//! that only report them (account-set creation runs with and without a window).

namespace korvane {

enum class SrvMessageKind {
    Hint,  // information icon, caption "提示"
    Error, // error icon, caption "Tradimo"
};

} // namespace korvane
