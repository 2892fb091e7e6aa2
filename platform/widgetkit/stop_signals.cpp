#include "platform/widgetkit/stop_signals.hpp"

#include <pthread.h>
#include <sys/signalfd.h>

#include "platform/foundation/last_error.hpp"

namespace widgetkit {
namespace {

sigset_t stopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    // A closed terminal ends the host as a stop does: cleanly, its socket removed.
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

StopSignals::StopSignals() {
    const sigset_t set = stopSet();
    if (const int result = ::pthread_sigmask(SIG_BLOCK, &set, &previousMask); result != 0) {
        error = {result, std::generic_category()};
        return;
    }
    blocked = true;
    fd = foundation::FileDescriptor(::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC));
    if (!fd) error = foundation::lastError();
}

StopSignals::~StopSignals() {
    // A second stop already queued would otherwise be delivered, and kill the process, the
    // moment the mask is restored.
    if (fd) takeStopSignal(*this);
    fd.reset();
    if (blocked) ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

bool takeStopSignal(const StopSignals& signals) {
    bool stopped = false;
    signalfd_siginfo info;
    while (::read(signals.fd.fd, &info, sizeof info) == ssize_t(sizeof info))
        stopped = true;
    return stopped;
}

}  // namespace widgetkit
