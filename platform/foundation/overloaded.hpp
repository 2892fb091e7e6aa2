#pragma once
// A visitor made of several lambdas, one per alternative of a variant.

namespace foundation {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace foundation
