#include "editor/frm_main.h"

#include "editor/console_print.h"
#include "editor/console_texts.h"
#include "editor/frm_midi_channels.h"
#include "editor/frm_piston.h"
#include "editor/frm_shoe_setup.h"
#include "editor/keyboard_picture.h"
#include "editor/main_actions.h"
#include "editor/piston_button.h"
#include "editor/widget_paint.h"
#include "editor/window_geometry.h"
#include "link/product.h"
#include "link/tick.h"
#include "model/console_model.h"
#include "model/console_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace vtl {
namespace {

// The layout is given in twips of the whole client area; the toolbar takes its top.
constexpr int kToolbarTwips = 420;
constexpr int kPanelHeightTwips = 2175;
// Pixels between the foot of the hints and the top panel.
constexpr int kHintsGap = 4;
// A manual's piston rail, in its panel.
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

QRect ClientTwips(int left, int top, int width, int height) {
    return TwipsRect(left, top - kToolbarTwips, width, height);
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

// The settings shown beside the elements: small, and not in the way of a click.
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

// The cursor file's own hot spot is the tip of the finger; without the file, the system's hand.
QCursor HandCursor(const QString& programFolder) {
    const QPixmap picture(programFolder + QStringLiteral("/hand.cur"));
    return picture.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(picture, 6, 0);
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

frmMain::frmMain(MainActions& actions, ConsoleModel& console, const FunctionCatalogue& catalogue,
                 const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), actions_(actions), console_(console), catalogue_(catalogue),
      programFolder_(programFolder), hand_(HandCursor(programFolder)), timer_(new QTimer(this)) {
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setFont(QFont(QStringLiteral("Verdana"), 8));
    timer_->setInterval(kTickMilliseconds);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] { actions_.Tick(); });
    BuildMenus();
    BuildConsoleView();
    BuildToolbar();
}

void frmMain::startTimer() {
    timer_->start();
}

void frmMain::stopTimer() {
    timer_->stop();
}

void frmMain::BuildMenus() {
    struct Item {
        QMenu* menu;
        const char* caption;
        QKeySequence shortcut;
        void (MainActions::*action)();
        int command;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    const Item items[] = {
        {file, "&Open Program Data File", QKeySequence(Qt::CTRL | Qt::Key_O),
         &MainActions::LoadConfigurationFile, kLoad},
        {file, "&Save Program Data File", QKeySequence(Qt::CTRL | Qt::Key_S),
         &MainActions::SaveConfigurationFile, kSave},
        {file, "&Load Program Data from VTL", QKeySequence(Qt::CTRL | Qt::Key_L),
         &MainActions::ReadFromVtl, kLoadOrgan},
        {file, "&Write Program Data to VTL", QKeySequence(Qt::CTRL | Qt::Key_W),
         &MainActions::WriteToVtl, kWrite},
        {edit, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), nullptr, kCopy},
        {edit, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V), nullptr, kPaste},
        {options, "&MIDI I/O Setup", QKeySequence(Qt::CTRL | Qt::Key_M), &MainActions::MidiSetup,
         -1},
        {help, "&View VTLConfig Documentation", {}, &MainActions::ViewDocumentation, -1},
        {help, "&About Larchmont VTLConfig", {}, &MainActions::About, -1},
    };
    for (const auto& item : items) {
        QAction* a = item.menu->addAction(QString::fromLatin1(item.caption));
        a->setShortcut(item.shortcut);
        if (item.action)
            connect(a, &QAction::triggered, this, [this, f = item.action] { (actions_.*f)(); });
        if (item.command >= 0) menuItems_[static_cast<std::size_t>(item.command)] = a;
        if (item.command == kWrite) {
            file->addSeparator();
            AddPrintItems(*file, *this, console_, catalogue_, *menuItems_[kSave]);
            file->addSeparator();
            connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, this,
                    &QWidget::close);
        }
    }
    menuItems_[kCopy]->setEnabled(false);
    menuItems_[kPaste]->setEnabled(false);

    options->addSeparator();
    mnuVerifyAfterWrite_ = options->addAction(QStringLiteral("&Verify after Write"));
    mnuVerifyAfterWrite_->setObjectName(QStringLiteral("mnuVerifyAfterWrite"));
    mnuVerifyAfterWrite_->setCheckable(true);
    // A screen reader names the item by its text and describes it by this.
    mnuVerifyAfterWrite_->setWhatsThis(
        QStringLiteral("After each write, read the VTL back and compare it with what was written"));
    mnuVerifyAfterWrite_->setStatusTip(mnuVerifyAfterWrite_->whatsThis());
    connect(mnuVerifyAfterWrite_, &QAction::triggered, this,
            [this](bool on) { actions_.SetVerifyAfterWrite(on); });
}

