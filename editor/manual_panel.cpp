#include "editor/manual_panel.h"

#include "editor/console_texts.h"
#include "editor/element_overlay.h"
#include "editor/keyboard_picture.h"
#include "editor/level_bar.h"
#include "editor/piston_button.h"
#include "editor/widget_paint.h"
#include "editor/window_geometry.h"
#include "model/catalogue.h"
#include "model/console_text.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace vtl {
namespace {

// The piston rail, in the panel.
constexpr QRect kRail = TwipsRect(1650, 1500, 10215, 435);
// Pistons stand 360 twips apart within a rail group; the gaps between the groups, from
// left to right, are wider.
constexpr int kPistonPitch = 360;
constexpr std::array kGroupGaps{780, 660, 600, 600, 600, 780};
static_assert(kGroupGaps.size() + 1 == kRailGroups.size());

// The left edge of each piston on the rail, grouped as kRailGroups.
constexpr std::array<int, kPistonsPerManual> PistonLefts() {
    std::array<int, kPistonsPerManual> lefts{};
    int left = 600;
    for (std::size_t g = 0; g < kRailGroups.size(); ++g) {
        for (int p = kRailGroups[g].first; p <= kRailGroups[g].last; ++p, left += kPistonPitch)
            lefts[static_cast<std::size_t>(p)] = left;
        if (g < kGroupGaps.size()) left += kGroupGaps[g] - kPistonPitch;
    }
    return lefts;
}
constexpr std::array kPistonLefts = PistonLefts();

// The level bar's height, and its gap to the shoe button below it, in pixels.
constexpr int kLevelHeight = 6;
constexpr int kLevelGap = 4;

} // namespace

QLabel* AddSettingLabel(QWidget* parent, const QRect& geometry, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setWordWrap(true);
    QFont small = label->font();
    small.setPointSizeF(7);
    label->setFont(small);
    SetColour(*label, QPalette::WindowText, QColor(0x1f3f6f));
    return label;
}

ManualPanel::ManualPanel(ManualIndex manual, const QCursor& hand, QWidget* parent)
    : QFrame(parent), manual_(manual) {
    const int m = manual.value;
    const QString name = QStringLiteral("Manual %1").arg(m + 1);
    setObjectName(QStringLiteral("fraManual%1").arg(m));
    setGeometry(TwipsRect(120, 0, 13455, kHeightTwips));
    auto* title = new QLabel(QStringLiteral("Manual #%1").arg(m + 1), this);
    title->setGeometry(TwipsRect(300, 660, 1020, 195));
    channelsLabel_ = AddSettingLabel(this, TwipsRect(300, 870, 1080, 560), Qt::AlignLeft);
    keyboard_ = new KeyboardPicture(this);
    keyboard_->setObjectName(QStringLiteral("picKeyboard%1").arg(m));
    keyboard_->setAccessibleName(name + QStringLiteral(", keyboard"));
    keyboard_->setGeometry(TwipsRect(1380, 0, 10665, 1635));
    keyboard_->setCursor(hand);
    // Left of the rail, reaching up to it.
    pistonLine_ = AddSettingLabel(this, TwipsRect(300, 1620, 1320, 195), Qt::AlignLeft);
    auto* rail = new QFrame(this);
    rail->setGeometry(kRail);
    SetColour(*rail, QPalette::Window, Qt::black);
    rail->setAutoFillBackground(true);
    for (std::size_t p = 0; p < kPistonLefts.size(); ++p) {
        auto* piston = new PistonButton(rail);
        piston->setObjectName(
            QStringLiteral("cmdPiston%1").arg(PistonSlot{manual, static_cast<int>(p)}.Slot()));
        piston->setAccessibleName(name + QStringLiteral(", piston %1").arg(p + 1));
        piston->setGeometry(TwipsRect(kPistonLefts[p], 120, 255, 255));
        piston->setCursor(hand);
        piston->installEventFilter(this);
        pistons_[p] = piston;
    }
    // The caption is wider than the button: it breaks into two lines, as the button has
    // the height for.
    shoeButton_ = new QPushButton(QStringLiteral("Configure\nShoe"), this);
    shoeButton_->setObjectName(QStringLiteral("btnAddShoe%1").arg(m));
    shoeButton_->setAccessibleName(name + QStringLiteral(", shoe"));
    shoeButton_->setGeometry(TwipsRect(12120, 720, 1215, 495));
    shoeLabel_ = AddSettingLabel(this, TwipsRect(12120, 1260, 1215, 420), Qt::AlignHCenter);
    hide();
}

QWidget& ManualPanel::Element(const ConsoleElement& element) const {
    return ElementAt(Index(element));
}

QRect ManualPanel::VisibleArea(const QWidget& element) const {
    QRect area = element.rect();
    if (&element == keyboard_) area.setBottom(kRail.top() - element.y() - 1);
    return area;
}

