#pragma once
//! The server's error: thrown by the data layer, the host and the modules, turned into the
//! answer's "error" text by the module host.

#include "OperatorError.h"

namespace korvane {

class ServerError : public OperatorError
{
public:
    using OperatorError::OperatorError;
};

} // namespace korvane
