#pragma once
// How many earlier copies a local run keeps: one policy for all five jobs.

namespace vt {

struct CopyPolicy {
    enum Kind { None, NoCopies, Unlimited, Limited } kind = None;
    unsigned keep = 0;  // N of Limited(N)
    bool linkUnchanged = false;  // unchanged files share their data with the previous copy
};

// "RB1", "RB2", "RB3" in this order, each true one overriding the one before; nothing stored
// gives Limited(2); all three false gives None, and a local run then copies nothing. "Collega"
// (default off) turns on the sharing of unchanged files.
CopyPolicy ReadCopyPolicy();

}  // namespace vt