void ManualPanel::ShowSettings(const ConsoleModel& console, const FunctionCatalogue& catalogue) {
    for (std::size_t p = 0; p < pistons_.size(); ++p) {
        const PistonInfo& piston = console.pistons[PistonSlot{manual_, static_cast<int>(p)}.Slot()];
        pistons_[p]->SetFace(GroupColour(piston.functionGroup), PistonCode(piston));
        words_[1 + p] = {PistonDescription(piston, catalogue),
                         GroupName(words::ShownGroup(piston.functionGroup), catalogue)};
        pistonLabels_[p] = PistonLabel(piston);
    }
    const std::int32_t channels = console.divisionChannels[manual_.Slot()];
    channelsLabel_->setText(ChannelsLabel(channels));
    words_.front() = {ChannelsDescription(channels), {}};
    const ShoeInfo& shoe = console.shoes[manual_.Slot()];
    shoeLabel_->setText(ShoeLabel(shoe));
    words_.back() = {ShoeDescription(shoe, catalogue), {}};
    for (std::size_t i = 0; i < words_.size(); ++i)
        Present(i);
}

void ManualPanel::Light(const ConsoleElement& element) {
    Overlay(element).Light();
}

void ManualPanel::SetHeld(const ConsoleElement& element, bool held) {
    Overlay(element).SetHeld(held);
}

void ManualPanel::SetLevel(std::optional<int> level) {
    if (!levelBar_ && !level) return;
    if (!levelBar_) {
        const QRect shoe = shoeButton_->geometry();
        levelBar_ = new LevelBar(*this, QRect(shoe.left(), shoe.top() - kLevelGap - kLevelHeight,
                                              shoe.width(), kLevelHeight));
    }
    levelBar_->SetLevel(level.value_or(0));
    levelBar_->setVisible(level.has_value());
    Present(Index(ConsoleElement::Shoe(manual_)));
}

void ManualPanel::Mark(const ConsoleElement& element, Severity severity, const QString& note) {
    Overlay(element).Mark(severity, note);
}

void ManualPanel::ClearMark(const ConsoleElement& element) {
    Overlay(element).ClearMark();
}

void ManualPanel::SetKeyPressed(int note, bool pressed) {
    keyboard_->SetPressed(note, pressed);
}

void ManualPanel::SetLastSent(const ConsoleElement& element, const QString& sent) {
    lastSent_[Index(element)] = sent;
    Present(Index(element));
}

std::size_t ManualPanel::Index(const ConsoleElement& element) {
    switch (element.kind) {
    case ConsoleElement::Kind::Keyboard:
        return 0;
    case ConsoleElement::Kind::Piston:
        return 1 + static_cast<std::size_t>(element.place.piston);
    case ConsoleElement::Kind::Shoe:
        break;
    }
    return kElements - 1;
}

ElementOverlay& ManualPanel::Overlay(const ConsoleElement& element) {
    const std::size_t index = Index(element);
    ElementOverlay*& overlay = overlays_[index];
    if (!overlay) {
        const QWidget& widget = ElementAt(index);
        overlay =
            new ElementOverlay(*this, VisibleArea(widget).translated(widget.mapTo(this, QPoint())),
                               [this, index] { Present(index); });
    }
    return *overlay;
}

QWidget& ManualPanel::ElementAt(std::size_t index) const {
    if (index == 0) return *keyboard_;
    if (index == kElements - 1) return *shoeButton_;
    return *pistons_[index - 1];
}

void ManualPanel::Present(std::size_t index) {
    QWidget& element = ElementAt(index);
    QStringList said{words_[index].description};
    QString tip = words_[index].toolTip;
    if (const ElementOverlay* overlay = overlays_[index]) {
        said << overlay->Words();
        if (const QString line = overlay->MarkLine(); !line.isEmpty())
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    }
    if (index == kElements - 1 && levelBar_ && !levelBar_->isHidden()) {
        said << QStringLiteral("level %1 of %2").arg(levelBar_->Level()).arg(LevelBar::kHighest);
    }
    if (!lastSent_[index].isEmpty()) said << QStringLiteral("last sent ") + lastSent_[index];
    element.setAccessibleDescription(said.join(QStringLiteral("; ")));
    element.setToolTip(tip);
}

bool ManualPanel::eventFilter(QObject* watched, QEvent* event) {
    // The piston under the pointer, or in focus, has its short label beside the rail.
    const auto found = std::find(pistons_.begin(), pistons_.end(), watched);
    if (found != pistons_.end()) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::FocusIn) {
            pistonLine_->setText(pistonLabels_[static_cast<std::size_t>(found - pistons_.begin())]);
        } else if (event->type() == QEvent::Leave || event->type() == QEvent::FocusOut) {
            pistonLine_->clear();
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace vtl
