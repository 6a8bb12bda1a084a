#include "shell/frm_choice.h"

#include "editor/rounded_window.h"
#include "link/product.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace vtl {
namespace {

constexpr int kTwipsPerPixel = 15;

// A label that acts on a click, framed by its shape.
class ChoiceLabel : public QLabel {
public:
    ChoiceLabel(const QString& text, QWidget* parent, std::function<void()> clicked)
        : QLabel(text, parent), clicked_(std::move(clicked)) {
        setCursor(Qt::PointingHandCursor);
        setAlignment(Qt::AlignCenter);
        setWordWrap(true);
    }

protected:
    void mouseReleaseEvent(QMouseEvent*) override { clicked_(); }

private:
    std::function<void()> clicked_;
};

QRect Twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

} // namespace

frmChoice::frmChoice(QWidget* parent) : QDialog(parent) {
    MakeRoundedWindow(*this);
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    setObjectName(QStringLiteral("frmChoice"));
    setStyleSheet(QStringLiteral(
        "frmChoice, QDialog { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5b3a21, "
        "stop:1 #2e1c0f); }"
        "QLabel { color: white; font-size: 11pt; }"
        "QFrame#shpWizard0, QFrame#shpWizard1 { border: 2px solid #e8c987; border-radius: 6px; }"));

    auto* title = new QLabel(QStringLiteral("How would you like to start?"), this);
    title->setGeometry(20, 24, 459, 30);
    title->setAlignment(Qt::AlignCenter);

    const struct {
        const char* name;
        const char* caption;
        int top;
        int shapeTop;
        const char* word;
    } choices[] = {
        {"lblWizard", "Configure a Velutone from scratch", 1230, 1080, "New"},
        {"lblLoad", "Load a previously saved VTL configuration", 2190, 2010, "Load"},
    };
    int index = 0;
    for (const auto& c : choices) {
        auto* shape = new QFrame(this);
        shape->setObjectName(QStringLiteral("shpWizard%1").arg(index++));
        shape->setGeometry(Twips(2070, c.shapeTop, 3345, 825));
        const QString word = QString::fromLatin1(c.word);
        auto* label = new ChoiceLabel(QString::fromLatin1(c.caption), this, [this, word] {
            if (choice_) choice_(word);
        });
        label->setObjectName(QString::fromLatin1(c.name));
        label->setGeometry(Twips(2115, c.top, 3255, 600));
    }

    auto* cmdExit = new QPushButton(QStringLiteral("E&xit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(210, 212, 80, 26);
    connect(cmdExit, &QPushButton::clicked, this, [this] {
        if (exit_) exit_();
    });
    auto* cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->hide();
}

} // namespace vtl
