#include "shell/live_console.h"

#include "editor/console_view.h"
#include "editor/keyboard_picture.h"
#include "editor/live_log_pane.h"
#include "link/midi_io.h"
#include "link/midi_stream.h"
#include "link/tick.h"
#include "model/live_text.h"
#include "session/link_session.h"
#include "shell/link_controller.h"

#include <QByteArray>
#include <QTimer>

#include <algorithm>

namespace vtl {
namespace {

LiveLogPane::Kind KindOf(MidiKind kind) {
    switch (kind) {
    case MidiKind::NoteOn:
    case MidiKind::NoteOff:
        return LiveLogPane::Kind::Key;
    case MidiKind::ProgramChange:
        return LiveLogPane::Kind::Piston;
    case MidiKind::Controller:
        return LiveLogPane::Kind::Shoe;
    case MidiKind::SysEx:
    case MidiKind::Other:
        break;
    }
    return LiveLogPane::Kind::Other;
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

LiveConsole::LiveConsole(LinkController& link, const ConsoleModel& console, ConsoleView& view,
                         LiveLogPane& log, QObject* parent)
    : QObject(parent), link_(link), console_(console), view_(view), log_(log),
      attribution_(console), timer_(new QTimer(this)) {
    timer_->setInterval(kTickMilliseconds);
    connect(timer_, &QTimer::timeout, this, &LiveConsole::Tick);
    connect(&link_, &LinkController::MessageWhileQuiet, this, &LiveConsole::Received);
    connect(&link_, &LinkController::TransferStarted, this, &LiveConsole::Pause);
    clock_.start();
}

void LiveConsole::SetOn(bool on) {
    if (on == on_) return;
    on_ = on;
    if (on) {
        // Times in the log count from here.
        clock_.restart();
        timer_->start();
        Note(QStringLiteral("Live console on."));
        Tick();
    } else {
        timer_->stop();
        demo_.clear();
        if (listening_) {
            Show(attribution_.Finish(Now()));
            if (link_.Session().Quiet()) link_.Session().Listen(false);
        }
        listening_ = paused_ = false;
        ClearPicture();
        Note(QStringLiteral("Live console off."));
    }
    emit Switched();
}

void LiveConsole::PlayDemoPassage() {
    if (!link_.IsOpen() || !link_.Session().Simulated()) return;
    SetOn(true);
    const auto steps = DemoPassage(console_);
    demo_.assign(steps.begin(), steps.end());
    demoDueMs_ = Now();
    Note(QStringLiteral("Playing a demo passage on the simulated console."));
}

void LiveConsole::Tick() {
    if (!on_ || !link_.IsOpen()) return;
    LinkSession& session = link_.Session();
    const bool quiet = session.Quiet();
    if (listening_ && !quiet) {
        Pause();
    } else if (!listening_ && !quiet && !paused_) {
        paused_ = true;
        Note(QStringLiteral("Waiting for the transfer to end."));
    }
    if (quiet && (!listening_ || session.Input().State() != MidiInput::OpenState::Receiving)) {
        // The transfer, or the status window's Close, closed the input: it opens again.
        if (!session.Listen(true)) {
            if (!noInput_)
                Note(QStringLiteral("No MIDI input is chosen: choose one under Options > MIDI "
                                    "I/O Setup."));
            noInput_ = true;
            return;
        }
        noInput_ = false;
        if (!listening_) {
            Note(paused_ ? QStringLiteral("Resumed.")
                         : QStringLiteral("Listening on ") + Text(session.Input().DeviceName()) +
                               QStringLiteral("."));
        }
        listening_ = true;
        paused_ = false;
    }
    if (listening_) Show(attribution_.Advance(Now()));
    while (listening_ && !demo_.empty() && Now() >= demoDueMs_) {
        const PlayStep step = demo_.front();
        demo_.pop_front();
        if (step.kind == PlayStep::Kind::Wait) demoDueMs_ = Now() + step.number;
        if (const auto played = session.Play(step); !played) Note(Text(played.error().message));
    }
}

void LiveConsole::Pause() {
    if (!listening_) return;
    Show(attribution_.Finish(Now()));
    ClearPicture();
    listening_ = false;
    paused_ = true;
    Note(QStringLiteral("Paused while the MCUs are read or written."));
}

void LiveConsole::Received(const QByteArray& message) {
    if (!listening_ || message.isEmpty() || static_cast<std::uint8_t>(message[0]) >= 0xF8) return;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(message.constData());
    Show(
        attribution_.Feed(Now(), DecodeMessage({bytes, static_cast<std::size_t>(message.size())})));
}

void LiveConsole::Show(const std::vector<LiveEvent>& events) {
    for (const LiveEvent& event : events) {
        unsigned manuals = 0;
        for (const LiveElement& element : event.elements) {
            manuals |= 1U << (element.manual - 1);
            const ManualIndex manual{element.manual - 1};
            switch (element.kind) {
            case LiveElement::Kind::Keyboard:
                ShowOnElement(event, ConsoleElement::Keyboard(manual));
                break;
            case LiveElement::Kind::Piston:
                ShowOnElement(event, ConsoleElement::Piston({manual, element.piston - 1}));
                break;
            case LiveElement::Kind::Shoe:
                ShowOnElement(event, ConsoleElement::Shoe(manual));
                break;
            }
        }
        log_.Add({Text(words::LiveEventLine(event)), manuals, KindOf(event.message.kind)});
    }
}

void LiveConsole::ShowOnElement(const LiveEvent& event, const ConsoleElement& element) {
    const ManualIndex manual = element.place.manual;
    const int note = event.message.note;
    const bool stuck = std::find(event.problems.begin(), event.problems.end(),
                                 LiveProblem::StuckNote) != event.problems.end();
    switch (element.kind) {
    case ConsoleElement::Kind::Keyboard: {
        if (stuck) {
            view_.Mark(element, Severity::Warning, Text(words::StuckNoteNote(note)));
            break;
        }
        const bool down = event.message.kind == MidiKind::NoteOn;
        view_.SetKeyPressed(manual, note, down);
        if (down)
            pressed_.insert({manual.value, note});
        else
            pressed_.erase({manual.value, note});
        if (note < KeyboardPicture::kLowestNote || note > KeyboardPicture::kHighestNote) {
            view_.Mark(element, Severity::Warning,
                       Text(words::OutsideKeyboardNote(note, note < KeyboardPicture::kLowestNote)));
        }
        break;
    }
    case ConsoleElement::Kind::Piston:
        view_.Light(element);
        break;
    case ConsoleElement::Kind::Shoe:
        view_.SetLevel(manual, event.message.value);
        break;
    }
    view_.SetLastSent(element, Text(words::MessageText(event)));
    if (std::find(touched_.begin(), touched_.end(), element) == touched_.end())
        touched_.push_back(element);
}

void LiveConsole::Note(const QString& note) {
    log_.Add({QStringLiteral("           ") + note, 0, LiveLogPane::Kind::Note});
}

void LiveConsole::ClearPicture() {
    for (const auto& [manual, note] : pressed_)
        view_.SetKeyPressed(ManualIndex{manual}, note, false);
    pressed_.clear();
    for (const ConsoleElement& element : touched_) {
        view_.SetLastSent(element, {});
        view_.ClearMark(element);
        if (element.kind == ConsoleElement::Kind::Shoe) view_.SetLevel(element.place.manual, {});
    }
    touched_.clear();
}

double LiveConsole::Now() const {
    return static_cast<double>(clock_.nsecsElapsed()) / 1e6;
}

} // namespace vtl