void frmMain::setVerifyAfterWrite(bool on) {
    mnuVerifyAfterWrite_->setChecked(on);
}

QAction* frmMain::AddToolbarButton(const QString& key, const QString& tooltip) {
    auto* toolbar = findChild<QToolBar*>();
    QAction* button = toolbar->addAction(QIcon(QPixmap(programFolder_ + "/" + key + ".bmp")), {});
    button->setObjectName(key);
    button->setToolTip(tooltip);
    button->setStatusTip(tooltip);
    return button;
}

void frmMain::BuildToolbar() {
    auto* toolbar = addToolBar(QStringLiteral("tbrMain"));
    toolbar->setObjectName(QStringLiteral("tbrMain"));
    toolbar->setMovable(false);
    toolbar->setIconSize(QSize(24, 24));
    struct Button {
        const char* key;
        const char* tooltip;
        int command;
    };
    const Button buttons[] = {
        {"load", "Open VTL Configuration File", kLoad},
        {"save", "Save VTL Configuration File", kSave},
        {nullptr, nullptr, -1},
        {"loado", "Load Program Data From VTL", kLoadOrgan},
        {"write", "Write Program Data To VTL", kWrite},
        {nullptr, nullptr, -1},
        {"copy", "", kCopy},
        {"paste", "", kPaste},
        {nullptr, nullptr, -1},
        {"midi", "Setup MIDI Input and Output", -1},
    };
    for (const auto& b : buttons) {
        if (!b.key) {
            toolbar->addSeparator();
            continue;
        }
        QAction* button =
            AddToolbarButton(QString::fromLatin1(b.key), QString::fromLatin1(b.tooltip));
        if (b.command >= 0) {
            toolbarButtons_[static_cast<std::size_t>(b.command)] = button;
            // The button does what the menu item of its command does.
            connect(button, &QAction::triggered, menuItems_[static_cast<std::size_t>(b.command)],
                    &QAction::trigger);
        } else {
            connect(button, &QAction::triggered, this, [this] { actions_.MidiSetup(); });
        }
    }
    SetCommandsNoData();
}

