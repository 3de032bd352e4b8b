#pragma once
//! Where an error ends before the event loop: the command entry of a work window, the grid's
//! model and the data set's fetch on demand each run their work through lumoBoundary.

#include <QString>

#include <functional>

//! What a boundary does with the operator's text of an error it caught.
using TLumoErrorText = std::function<void(const QString &text)>;

//! Shows the text as a hint through lumoMessage, the way the windows show refusals.
void lumoShowError(const QString &text);

//! Runs work. An error carrying the operator's text (korvane::OperatorError) hands that text
//! to onText (null swallows it); a handler's refusal (TLumoAbort) is silent; any other
//! std::exception is logged, naming where. False when the work threw.
bool lumoBoundary(const char *where, const std::function<void()> &work,
                  const TLumoErrorText &onText);
