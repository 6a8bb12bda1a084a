#pragma once
// The live console: while it is on, what the console sends is shown in the console picture
// (a key drawn pressed, a piston lit, the shoe's level, each element telling a screen reader
// what it last sent) and in the log, named by the configuration in memory. It only listens: the
// MIDI input is opened between transfers, a read or write pauses it, and it resumes after. In
// demo mode it can play a passage on the simulated console.

#include "editor/console_element.h"
#include "model/live_attribution.h"
#include "sim/console_play.h"

#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <set>
#include <utility>
#include <vector>

class QByteArray;
class QTimer;

namespace vtl {

class ConsoleView;
class LinkController;
class LiveLogPane;

class LiveConsole : public QObject {
    Q_OBJECT

public:
    LiveConsole(LinkController& link, const ConsoleModel& console, ConsoleView& view,
                LiveLogPane& log, QObject* parent = nullptr);

    bool IsOn() const { return on_; }
    // Switched on, it listens as soon as no transfer runs; switched off, the picture shows the
    // console again as it is set.
    void SetOn(bool on);
    // The demo passage on the simulated console; the live console is switched on for it.
    void PlayDemoPassage();
    // Every 100 ms while on, by its own timer (a test calls it by hand): time's events, the
    // pause for a transfer and the resumption after it, the demo passage's next steps.
    void Tick();

signals:
    void Switched();

private:
    // A transfer took the input over.
    void Pause();
    void Received(const QByteArray& message);
    void Show(const std::vector<LiveEvent>& events);
    void ShowOnElement(const LiveEvent& event, const ConsoleElement& element);
    void Note(const QString& note);
    // What was shown on the picture goes; the log stays.
    void ClearPicture();
    double Now() const;

    LinkController& link_;
    const ConsoleModel& console_;
    ConsoleView& view_;
    LiveLogPane& log_;
    LiveAttribution attribution_;
    QElapsedTimer clock_;
    QTimer* timer_;
    bool on_ = false;
    bool listening_ = false;
    bool paused_ = false;  // a transfer took the input over
    bool noInput_ = false; // told that no input is chosen
    std::deque<PlayStep> demo_;
    double demoDueMs_ = 0;
    // What shows on the picture, to take away again.
    std::set<std::pair<int, int>> pressed_; // manual (0-based), note
    std::vector<ConsoleElement> touched_;
};

} // namespace vtl
