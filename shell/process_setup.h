#pragma once
// What the platform needs set in the process before Qt starts.
//
// Windows: Qt's regular expressions without PCRE2's JIT. Qt 6.4.2 built with MinGW frees the
// JIT stack of a thread it did not start twice when that thread ends: the start's font and
// splash threads, which run Qt code, then crash the program in about one start in four (seen
// under Wine). Matching without the JIT is as fast as this program needs. Nothing on POSIX.

namespace vtl {

void PrepareProcess();

} // namespace vtl
