#pragma once
// What the three editors share: a modal window without a title bar, cut to a rounded outline,
// with Save and Cancel. The lists are filled at the first show and every show re-reads the
// model; Save writes back and hides, Cancel only hides. Escape cancels and Enter saves.

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace vtl {

class EditorHost;

class EditorDialog : public QDialog {
public:
    void accept() override;

protected:
    // outline: the visible rounded rectangle, in pixels of the window. The window is as large
    // as the outline with the same margin on all sides, so that placing the window centres
    // what is seen. background: the window's colour.
    EditorDialog(EditorHost& host, const QString& name, const QRect& outline,
                 const QColor& background, QWidget* parent);

    // Save and Cancel at their places; grey: flat light grey faces.
    void AddButtons(const QRect& save, const QRect& cancel, bool grey);

    virtual void Load() = 0;     // first show only
    virtual void Activate() = 0; // every show
    virtual void Save() = 0;     // the controls into the model

    void showEvent(QShowEvent* event) override;

    EditorHost& host_;

private:
    void FitLists();

    bool loaded_ = false;
};

// A label at its place, as wide as its text when that is wider.
QLabel* AddLabel(QWidget* parent, const QString& text, const QRect& geometry);
// A caption wider in this font than in the design keeps its place and grows.
void GrowToText(QLabel& label);
// A named drop-down list at its place, read out by its question label. Once filled, a list
// too narrow for its widest entry widens to the left, and its question wraps in the room left.
QComboBox* AddList(QWidget* parent, const QString& name, const QRect& geometry, QLabel* question);
// The rounded light-blue strip behind a group of rows, at its place.
QFrame* AddStrip(QWidget* parent, const QRect& geometry);
// The editors' heading font: Verdana bold 9.75 pt.
QFont HeadingFont();

} // namespace vtl
