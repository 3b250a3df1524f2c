// A seam (source/Pelo7Clean/common/TestSeams.h) pointed at a fake for a scope, and
// given back what it held before, also when a check throws:
//   ScopedSeam box(seam::pMessageBoxA, FakeMessageBoxA);
#pragma once
#include <type_traits>
#include "TestSeams.h"

template <class F>
class ScopedSeam {
public:
    // The seam alone gives the type, so that nullptr or a function name will do as fake.
    ScopedSeam(F& slot, std::common_type_t<F> fake) : m_slot(slot), m_saved(slot) { slot = fake; }
    ~ScopedSeam() { m_slot = m_saved; }
private:
    F& m_slot;
    F m_saved;
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;
};
