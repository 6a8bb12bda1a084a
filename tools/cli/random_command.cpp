// random: a console file with a random valid setting of every piston, keyboard and shoe, for
// trying a console or a link with many different consoles. The same seed gives the same
// console.

#include "model/catalogue.h"
#include "model/config_file.h"
#include "model/file_path.h"
#include "tools/cli/file_commands.h"

#include <QCommandLineParser>

#include <random>

namespace vtl::cli {
namespace {

constexpr int kPrograms = 128;

// Whole numbers from first to last, both included.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : engine_(seed) {}
    int Roll(int first, int last) { return std::uniform_int_distribution(first, last)(engine_); }

private:
    std::mt19937 engine_;
};

// Any function of the catalogue, any program, any channel; or unassigned.
PistonInfo RandomPiston(Dice& dice, const FunctionCatalogue& catalogue) {
    PistonInfo piston;
    piston.functionGroup = static_cast<std::int16_t>(dice.Roll(kCouplerGroup, kUnassignedGroup));
    if (piston.functionGroup == kUnassignedGroup) return piston;
    piston.midiChannel = static_cast<std::int16_t>(dice.Roll(1, kChannelCount));
    const int types =
        catalogue.functionTypeNames[static_cast<std::size_t>(piston.functionGroup)].Count();
    const int value = piston.functionGroup == kProgramChangeGroup ? dice.Roll(1, kPrograms)
                                                                  : dice.Roll(0, types - 1);
    piston.functionType = piston.programNumber = static_cast<std::int16_t>(value);
    return piston;
}

ConsoleModel RandomConsole(std::uint32_t seed, int manuals) {
    Dice dice(seed);
    const FunctionCatalogue catalogue = BuildCatalogue();
    ConsoleModel model;
    model.manualCount = static_cast<std::int16_t>(manuals);
    for (int m = 1; m <= manuals; ++m) {
        model.Channels(m) = dice.Roll(0, (1 << kChannelCount) - 1);
        ShoeInfo& shoe = model.Shoe(m);
        shoe.expressionOn = dice.Roll(0, 1) == 1;
        shoe.volumeControl = shoe.expressionOn && dice.Roll(0, 1) == 1;
        shoe.midiChannel = static_cast<std::uint8_t>(shoe.expressionOn ? dice.Roll(0, 15) : 0);
        for (int p = 0; p < kPistonsPerManual; ++p)
            model.Piston(m, p) = RandomPiston(dice, catalogue);
    }
    return model;
}

} // namespace

int RunRandom(const Command& command, const QStringList& args, CommandIo& io) {
    QCommandLineParser parser;
    const QCommandLineOption output(QStringList{"o", "output"}, QString(), "FILE");
    const QCommandLineOption seed("seed", QString(), "N", "1");
    const QCommandLineOption manuals("manuals", QString(), "N", "3");
    parser.addOptions({output, seed, manuals});
    if (!ParseArguments(parser, command, args, 0, io)) return kExitFailure;
    if (!parser.isSet(output)) return UsageError(command, "no output file given", io);
    bool seedOk = false;
    bool manualsOk = false;
    const uint seedValue = parser.value(seed).toUInt(&seedOk);
    const int manualCount = parser.value(manuals).toInt(&manualsOk);
    if (!seedOk) return UsageError(command, "--seed takes a whole number from 0", io);
    if (!manualsOk || manualCount < 1 || manualCount > kMaxManuals) {
        return UsageError(command, "--manuals takes 1 to 3", io);
    }
    ConsoleModel model = RandomConsole(seedValue, manualCount);
    const auto saved = SaveConfigFile(model, PathFromUtf8(parser.value(output).toStdString()));
    return saved ? kExitOk : Fail(saved.error(), io);
}

} // namespace vtl::cli
