#include "editor/frm_grandorgue_export.h"

#include "editor/console_document.h"
#include "grandorgue/settings_file.h"
#include "model/file_path.h"
#include "session/grandorgue_target.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vtl {
namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

std::filesystem::path PathOf(const QString& name) {
    return PathFromUtf8(name.toStdString());
}

QPushButton* ChooseButton(const QString& name, const QString& about, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("Choose\u2026"), parent);
    button->setObjectName(name);
    button->setAccessibleName(about);
    return button;
}

} // namespace

GrandOrgueExportWindow::GrandOrgueExportWindow(const ConsoleModel& console, QWidget* parent)
    : QDialog(parent), console_(console), organFile_(new QLineEdit(this)),
      organName_(new QLabel(this)), table_(new QTableWidget(0, 2, this)),
      device_(new QLineEdit(this)), destination_(new QLineEdit(this)),
      unmapped_(new QListWidget(this)), message_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmGrandOrgueExport"));
    setWindowTitle(QStringLiteral("Export for GrandOrgue"));
    resize(640, 520);

    organFile_->setObjectName(QStringLiteral("txtOrgan"));
    organFile_->setReadOnly(true);
    organFile_->setAccessibleName(QStringLiteral("Organ file or package"));
    auto* chooseOrgan =
        ChooseButton(QStringLiteral("cmdChooseOrgan"), QStringLiteral("Choose the organ"), this);
    organName_->setObjectName(QStringLiteral("lblOrganName"));

    table_->setObjectName(QStringLiteral("tblMapping"));
    table_->setAccessibleName(QStringLiteral("What the console plays in the organ"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Console"), QStringLiteral("GrandOrgue")});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    device_->setObjectName(QStringLiteral("txtDevice"));
    device_->setPlaceholderText(QStringLiteral("any device"));
    destination_->setObjectName(QStringLiteral("txtDestination"));
    auto* chooseDestination = ChooseButton(QStringLiteral("cmdChooseDestination"),
                                           QStringLiteral("Choose the settings file"), this);
    unmapped_->setObjectName(QStringLiteral("lstUnmapped"));
    unmapped_->setMaximumHeight(90);
    message_->setObjectName(QStringLiteral("lblMessage"));
    message_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    auto* exportButton = buttons->addButton(QStringLiteral("Export"), QDialogButtonBox::AcceptRole);
    exportButton->setObjectName(QStringLiteral("cmdExport"));
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    const auto row = [](QWidget* field, QWidget* button) {
        auto* line = new QHBoxLayout;
        line->addWidget(field, 1);
        line->addWidget(button);
        return line;
    };
    auto* form = new QFormLayout;
    const auto addRow = [this, form](const QString& caption, QWidget* field, QLayout* line) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, line);
    };
    addRow(QStringLiteral("&Organ:"), organFile_, row(organFile_, chooseOrgan));
    form->addRow(QString(), organName_);
    form->addRow(QStringLiteral("&Device name:"), device_);
    addRow(QStringLiteral("&Settings file:"), destination_, row(destination_, chooseDestination));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(table_, 1);
    auto* unmappedLabel = new QLabel(QStringLiteral("&Not mapped:"), this);
    unmappedLabel->setBuddy(unmapped_);
    layout->addWidget(unmappedLabel);
    layout->addWidget(unmapped_);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    // The form's labels read the fields out; the accessible names follow them.
    device_->setAccessibleName(QStringLiteral("Device name"));
    destination_->setAccessibleName(QStringLiteral("Settings file"));
    unmapped_->setAccessibleName(QStringLiteral("Not mapped"));

    connect(chooseOrgan, &QPushButton::clicked, this, &GrandOrgueExportWindow::ChooseOrgan);
    connect(chooseDestination, &QPushButton::clicked, this,
            &GrandOrgueExportWindow::ChooseDestination);
    connect(buttons, &QDialogButtonBox::accepted, this, &GrandOrgueExportWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GrandOrgueExportWindow::reject);
}