void frmMain::BuildConsoleView() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("consoleView"));
    SetColour(*client, QPalette::Window, Qt::white);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    focusRing_ = new FocusRing(client);

    shaInstructions_ = new RoundedShape(client, ClientTwips(3720, 480, 5595, 1095), 0xffffc0);
    AddLabel(shaInstructions_, 30, 255,
             "Click on a keyboard to configure its output MIDI channels");
    AddLabel(shaInstructions_, 210, 255,
             "Click on a piston to configure what it does when pressed");
    AddLabel(shaInstructions_, 480, 600,
             "Note: The top-to-bottom order of the keyboards shown here represents the "
             "recommended configuration described in the documentation.  Actual order may vary.");
    shaInstructions_->hide();

    shaStart_ = new RoundedShape(client, ClientTwips(3720, 2880, 5595, 615), 0x80ff80);
    AddLabel(shaStart_, 90, 255, "To start, choose File>Load to read the VTL's configuration");
    AddLabel(shaStart_, 270, 255, "or choose File>Open to load a saved configuration file");

    BuildLegend(client);
    for (int m = 0; m < 3; ++m) {
        Panel& panel = panels_[static_cast<std::size_t>(m)];
        const QString manual = QStringLiteral("Manual %1").arg(m + 1);
        panel.fraManual = new QFrame(client);
        panel.fraManual->setObjectName(QStringLiteral("fraManual%1").arg(m));
        panel.fraManual->setGeometry(TwipsRect(120, 0, 13455, kPanelHeightTwips));
        auto* label = new QLabel(QStringLiteral("Manual #%1").arg(m + 1), panel.fraManual);
        label->setGeometry(TwipsRect(300, 660, 1020, 195));
        panel.lblChannels =
            AddSettingLabel(panel.fraManual, TwipsRect(300, 870, 1080, 560), Qt::AlignLeft);
        panel.picKeyboard = new KeyboardPicture(panel.fraManual);
        panel.picKeyboard->setObjectName(QStringLiteral("picKeyboard%1").arg(m));
        panel.picKeyboard->setAccessibleName(manual + QStringLiteral(", keyboard"));
        panel.picKeyboard->setGeometry(TwipsRect(1380, 0, 10665, 1635));
        panel.picKeyboard->setCursor(hand_);
        panel.picKeyboard->installEventFilter(this);
        connect(panel.picKeyboard, &QAbstractButton::clicked, this, [this, m] { OpenKeyboard(m); });
        // Left of the rail, reaching up to it.
        panel.lblPistons =
            AddSettingLabel(panel.fraManual, TwipsRect(300, 1620, 1320, 195), Qt::AlignLeft);
        auto* rail = new QFrame(panel.fraManual);
        rail->setGeometry(kRail);
        SetColour(*rail, QPalette::Window, Qt::black);
        rail->setAutoFillBackground(true);
        for (std::size_t i = 0; i < kPistonLefts.size(); ++i) {
            const int k = m * kPistonsPerManual + static_cast<int>(i);
            auto* piston = new PistonButton(rail);
            piston->setObjectName(QStringLiteral("cmdPiston%1").arg(k));
            piston->setAccessibleName(manual + QStringLiteral(", piston %1").arg(i + 1));
            piston->setGeometry(TwipsRect(kPistonLefts[i], 120, 255, 255));
            piston->setCursor(hand_);
            piston->installEventFilter(this);
            connect(piston, &QAbstractButton::clicked, this, [this, k] { OpenPiston(k); });
            cmdPiston_[static_cast<std::size_t>(k)] = piston;
        }
        // The caption is wider than the button: it breaks into two lines, as the button has
        // the height for.
        panel.btnAddShoe = new QPushButton(QStringLiteral("Configure\nShoe"), panel.fraManual);
        panel.btnAddShoe->setObjectName(QStringLiteral("btnAddShoe%1").arg(m));
        panel.btnAddShoe->setAccessibleName(manual + QStringLiteral(", shoe"));
        panel.btnAddShoe->setGeometry(TwipsRect(12120, 720, 1215, 495));
        panel.btnAddShoe->installEventFilter(this);
        connect(panel.btnAddShoe, &QPushButton::clicked, this, [this, m] { OpenShoe(m); });
        panel.lblShoe =
            AddSettingLabel(panel.fraManual, TwipsRect(12120, 1260, 1215, 420), Qt::AlignHCenter);
        panel.fraManual->hide();
    }
}

