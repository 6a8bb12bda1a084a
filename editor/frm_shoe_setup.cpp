#include "editor/frm_shoe_setup.h"

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

frmShoeSetup::frmShoeSetup(EditorHost& host, ConsoleModel& console,
                           const FunctionCatalogue& catalogue, QWidget* parent)
    : EditorDialog(host, QStringLiteral("frmShoeSetup"), {0, 0, 490, 200}, QColor(0x99ccff),
                   parent),
      console_(console), catalogue_(catalogue),
      lblManual_(AddLabel(this, QStringLiteral("What manual is the shoe connected to?"),
                          TwipsRect(300, 420, 3360, 195))) {
    auto* heading =
        AddLabel(this, QStringLiteral("Expression Shoe Setup"), TwipsRect(300, 120, 2490, 240));
    heading->setFont(HeadingFont());
    GrowToText(*heading);
    lblManual_->setObjectName(QStringLiteral("lblManual"));
    auto* frame = new QFrame(this);
    frame->setGeometry(TwipsRect(60, 960, 7215, 1155));
    AddStrip(frame, TwipsRect(0, 90, 7200, 945));
    auto* lblType = AddLabel(frame, QStringLiteral("MIDI controller message sent by this shoe"),
                             TwipsRect(120, 240, 3630, 195));
    cboType_ = AddList(frame, QStringLiteral("cboType0"), TwipsRect(3960, 180, 3135, 315), lblType);
    auto* lblMidiChannel =
        AddLabel(frame, QStringLiteral("On what MIDI Channel should this be sent?"),
                 TwipsRect(120, 600, 3705, 195));
    cboMidiChannel_ = AddList(frame, QStringLiteral("cboMidiChannel0"),
                              TwipsRect(3960, 540, 3135, 315), lblMidiChannel);
    AddButtons(TwipsRect(2317, 2520, 1140, 390), TwipsRect(3757, 2520, 1140, 390), true);
}

void frmShoeSetup::Load() {
    FillCombo(*cboType_, catalogue_.shoeTypeNames, 0);
    FillNumberCombo(*cboMidiChannel_, 1, kChannelCount);
}

void frmShoeSetup::Activate() {
    shoeManualIndex_ = txtManualNumber_.toInt();
    host_.PlaceOverManual(*this, shoeManualIndex_);
    lblManual_->setText(QStringLiteral("Configuring Analog Input #2 on Manual #") +
                        QString::number(shoeManualIndex_ + 1));
    GrowToText(*lblManual_);
    LoadShoe();
}

void frmShoeSetup::LoadShoe() {
    const shoeInfo& s = console_.shoes[static_cast<std::size_t>(shoeManualIndex_)];
    if (s.expressionOn) {
        // A channel above 16 shows no selection, and Save keeps it.
        cboMidiChannel_->setPlaceholderText(
            QStringLiteral("(not listed: %1)")
                .arg(QString::fromStdString(words::ChannelName(s.midiChannel + 1))));
        cboMidiChannel_->setCurrentIndex(
            s.midiChannel <= kHighestChannel ? kHighestChannel - s.midiChannel : -1);
        cboType_->setCurrentIndex(s.volumeControl ? kVolume : kExpression);
    } else {
        cboType_->setCurrentIndex(kDisabled);
        cboMidiChannel_->setCurrentIndex(0);
    }
}

void frmShoeSetup::Save() {
    shoeInfo& s = console_.shoes[static_cast<std::size_t>(shoeManualIndex_)];
    const int t = cboType_->currentIndex();
    if (t == kDisabled) {
        s.expressionOn = false;
        return;
    }
    s.expressionOn = true;
    if (const int entry = cboMidiChannel_->currentIndex(); entry >= 0)
        s.midiChannel = static_cast<std::uint8_t>(kHighestChannel - entry);
    s.volumeControl = t == kVolume;
}

} // namespace vtl
