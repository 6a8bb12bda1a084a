// The console view's clicks and the piston, channel and shoe editors they open: which element
// each click hands over, where the editor lands, what it shows of the model, what Save writes
// back and what Cancel leaves alone; that every text shows whole; what the view tells a
// screen reader and shows of the keyboard focus; what a monitor or a check shows on it; the
// console check's marks and list following the console; and the live log's text following
// what it keeps.

#include "editor/check_marks.h"
#include "editor/check_window.h"
#include "editor/console_document.h"
#include "editor/console_view.h"
#include "editor/frm_main.h"
#include "editor/live_log_pane.h"
#include "model/catalogue.h"
#include "model/console_model.h"

#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <functional>
#include <optional>
#include <tuple>

namespace {

using Ints = QList<int>;
using Texts = QStringList;

// A main window showing a console of three manuals.
struct ConsoleRig {
    ConsoleRig() {
        console.manualCount = 3;
        main.move(0, 0);
        main.show();
        main.View().ShowManuals();
    }
    QWidget& Element(const QString& name) { return *main.findChild<QWidget*>(name); }

    // Clicks the element and runs act on the editor it opened; whatever act leaves open is
    // cancelled.
    void Edit(const QString& name, const std::function<void(QDialog&)>& act) {
        QTimer::singleShot(0, &main, [act] {
            auto* editor = dynamic_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(editor && editor->isModal());
            act(*editor);
            if (editor->isVisible()) editor->reject();
        });
        QTest::mouseClick(&Element(name), Qt::LeftButton);
    }

    vtl::FunctionCatalogue catalogue = vtl::BuildCatalogue();
    vtl::ConsoleModel console;
    vtl::ConsoleDocument document{console, catalogue};
    vtl::MainWindow main{document, QStringLiteral(VTL_PROGRAM_FOLDER)};
};

template <class T = QWidget> T& Child(QWidget& parent, const QString& name) {
    return *parent.findChild<T*>(name);
}

// Clicks "cmdOK" or "cmdCancel", or presses "enter" or "escape" where the focus is.
void Close(QDialog& editor, const QString& how) {
    if (how.startsWith("cmd")) return Child<QPushButton>(editor, how).click();
    QWidget* focus = editor.focusWidget() ? editor.focusWidget() : &editor;
    QTest::keyClick(focus, how == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
}

// "name=text" pairs: what those lists and labels show (a hidden label nothing), or the
// entries to choose.
Texts Shown(QDialog& editor, const Texts& pairs) {
    Texts shown;
    for (const QString& pair : pairs) {
        const QString name = pair.section('=', 0, 0);
        const auto* label = editor.findChild<QLabel*>(name);
        shown << name + '=' +
                     (label ? (label->isVisible() ? label->text() : QString())
                            : Child<QComboBox>(editor, name).currentText());
    }
    return shown;
}
void Choose(QDialog& editor, const Texts& pairs) {
    for (const QString& pair : pairs) {
        auto& list = Child<QComboBox>(editor, pair.section('=', 0, 0));
        list.setCurrentIndex(list.findText(pair.section('=', 1)));
    }
}
Texts VisibleLists(QDialog& editor) {
    Texts names;
    for (auto* list : editor.findChildren<QComboBox*>())
        if (list->isVisible()) names << list->objectName();
    names.sort();
    return names;
}

Ints Piston(const vtl::PistonInfo& p) {
    return {p.functionGroup, p.functionType, p.midiChannel, p.programNumber};
}

// Every visible label, list and button of the editor: texts whole, lists as wide as their
// widest entry, nothing overlapping and all inside the rounded outline.
void CheckWhole(QDialog& editor, const QString& where) {
    const auto placed = [&](QWidget* w) { return QRect(w->mapTo(&editor, QPoint()), w->size()); };
    QList<QWidget*> shown;
    for (auto* w : editor.findChildren<QWidget*>())
        if (w->isVisible() && (qobject_cast<QLabel*>(w) || qobject_cast<QComboBox*>(w) ||
                               qobject_cast<QAbstractButton*>(w)))
            shown << w;
    for (QWidget* w : shown) {
        const QString what = where + ": " + w->objectName() + " " + w->property("text").toString();
        QVERIFY2(editor.mask().boundingRect().contains(placed(w)), qPrintable(what));
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const int height = label->wordWrap() ? label->heightForWidth(label->width())
                                                 : label->sizeHint().height();
            QVERIFY2(label->width() >= label->sizeHint().width() || label->wordWrap(),
                     qPrintable(what));
            QVERIFY2(height <= label->height(), qPrintable(what));
        }
        if (auto* list = qobject_cast<QComboBox*>(w)) {
            QComboBox widest;
            widest.setFont(list->font());
            for (int i = 0; i < list->count(); ++i)
                widest.addItem(list->itemText(i));
            widest.setSizeAdjustPolicy(QComboBox::AdjustToContents);
            QVERIFY2(list->width() >= widest.sizeHint().width(), qPrintable(what));
        }
        for (QWidget* other : shown)
            QVERIFY2(other == w || !placed(w).intersects(placed(other)), qPrintable(what));
    }
}

} // namespace

