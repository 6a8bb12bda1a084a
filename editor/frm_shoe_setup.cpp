#include "editor/frm_shoe_setup.h"

#include "editor/console_document.h"
#include "editor/drop_down.h"
#include "editor/editor_host.h"
#include "editor/window_geometry.h"
#include "model/catalogue.h"
#include "model/console_model.h"
#include "model/console_text.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>

namespace vtl {
namespace {

// The entries of the shoe type list.
constexpr int kDisabled = 0;
constexpr int kVolume = 1;
constexpr int kExpression = 2;
// The channel list runs from 16 down to 1: entry e shows 0-based channel 15 - e.
constexpr int kHighestChannel = kChannelCount - 1;

} // namespace

ShoeEditor::ShoeEditor(EditorHost& host, ConsoleDocument& document, QWidget* parent)
    : EditorDialog(host, QStringLiteral("frmShoeSetup"), {0, 0, 490, 200}, QColor(0x99ccff),
                   parent),
      document_(document),
      inputLine_(AddLabel(this, QStringLiteral("What manual is the shoe connected to?"),
                          TwipsRect(300, 420, 3360, 195))) {
    auto* heading =
        AddLabel(this, QStringLiteral("Expression Shoe Setup"), TwipsRect(300, 120, 2490, 240));
    heading->setFont(HeadingFont());
    GrowToText(*heading);
    inputLine_->setObjectName(QStringLiteral("lblManual"));
    auto* frame = new QFrame(this);
    frame->setGeometry(TwipsRect(60, 960, 7215, 1155));
    AddStrip(frame, TwipsRect(0, 90, 7200, 945));
    auto* typeQuestion =
        AddLabel(frame, QStringLiteral("MIDI controller message sent by this shoe"),
                 TwipsRect(120, 240, 3630, 195));
    typeList_ =
        AddList(frame, QStringLiteral("cboType0"), TwipsRect(3960, 180, 3135, 315), typeQuestion);
    auto* channelQuestion =
        AddLabel(frame, QStringLiteral("On what MIDI Channel should this be sent?"),
                 TwipsRect(120, 600, 3705, 195));
    channelList_ = AddList(frame, QStringLiteral("cboMidiChannel0"),
                           TwipsRect(3960, 540, 3135, 315), channelQuestion);
    AddButtons(TwipsRect(2317, 2520, 1140, 390), TwipsRect(3757, 2520, 1140, 390), true);
}

void ShoeEditor::Load() {
    FillCombo(*typeList_, document_.Catalogue().shoeTypeNames, 0);
    FillNumberCombo(*channelList_, 1, kChannelCount);
}

void ShoeEditor::Activate() {
    host_.PlaceOverManual(*this, manual_);
    inputLine_->setText(QStringLiteral("Configuring Analog Input #2 on Manual #") +
                        QString::number(manual_.value + 1));
    GrowToText(*inputLine_);
    LoadShoe();
}

void ShoeEditor::LoadShoe() {
    const ShoeInfo& s = document_.Console().shoes[manual_.Slot()];
    if (s.expressionOn) {
        // A channel above 16 shows no selection, and Save keeps it.
        channelList_->setPlaceholderText(
            QStringLiteral("(not listed: %1)")
                .arg(QString::fromStdString(words::ChannelName(s.midiChannel + 1))));
        channelList_->setCurrentIndex(
            s.midiChannel <= kHighestChannel ? kHighestChannel - s.midiChannel : -1);
        typeList_->setCurrentIndex(s.volumeControl ? kVolume : kExpression);
    } else {
        typeList_->setCurrentIndex(kDisabled);
        channelList_->setCurrentIndex(0);
    }
}

void ShoeEditor::Save() {
    ShoeInfo s = document_.Console().shoes[manual_.Slot()];
    const int t = typeList_->currentIndex();
    // Disabled keeps the channel and the controller for a later switch back on.
    s.expressionOn = t != kDisabled;
    if (s.expressionOn) {
        if (const int entry = channelList_->currentIndex(); entry >= 0)
            s.midiChannel = static_cast<std::uint8_t>(kHighestChannel - entry);
        s.volumeControl = t == kVolume;
    }
    document_.SetShoe(manual_, s);
}

} // namespace vtl
