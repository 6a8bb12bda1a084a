#include "editor/console_view.h"

#include "editor/console_document.h"
#include "editor/console_texts.h"
#include "editor/keyboard_picture.h"
#include "editor/manual_panel.h"
#include "editor/piston_button.h"
#include "editor/widget_paint.h"
#include "editor/window_geometry.h"
#include "model/catalogue.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace vtl {
namespace {

// Pixels between the foot of the hints and the top panel.
constexpr int kHintsGap = 4;

// A place in the design's client area, whose top the toolbar takes.
QRect ClientTwips(int left, int top, int width, int height) {
    return TwipsRect(left, top - ConsoleView::kToolbarTwips, width, height);
}

// A rounded field of one colour in a grey outline, behind the view's hints.
class RoundedShape : public QFrame {
public:
    RoundedShape(QWidget* parent, const QRect& geometry, QRgb colour)
        : QFrame(parent), colour_(colour) {
        setGeometry(geometry);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        PaintRoundedOutline(*this, QColor(0x808080), 1, 10, colour_);
    }

private:
    QColor colour_;
};

void AddLabel(QFrame* shape, int top, int height, const QString& text) {
    auto* label = new QLabel(text, shape);
    // Only the note spans lines; a one-line hint that wrapped would be cut off by its own
    // height. The hints are nearly as wide as the shape in this font, so they use its whole
    // inner width with an even margin.
    constexpr int kMargin = 8;
    label->setWordWrap(height > 255);
    label->setFont(QApplication::font()); // larger than the view's own
    label->setGeometry(kMargin, top / kTwipsPerPixel, shape->width() - 2 * kMargin,
                       height / kTwipsPerPixel);
}

} // namespace

