#include "editor/editor_dialog.h"

#include "editor/rounded_window.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace vtl {
namespace {

// The width a list needs to show its widest entry whole, in its style.
int WidthForEntries(const QComboBox& list) {
    int text = 0;
    for (int i = 0; i < list.count(); ++i)
        text = std::max(text, list.fontMetrics().boundingRect(list.itemText(i)).width());
    QStyleOptionComboBox option;
    option.initFrom(&list);
    return list.style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, list.height()), &list)
        .width();
}

} // namespace

EditorDialog::EditorDialog(EditorHost& host, const QString& name, const QRect& outline,
                           const QColor& background, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName(name);
    setWindowTitle(QString());
    setFixedSize(outline.width() + 2 * outline.left(), outline.height() + 2 * outline.top());
    SetRoundedOutline(*this, outline.left(), outline.top(), outline.left() + outline.width(),
                      outline.top() + outline.height());
    QFont verdana(QStringLiteral("Verdana"));
    verdana.setPointSizeF(8.25);
    setFont(verdana);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    setPalette(colours);
    setAutoFillBackground(true);
}

void EditorDialog::AddButtons(const QRect& save, const QRect& cancel, bool grey) {
    auto* cmdOK = new QPushButton(QStringLiteral("Save"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(save);
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(cancel);
    if (grey) {
        for (QPushButton* button : {cmdOK, cmdCancel}) {
            button->setStyleSheet(QStringLiteral(
                "QPushButton { background: #e0e0e0; border: 1px solid #808080; "
                "border-radius: 3px; } QPushButton:focus { border: 2px solid #1f4e99; } "
                "QPushButton:pressed { background: #c8c8c8; }"));
        }
    }
    connect(cmdOK, &QPushButton::clicked, this, &EditorDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &EditorDialog::reject);
}

void EditorDialog::accept() {
    Save();
    QDialog::accept();
}

void EditorDialog::showEvent(QShowEvent* event) {
    if (!loaded_) {
        loaded_ = true;
        Load();
        FitLists();
    }
    // Placed before the dialog's own showing, which would otherwise centre it on its parent.
    Activate();
    QDialog::showEvent(event);
}

void EditorDialog::FitLists() {
    constexpr int kGap = 6; // pixels between a question and its list
    for (QComboBox* list : findChildren<QComboBox*>()) {
        if (list->isHidden()) continue;
        // Wider to the left, so that the right edges stay in line.
        QRect place = list->geometry();
        place.setLeft(std::min(place.left(), place.right() + 1 - WidthForEntries(*list)));
        list->setGeometry(place);
        const int room = place.left() - kGap;
        for (QLabel* question :
             list->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (question->buddy() != list || question->geometry().right() < room) continue;
            const int width = room - question->x();
            question->setWordWrap(true);
            question->resize(width, std::max(question->height(), question->heightForWidth(width)));
        }
    }
}

QLabel* AddLabel(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    GrowToText(*label);
    return label;
}

void GrowToText(QLabel& label) {
    label.resize(std::max(label.width(), label.sizeHint().width()), label.height());
}

QComboBox* AddList(QWidget* parent, const QString& name, const QRect& geometry, QLabel* question) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(geometry);
    if (question) question->setBuddy(list);
    return list;
}

QFrame* AddStrip(QWidget* parent, const QRect& geometry) {
    auto* strip = new QFrame(parent);
    strip->setObjectName(QStringLiteral("shpFunction"));
    strip->setGeometry(geometry);
    strip->setStyleSheet(QStringLiteral(
        "#shpFunction { background: #cce6ff; border: 1px solid #6fa8dc; border-radius: 10px; }"));
    return strip;
}

QFont HeadingFont() {
    QFont heading(QStringLiteral("Verdana"));
    heading.setPointSizeF(9.75);
    heading.setBold(true);
    return heading;
}

} // namespace vtl
