// The boundary of every exported function: nothing thrown inside (an allocation failure of the
// standard library, a transport that throws) crosses into the C caller; it becomes -1.
#pragma once

namespace tarnwick {

template <typename Body>
int Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return -1;
    }
}

}  // namespace tarnwick
