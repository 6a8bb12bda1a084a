#include "editor/console_document.h"

#include "model/config_file.h"
#include "model/console_model.h"

namespace vtl {
namespace {

// The file text is the console's whole stored state, manual by manual. Encoding moves
// currentManual, so it runs on a copy; a console that cannot be encoded has none.
std::string FileText(ConsoleModel console) {
    const auto text = FormatConfigFile(console);
    return text ? *text : std::string();
}

} // namespace

ConsoleDocument::ConsoleDocument(ConsoleModel& console, const FunctionCatalogue& catalogue)
    : console_(console), catalogue_(catalogue) {}

bool ConsoleDocument::HasUnsavedEdits() const {
    return FileText(console_) != safeText_;
}

void ConsoleDocument::SetPiston(PistonSlot slot, const PistonInfo& piston) {
    console_.pistons[slot.Slot()] = piston;
    emit Changed();
}

void ConsoleDocument::SetChannels(ManualIndex manual, std::int32_t channels) {
    console_.divisionChannels[manual.Slot()] = channels;
    emit Changed();
}

void ConsoleDocument::SetShoe(ManualIndex manual, const ShoeInfo& shoe) {
    console_.shoes[manual.Slot()] = shoe;
    emit Changed();
}

void ConsoleDocument::MarkRead() {
    filePath_.clear();
    MarkSafe();
}

void ConsoleDocument::MarkLoaded(const QString& path) {
    filePath_ = path;
    MarkSafe();
}

void ConsoleDocument::MarkSaved(const QString& path) {
    filePath_ = path;
    MarkSafe();
}

void ConsoleDocument::MarkWritten() {
    MarkSafe();
}

void ConsoleDocument::MarkRestored() {
    emit Changed();
}

void ConsoleDocument::MarkSafe() {
    hasConsole_ = true;
    safeText_ = FileText(console_);
    emit Changed();
}

} // namespace vtl
