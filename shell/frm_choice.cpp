#include "shell/frm_choice.h"

#include "editor/widget_paint.h"

#include <QAbstractButton>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>

namespace vtl {
namespace {

constexpr int kTwipsPerPixel = 15;

// A choice drawn as a line of text in its frame, acting like a button: a click, or Space or
// Enter once it has the focus (Tab reaches it).
class ChoiceOption : public QAbstractButton {
public:
    ChoiceOption(const QString& text, QWidget* parent) : QAbstractButton(parent) {
        setText(text);
        setAccessibleName(text);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        // The focus shows as a lighter field behind the text.
        if (hasFocus()) painter.fillRect(rect(), QColor(255, 255, 255, 48));
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            click();
            return;
        }
        QAbstractButton::keyPressEvent(event);
    }
};

// The outline of a choice.
class ChoiceFrame : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override {
        PaintRoundedOutline(*this, QColor(0xe8c987), 2, 5, Qt::NoBrush);
    }
};

QRect Twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

} // namespace

StartChoice::StartChoice(QWidget* parent) : StartWindow(parent) {
    setObjectName(QStringLiteral("frmChoice"));
    // Painted and coloured here rather than by a style sheet, which would cost the start-up
    // more than the rest of the window.
    QFont large = font();
    large.setPointSize(11);

    auto* title = new QLabel(QStringLiteral("How would you like to start?"), this);
    title->setGeometry(20, 24, 459, 30);
    title->setAlignment(Qt::AlignCenter);
    title->setFont(large);
    SetColour(*title, QPalette::WindowText, Qt::white);

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
        auto* shape = new ChoiceFrame(this);
        shape->setObjectName(QStringLiteral("shpWizard%1").arg(index++));
        shape->setGeometry(Twips(2070, c.shapeTop, 3345, 825));
        const QString word = QString::fromLatin1(c.word);
        auto* option = new ChoiceOption(QString::fromLatin1(c.caption), this);
        option->setObjectName(QString::fromLatin1(c.name));
        option->setFont(large);
        option->setGeometry(Twips(2115, c.top, 3255, 600));
        connect(option, &QAbstractButton::clicked, this, [this, word] {
            if (choice_) choice_(word);
        });
    }

    auto* cmdExit = new QPushButton(QStringLiteral("E&xit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(210, 212, 80, 26);
    connect(cmdExit, &QPushButton::clicked, this, &StartChoice::reject);
    auto* cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->hide();
}

void StartChoice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(0x5b3a21));
    shade.setColorAt(1, QColor(0x2e1c0f));
    painter.fillRect(rect(), shade);
}

void StartChoice::reject() {
    // The window is not hidden: the program ends instead.
    if (exit_) exit_();
}

} // namespace vtl