class EditorsTest : public QObject {
    Q_OBJECT

private slots:
    // Each click hands its element to its editor, which lands over the element's manual and
    // stays whole on the screen when the main window is near its edge.
    void ClicksHandOverTheirElement_data() {
        QTest::addColumn<QString>("element");
        QTest::addColumn<Texts>("shown");
        QTest::addColumn<QPoint>("mainAt");
        const auto row = [](const char* name, const char* element, Texts shown,
                            QPoint mainAt = {}) {
            QTest::newRow(name) << QString(element) << shown << mainAt;
        };
        const Texts shoe3{"lblManual=Configuring Analog Input #2 on Manual #3"};
        row("slot 0", "cmdPiston0",
            {"lblPiston=Piston #1 on Manual #1", "txtNote=Usually the SET piston"});
        row("slot 25", "cmdPiston25", {"lblPiston=Piston #6 on Manual #2", "txtNote="});
        row("slot 33", "cmdPiston33", {"lblPiston=Piston #14 on Manual #2", "txtNote="});
        row("slot 39", "cmdPiston39",
            {"lblPiston=Piston #20 on Manual #2", "txtNote=Usually the General Cancel"});
        row("third keyboard", "picKeyboard2", {}); // lands over the third manual
        row("third shoe", "btnAddShoe2", shoe3);
        row("left edge", "cmdPiston5", {"lblPiston=Piston #6 on Manual #1"}, {-500, 0});
        row("bottom edge", "btnAddShoe2", shoe3, {0, 300});
    }
    void ClicksHandOverTheirElement() {
        QFETCH(QString, element);
        QFETCH(Texts, shown);
        QFETCH(QPoint, mainAt);
        ConsoleRig rig;
        rig.main.move(mainAt);
        rig.Edit(element, [&](QDialog& editor) {
            QVERIFY(editor.windowFlags() & Qt::FramelessWindowHint);
            QCOMPARE(Shown(editor, shown), shown);
            const QRect at = editor.frameGeometry();
            QVERIFY(rig.main.screen()->availableGeometry().contains(at));
            if (!mainAt.isNull()) return;
            // What is seen of the editor, its rounded outline, is centred.
            const QRect seen = editor.mask().boundingRect().translated(at.topLeft());
            QCOMPARE(seen.center().x(), rig.main.frameGeometry().center().x());
            QWidget* panel = &rig.Element(element);
            while (!panel->objectName().startsWith("fraManual"))
                panel = panel->parentWidget();
            QVERIFY(QRect(panel->mapToGlobal(QPoint()), panel->size()).contains(at.center()));
        });
    }

