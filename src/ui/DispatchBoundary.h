#pragma once
// The edge between the window's events and the handlers: nothing a handler lets through may end
// the program or cross into the platform's event dispatch.

#include <exception>
#include <functional>
#include <optional>
#include <string>

namespace focura {

// The status line text for a failure no handler trapped.
std::string FailureMessage(const std::exception& e);

// Runs one handler. Returns the status line text for a failure it let through, or nothing when it
// ended normally or unwound because the window was closed. Never throws.
std::optional<std::string> RunInBoundary(const std::function<void()>& handler) noexcept;

}  // namespace focura
