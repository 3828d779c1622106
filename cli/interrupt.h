// Stopping a batch between files on SIGINT, SIGTERM or SIGHUP: a signal only asks, and the
// per-file loops look between files, so no file is ever left half done and every file
// written is still reported.
#pragma once

#include <string>

namespace pelmix::cli {

// Once, at start-up. A signal ignored when the program starts (nohup, a background job)
// stays ignored. Does nothing on Windows.
void CatchStopSignals();

// Whether one of the signals has come; the loops stop before the next file when it has.
bool StopRequested();

// The exit status a stop calls for, as a shell reports a program the signal ended
// (128 + its number: 130, 143, 129); `status` when no stop was asked for.
int StatusAfterStop(int status);

// "pelmix-cli: stopped by SIGINT; ..." for standard error, or empty when no stop was asked for.
std::string StopNotice();

}  // namespace pelmix::cli
