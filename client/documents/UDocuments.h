#pragma once
//! The document windows the main window opens by class name.

#include <QString>

class QWidget;
class TfrmMasterDetailtbl;

//! A new window of a document class; null when the class is not one of them.
TfrmMasterDetailtbl *createDocumentWindow(const QString &className, QWidget *parent = nullptr);

//! Registers the factories of the document windows with the main window's registry.
void registerDocumentWindows();
