#include "editor/drop_down.h"

#include <QComboBox>

namespace vtl {

void FillCombo(QComboBox& list, const NameList& names, int addBlank) {
    list.clear();
    if (addBlank != 0) list.addItem(QStringLiteral(" "));
    for (std::string_view name : names.Names())
        list.addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    list.setCurrentIndex(0);
}

void FillNumberCombo(QComboBox& list, int low, int high) {
    list.clear();
    for (int v = high; v >= low; --v)
        list.addItem(QString::number(v), v);
    list.setCurrentIndex(list.count() - 1);
}

void SelectDescendingValue(QComboBox& list, int v) {
    if (v >= 1 && v <= list.count()) list.setCurrentIndex(list.count() - v);
}

int SelectedValue(const QComboBox& list) {
    return list.currentData().toInt();
}

} // namespace vtl