// A bright ring around the piston, keyboard or shoe button in keyboard focus, drawn just
// outside it so that it shows on the black rail as well as on white.
class FocusRing : public QWidget {
public:
    explicit FocusRing(QWidget* view) : QWidget(view) {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    // area: the part of the element to surround, in its own coordinates.
    void Surround(const QWidget& element, const QRect& area) {
        constexpr int kMargin = 4;
        setGeometry(area.translated(element.mapTo(parentWidget(), QPoint()))
                        .adjusted(-kMargin, -kMargin, kMargin, kMargin));
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        PaintRoundedOutline(*this, QColor(0xff8000), 3, 4, Qt::NoBrush);
    }
};

ConsoleView::ConsoleView(const ConsoleDocument& document, const QCursor& hand, QWidget* parent)
    : QWidget(parent), document_(document), focusRing_(new FocusRing(this)) {
    setObjectName(QStringLiteral("consoleView"));
    SetColour(*this, QPalette::Window, Qt::white);
    setAutoFillBackground(true);
    BuildHints();
    BuildLegend();
    for (int m = 0; m < kMaxManuals; ++m)
        BuildPanel(ManualIndex{m}, hand);
    ShowSettings();
    connect(&document_, &ConsoleDocument::Changed, this, &ConsoleView::ShowSettings);
}

void ConsoleView::BuildHints() {
    hints_ = new RoundedShape(this, ClientTwips(3720, 480, 5595, 1095), 0xffffc0);
    AddLabel(hints_, 30, 255, "Click on a keyboard to configure its output MIDI channels");
    AddLabel(hints_, 210, 255, "Click on a piston to configure what it does when pressed");
    AddLabel(hints_, 480, 600,
             "Note: The top-to-bottom order of the keyboards shown here represents the "
             "recommended configuration described in the documentation.  Actual order may vary.");
    hints_->hide();

    startPrompt_ = new RoundedShape(this, ClientTwips(3720, 2880, 5595, 615), 0x80ff80);
    AddLabel(startPrompt_, 90, 255, "To start, choose File>Load to read the VTL's configuration");
    AddLabel(startPrompt_, 270, 255, "or choose File>Open to load a saved configuration file");
}

void ConsoleView::BuildLegend() {
    // Right of the hints: what each piston colour stands for, in two columns.
    legend_ = new QWidget(this);
    legend_->setObjectName(QStringLiteral("legend"));
    legend_->setGeometry(ClientTwips(9480, 480, 4000, 1095));
    auto* grid = new QGridLayout(legend_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    constexpr int kRows = 5;
    for (int g = 0; g <= kUnassignedGroup; ++g) {
        auto* swatch = new PistonButton(legend_);
        swatch->setFixedSize(11, 11);
        swatch->SetFace(GroupColour(g), {});
        swatch->setFocusPolicy(Qt::NoFocus);
        swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* name = AddSettingLabel(legend_, {}, Qt::AlignLeft);
        name->setText(GroupShortName(g));
        name->setWordWrap(false);
        grid->addWidget(swatch, g % kRows, 2 * (g / kRows));
        grid->addWidget(name, g % kRows, 2 * (g / kRows) + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    legend_->hide();
}

void ConsoleView::BuildPanel(ManualIndex manual, const QCursor& hand) {
    auto* panel = new ManualPanel(manual, hand, this);
    panels_[manual.Slot()] = panel;
    panel->Keyboard().installEventFilter(this);
    connect(&panel->Keyboard(), &QAbstractButton::clicked, this,
            [this, manual] { emit KeyboardClicked(manual); });
    for (int p = 0; p < kPistonsPerManual; ++p) {
        panel->Piston(p).installEventFilter(this);
        connect(&panel->Piston(p), &QAbstractButton::clicked, this,
                [this, slot = PistonSlot{manual, p}] { emit PistonClicked(slot); });
    }
    panel->ShoeButton().installEventFilter(this);
    connect(&panel->ShoeButton(), &QAbstractButton::clicked, this,
            [this, manual] { emit ShoeClicked(manual); });
}

void ConsoleView::ShowManuals() {
    const int manualCount = document_.Console().manualCount;
    const int offset = manualCount == 1   ? 2400
                       : manualCount == 2 ? 1800
                       : manualCount == 3 ? 1400
                                          : 0;
    // Three manuals start so high that the top keyboard would cover the foot of the hints; the
    // panels then move down just clear of them, into the room left below the last rail.
    const int top = (offset - kToolbarTwips) / kTwipsPerPixel;
    const int shift = std::max(0, hints_->geometry().bottom() + kHintsGap - top);
    for (int m = 0; m < manualCount && m < kMaxManuals; ++m) {
        ManualPanel* panel = panels_[static_cast<std::size_t>(m)];
        panel->move(120 / kTwipsPerPixel,
                    top + shift + m * ManualPanel::kHeightTwips / kTwipsPerPixel);
        panel->show();
    }
    startPrompt_->hide();
    hints_->show();
    legend_->setVisible(manualCount > 0);
}

void ConsoleView::HideManuals() {
    for (ManualPanel* panel : panels_)
        panel->hide();
    legend_->hide();
}

void ConsoleView::ShowReading() {
    HideManuals();
    startPrompt_->show();
}

const ManualPanel& ConsoleView::Panel(ManualIndex manual) const {
    return *panels_[manual.Slot()];
}

void ConsoleView::ShowSettings() {
    for (ManualPanel* panel : panels_)
        panel->ShowSettings(document_.Console(), document_.Catalogue());
}

ManualPanel& ConsoleView::PanelOf(const ConsoleElement& element) const {
    return *panels_[element.place.manual.Slot()];
}

void ConsoleView::Light(const ConsoleElement& element) {
    PanelOf(element).Light(element);
}

void ConsoleView::SetHeld(const ConsoleElement& element, bool held) {
    PanelOf(element).SetHeld(element, held);
}

void ConsoleView::SetLevel(ManualIndex manual, std::optional<int> level) {
    panels_[manual.Slot()]->SetLevel(level);
}

void ConsoleView::Mark(const ConsoleElement& element, Severity severity, const QString& note) {
    PanelOf(element).Mark(element, severity, note);
}

void ConsoleView::ClearMark(const ConsoleElement& element) {
    PanelOf(element).ClearMark(element);
}

void ConsoleView::Focus(const ConsoleElement& element) {
    QWidget& widget = PanelOf(element).Element(element);
    widget.window()->activateWindow();
    focusByKeys_ = true;
    widget.setFocus(Qt::OtherFocusReason);
}

void ConsoleView::SetKeyPressed(ManualIndex manual, int note, bool pressed) {
    panels_[manual.Slot()]->SetKeyPressed(note, pressed);
}

void ConsoleView::SetLastSent(const ConsoleElement& element, const QString& sent) {
    PanelOf(element).SetLastSent(element, sent);
}

bool ConsoleView::eventFilter(QObject* watched, QEvent* event) {
    // Every element watched here shows the ring while it has the focus, unless the focus came
    // with a click; after an editor it comes back as it left.
    if (event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
            focusByKeys_ = true;
        } else if (reason == Qt::MouseFocusReason) {
            focusByKeys_ = false;
        }
        auto* element = static_cast<QWidget*>(watched);
        const auto panel = std::find_if(panels_.begin(), panels_.end(),
                                        [element](auto* p) { return p->isAncestorOf(element); });
        if (focusByKeys_) focusRing_->Surround(*element, (*panel)->VisibleArea(*element));
    } else if (event->type() == QEvent::FocusOut) {
        focusRing_->hide();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vtl
