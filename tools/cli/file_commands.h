#pragma once
// The commands that work on console files alone, without the MCUs.

#include "tools/cli/command.h"

namespace vtl::cli {

int RunShow(const Command& command, const QStringList& args, CommandIo& io);
int RunBuild(const Command& command, const QStringList& args, CommandIo& io);
int RunDiff(const Command& command, const QStringList& args, CommandIo& io);
int RunRandom(const Command& command, const QStringList& args, CommandIo& io);
int RunCheck(const Command& command, const QStringList& args, CommandIo& io);
int RunGrandOrgue(const Command& command, const QStringList& args, CommandIo& io);

inline constexpr Command kShowCommand{
    "show", "FILE [--json | --html]",
    "print every manual of a console file in words and what the console check finds, with "
    "--json as JSON, or with --html as the printable console sheet",
    RunShow};
inline constexpr Command kBuildCommand{
    "build", "JSON -o FILE", "write a console file from JSON (a path, or - for standard input)",
    RunBuild};
inline constexpr Command kDiffCommand{
    "diff", "A B", "list what differs between two console files; exit 1 when they differ", RunDiff};
inline constexpr Command kRandomCommand{
    "random", "-o FILE [--seed N] [--manuals N]",
    "write a console file with a random valid setting of everything (the same seed, the same "
    "console; 3 manuals unless told)",
    RunRandom};
inline constexpr Command kCheckCommand{
    "check", "FILE [--json]",
    "list the settings the organ cannot tell apart or never hears (two manuals on one channel, "
    "two pistons sending one program ...), with --json as JSON; exit 1 when there are any",
    RunCheck};
inline constexpr Command kGrandOrgueCommand{
    "grandorgue",
    "FILE --organ ORGAN [-o OUT.cmb | --install] [--device NAME] [--manual M=NNN]... "
    "[--shoe M=NNN]...",
    "print how the console plays the GrandOrgue organ (an .organ file or .orgue package) and "
    "write GrandOrgue's MIDI settings for it to OUT, or with --install where GrandOrgue reads "
    "them, keeping the rest of an existing file; --manual and --shoe map console manual M onto "
    "the organ's manual or enclosure NNN",
    RunGrandOrgue};

} // namespace vtl::cli
