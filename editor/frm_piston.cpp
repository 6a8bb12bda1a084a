#include "editor/frm_piston.h"

#include "editor/console_texts.h"
#include "editor/drop_down.h"
#include "editor/editor_host.h"
#include "editor/window_geometry.h"
#include "model/catalogue.h"
#include "model/console_model.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>

namespace vtl {
namespace {

constexpr int kGroups = 9;
constexpr int kPrograms = 128;
constexpr const char* kQuestions[kGroups] = {
    "What type of Ahlborn coupler?",
    "What type of Ahlborn tremulant?",
    "What type of Ahlborn cancel?",
    "Which Ahlborn general?",
    "You have chosen an Ahlborn SET function...",
    "You have chosen an Ahlborn SFZ function...",
    "What MIDI Program Change Number?",
    "What type of TREVA function?",
    "",
};

// The frame of a group: borderless, with a rounded strip behind its rows.
QFrame* AddFrame(QWidget* parent, int group) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("fraFunction%1").arg(group));
    frame->setGeometry(TwipsRect(60, 960, 7215, 1155));
    AddStrip(frame, TwipsRect(60, 90, 6960, 945));
    frame->hide();
    return frame;
}

} // namespace

frmPiston::frmPiston(EditorHost& host, ConsoleModel& console, const FunctionCatalogue& catalogue,
                     QWidget* parent)
    : EditorDialog(host, QStringLiteral("frmPiston"), {0, 0, 480, 200}, QColor(0x99ccff), parent),
      console_(console), catalogue_(catalogue),
      lblPiston_(AddLabel(this, {}, TwipsRect(300, 120, 2475, 240))),
      // The note starts just below the group list, which reaches 675.
      txtNote_(AddLabel(this, {}, TwipsRect(4380, 675, 2715, 255))) {
    lblPiston_->setObjectName(QStringLiteral("lblPiston"));
    lblPiston_->setFont(HeadingFont());
    txtNote_->setObjectName(QStringLiteral("txtNote"));
    txtNote_->setStyleSheet(QStringLiteral("color: blue;"));
    txtNote_->hide();
    auto* lblFunction = AddLabel(this, QStringLiteral("What do you want this thumb piston to do?"),
                                 TwipsRect(300, 420, 3660, 195));
    cboFunction_ =
        AddList(this, QStringLiteral("cboFunction"), TwipsRect(4320, 360, 2415, 315), lblFunction);
    for (int g = 0; g < kGroups; ++g) {
        Frame& f = frames_[static_cast<std::size_t>(g)];
        f.fraFunction = AddFrame(this, g);
        f.lblType = AddLabel(f.fraFunction, QString::fromLatin1(kQuestions[g]),
                             TwipsRect(240, 240, 3960, 195));
        f.lblMidiChannel =
            AddLabel(f.fraFunction, QStringLiteral("On what MIDI Channel should this be sent?"),
                     TwipsRect(240, 600, 3960, 195));
        const bool programChange = g == kProgramChangeGroup;
        f.cboType = AddList(f.fraFunction, QStringLiteral("cboType%1").arg(g),
                            TwipsRect(4260, 180, 2415, 315), programChange ? nullptr : f.lblType);
        f.cboMidiChannel = AddList(f.fraFunction, QStringLiteral("cboMidiChannel%1").arg(g),
                                   TwipsRect(4260, 540, 2415, 315), f.lblMidiChannel);
        if (programChange) {
            f.cboType->hide();
            cboProgramChange_ = AddList(f.fraFunction, QStringLiteral("cboProgramChange6"),
                                        TwipsRect(4260, 180, 2415, 315), f.lblType);
        }
    }
    // Unassigned: an empty frame; its channel list is there, hidden, and its type list unused.
    Frame& unassigned = frames_[kUnassignedGroup];
    for (QWidget* control :
         {static_cast<QWidget*>(unassigned.lblType), static_cast<QWidget*>(unassigned.cboType),
          static_cast<QWidget*>(unassigned.lblMidiChannel),
          static_cast<QWidget*>(unassigned.cboMidiChannel)}) {
        control->hide();
    }
    AddButtons(TwipsRect(2317, 2520, 1140, 390), TwipsRect(3757, 2520, 1140, 390), true);
    connect(cboFunction_, &QComboBox::currentIndexChanged, this, [this](int group) {
        if (group >= 0) ShowFrame(group);
    });
}

