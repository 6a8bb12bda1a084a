// The transfer controller and its receive dispatcher driven by the input: it chooses the
// devices there are, the settings and the console to write, then a sequence of commands
// (read, write, file loaded, the window's Close or its dismissal), ticks, arriving messages —
// replies of the chain, echoes of what was sent, and noise — and devices that fail or are
// unplugged, in whatever state the transfer is in.

#include "fake_link.h"
#include "link/output_queue.h"
#include "link/transfer_controller.h"
#include "model/program_image.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace {

using namespace vtl;
using namespace vtl::fuzz;

enum class Step {
    Read,
    Write,
    FileLoaded,
    CloseInput,
    CloseWindow,
    Ticks,
    Reply,
    Echo,
    Noise,
    Replug,
    PortError,
    kMaxValue = PortError
};

// Any values the editors could have left, or could not: a write must refuse what does not fit.
void EditConsole(FuzzedDataProvider& in, ConsoleModel& model) {
    model.manualCount = in.ConsumeIntegralInRange<std::int16_t>(-1, kMaxManuals + 1);
    for (int edits = in.ConsumeIntegralInRange(0, 4); edits > 0; --edits) {
        auto& piston =
            model.pistons[in.ConsumeIntegralInRange<std::size_t>(0, model.pistons.size() - 1)];
        piston = {in.ConsumeIntegral<std::int16_t>(), in.ConsumeIntegral<std::int16_t>(),
                  in.ConsumeIntegral<std::int16_t>(), in.ConsumeIntegral<std::int16_t>()};
        auto& shoe = model.shoes[in.ConsumeIntegralInRange<std::size_t>(0, kMaxManuals - 1)];
        shoe = {in.ConsumeIntegral<std::uint8_t>(), in.ConsumeBool(), in.ConsumeBool()};
    }
}

// What an MCU chain sends back: the counting TAG, identity replies and program data.
Bytes Reply(FuzzedDataProvider& in) {
    const auto device = in.ConsumeIntegralInRange<std::uint8_t>(0, kMaxManuals + 1);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return TagMessage(in.ConsumeIntegralInRange<std::uint8_t>(0, kMaxManuals + 2));
    case 1:
        return IdentityReplyMessage(device, in.ConsumeBool() ? kIdentityForFormat13
                                                             : in.ConsumeIntegral<std::uint8_t>());
    default: {
        // Often the 64-byte blocks at multiples of 64 a chain answers with, else any address
        // and length.
        const auto address = in.ConsumeBool()
                                 ? 64 * in.ConsumeIntegralInRange<std::uint32_t>(0, 4)
                                 : in.ConsumeIntegralInRange<std::uint32_t>(0, 0x1fffff);
        const auto length = in.ConsumeBool() ? 64 : in.ConsumeIntegralInRange<std::size_t>(0, 300);
        // Data as long as chosen, as far as the input gives it.
        Bytes data = in.ConsumeBytes<std::uint8_t>(length);
        data.resize(length);
        return ProgramResponseMessage(device, address, data);
    }
    }
}

bool Same(const ConsoleModel& a, const ConsoleModel& b) {
    const auto piston = [](const PistonInfo& p) {
        return std::tuple(p.programNumber, p.midiChannel, p.functionType, p.functionGroup);
    };
    const auto shoe = [](const ShoeInfo& s) {
        return std::tuple(s.midiChannel, s.volumeControl, s.expressionOn);
    };
    return std::tuple(a.manualCount, a.currentManual, a.identityByte21, a.divisionChannels) ==
               std::tuple(b.manualCount, b.currentManual, b.identityByte21, b.divisionChannels) &&
           std::ranges::equal(a.pistons, b.pistons, {}, piston, piston) &&
           std::ranges::equal(a.shoes, b.shoes, {}, shoe, shoe);
}

// Everything the controller is wired to, as the application wires it.
struct Link {
    explicit Link(FuzzedDataProvider& in)
        : input(in.ConsumeIntegralInRange(0, 2)),
          output(in.ConsumeIntegralInRange(0, 2)), settings{in.ConsumeIntegralInRange(0, 3),
                                                            in.ConsumeIntegralInRange(0, 4)},
          queue(input, output, settings), controller(model, input, queue, settings, observer,
                                                     FakeSetup(in, settings, input, output)) {
        controller.SetTrafficListener(&traffic);
    }

    FakeInput input;
    FakeOutput output;
    MidiSettings settings;
    ConsoleModel model;
    FakeObserver observer;
    FakeTraffic traffic;
    OutputQueue queue;
    TransferController controller;
};

void Run(FuzzedDataProvider& in, Link& link) {
    switch (in.ConsumeEnum<Step>()) {
    case Step::Read:
        return link.controller.StartRead();
    case Step::Write:
        return link.controller.StartWrite();
    case Step::FileLoaded:
        return link.controller.FileLoaded();
    case Step::CloseInput:
        return link.controller.CloseInput();
    case Step::CloseWindow:
        return link.controller.Dismissed();
    case Step::Ticks:
        for (int n = in.ConsumeIntegralInRange(1, 64); n > 0; --n)
            link.controller.Tick();
        return;
    case Step::Reply:
        return link.input.Arrive(Reply(in));
    case Step::Echo:
        return link.input.Arrive(link.output.LastSent());
    case Step::Noise:
        return link.input.Arrive(in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 80)));
    case Step::Replug: {
        const int devices = in.ConsumeIntegralInRange(0, 2);
        return in.ConsumeBool() ? link.input.Replug(devices) : link.output.Replug(devices);
    }
    case Step::PortError: {
        // A warning, an error, and the output error that is only logged.
        const int code = std::array{0, 1, 8}[in.ConsumeIntegralInRange(0, 2)];
        return in.ConsumeBool() ? link.input.Fail(code) : link.output.Fail(code);
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Link link(in);
    EditConsole(in, link.model);
    while (in.remaining_bytes() > 0) {
        const ConsoleModel before = link.model;
        const int consolesRead = link.observer.consolesRead;
        Run(in, link);
        (void)WaitText(link.controller.Diagnosis()); // what a stalled transfer has seen
        // A read replaces the console only once it is whole, and says so then.
        Require(link.controller.Mode() != TransferMode::Reading ||
                    link.observer.consolesRead != consolesRead || Same(before, link.model),
                "a read changed the console before it was whole");
    }
    return 0;
}
