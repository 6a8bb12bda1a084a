#pragma once
// The commands that talk to the MCUs through MIDI.

#include "tools/cli/command.h"

namespace vtl::cli {

int RunPorts(const Command& command, const QStringList& args, CommandIo& io);
int RunProbe(const Command& command, const QStringList& args, CommandIo& io);
int RunRead(const Command& command, const QStringList& args, CommandIo& io);
int RunWrite(const Command& command, const QStringList& args, CommandIo& io);
int RunVerify(const Command& command, const QStringList& args, CommandIo& io);

inline constexpr Command kPortsCommand{
    "ports", "[--api alsa|jack]", "list the MIDI inputs and outputs with their numbers", RunPorts};
inline constexpr Command kProbeCommand{
    "probe", "[--api alsa|jack]",
    "find the input/output pair the console's chain is on and count its manuals", RunProbe};
inline constexpr Command kReadCommand{"read",
                                      "-o FILE [--in P] [--out P] [--api A] [--demo] [--trace F] "
                                      "[--timeout S] [--tick-ms N] [--demo-fault F]",
                                      "read the configuration from the MCUs into a console file",
                                      RunRead};
inline constexpr Command kWriteCommand{"write",
                                       "FILE [--in P] [--out P] [--api A] [--demo] [--trace F] "
                                       "[--timeout S] [--tick-ms N] [--demo-fault F]",
                                       "write a console file to the MCUs", RunWrite};
inline constexpr Command kVerifyCommand{
    "verify",
    "FILE [--in P] [--out P] [--api A] [--demo] [--trace F] [--timeout S] [--tick-ms N] "
    "[--demo-fault F]",
    "read the MCUs back and compare with a console file; exit 1 when they differ", RunVerify};

} // namespace vtl::cli
