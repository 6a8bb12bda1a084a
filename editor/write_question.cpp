#include "editor/write_question.h"

#include "link/product.h"

#include <QMessageBox>
#include <QPushButton>

namespace vtl {

bool MayWrite(QWidget& parent, const std::vector<Finding>& findings) {
    if (!HasWarnings(findings)) return true;
    QString text = QStringLiteral("The console check warns:\n");
    for (const Finding& finding : findings) {
        if (finding.severity == FindingSeverity::Warning)
            text += QStringLiteral("\n\u2022 ") + QString::fromStdString(finding.text);
    }
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kWindowTitle),
                    text + QStringLiteral("\n\nWrite the console to the MCUs all the same?"),
                    QMessageBox::Cancel, &parent);
    const QPushButton* writeAnyway =
        box.addButton(QStringLiteral("Write anyway"), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == writeAnyway;
}

} // namespace vtl
