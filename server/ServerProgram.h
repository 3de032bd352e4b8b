#pragma once
//! Start-up of the server program Korvane: the single instance, the class-registration
//! switches, the account-set branch, and the three ways to run (windowed in the tray,
//! --service without a window, --create-account-set, --backup and --restore without a window).

#include "AccountSetSetup.h"

#include <QStringList>

namespace korvane {

struct ServerArguments
{
    enum class Mode {
        Windowed,
        Service,
        CreateAccountSet, // also --restore FILE: created from that backup (choice.backupFile)
        Backup,
        RecomputeStock, // --recompute-stock [--fix]
        RegisterClasses,
        UnregisterClasses
    };
    Mode mode = Mode::Windowed;
    DBLogInChoice choice; // --create-account-set: --server, --integrated, --user, --password
    QString backupFile;   // --backup FILE
    bool fix = false;     // --recompute-stock --fix: write the recomputed balances
    QString error;        // an option that cannot be understood

    bool isHeadless() const { return mode != Mode::Windowed; }
};

//! The program's arguments (without the program name). Options the server does not know
//! are left to Qt in the windowed mode and refused in the others.
ServerArguments parseServerArguments(const QStringList &arguments);

//! A second start of the install: says that the system runs (in a box above every window,
//! or on standard error without one) and gives the status the program ends with.
int refuseSecondStart(bool headless);

//! The program: returns the exit status.
int runServer(int argc, char *argv[]);

} // namespace korvane
