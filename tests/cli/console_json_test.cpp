#include "tests/cli/cli_fixture.h"
#include "tools/cli/console_json.h"
#include "tools/cli/file_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <fstream>

namespace vtl::cli {
namespace {

const std::filesystem::path kSamples = VTL_SAMPLES_DIR;

// show --json, then build, gives the file back byte for byte, in both formats: 12, and 13
// for MCUs whose identity byte 21 is 0x12, this one under a name with letters beyond ASCII.
TEST_F(CliTest, JsonRoundTripKeepsFileBytes) {
    const std::string format13Name = "Orgel für St. Märien.vtl";
    const std::string sample = (kSamples / "three-manuals.vtl").string();
    const RunResult json = Run(kShowCommand, {QString::fromStdString(sample), "--json"});
    EXPECT_EQ(json.out, ReadFile(kSamples / "three-manuals.json"));
    const std::string format12Identity = "\"identityByte21\": 0,";
    std::string format13 = json.out;
    format13.replace(format13.find(format12Identity), format12Identity.size(),
                     "\"identityByte21\": 18,");
    ASSERT_EQ(Run(kBuildCommand, {"-", "-o", QString::fromStdString(format13Name)}, format13).exit,
              kExitOk);

    for (const std::string& file : {sample, format13Name}) {
        SCOPED_TRACE(file);
        const RunResult shown = Run(kShowCommand, {QString::fromStdString(file), "--json"});
        ASSERT_EQ(shown.exit, kExitOk) << shown.err;
        const RunResult built = Run(kBuildCommand, {"-", "-o", "copy.vtl"}, shown.out);
        ASSERT_EQ(built.exit, kExitOk) << built.err;
        EXPECT_EQ(ReadFile("copy.vtl"), ReadFile(PathFromUtf8(file)));
    }
    EXPECT_EQ(ReadFile("copy.vtl").substr(0, 3), "13 ");
}

// The JSON of a two-manual console with one element replaced, or removed from its array when
// the value is undefined; path steps are keys and array indexes separated by '/'.
QJsonValue Edit(const QJsonValue& node, QStringList path, const QJsonValue& value) {
    if (path.isEmpty()) return value;
    const QString step = path.takeFirst();
    bool isIndex = false;
    const int index = step.toInt(&isIndex);
    if (isIndex) {
        QJsonArray array = node.toArray();
        if (path.isEmpty() && value.isUndefined())
            array.removeAt(index);
        else
            array[index] = Edit(array[index], path, value);
        return array;
    }
    QJsonObject object = node.toObject();
    object[step] = Edit(object[step], path, value);
    return object;
}

std::string Edited(const QString& path, const QJsonValue& value) {
    ConsoleModel model;
    model.manualCount = 2;
    const QJsonValue base =
        QJsonDocument::fromJson(QByteArray::fromStdString(ConsoleToJson(model))).object();
    return QJsonDocument(Edit(base, path.split('/'), value).toObject()).toJson().toStdString();
}

TEST_F(CliTest, BadInputExitsTwoWithOneLineNamingFileAndPlace) {
    Save(SmallConsole(), "small.vtl");
    std::ofstream("bad.vtl", std::ios::binary) << ReadFile("small.vtl") << "00 zz\r\n";
    const auto expectFailure = [](const Command& command, const QStringList& args,
                                  const std::string& input, const std::string& message) {
        SCOPED_TRACE(message);
        const RunResult result = Run(command, args, input);
        EXPECT_EQ(result.exit, kExitFailure);
        EXPECT_EQ(result.err.find(message), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(std::filesystem::exists("out.vtl"));
    };
    const struct {
        const Command& command;
        QStringList args;
        std::string message;
    } argumentCases[] = {
        {kShowCommand, {"missing.vtl"}, "missing.vtl: No such file or directory"},
        {kShowCommand, {"bad.vtl"}, "bad.vtl:2: not hex text: column 4: 'z' is not a hex"},
        {kShowCommand, {}, "vtlconfig-cli show: expected 1 argument, got 0"},
        {kBuildCommand, {"in.json"}, "vtlconfig-cli build: no output file given"},
        {kBuildCommand, {"in.json", "-o", "out.vtl"}, "in.json: No such file or directory"},
    };
    for (const auto& c : argumentCases)
        expectFailure(c.command, c.args, "", c.message);

    const QJsonValue removed(QJsonValue::Undefined);
    const struct {
        std::string input, message;
        QString output = "out.vtl";
    } buildCases[] = {
        {"{\n  \"manualCount\": 1,\n  \"manuals\": [\n  }\n", "<stdin>:4: JSON syntax error: "},
        {"[]", "<stdin>: top level: expected an object"},
        {Edited("manuals/0/shoe/expressionOn", "yes"),
         "<stdin>: manuals[0].shoe.expressionOn: expected true or false, found a string"},
        {Edited("manuals/1/pistons/3/midiChannel", 3.5),
         "<stdin>: manuals[1].pistons[3].midiChannel: 3.5 is not a whole number"},
        {Edited("manuals/0/shoe/midiChannel", 16),
         "<stdin>: manuals[0].shoe.midiChannel: 16 is outside 0 to 15"},
        {Edited("manualCount", 4), "<stdin>: manualCount: 4 is outside 0 to 3"},
        {Edited("manualCount", 1), "<stdin>: manualCount: is 1 but \"manuals\" has 2 entries"},
        {Edited("identityByte", 18), "<stdin>: identityByte: unknown key"},
        {Edited("manuals/1/pistons/19", removed),
         "<stdin>: manuals[1].pistons: has 19 entries; a manual has 20 pistons"},
        {Edited("manuals/1/pistons/3/functionGroup", 0),
         "<stdin>: Manual 2, piston 4: MIDI channel 0 is outside 1 to 16"},
        {Edited("manualCount", 2), "no/out.vtl: ", "no/out.vtl"},
    };
    for (const auto& c : buildCases)
        expectFailure(kBuildCommand, {"-", "-o", c.output}, c.input, c.message);
}

} // namespace
} // namespace vtl::cli