void frmPiston::Load() {
    FillCombo(*cboFunction_, catalogue_.functionGroupNames, 0);
    for (int g = 0; g < kGroups; ++g) {
        Frame& f = frames_[static_cast<std::size_t>(g)];
        if (g != kUnassignedGroup) {
            FillCombo(*f.cboType, catalogue_.functionTypeNames[static_cast<std::size_t>(g)], 0);
            if (f.cboType->count() == 1) {
                // A one-function group: its message takes the whole row.
                f.cboType->hide();
                f.lblType->resize(f.fraFunction->width() - 2 * f.lblType->x(), f.lblType->height());
            }
        }
        FillNumberCombo(*f.cboMidiChannel, 1, kChannelCount);
        if (g == kProgramChangeGroup) FillNumberCombo(*cboProgramChange_, 1, kPrograms);
    }
}

void frmPiston::Activate() {
    pistonIndex_ = txtPistonNumber_.toInt();
    const int pistonOnRail = pistonIndex_ % kPistonsPerManual;
    const int manualIndex = pistonIndex_ / kPistonsPerManual;
    host_.PlaceOverManual(*this, manualIndex);
    lblPiston_->setText(
        QStringLiteral("Piston #%1 on Manual #%2").arg(pistonOnRail + 1).arg(manualIndex + 1));
    GrowToText(*lblPiston_);
    if (pistonOnRail == 0) {
        txtNote_->setText(QStringLiteral("Usually the SET piston"));
        txtNote_->show();
    } else if (pistonOnRail == kPistonsPerManual - 1) {
        txtNote_->setText(QStringLiteral("Usually the General Cancel"));
        txtNote_->show();
    } else {
        txtNote_->hide();
    }
    // An empty type selection stood for the last piston's function outside its list; the
    // other groups' lists keep their selections.
    for (Frame& f : frames_) {
        if (f.cboType->currentIndex() < 0 && f.cboType->count() > 0) f.cboType->setCurrentIndex(0);
    }
    LoadPiston();
}

void frmPiston::LoadPiston() {
    const pistonInfo& p = console_.pistons[static_cast<std::size_t>(pistonIndex_)];
    // A group outside the list (a piston never set) is shown as unassigned, which it encodes as.
    const int g = words::ShownGroup(p.functionGroup);
    cboFunction_->setCurrentIndex(g);
    ShowFrame(g);
    const Frame& f = frames_[static_cast<std::size_t>(g)];
    if (g != kProgramChangeGroup && g != kUnassignedGroup) {
        // A function outside the group's list shows no selection, and Save keeps it.
        const bool listed = p.functionType >= 0 && p.functionType < f.cboType->count();
        f.cboType->setPlaceholderText(
            QStringLiteral("(not listed: %1)")
                .arg(QString::fromStdString(words::UnlistedFunctionName(p.functionType))));
        f.cboType->setCurrentIndex(listed ? p.functionType : -1);
    }
    QComboBox& channels = *f.cboMidiChannel;
    channels.setCurrentIndex(channels.count() - 1);
    const int found = channels.findData(static_cast<int>(p.midiChannel));
    if (found >= 0) channels.setCurrentIndex(found);
    if (g == kProgramChangeGroup) {
        SelectDescendingValue(channels, p.midiChannel);
        SelectDescendingValue(*cboProgramChange_, p.programNumber);
    }
}

void frmPiston::ShowFrame(int group) {
    for (const Frame& f : frames_)
        f.fraFunction->hide();
    frames_[static_cast<std::size_t>(group)].fraFunction->show();
}

void frmPiston::Save() {
    pistonInfo& p = console_.pistons[static_cast<std::size_t>(pistonIndex_)];
    const int g = cboFunction_->currentIndex();
    const Frame& f = frames_[static_cast<std::size_t>(g)];
    p.functionGroup = static_cast<std::int16_t>(g);
    // Unassigned stores the type a decoded unassigned piston has; an unlisted type stays.
    if (g == kUnassignedGroup) {
        p.functionType = 0;
    } else if (f.cboType->currentIndex() >= 0) {
        p.functionType = static_cast<std::int16_t>(f.cboType->currentIndex());
    }
    p.midiChannel = static_cast<std::int16_t>(SelectedValue(*f.cboMidiChannel));
    host_.SetPistonToolTip(pistonIndex_, GroupName(g, catalogue_));
    if (g == kProgramChangeGroup)
        p.programNumber = static_cast<std::int16_t>(kPrograms - cboProgramChange_->currentIndex());
}

} // namespace vtl
