#include "editor/frm_midi_channels.h"

#include "editor/console_document.h"
#include "editor/editor_host.h"
#include "editor/window_geometry.h"
#include "model/console_model.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace vtl {
namespace {

QFrame* AddShape(QWidget* parent, const QRect& geometry, const QString& style) {
    auto* shape = new QFrame(parent);
    shape->setObjectName(QStringLiteral("shape"));
    shape->setGeometry(geometry);
    shape->setStyleSheet(QStringLiteral("#shape { %1 }").arg(style));
    return shape;
}

} // namespace

ChannelEditor::ChannelEditor(EditorHost& host, ConsoleDocument& document, QWidget* parent)
    : EditorDialog(host, QStringLiteral("frmMIDIChannels"), {8, 10, 535, 130}, Qt::white, parent),
      document_(document) {
    AddShape(this, TwipsRect(120, 60, 8055, 2055), QStringLiteral("background: #99ccff;"));
    AddShape(this, TwipsRect(180, 780, 7875, 615),
             QStringLiteral("background: #ccff99; border-radius: 12px;"));
    const QString question =
        QStringLiteral("Which MIDI Channels do you want this keyboard to send on?");
    // The question is asked once: the second label of the same text stays hidden.
    AddLabel(this, question, TwipsRect(480, 240, 5235, 195))->hide();
    AddLabel(this, question, TwipsRect(360, 420, 5235, 195))
        ->setObjectName(QStringLiteral("lblInstructions"));
    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < kChannelCount; ++i) {
        auto* channel = new QPushButton(QString::number(i + 1), this);
        channel->setObjectName(QStringLiteral("chkChannel%1").arg(i));
        channel->setAccessibleName(QStringLiteral("MIDI channel %1").arg(i + 1));
        channel->setGeometry(TwipsRect(240 + 480 * i, 870, 435, 435));
        channel->setFont(bold);
        channel->setCheckable(true);
        // Enter saves, also while a channel has the focus.
        channel->setAutoDefault(false);
        channel->setStyleSheet(QStringLiteral(
            "QPushButton { background: white; color: #505050; border: 1px solid #7a7a7a; "
            "border-radius: 4px; } QPushButton:checked { background: #1f4e99; color: white; } "
            "QPushButton:focus { border: 2px solid #e07000; }"));
        channelButtons_[static_cast<std::size_t>(i)] = channel;
    }
    AddButtons(TwipsRect(2640, 1620, 1140, 390), TwipsRect(4267, 1620, 1140, 390), false);
}

void ChannelEditor::Load() {
    for (QPushButton* channel : channelButtons_)
        channel->setCursor(host_.HandCursor());
}

void ChannelEditor::Activate() {
    host_.PlaceOverManual(*this, manual_);
    // Every channel whose value still fits is on: a set of 65536 or more shows all 16.
    std::int64_t v = document_.Console().divisionChannels[manual_.Slot()];
    for (int i = kChannelCount - 1; i >= 0; --i) {
        const std::int64_t bit = std::int64_t{1} << i;
        const bool on = bit <= v;
        if (on) v -= bit;
        channelButtons_[static_cast<std::size_t>(i)]->setChecked(on);
    }
}

void ChannelEditor::Save() {
    std::int32_t v = 0;
    for (int i = 0; i < kChannelCount; ++i) {
        if (channelButtons_[static_cast<std::size_t>(i)]->isChecked()) v += 1 << i;
    }
    document_.SetChannels(manual_, v);
}

} // namespace vtl
