#pragma once
//! The master-data windows the main window opens by class name.

//! Registers the factories of the code-table windows with the main window's registry.
//! A window made by them reads through the data module's base connection, and a save or
//! delete refreshes the data module's shared list of the same table.
void registerMasterDataWindows();
