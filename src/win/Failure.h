#pragma once
// A failure raised inside a run and caught where the run's design catches it.
#include <stdexcept>
#include <string>

namespace vt {

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that could not be created, opened, written, flushed, closed or deleted.
class IoFailure : public Failure {
public:
    using Failure::Failure;
};

}  // namespace vt
