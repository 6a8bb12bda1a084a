#pragma once
// The console being edited: the model, the file it came from, and what it was last read,
// loaded, saved or written as. Whatever shows the console, or depends on one being there,
// follows its one signal; the editors change the console through it alone.

#include "editor/console_element.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>

namespace vtl {

struct ConsoleModel;
struct FunctionCatalogue;
struct PistonInfo;
struct ShoeInfo;

class ConsoleDocument : public QObject {
    Q_OBJECT

public:
    // The model is the one the link reads into and writes from; the catalogue names what
    // the console's settings mean.
    ConsoleDocument(ConsoleModel& console, const FunctionCatalogue& catalogue);

    const ConsoleModel& Console() const { return console_; }
    const FunctionCatalogue& Catalogue() const { return catalogue_; }
    // The file last loaded or saved; empty for a console read from the MCUs, or none yet.
    const QString& FilePath() const { return filePath_; }
    // Whether there is a console to save, print or write: one was read, loaded or written.
    bool HasConsole() const { return hasConsole_; }
    // Whether the console differs from what it was last read, loaded, saved or written as.
    bool HasUnsavedEdits() const;

    // Edits.
    void SetPiston(PistonSlot slot, const PistonInfo& piston);
    void SetChannels(ManualIndex manual, std::int32_t channels);
    void SetShoe(ManualIndex manual, const ShoeInfo& shoe);

    // What happened to the console in memory: it was read from the MCUs, loaded from or saved
    // to a file, written to the MCUs, or put back as it was before a read-back.
    void MarkRead();
    void MarkLoaded(const QString& path);
    void MarkSaved(const QString& path);
    void MarkWritten();
    void MarkRestored();

signals:
    void Changed();

private:
    // The console is now safe: it matches the MCUs or a file.
    void MarkSafe();

    ConsoleModel& console_;
    const FunctionCatalogue& catalogue_;
    QString filePath_;
    bool hasConsole_ = false;
    std::string safeText_; // the console file text at the last mark; empty before any
};

} // namespace vtl