void GrandOrgueExportWindow::OpenOrgan(const QString& path) {
    organFile_->setText(path);
    choice_ = {};
    organ_.reset();
    auto organ = LoadOrgan(PathOf(path));
    if (!organ) {
        organName_->clear();
        message_->setText(Text(organ.error().message));
        table_->setRowCount(0);
        unmapped_->clear();
        return;
    }
    organ_ = std::move(*organ);
    organName_->setText(Text(organ_->definition.churchName));
    const auto target = GrandOrgueSettingsFile(*organ_);
    destination_->setText(target ? Text(Utf8Name(*target)) : QString());
    message_->setText(target ? QString() : Text(target.error().message));
    Remap();
    FillTable();
}

void GrandOrgueExportWindow::ChooseOrgan() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Choose the Organ"), organFile_->text(),
        QStringLiteral("GrandOrgue organs (*.organ *.orgue);;All files (*)"));
    if (!path.isEmpty()) OpenOrgan(path);
}

void GrandOrgueExportWindow::ChooseDestination() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Write GrandOrgue's Settings to"), destination_->text(),
        QStringLiteral("GrandOrgue settings (*.cmb);;All files (*)"));
    if (!path.isEmpty()) destination_->setText(path);
}

void GrandOrgueExportWindow::FillTable() {
    table_->setRowCount(static_cast<int>(mapping_.keyboards.size() + mapping_.shoes.size() +
                                         mapping_.generals.size()));
    int row = 0;
    for (const MappedKeyboard& keyboard : mapping_.keyboards) {
        AddRow(row++, ElementWords(keyboard), TargetKind::Manual, keyboard.target.number,
               [this, manual = keyboard.manual](int target) { choice_.manuals[manual] = target; });
    }
    for (const MappedShoe& shoe : mapping_.shoes) {
        AddRow(row++, ElementWords(shoe), TargetKind::Enclosure, shoe.target.number,
               [this, manual = shoe.manual](int target) { choice_.shoes[manual] = target; });
    }
    for (const MappedGeneral& general : mapping_.generals) {
        AddRow(row++, ElementWords(general), TargetKind::General, general.place,
               [this, sent = std::pair(general.program, general.channel)](int target) {
                   choice_.generals[sent] = target;
               });
    }
}

void GrandOrgueExportWindow::AddRow(int row, const std::string& element, TargetKind kind,
                                    int target, const std::function<void(int)>& choose) {
    auto* item = new QTableWidgetItem(Text(element));
    item->setFlags(Qt::ItemIsEnabled);
    table_->setItem(row, 0, item);
    auto* list = new QComboBox(table_);
    list->setObjectName(QStringLiteral("cboTarget%1").arg(row + 1));
    list->setAccessibleName(Text(element) + QStringLiteral(": part of the organ"));
    for (const OrganTarget& each : Targets(organ_->definition, kind))
        list->addItem(Text(each.words), each.number);
    list->setCurrentIndex(list->findData(target));
    table_->setCellWidget(row, 1, list);
    connect(list, &QComboBox::activated, this, [this, list, choose] {
        choose(list->currentData().toInt());
        Remap();
    });
}

void GrandOrgueExportWindow::Remap() {
    // Every choice names a target the organ has: the lists offer no other.
    if (auto mapped = MapConsole(console_, organ_->definition, choice_)) mapping_ = *mapped;
    ShowUnmapped();
}

void GrandOrgueExportWindow::ShowUnmapped() {
    unmapped_->clear();
    for (const std::string& unmapped : mapping_.unmapped)
        unmapped_->addItem(Text(unmapped));
    if (mapping_.unmapped.empty())
        unmapped_->addItem(QStringLiteral("Nothing: every element plays"));
}

void GrandOrgueExportWindow::accept() {
    if (!organ_) {
        message_->setText(QStringLiteral("Choose the organ first."));
        return;
    }
    if (destination_->text().isEmpty()) {
        message_->setText(QStringLiteral("Choose the settings file to write."));
        return;
    }
    mapping_.device = device_->text().toStdString();
    if (const auto written = ExportSettings(PathOf(destination_->text()), mapping_); !written) {
        message_->setText(Text(written.error().message));
        return;
    }
    QDialog::accept();
}

void ExportForGrandOrgue(QWidget& window, const ConsoleDocument& document) {
    GrandOrgueExportWindow form(document.Console(), &window);
    form.exec();
}

} // namespace vtl
