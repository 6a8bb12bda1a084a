#pragma once
// The live console's log beside the console picture: a line per event (time, bytes, what it is
// and its problems) and the live console's own notes. It can be paused, cleared, filtered by
// manual and by kind, and saved as text. It keeps at most kCapacity lines, the oldest going
// first, so that a console played for hours never fills the memory. Lines reach the text a
// frame's worth at a time: a console sending a thousand messages a second would otherwise
// have the text laid out and painted a thousand times.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace vtl {

class LiveLogPane : public QWidget {
public:
    // About 100 characters a line: well under a megabyte of text.
    static constexpr int kCapacity = 5000;
    static constexpr int kFrameMs = 33;

    enum class Kind { Key, Piston, Shoe, Other, Note };
    struct Entry {
        QString line;
        unsigned manuals = 0; // bit m - 1: about manual m
        Kind kind = Kind::Other;
    };

    explicit LiveLogPane(QWidget* parent = nullptr);

    // A note (Kind::Note) shows whatever the filters say.
    void Add(Entry entry);
    void Clear();
    // The lines kept, and those the filters let through.
    int Count() const { return static_cast<int>(entries_.size()); }
    QStringList ShownLines() const;
    // Shows the button that plays the demo passage; play is called on its click.
    void OfferDemo(std::function<void()> play);

private:
    void Flush(); // the lines added since the last frame into the text
    bool Shows(const Entry& entry) const;
    void Refill();
    void Save();

    std::deque<Entry> entries_;
    QStringList pending_; // shown lines not yet in the text
    QTimer* frame_;
    QPlainTextEdit* text_;
    QPushButton* pause_;
    QPushButton* demo_;
    QComboBox* manual_;
    QComboBox* kind_;
    std::function<void()> playDemo_;
};

} // namespace vtl
