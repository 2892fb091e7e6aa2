#include "platform/widgetkit/host_policy.hpp"

#include <algorithm>
#include <utility>
#include <variant>

namespace widgetkit {
namespace {

// Binds the socket; told failures are those that differ from the last one.
void tryListening(Listening& listening, ListenStep& step) {
    auto attempt = listenAgain(listening.container, listening.told);
    if (const auto* message = std::get_if<std::string>(&attempt)) {
        if (!message->empty()) step.messages.push_back(*message);
        return;
    }
    listening.listener.emplace(std::move(std::get<ReloadListener>(attempt)));
    step.listenerChanged = true;
    step.messages.push_back("listening on " + listening.listener->path.string());
    // Requests sent while nobody listened are lost; draw what is stored now.
    step.redrawAll = true;
}

std::chrono::milliseconds until(SteadyTime instant, SteadyTime now) {
    return std::chrono::ceil<std::chrono::milliseconds>(instant - now);
}

}  // namespace

ListenStep startListening(Listening& listening, bool containerWatched, SteadyTime now) {
    ListenStep step;
    if (!containerWatched) listening.nextCheck = now + listenCheckInterval;
    auto attempt = listenForReloads(listening.container);
    if (auto* listener = std::get_if<ReloadListener>(&attempt)) {
        listening.listener.emplace(std::move(*listener));
        step.listenerChanged = true;
        return step;
    }
    const ListenError& error = std::get<ListenError>(attempt);
    if (error.failure != ListenFailure::noDirectory) {
        step.messages.push_back(error.describe(listening.container));
        step.cannotRun = true;
        step.failure = error.failure;
        return step;
    }
    step.messages.push_back(error.describe(listening.container) +
                            "; listening as soon as it appears");
    listening.told = error.failure;
    return step;
}

// The container may be deleted and made again, and with it the socket file: the host keeps
// drawing on its timelines and binds a new socket once the directory is back.
ListenStep keepListening(Listening& listening, SteadyTime now) {
    ListenStep step;
    if (listening.nextCheck && now >= *listening.nextCheck)
        listening.nextCheck = now + listenCheckInterval;
    if (listening.listener) {
        if (stillListening(*listening.listener)) return step;
        step.messages.push_back("the socket " + listening.listener->path.string() +
                                " is gone or taken over");
        listening.listener.reset();
        listening.rebindAt = now + rebindDelay;
        step.listenerChanged = true;
        return step;
    }
    if (listening.rebindAt && now < *listening.rebindAt) return step;
    listening.rebindAt.reset();
    tryListening(listening, step);
    return step;
}

bool listenStepDue(const Listening& listening, SteadyTime now) {
    return (listening.rebindAt && now >= *listening.rebindAt) ||
           (listening.nextCheck && now >= *listening.nextCheck);
}

TimelineStep timelineStep(const LiveFamily& family, foundation::Date now) {
    const auto next = nextDrawing(family);
    if (!next || *next > now) return TimelineStep::nothing;
    return reloadDue(family, now) ? TimelineStep::reload : TimelineStep::showEntry;
}

std::chrono::milliseconds sleepFor(const Listening& listening, SteadyTime steadyNow,
                                   const std::vector<const LiveFamily*>& families,
                                   foundation::Date now) {
    std::chrono::milliseconds wait = longestWait;
    if (listening.rebindAt) wait = std::min(wait, until(*listening.rebindAt, steadyNow));
    if (listening.nextCheck) wait = std::min(wait, until(*listening.nextCheck, steadyNow));
    for (const LiveFamily* family : families)
        if (const auto next = nextDrawing(*family))
            wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(*next - now));
    return std::clamp(wait, std::chrono::milliseconds(0), longestWait);
}

}  // namespace widgetkit
