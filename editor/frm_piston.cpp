#include "editor/frm_piston.h"

#include "editor/console_document.h"
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

PistonEditor::PistonEditor(EditorHost& host, ConsoleDocument& document, QWidget* parent)
    : EditorDialog(host, QStringLiteral("frmPiston"), {0, 0, 480, 200}, QColor(0x99ccff), parent),
      document_(document), heading_(AddLabel(this, {}, TwipsRect(300, 120, 2475, 240))),
      // The note starts just below the group list, which reaches 675.
      note_(AddLabel(this, {}, TwipsRect(4380, 675, 2715, 255))) {
    heading_->setObjectName(QStringLiteral("lblPiston"));
    heading_->setFont(HeadingFont());
    note_->setObjectName(QStringLiteral("txtNote"));
    note_->setStyleSheet(QStringLiteral("color: blue;"));
    note_->hide();
    auto* groupQuestion =
        AddLabel(this, QStringLiteral("What do you want this thumb piston to do?"),
                 TwipsRect(300, 420, 3660, 195));
    groupList_ = AddList(this, QStringLiteral("cboFunction"), TwipsRect(4320, 360, 2415, 315),
                         groupQuestion);
    for (int g = 0; g < kGroups; ++g) {
        GroupControls& c = groups_[static_cast<std::size_t>(g)];
        c.frame = AddFrame(this, g);
        c.typeQuestion =
            AddLabel(c.frame, QString::fromLatin1(kQuestions[g]), TwipsRect(240, 240, 3960, 195));
        c.channelQuestion =
            AddLabel(c.frame, QStringLiteral("On what MIDI Channel should this be sent?"),
                     TwipsRect(240, 600, 3960, 195));
        const bool programChange = g == kProgramChangeGroup;
        c.typeList =
            AddList(c.frame, QStringLiteral("cboType%1").arg(g), TwipsRect(4260, 180, 2415, 315),
                    programChange ? nullptr : c.typeQuestion);
        c.channelList = AddList(c.frame, QStringLiteral("cboMidiChannel%1").arg(g),
                                TwipsRect(4260, 540, 2415, 315), c.channelQuestion);
        if (programChange) {
            c.typeList->hide();
            programList_ = AddList(c.frame, QStringLiteral("cboProgramChange6"),
                                   TwipsRect(4260, 180, 2415, 315), c.typeQuestion);
        }
    }
    // Unassigned: an empty frame; its channel list is there, hidden, and its type list unused.
    GroupControls& unassigned = groups_[kUnassignedGroup];
    for (QWidget* control : {static_cast<QWidget*>(unassigned.typeQuestion),
                             static_cast<QWidget*>(unassigned.typeList),
                             static_cast<QWidget*>(unassigned.channelQuestion),
                             static_cast<QWidget*>(unassigned.channelList)}) {
        control->hide();
    }
    AddButtons(TwipsRect(2317, 2520, 1140, 390), TwipsRect(3757, 2520, 1140, 390), true);
    connect(groupList_, &QComboBox::currentIndexChanged, this, [this](int group) {
        if (group >= 0) ShowFrame(group);
    });
}

void PistonEditor::Load() {
    const FunctionCatalogue& catalogue = document_.Catalogue();
    FillCombo(*groupList_, catalogue.functionGroupNames, 0);
    for (int g = 0; g < kGroups; ++g) {
        GroupControls& c = groups_[static_cast<std::size_t>(g)];
        if (g != kUnassignedGroup) {
            FillCombo(*c.typeList, catalogue.functionTypeNames[static_cast<std::size_t>(g)], 0);
            if (c.typeList->count() == 1) {
                // A one-function group: its message takes the whole row.
                c.typeList->hide();
                c.typeQuestion->resize(c.frame->width() - 2 * c.typeQuestion->x(),
                                       c.typeQuestion->height());
            }
        }
        FillNumberCombo(*c.channelList, 1, kChannelCount);
        if (g == kProgramChangeGroup) FillNumberCombo(*programList_, 1, kPrograms);
    }
}

void PistonEditor::Activate() {
    host_.PlaceOverManual(*this, slot_.manual);
    heading_->setText(QStringLiteral("Piston #%1 on Manual #%2")
                          .arg(slot_.piston + 1)
                          .arg(slot_.manual.value + 1));
    GrowToText(*heading_);
    if (slot_.piston == 0) {
        note_->setText(QStringLiteral("Usually the SET piston"));
        note_->show();
    } else if (slot_.piston == kPistonsPerManual - 1) {
        note_->setText(QStringLiteral("Usually the General Cancel"));
        note_->show();
    } else {
        note_->hide();
    }
    // An empty type selection stood for the last piston's function outside its list; the
    // other groups' lists keep their selections.
    for (GroupControls& c : groups_) {
        if (c.typeList->currentIndex() < 0 && c.typeList->count() > 0)
            c.typeList->setCurrentIndex(0);
    }
    LoadPiston();
}

void PistonEditor::LoadPiston() {
    const PistonInfo& p = document_.Console().pistons[slot_.Slot()];
    // A group outside the list (a piston never set) is shown as unassigned, which it encodes as.
    const int g = words::ShownGroup(p.functionGroup);
    groupList_->setCurrentIndex(g);
    ShowFrame(g);
    const GroupControls& c = groups_[static_cast<std::size_t>(g)];
    if (g != kProgramChangeGroup && g != kUnassignedGroup) {
        // A function outside the group's list shows no selection, and Save keeps it.
        const bool listed = p.functionType >= 0 && p.functionType < c.typeList->count();
        c.typeList->setPlaceholderText(
            QStringLiteral("(not listed: %1)")
                .arg(QString::fromStdString(words::UnlistedFunctionName(p.functionType))));
        c.typeList->setCurrentIndex(listed ? p.functionType : -1);
    }
    QComboBox& channels = *c.channelList;
    channels.setCurrentIndex(channels.count() - 1);
    const int found = channels.findData(static_cast<int>(p.midiChannel));
    if (found >= 0) channels.setCurrentIndex(found);
    if (g == kProgramChangeGroup) {
        SelectDescendingValue(channels, p.midiChannel);
        SelectDescendingValue(*programList_, p.programNumber);
    }
}

void PistonEditor::ShowFrame(int group) {
    for (const GroupControls& c : groups_)
        c.frame->hide();
    groups_[static_cast<std::size_t>(group)].frame->show();
}

void PistonEditor::Save() {
    PistonInfo p = document_.Console().pistons[slot_.Slot()];
    const int g = groupList_->currentIndex();
    const GroupControls& c = groups_[static_cast<std::size_t>(g)];
    p.functionGroup = static_cast<std::int16_t>(g);
    // Unassigned stores the type a decoded unassigned piston has; an unlisted type stays.
    if (g == kUnassignedGroup) {
        p.functionType = 0;
    } else if (c.typeList->currentIndex() >= 0) {
        p.functionType = static_cast<std::int16_t>(c.typeList->currentIndex());
    }
    p.midiChannel = static_cast<std::int16_t>(SelectedValue(*c.channelList));
    if (g == kProgramChangeGroup)
        p.programNumber = static_cast<std::int16_t>(kPrograms - programList_->currentIndex());
    document_.SetPiston(slot_, p);
}

} // namespace vtl
