#pragma once
//! How scktsrvr ends when it cannot serve, so that the server that started it can say why.

namespace korvane::relayexit {

constexpr int BadPort = 2;      // the port given is not a number from 1 to 65535
constexpr int CannotListen = 3; // the port is taken, or below 1024 without the privilege

} // namespace korvane::relayexit
