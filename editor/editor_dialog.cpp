#include "editor/editor_dialog.h"

#include "editor/window_geometry.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace vtl {

EditorDialog::EditorDialog(EditorHost& host, const QString& name, QSize size,
                           const QColor& background, QWidget* parent)
    : QDialog(parent), host_(host) {
    setObjectName(name);
    setWindowTitle(QString());
    setFixedSize(size.width() / kTwipsPerPixel, size.height() / kTwipsPerPixel);
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
    }
    // Placed before the dialog's own showing, which would otherwise centre it on its parent.
    Activate();
    QDialog::showEvent(event);
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
    constexpr int kGap = 6; // pixels between a question and its list
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    QRect place = geometry;
    if (question) {
        question->setBuddy(list);
        // A question that grew into its list's row pushes the list's left edge along.
        const QRect asked = question->geometry();
        if (asked.top() <= place.bottom() && place.top() <= asked.bottom())
            place.setLeft(std::max(place.left(), asked.right() + kGap));
    }
    list->setGeometry(place);
    return list;
}

QFont HeadingFont() {
    QFont heading(QStringLiteral("Verdana"));
    heading.setPointSizeF(9.75);
    heading.setBold(true);
    return heading;
}

} // namespace vtl
