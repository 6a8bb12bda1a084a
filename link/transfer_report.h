#pragma once
// What the transfer controller tells of a transfer: typed reports of what happened, and
// nothing of how it is shown. Each front end has a presenter that words them: the status
// window and message boxes in the application, standard error in the command-line tool.
//
// Some reports bring the transfer into view and some take it out of view (marked below); a
// presenter shows or hides the transfer's progress on exactly those. The controller repeats
// unanswered requests, and holds a finished transfer for a while, only while it is in view,
// so the front end tells it (TransferController::Dismissed) when the user put it out of view
// without stopping it.

#include "link/transfer_progress.h"
#include "sysex/seven_bit.h"

#include <cstddef>
#include <functional>
#include <string>
#include <variant>

namespace vtl {

// What an unanswered transfer has seen of the chain, for a presenter to say what to check.
// While the manuals are counted:
struct ChainSilent { // neither the counting TAG nor an identity reply came back
    bool operator==(const ChainSilent&) const = default;
};
struct TagUnchanged { // the TAG came back without passing an MCU: the PC's out leads to its in
    bool operator==(const TagUnchanged&) const = default;
};
struct CountRefused { // the TAG came back counting MCUs no console has
    int count;
    bool operator==(const CountRefused&) const = default;
};
struct McuPassesNothing { // this MCU answers, but the TAG stays away
    int mcu;
    bool operator==(const McuPassesNothing&) const = default;
};
// While a manual is identified:
struct ManualMissing { // the TAG passed fewer MCUs than the manual's number
    int manual;
    int mcus;
    bool operator==(const ManualMissing&) const = default;
};
struct ManualSilent { // messages pass its MCU, which does not answer
    int manual;
    bool operator==(const ManualSilent&) const = default;
};
struct ManualUnreachable { // nothing comes back through the chain at all
    int manual;
    bool operator==(const ManualUnreachable&) const = default;
};
// While a manual's program comes in:
struct ProgramIncomplete {
    int manual;
    std::size_t taken;
    std::size_t expected;
    bool operator==(const ProgramIncomplete&) const = default;
};
using WaitDiagnosis =
    std::variant<std::monostate, ChainSilent, TagUnchanged, CountRefused, McuPassesNothing,
                 ManualMissing, ManualSilent, ManualUnreachable, ProgramIncomplete>;

// A read or a write began (into view). A read's console view waits for the manuals.
struct TransferBegan {
    TransferMode mode;
};
// The TAG that counts the manuals goes out.
struct CountingManuals {};
// The counting TAG came back having passed count MCUs; refused when no console has that many,
// and then sent again.
struct ManualsCounted {
    int count;
    bool accepted;
};
// A write goes on with the next manual, whose MCU is asked who it is (into view).
struct NextManualAsked {
    int manual;
};
// The manual's MCU is ready: its program is requested (reading) or written (writing) (into
// view).
struct StepBegan {
    TransferMode mode;
    int manual;
};
// No MIDI devices were chosen for the step, and the user was asked: chosen now, the step is
// taken again; cancelled, the transfer ends (out of view).
struct StepPostponed {
    TransferMode mode;
};
struct StepCancelled {
    TransferMode mode;
};
// A read's request for the manual's program is queued.
struct ProgramRequested {
    int manual;
};
// The manual sent program data that does not unpack (a byte lost or changed on the way); its
// program is asked for again.
struct ProgramDamaged {
    int manual;
};
// An unanswered request went out again: once a second while the transfer is in view.
struct RequestRepeated {};
// Every fifth repeat without an answer: what the transfer waits for.
struct StillWaiting {
    WaitDiagnosis diagnosis;
};
// The last message of a write left.
struct WriteSent {};
// A read has every manual: the console read replaces the one shown.
struct ConsoleRead {};
// The transfer finished (Reading, Writing), or a console file was loaded (FileLoaded).
struct TransferFinished {
    TransferMode mode;
};
// The finished transfer was held in view for its while, or until the user dismissed it (out of
// view): everything that needs a console can be used.
struct TransferConcluded {};
// The transfer under way ended early: nothing more is sent, and a read leaves the console as
// it was (out of view).
struct TransferAbandoned {
    TransferMode mode;
};
// The MIDI device failed, or its port is gone; during: the transfer that ended because of it
// (reported as abandoned just before), None when none was under way.
struct PortFailure {
    TransferMode during;
    std::string message; // the port's own words
};
struct DeviceGone {
    TransferMode during;
};
// The output reported an error, one that ends nothing included.
struct OutputError {
    int code;
    std::string message;
};
// Bytes of one message's program data could not be 7-bit data; the unpacking's own words are
// made of them, one line each (ConversionErrorLines).
struct ConversionError {
    ConversionFaults faults;
};
// A whole program did not decode; the read goes on waiting for it.
struct DecodeFailure {
    std::string message;
};
// The console holds a value a program image cannot carry: nothing more is written (out of
// view).
struct EncodeFailure {
    std::string message;
};

// Any of the above, or the progress figures whenever they changed.
using TransferReport =
    std::variant<TransferProgress, TransferBegan, CountingManuals, ManualsCounted, NextManualAsked,
                 StepBegan, StepPostponed, StepCancelled, ProgramRequested, ProgramDamaged,
                 RequestRepeated, StillWaiting, WriteSent, ConsoleRead, TransferFinished,
                 TransferConcluded, TransferAbandoned, PortFailure, DeviceGone, OutputError,
                 ConversionError, DecodeFailure, EncodeFailure>;

// Receives every report of a transfer, in the order things happened, on the link's thread.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    virtual void Report(const TransferReport& report) = 0;
};

// The one question the link asks, and waits for the answer: the user chooses the MIDI devices
// (the setup dialog). False when none were chosen.
using ChooseDevices = std::function<bool()>;

} // namespace vtl