    void PistonEditor_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<Ints>("stored"); // group, type, channel, program
        QTest::addColumn<Texts>("shown");
        QTest::addColumn<Texts>("choose");
        QTest::addColumn<Texts>("lists"); // visible after the choice
        QTest::addColumn<QString>("close");
        QTest::addColumn<Ints>("saved");
        QTest::addColumn<QString>("tooltip");
        const auto row = [](const char* name, int slot, Ints stored, Texts shown, Texts choose,
                            Texts lists, const char* close, Ints saved, const char* tooltip) {
            QTest::newRow(name) << slot << stored << shown << choose << lists << QString(close)
                                << saved << QString(tooltip);
        };
        const QString pc = "Hauptwerk/Program Change function";
        row("program change 1 on 10, then 128", 7, {6, 2, 10, 1},
            {"cboFunction=" + pc, "cboProgramChange6=1", "cboMidiChannel6=10"},
            {"cboProgramChange6=128"}, {"cboFunction", "cboMidiChannel6", "cboProgramChange6"},
            "cmdOK", {6, 0, 10, 128}, qPrintable(pc));
        row("channel 0 shown as 1, Enter saves", 0, {3, 4, 0, 4},
            {"cboType3=Memory A General #5", "cboMidiChannel3=1"}, {},
            {"cboFunction", "cboMidiChannel3", "cboType3"}, "enter", {3, 4, 1, 4},
            "Ahlborn General");
        row("SET", 25, {0, 5, 3, 5}, {"cboType0=B to Aux coupler"}, {"cboFunction=Ahlborn SET"},
            {"cboFunction", "cboMidiChannel4"}, "cmdOK", {4, 0, 1, 5}, "Ahlborn SET");
        row("SFZ", 39, {5, 0, 16, 0}, {"cboMidiChannel5=16"}, {},
            {"cboFunction", "cboMidiChannel5"}, "cmdOK", {5, 0, 16, 0}, "Ahlborn SFZ");
        row("Unassigned", 59, {7, 22, 9, 22}, {"cboType7=Panic"}, {"cboFunction=Unassigned"},
            {"cboFunction"}, "cmdOK", {8, 0, 1, 22}, "Unassigned");
        row("never set shows Unassigned", 40, {9, 0, 0, 0}, {"cboFunction=Unassigned"}, {},
            {"cboFunction"}, "cmdOK", {8, 0, 1, 0}, "Unassigned");
        row("unlisted type kept", 1, {1, 3, 2, 3}, {"cboType1=", "cboMidiChannel1=2"}, {},
            {"cboFunction", "cboMidiChannel1", "cboType1"}, "cmdOK", {1, 3, 2, 3},
            "Ahlborn Tremulant");
        row("group whose list the last piston left empty", 2, {0, 5, 3, 5}, {},
            {"cboFunction=Ahlborn Tremulant"}, {"cboFunction", "cboMidiChannel1", "cboType1"},
            "cmdOK", {1, 0, 5, 5}, "Ahlborn Tremulant");
        row("cancel after changes", 33, {3, 2, 3, 2}, {"cboType3=Memory A General #3"},
            {"cboFunction=TREVA function", "cboMidiChannel7=12"},
            {"cboFunction", "cboMidiChannel7", "cboType7"}, "cmdCancel", {3, 2, 3, 2},
            "Ahlborn General"); // as the piston was set
        row("Escape cancels", 33, {3, 2, 3, 2}, {}, {"cboFunction=Unassigned"}, {"cboFunction"},
            "escape", {3, 2, 3, 2}, "Ahlborn General");
    }
    void PistonEditor() {
        QFETCH(int, slot);
        QFETCH(Ints, stored);
        QFETCH(Texts, shown);
        QFETCH(Texts, choose);
        QFETCH(Texts, lists);
        QFETCH(QString, close);
        QFETCH(Ints, saved);
        QFETCH(QString, tooltip);
        ConsoleRig rig;
        const auto& piston = rig.console.pistons[static_cast<std::size_t>(slot)];
        const auto set = [&](const Ints& v) {
            rig.document.SetPiston({{slot / 20}, slot % 20}, {static_cast<std::int16_t>(v[3]),
                                                              static_cast<std::int16_t>(v[2]),
                                                              static_cast<std::int16_t>(v[1]),
                                                              static_cast<std::int16_t>(v[0])});
        };
        // An earlier opening for another piston leaves its lists behind: here a tremulant
        // whose function is not in the list.
        rig.console.pistons[static_cast<std::size_t>((slot + 21) % 60)] = {3, 5, 3, 1};
        rig.Edit(QStringLiteral("cmdPiston%1").arg((slot + 21) % 60),
                 [](QDialog& e) { Close(e, "cmdOK"); });
        set(stored);
        rig.Edit(QStringLiteral("cmdPiston%1").arg(slot), [&](QDialog& editor) {
            QCOMPARE(Shown(editor, shown), shown);
            Choose(editor, choose);
            QCOMPARE(VisibleLists(editor), lists);
            Close(editor, close);
        });
        QCOMPARE(Piston(piston), saved);
        QCOMPARE(rig.Element(QStringLiteral("cmdPiston%1").arg(slot)).toolTip(), tooltip);
    }

    void ChannelEditor_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<Ints>("shown");
        QTest::addColumn<Ints>("toggle");
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("saved");
        QTest::addColumn<QString>("description");
        const auto row = [](const char* name, int stored, Ints shown, Ints toggle,
                            const char* close, int saved, const char* description) {
            QTest::newRow(name) << stored << shown << toggle << QString(close) << saved
                                << QString(description);
        };
        const Ints all{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
        row("5", 5, {1, 3}, {}, "cmdOK", 5, "Division channels: 1, 3");
        row("5, toggled", 5, {1, 3}, {2, 3, 16}, "enter", 32771, "Division channels: 1, 2, 16");
        row("0", 0, {}, {}, "cmdOK", 0, "Division channels: none");
        row("65535", 65535, all, {}, "cmdOK", 65535, "Division channels: 1-16");
        row("65536", 65536, all, {}, "cmdOK", 65535, "Division channels: 1-16");
        row("cancel after toggling", 5, {1, 3}, {1, 4}, "cmdCancel", 5, "Division channels: 1, 3");
    }
    void ChannelEditor() {
        QFETCH(int, stored);
        QFETCH(Ints, shown);
        QFETCH(Ints, toggle);
        QFETCH(QString, close);
        QFETCH(int, saved);
        QFETCH(QString, description);
        ConsoleRig rig;
        const auto button = [](QDialog& editor, int c) -> QPushButton& {
            return Child<QPushButton>(editor, QStringLiteral("chkChannel%1").arg(c - 1));
        };
        const auto on = [&](QDialog& editor) {
            Ints channels;
            for (int c = 1; c <= 16; ++c)
                if (button(editor, c).isChecked()) channels << c;
            return channels;
        };
        rig.document.SetChannels({1}, stored);
        rig.Edit("picKeyboard1", [&](QDialog& editor) {
            QCOMPARE(on(editor), shown);
            for (int c : toggle)
                button(editor, c).click();
            button(editor, 1).setFocus();
            Close(editor, close);
        });
        QCOMPARE(rig.console.divisionChannels[1], saved);
        QCOMPARE(rig.Element("picKeyboard1").accessibleDescription(), description);
        // Toggles that were cancelled are gone at the next opening.
        if (close == QLatin1String("cmdCancel"))
            rig.Edit("picKeyboard1", [&](QDialog& editor) { QCOMPARE(on(editor), shown); });
    }

    void ShoeEditor_data() {
        QTest::addColumn<Ints>("stored"); // on, volume, channel
        QTest::addColumn<Texts>("shown");
        QTest::addColumn<Texts>("choose");
        QTest::addColumn<QString>("close");
        QTest::addColumn<Ints>("saved");
        const auto row = [](const char* name, Ints stored, Texts shown, Texts choose,
                            const char* close, Ints saved) {
            QTest::newRow(name) << stored << shown << choose << QString(close) << saved;
        };
        const Texts disabled{"cboType0=Disabled", "cboMidiChannel0=16"};
        const Texts volume1{"cboType0=Volume (MIDI Controller 7)", "cboMidiChannel0=1"};
        const Texts expression16{"cboType0=Expression (MIDI Controller 11)", "cboMidiChannel0=16"};
        const Texts expression3{"cboType0=Expression (MIDI Controller 11)", "cboMidiChannel0=3"};
        row("never decoded", {0, 0, 0}, disabled, {}, "cmdOK", {0, 0, 0});
        row("disabled with a channel", {0, 1, 4}, disabled, {}, "cmdOK", {0, 1, 4});
        row("volume on 1", {1, 1, 0}, volume1, {}, "cmdOK", {1, 1, 0});
        row("expression on 16", {1, 0, 15}, expression16, {}, "enter", {1, 0, 15});
        row("expression on 3", {1, 1, 0}, volume1, expression3, "cmdOK", {1, 0, 2});
        row("Disabled keeps the channel", {1, 1, 4}, {"cboMidiChannel0=5"}, {"cboType0=Disabled"},
            "cmdOK", {0, 1, 4});
        row("channel above 16 kept", {1, 1, 20}, {"cboMidiChannel0="}, {}, "cmdOK", {1, 1, 20});
        row("cancel after changes", {1, 1, 0}, volume1, {"cboType0=Disabled", "cboMidiChannel0=9"},
            "cmdCancel", {1, 1, 0});
    }
    void ShoeEditor() {
        QFETCH(Ints, stored);
        QFETCH(Texts, shown);
        QFETCH(Texts, choose);
        QFETCH(QString, close);
        QFETCH(Ints, saved);
        ConsoleRig rig;
        vtl::ShoeInfo& shoe = rig.console.shoes[2];
        shoe = {static_cast<std::uint8_t>(stored[2]), stored[1] != 0, stored[0] != 0};
        rig.Edit("btnAddShoe2", [&](QDialog& editor) {
            QCOMPARE(Shown(editor, shown), shown);
            Choose(editor, choose);
            Close(editor, close);
        });
        QCOMPARE((Ints{shoe.expressionOn, shoe.volumeControl, shoe.midiChannel}), saved);
    }

    // In every editor, and in each group's frame of the piston editor, every label shows its
    // text whole, every list its widest entry, and nothing overlaps or leaves the outline.
    void EditorsShowEveryTextWhole() {
        ConsoleRig rig;
        for (const char* name : {"cmdPiston0", "picKeyboard0", "btnAddShoe2"}) {
            rig.Edit(name, [](QDialog& editor) {
                auto* groups = editor.findChild<QComboBox*>("cboFunction");
                for (int g = 0; g < (groups ? groups->count() : 1); ++g) {
                    if (groups) groups->setCurrentIndex(g);
                    CheckWhole(editor, groups ? groups->currentText() : editor.objectName());
                }
            });
        }
    }

    // The short codes on the piston faces are at least 7 pixels tall, with a pixel clear of the
    // border.
    void PistonFacesReadAtAGlance() {
        ConsoleRig rig;
        QWidget& face = rig.Element("cmdPiston0");
        for (int g = 0; g < vtl::kUnassignedGroup; ++g) {
            const auto& names = rig.catalogue.functionTypeNames[std::size_t(g)];
            for (int t = 0; t < (g == vtl::kProgramChangeGroup ? 128 : names.Count()); ++t) {
                rig.document.SetPiston({},
                                       {std::int16_t(t + 1), 1, std::int16_t(t), std::int16_t(g)});
                const QImage image = face.grab().toImage();
                QRect ink;
                // The rows between the rounded corners, where the rail shows through.
                for (int y = 3; y < image.height() - 3; ++y)
                    for (int x = 0; x < image.width(); ++x)
                        if (qGray(image.pixel(x, y)) < 100) ink |= QRect(x, y, 1, 1);
                QVERIFY2(ink.left() > 1 && ink.right() < image.width() - 2 && ink.height() >= 7,
                         qPrintable(QStringLiteral("group %1, function %2").arg(g).arg(t)));
            }
        }
    }

    // Tab and Backtab ring the piston, keyboard or shoe button they land on; a click does not,
    // nor the return of the focus after a click.
    void KeyboardFocusIsRinged() {
        ConsoleRig rig;
        rig.main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.main));
        QWidget* view = &rig.main.View();
        const auto* ring = view->findChild<QWidget*>("focusRing");
        const QList<std::tuple<const char*, Qt::FocusReason, bool>> steps{
            {"cmdPiston33", Qt::TabFocusReason, true},
            {"picKeyboard1", Qt::BacktabFocusReason, true},
            {"btnAddShoe2", Qt::TabFocusReason, true},
            {"cmdPiston5", Qt::MouseFocusReason, false},
            {"cmdPiston6", Qt::ActiveWindowFocusReason, false},
        };
        for (const auto& [name, reason, ringed] : steps) {
            QWidget& element = rig.Element(name);
            element.setFocus(reason);
            QCOMPARE(ring->isVisible(), ringed);
            // Bright orange just above the element.
            const QPoint above = element.mapTo(view, QPoint(element.width() / 2, -3));
            if (ringed) QCOMPARE(QColor(view->grab().toImage().pixel(above)), QColor(0xff8000));
        }
    }

    void ViewSpeaksToScreenReaders() {
        ConsoleRig rig;
        rig.document.SetPiston({{1}, 13}, {12, 10, 0, vtl::kProgramChangeGroup});
        rig.document.SetPiston({{2}, 5}, {4, 3, 22, vtl::kGeneralGroup});
        rig.document.SetChannels({2}, 0xf3fc);
        rig.document.SetShoe({0}, {4, true, true});
        // Name, description and tooltip.
        const QList<std::pair<QString, Texts>> elements{
            {"cmdPiston33",
             {"Manual 2, piston 14", "Hauptwerk/Program Change function: program 12 on channel 10",
              "Hauptwerk/Program Change function"}},
            {"cmdPiston45",
             {"Manual 3, piston 6", "Ahlborn General: Memory D General #5 on channel 3",
              "Ahlborn General"}},
            {"cmdPiston0", {"Manual 1, piston 1", "Unassigned", "Unassigned"}},
            {"picKeyboard2", {"Manual 3, keyboard", "Division channels: 3-10, 13-16", ""}},
            {"btnAddShoe0", {"Manual 1, shoe", "Volume (MIDI Controller 7) on channel 5", ""}},
            {"btnAddShoe1", {"Manual 2, shoe", "Disabled", ""}},
        };
        for (const auto& [name, texts] : elements) {
            QWidget& element = rig.Element(name);
            QCOMPARE((Texts{element.accessibleName(), element.accessibleDescription(),
                            element.toolTip()}),
                     texts);
            if (!name.startsWith("btn")) QCOMPARE(element.cursor().shape(), Qt::BitmapCursor);
        }
        // In every editor each list is read out by its question, and Tab reaches Save and
        // Cancel.
        for (const char* name : {"cmdPiston33", "picKeyboard0", "btnAddShoe0"}) {
            rig.Edit(name, [](QDialog& editor) {
                QList<QWidget*> buddies;
                for (auto* label : editor.findChildren<QLabel*>())
                    buddies << label->buddy();
                for (auto* list : editor.findChildren<QComboBox*>())
                    QVERIFY2(!list->isVisible() || buddies.contains(list),
                             qPrintable(list->objectName()));
                Texts reached;
                for (QWidget* w = editor.nextInFocusChain(); w != &editor;
                     w = w->nextInFocusChain())
                    if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
                        reached << w->objectName();
                QVERIFY(reached.contains("cmdOK") && reached.contains("cmdCancel"));
            });
        }
    }
    // What a monitor or a check asks shows on its element and is said after the element's own
    // description (and a mark's note in its tooltip); it all goes again when it ends, and
    // nothing of it is left on the view.
    void ElementsShowWhatAMonitorOrACheckAsks() {
        ConsoleRig rig;
        rig.document.SetPiston({{1}, 13}, {12, 10, 0, vtl::kProgramChangeGroup});
        // Active first, so that the focus does not move while this runs.
        rig.main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&rig.main));
        vtl::ConsoleView& view = rig.main.View();
        const QImage untouched = view.grab().toImage();
        using vtl::ConsoleElement;
        const auto piston = ConsoleElement::Piston({{1}, 13});
        const auto keyboard = ConsoleElement::Keyboard({2});
        const auto shoe = ConsoleElement::Shoe({0});
        const QString pc = "Hauptwerk/Program Change function";
        const QString says = pc + ": program 12 on channel 10";
        const QString note = "sends what piston 12 sends";
        const QPoint above{8, -2}; // on a mark's outline (a keyboard's keeps inside its panel)
        const struct {
            std::function<void()> act;
            const char* element;
            QString description;
            QString toolTip;
            QPoint at{}; // where the colour shows, from the element's top left
            QRgb colour = 0;
        } steps[] = {
            {[&] { view.SetHeld(piston, true); }, "cmdPiston33", says + "; held", pc},
            {[&] { view.Mark(piston, vtl::Severity::Warning, note); }, "cmdPiston33",
             says + "; held; warning: " + note, pc + "\nWarning: " + note, above, 0xe08a00},
            {[&] { view.SetHeld(piston, false); }, "cmdPiston33", says + "; warning: " + note,
             pc + "\nWarning: " + note, above, 0xe08a00},
            {[&] { view.ClearMark(piston); }, "cmdPiston33", says, pc},
            {[&] { view.Mark(keyboard, vtl::Severity::Error, "no channel"); },
             "picKeyboard2",
             "Division channels: none; error: no channel",
             "Error: no channel",
             {100, 1},
             0xd01c1c},
            {[&] { view.Mark(keyboard, vtl::Severity::Info, "one channel"); },
             "picKeyboard2",
             "Division channels: none; information: one channel",
             "Information: one channel",
             {100, 1},
             0x1f6fd0},
            {[&] { view.ClearMark(keyboard); }, "picKeyboard2", "Division channels: none", ""},
            // The level fills a bar above the shoe button from the left.
            {[&] { view.SetLevel({0}, 64); },
             "btnAddShoe0",
             "Disabled; level 64 of 127",
             "",
             {5, -7},
             0x1f6fd0},
            {[&] { view.SetLevel({0}, 64); },
             "btnAddShoe0",
             "Disabled; level 64 of 127",
             "",
             {75, -7},
             0xffffff},
            {[&] { view.SetLevel({0}, std::nullopt); }, "btnAddShoe0", "Disabled", ""},
            {[&] { view.Light(shoe); }, "btnAddShoe0", "Disabled; active", ""},
        };
        for (const auto& step : steps) {
            step.act();
            QWidget& element = rig.Element(step.element);
            QCOMPARE(element.accessibleDescription(), step.description);
            QCOMPARE(element.toolTip(), step.toolTip);
            if (!step.colour) continue;
            const QPoint at = element.mapTo(&view, step.at);
            QCOMPARE(QColor(view.grab().toImage().pixel(at)), QColor(step.colour));
        }
        QVERIFY(view.grab().toImage() != untouched);
        // A light goes out by itself.
        QTRY_COMPARE(rig.Element("btnAddShoe0").accessibleDescription(), QString("Disabled"));
        QCOMPARE(view.grab().toImage(), untouched);
        // Each severity's mark has a shape of its own: where it covers the view differs.
        QList<QImage> covers;
        for (const auto severity :
             {vtl::Severity::Info, vtl::Severity::Warning, vtl::Severity::Error}) {
            view.Mark(piston, severity, note);
            const QImage marked = view.grab().toImage();
            QImage cover(marked.size(), QImage::Format_Mono);
            for (int y = 0; y < marked.height(); ++y)
                for (int x = 0; x < marked.width(); ++x)
                    cover.setPixel(x, y, marked.pixel(x, y) != untouched.pixel(x, y));
            covers << cover;
        }
        QVERIFY(covers[0] != covers[1] && covers[1] != covers[2] && covers[0] != covers[2]);
    }

    // The check marks what it finds at once after each edit, the element's screen reader
    // description and tooltip saying it, and lists it; choosing a finding brings its first
    // element into focus; the marks and the list go with the edit that ends them.
    void CheckMarksAndListFollowTheConsole() {
        ConsoleRig rig;
        rig.console.Channels(1) = 1;
        rig.console.Channels(2) = 2;
        rig.console.Channels(3) = 4;
        vtl::CheckMarks check(rig.document, rig.main.View());
        vtl::CheckWindow window(&rig.main);
        QObject::connect(&check, &vtl::CheckMarks::Changed,
                         [&] { window.ShowFindings(check.Findings()); });
        QObject::connect(&window, &vtl::CheckWindow::ElementChosen, &rig.main.View(),
                         &vtl::ConsoleView::Focus);
        auto& list = Child<QListWidget>(window, "lstFindings");
        const QString shared = "Manuals 2 and 3 both send their notes on channel 3, so the organ "
                               "cannot tell which keyboard played.";
        const QString program = "Pistons 1 and 2 of manual 1 both send program 5 on channel 16, "
                                "so the organ cannot tell them apart.";
        const struct {
            std::function<void()> edit;
            Texts listed;
            Texts keyboards; // descriptions of manuals 2 and 3
            QString piston;  // the second piston's tooltip
        } steps[] = {
            {[&] { rig.document.SetChannels({1}, 6); },
             {"Warning: " + shared},
             {"Division channels: 2, 3; warning: " + shared,
              "Division channels: 3; warning: " + shared},
             "Unassigned"},
            {[&] {
                 rig.document.SetPiston({{0}, 0}, {5, 16, 0, vtl::kProgramChangeGroup});
                 rig.document.SetPiston({{0}, 1}, {5, 16, 0, vtl::kProgramChangeGroup});
             },
             {"Warning: " + program, "Warning: " + shared},
             {"Division channels: 2, 3; warning: " + shared,
              "Division channels: 3; warning: " + shared},
             "Hauptwerk/Program Change function\nWarning: " + program},
            {[&] { rig.document.SetChannels({1}, 2); },
             {"Warning: " + program},
             {"Division channels: 2", "Division channels: 3"},
             "Hauptwerk/Program Change function\nWarning: " + program},
            {[&] {
                 rig.document.SetPiston({{0}, 1}, {0, 0, 0, vtl::kUnassignedGroup});
             },
             {"The check finds nothing."},
             {"Division channels: 2", "Division channels: 3"},
             "Unassigned"},
        };
        for (const auto& step : steps) {
            step.edit();
            Texts listed;
            for (int i = 0; i < list.count(); ++i)
                listed << list.item(i)->text();
            QCOMPARE(listed, step.listed);
            QCOMPARE((Texts{rig.Element("picKeyboard1").accessibleDescription(),
                            rig.Element("picKeyboard2").accessibleDescription()}),
                     step.keyboards);
            QCOMPARE(rig.Element("cmdPiston1").toolTip(), step.piston);
        }
        // Choosing the shared channel focuses the keyboard of manual 2, ringed.
        rig.document.SetChannels({1}, 6);
        window.Bring();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&list, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), &rig.Element("picKeyboard1"));
        QVERIFY(rig.main.View().findChild<QWidget*>("focusRing")->isVisible());
    }

    // The log's text shows, a frame after they come, the lines it keeps that the filters let
    // through; pausing holds the text still, resuming catches up; at the cap the oldest go.
    void LiveLogTextFollowsItsLines() {
        using Kind = vtl::LiveLogPane::Kind;
        vtl::LiveLogPane log;
        log.show();
        auto& text = *log.findChild<QPlainTextEdit*>(QStringLiteral("txtLiveLog"));
        auto& manual = *log.findChild<QComboBox*>(QStringLiteral("cboLiveManual"));
        auto& pause = *log.findChild<QPushButton*>(QStringLiteral("cmdLivePause"));
        const auto add = [&](std::initializer_list<vtl::LiveLogPane::Entry> entries) {
            for (const auto& entry : entries)
                log.Add(entry);
        };
        const struct {
            std::function<void()> act;
            Texts shown;
        } steps[] = {
            {[&] {
                 add({{"key", 1, Kind::Key}, {"piston", 2, Kind::Piston}, {"note", 0, Kind::Note}});
             },
             {"key", "piston", "note"}},
            {[&] {
                 add({{"key 0", 1, Kind::Key}});
                 manual.setCurrentIndex(2);
             },
             {"piston", "note"}},
            {[&] {
                 pause.click();
                 add({{"shoe", 2, Kind::Shoe}});
             },
             {"piston", "note"}},
            {[&] { pause.click(); }, {"piston", "note", "shoe"}},
            {[&] {
                 add({{"key 1", 1, Kind::Key}, {"key 2", 2, Kind::Key}});
             },
             {"piston", "note", "shoe", "key 2"}},
            {[&] { manual.setCurrentIndex(0); },
             {"key", "piston", "note", "key 0", "shoe", "key 1", "key 2"}},
            {[&] {
                 add({{"late", 1, Kind::Key}});
                 log.Clear();
             },
             {""}},
        };
        for (const auto& step : steps) {
            step.act();
            QTRY_COMPARE(text.toPlainText().split(QLatin1Char('\n')), step.shown);
        }
        for (int i = 0; i < vtl::LiveLogPane::kCapacity + 10; ++i)
            log.Add({QString::number(i), 1, Kind::Key});
        QTRY_COMPARE(text.document()->blockCount(), vtl::LiveLogPane::kCapacity);
        QCOMPARE(text.document()->firstBlock().text(), QStringLiteral("10"));
        QCOMPARE(text.document()->lastBlock().text(),
                 QString::number(vtl::LiveLogPane::kCapacity + 9));
        QCOMPARE(log.Count(), vtl::LiveLogPane::kCapacity);
    }
};

QTEST_MAIN(EditorsTest)
#include "editors_test.moc"
