// The stop signals caught into a flag that the per-file loops read.
#include "cli/interrupt.h"

#include <csignal>

namespace pelmix::cli {
namespace {

// The signal that asked for a stop, or 0.
volatile std::sig_atomic_t stopSignal = 0;

#ifndef _WIN32

void AskToStop(int signal) {
  // The first one names the stop; a later one of another kind changes nothing.
  if (stopSignal == 0) stopSignal = signal;
}

const char* SignalName(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    default: return "SIGHUP";
  }
}

#endif

}  // namespace

void CatchStopSignals() {
#ifndef _WIN32
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction ask {};
    ask.sa_handler = AskToStop;
    // Restarted, not broken off: a write to the output or a file in hand goes on to its end.
    ask.sa_flags = SA_RESTART;
    sigemptyset(&ask.sa_mask);
    ::sigaction(signal, &ask, nullptr);
  }
#endif
}

bool StopRequested() { return stopSignal != 0; }

int StatusAfterStop(int status) { return stopSignal != 0 ? 128 + stopSignal : status; }

std::string StopNotice() {
#ifdef _WIN32
  return {};
#else
  if (stopSignal == 0) return {};
  return std::string("pelmix-cli: stopped by ") + SignalName(stopSignal) + "; the files not reached were left alone\n";
#endif
}

}  // namespace pelmix::cli