void frmMain::BuildLegend(QWidget* client) {
    // Right of the hints: what each piston colour stands for, in two columns.
    legend_ = new QWidget(client);
    legend_->setObjectName(QStringLiteral("legend"));
    legend_->setGeometry(ClientTwips(9480, 480, 4000, 1095));
    auto* grid = new QGridLayout(legend_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    constexpr int kRows = 5;
    for (int g = 0; g <= kUnassignedGroup; ++g) {
        auto* swatch = new PistonButton(legend_);
        swatch->setFixedSize(11, 11);
        swatch->setFace(GroupColour(g), {});
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

void frmMain::ShowManuals(int manualCount) {
    const int offset = manualCount == 1   ? 2400
                       : manualCount == 2 ? 1800
                       : manualCount == 3 ? 1400
                                          : 0;
    // Three manuals start so high that the top keyboard would cover the foot of the hints; the
    // panels then move down just clear of them, into the room left below the last rail.
    const int top = (offset - kToolbarTwips) / kTwipsPerPixel;
    const int shift = std::max(0, shaInstructions_->geometry().bottom() + kHintsGap - top);
    for (int m = 0; m < manualCount && m < 3; ++m) {
        QFrame* panel = panels_[static_cast<std::size_t>(m)].fraManual;
        panel->move(120 / kTwipsPerPixel, top + shift + m * kPanelHeightTwips / kTwipsPerPixel);
        panel->show();
    }
    shaStart_->hide();
    shaInstructions_->show();
    legend_->setVisible(manualCount > 0);
    RefreshConsoleView();
}

void frmMain::HideManuals() {
    for (const Panel& panel : panels_)
        panel.fraManual->hide();
    legend_->hide();
}

void frmMain::RefreshConsoleView() {
    for (std::size_t k = 0; k < cmdPiston_.size(); ++k) {
        const pistonInfo& piston = console_.pistons[k];
        cmdPiston_[k]->setFace(GroupColour(piston.functionGroup), PistonCode(piston));
        cmdPiston_[k]->setAccessibleDescription(PistonDescription(piston, catalogue_));
    }
    for (std::size_t m = 0; m < panels_.size(); ++m) {
        const Panel& panel = panels_[m];
        const std::int32_t channels = console_.divisionChannels[m];
        panel.lblChannels->setText(ChannelsLabel(channels));
        panel.picKeyboard->setAccessibleDescription(ChannelsDescription(channels));
        panel.lblShoe->setText(ShoeLabel(console_.shoes[m]));
        panel.btnAddShoe->setAccessibleDescription(ShoeDescription(console_.shoes[m], catalogue_));
    }
}

void frmMain::PlaceOverManual(QWidget& dialog, int m) const {
    // Twips above the client area: the caption and the menu bar.
    constexpr double kAboveClient = 800;
    constexpr double kTwips = kTwipsPerPixel;
    const QRect main = frameGeometry();
    const QSize size = dialog.frameGeometry().size();
    const QFrame& panel = *panels_[static_cast<std::size_t>(m)].fraManual;
    // The panel's top in the client area below the menu bar, where the toolbar begins.
    const double panelTop = (panel.mapTo(this, QPoint()).y() - menuBar()->height()) * kTwips;
    const double left = (main.width() * kTwips - size.width() * kTwips) / 2 + main.left() * kTwips;
    const double top = main.top() * kTwips + panelTop +
                       (panel.height() * kTwips - size.height() * kTwips) / 2 + kAboveClient;
    QPoint at(static_cast<int>(std::lround(left / kTwips)),
              static_cast<int>(std::lround(top / kTwips)));
    // Kept whole on the screen when the main window sits near its edge.
    if (const QScreen* shown = screen()) {
        const QRect area = shown->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    }
    dialog.move(at);
}

void frmMain::SetPistonToolTip(int k, const QString& text) {
    cmdPiston_[static_cast<std::size_t>(k)]->setToolTip(text);
}

void frmMain::OpenPiston(int k) {
    if (!frmPiston_) frmPiston_ = new frmPiston(*this, console_, catalogue_, this);
    frmPiston_->setPistonNumber(QString::number(k));
    ShowEditor(*frmPiston_);
}

void frmMain::OpenKeyboard(int m) {
    if (!frmMIDIChannels_) frmMIDIChannels_ = new frmMIDIChannels(*this, console_, this);
    frmMIDIChannels_->setDivisionNumber(QString::number(m));
    ShowEditor(*frmMIDIChannels_);
}

void frmMain::OpenShoe(int m) {
    if (!frmShoeSetup_) frmShoeSetup_ = new frmShoeSetup(*this, console_, catalogue_, this);
    frmShoeSetup_->setManualNumber(QString::number(m));
    ShowEditor(*frmShoeSetup_);
}

void frmMain::ShowEditor(QDialog& editor) {
    if (editor.exec() != QDialog::Accepted) return;
    RefreshConsoleView();
}

void frmMain::ShowReading() {
    HideManuals();
    shaStart_->show();
}

void frmMain::SetCommandEnabled(int command, bool enabled) {
    if (command < 0 || command >= static_cast<int>(menuItems_.size())) return;
    menuItems_[static_cast<std::size_t>(command)]->setEnabled(enabled);
    toolbarButtons_[static_cast<std::size_t>(command)]->setEnabled(enabled);
}

bool frmMain::commandEnabled(int command) const {
    return menuItems_[static_cast<std::size_t>(command)]->isEnabled();
}

void frmMain::SetCommandsNoData() {
    SetCommandEnabled(kCopy, false);
    SetCommandEnabled(kPaste, false);
    SetCommandEnabled(kLoad, true);
    SetCommandEnabled(kSave, false);
    SetCommandEnabled(kLoadOrgan, true);
    SetCommandEnabled(kWrite, false);
}

void frmMain::SetCommandsDataLoaded() {
    SetCommandEnabled(kCopy, false);
    SetCommandEnabled(kPaste, false);
    for (int c : {kLoad, kSave, kLoadOrgan, kWrite})
        SetCommandEnabled(c, true);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!actions_.MayDiscardEdits()) {
        event->ignore();
        return;
    }
    event->accept();
    actions_.Shutdown();
}

void frmMain::resizeToDesign() {
    // The design's client area holds a toolbar of 420 twips; this toolbar's own height takes
    // its place, so the console view below it keeps its design height.
    resize(13605 / kTwipsPerPixel, (8220 - kToolbarTwips) / kTwipsPerPixel +
                                       menuBar()->sizeHint().height() +
                                       findChild<QToolBar*>()->sizeHint().height());
}

void frmMain::setVisible(bool visible) {
    if (visible && !testAttribute(Qt::WA_Resized)) resizeToDesign();
    QMainWindow::setVisible(visible);
}

bool frmMain::event(QEvent* e) {
    const bool handled = QMainWindow::event(e);
    if (e->type() == QEvent::WindowActivate && !txtAction_.isEmpty()) {
        // The start choice is acted on once, after the window has come up.
        const QString action = txtAction_;
        txtAction_.clear();
        QTimer::singleShot(0, this, [this, action] {
            if (action == QLatin1String("New")) {
                actions_.ReadFromVtl();
            } else if (action == QLatin1String("Load")) {
                actions_.LoadConfigurationFile();
            }
        });
    }
    return handled;
}

bool frmMain::eventFilter(QObject* watched, QEvent* e) {
    // Every element watched here shows the ring while it has the focus, unless the focus came
    // with a click; after an editor it comes back as it left.
    if (e->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
            focusByKeys_ = true;
        } else if (reason == Qt::MouseFocusReason) {
            focusByKeys_ = false;
        }
        auto* element = static_cast<QWidget*>(watched);
        QRect area = element->rect();
        // A keyboard's foot lies under its rail: the ring keeps to the part above.
        if (dynamic_cast<KeyboardPicture*>(element)) area.setBottom(kRail.top() - element->y() - 1);
        if (focusByKeys_) focusRing_->Surround(*element, area);
    } else if (e->type() == QEvent::FocusOut) {
        focusRing_->hide();
    }
    // The piston under the pointer, or in focus, has its short label beside the rail.
    const auto found = std::find(cmdPiston_.begin(), cmdPiston_.end(), watched);
    if (found != cmdPiston_.end()) {
        const auto k = static_cast<std::size_t>(found - cmdPiston_.begin());
        QLabel& line = *panels_[k / kPistonsPerManual].lblPistons;
        if (e->type() == QEvent::Enter || e->type() == QEvent::FocusIn) {
            line.setText(PistonLabel(console_.pistons[k]));
        } else if (e->type() == QEvent::Leave || e->type() == QEvent::FocusOut) {
            line.clear();
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

} // namespace vtl
