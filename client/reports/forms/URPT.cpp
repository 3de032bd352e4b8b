#include "URPT.h"

namespace korvane::reports {

TfrmRPT *reportForm(const QString &)
{
    return nullptr; // the forms are not declared yet
}

} // namespace korvane::reports
