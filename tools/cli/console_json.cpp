#include "tools/cli/console_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>

namespace vtl::cli {
namespace {

constexpr auto kManualCount = QLatin1StringView("manualCount");
constexpr auto kManuals = QLatin1StringView("manuals");
constexpr auto kIdentityByte21 = QLatin1StringView("identityByte21");
constexpr auto kDivisionChannels = QLatin1StringView("divisionChannels");
constexpr auto kShoe = QLatin1StringView("shoe");
constexpr auto kPistons = QLatin1StringView("pistons");
constexpr auto kExpressionOn = QLatin1StringView("expressionOn");
constexpr auto kVolumeControl = QLatin1StringView("volumeControl");
constexpr auto kMidiChannel = QLatin1StringView("midiChannel");
constexpr auto kFunctionGroup = QLatin1StringView("functionGroup");
constexpr auto kFunctionType = QLatin1StringView("functionType");
constexpr auto kProgramNumber = QLatin1StringView("programNumber");

constexpr int kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr int kInt16Max = std::numeric_limits<std::int16_t>::max();

std::string Key(QLatin1StringView key) {
    return std::string(key.data(), static_cast<std::size_t>(key.size()));
}

std::string Field(QLatin1StringView key, int value) {
    return "\"" + Key(key) + "\": " + std::to_string(value);
}

std::string Field(QLatin1StringView key, bool value) {
    return "\"" + Key(key) + "\": " + (value ? "true" : "false");
}

// One piston or shoe per line, so that a console reads (and diffs) well as text.
std::string ManualToJson(const ConsoleModel& model, int manual) {
    const ShoeInfo& shoe = model.Shoe(manual);
    std::string text =
        "        {\n            " + Field(kDivisionChannels, model.Channels(manual)) +
        ",\n            \"shoe\": {" + Field(kExpressionOn, shoe.expressionOn) + ", " +
        Field(kVolumeControl, shoe.volumeControl) + ", " +
        Field(kMidiChannel, int{shoe.midiChannel}) + "},\n            \"pistons\": [\n";
    for (int p = 0; p < kPistonsPerManual; ++p) {
        const PistonInfo& piston = model.Piston(manual, p);
        text += "                {" + Field(kFunctionGroup, piston.functionGroup) + ", " +
                Field(kFunctionType, piston.functionType) + ", " +
                Field(kMidiChannel, piston.midiChannel) + ", " +
                Field(kProgramNumber, piston.programNumber) + "}" +
                (p + 1 < kPistonsPerManual ? ",\n" : "\n");
    }
    return text + "            ]\n        }";
}

std::string Describe(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return "null";
    case QJsonValue::Bool:
        return "true or false";
    case QJsonValue::Double:
        return "a number";
    case QJsonValue::String:
        return "a string";
    case QJsonValue::Array:
        return "an array";
    case QJsonValue::Object:
        return "an object";
    case QJsonValue::Undefined:
        break;
    }
    return "nothing";
}

std::string Member(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
}

std::string Member(const std::string& path, QLatin1StringView key) {
    return Member(path, Key(key));
}

std::string Element(const std::string& path, qsizetype index) {
    return path + "[" + std::to_string(index) + "]";
}

// Reads values at JSON paths and keeps the first error; after it every read returns a
// harmless default, so a caller checks once at the end.
class JsonReader {
public:
    const std::optional<Error>& error() const { return error_; }

    void Fail(const std::string& path, const std::string& what) {
        if (!error_) error_ = Error{(path.empty() ? "top level" : path) + ": " + what};
    }

    // The object at path; unknown keys are errors, so a misspelt key is never ignored.
    QJsonObject Object(const QJsonValue& value, const std::string& path,
                       std::initializer_list<QLatin1StringView> keys) {
        if (!value.isObject()) {
            Fail(path, "expected an object, found " + Describe(value));
            return {};
        }
        const QJsonObject object = value.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (std::find(keys.begin(), keys.end(), it.key()) == keys.end()) {
                Fail(Member(path, it.key().toStdString()), "unknown key");
            }
        }
        return object;
    }

    QJsonValue Required(const QJsonObject& object, QLatin1StringView key, const std::string& path) {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) Fail(Member(path, key), "missing");
        return value;
    }

    int Integer(const QJsonValue& value, const std::string& path, int min, int max) {
        if (error_ || value.isUndefined()) return 0;
        if (!value.isDouble()) {
            Fail(path, "expected a whole number, found " + Describe(value));
            return 0;
        }
        const double number = value.toDouble();
        if (number != std::trunc(number)) {
            Fail(path, QString::number(number).toStdString() + " is not a whole number");
            return 0;
        }
        if (number < min || number > max) {
            Fail(path, QString::number(number, 'g', 17).toStdString() + " is outside " +
                           std::to_string(min) + " to " + std::to_string(max));
            return 0;
        }
        return static_cast<int>(number);
    }

    int Integer(const QJsonObject& object, QLatin1StringView key, const std::string& path, int min,
                int max) {
        return Integer(Required(object, key, path), Member(path, key), min, max);
    }

    bool Boolean(const QJsonObject& object, QLatin1StringView key, const std::string& path) {
        const QJsonValue value = Required(object, key, path);
        if (!error_ && !value.isBool()) {
            Fail(Member(path, key), "expected true or false, found " + Describe(value));
        }
        return value.toBool();
    }

    QJsonArray Array(const QJsonObject& object, QLatin1StringView key, const std::string& path) {
        const QJsonValue value = Required(object, key, path);
        if (!error_ && !value.isArray()) {
            Fail(Member(path, key), "expected an array, found " + Describe(value));
        }
        return value.toArray();
    }

private:
    std::optional<Error> error_;
};

void ReadPiston(JsonReader& reader, const QJsonValue& value, const std::string& path,
                PistonInfo& piston) {
    const QJsonObject object =
        reader.Object(value, path, {kFunctionGroup, kFunctionType, kMidiChannel, kProgramNumber});
    const auto field = [&](QLatin1StringView key) {
        return static_cast<std::int16_t>(reader.Integer(object, key, path, kInt16Min, kInt16Max));
    };
    piston.functionGroup = field(kFunctionGroup);
    piston.functionType = field(kFunctionType);
    piston.midiChannel = field(kMidiChannel);
    piston.programNumber = field(kProgramNumber);
}

void ReadShoe(JsonReader& reader, const QJsonValue& value, const std::string& path,
              ShoeInfo& shoe) {
    const QJsonObject object =
        reader.Object(value, path, {kExpressionOn, kVolumeControl, kMidiChannel});
    shoe.expressionOn = reader.Boolean(object, kExpressionOn, path);
    shoe.volumeControl = reader.Boolean(object, kVolumeControl, path);
    shoe.midiChannel =
        static_cast<std::uint8_t>(reader.Integer(object, kMidiChannel, path, 0, kChannelCount - 1));
}

void ReadManual(JsonReader& reader, const QJsonValue& value, const std::string& path,
                ConsoleModel& model, int manual) {
    const QJsonObject object = reader.Object(value, path, {kDivisionChannels, kShoe, kPistons});
    model.Channels(manual) = reader.Integer(object, kDivisionChannels, path, 0, 0xffff);
    ReadShoe(reader, reader.Required(object, kShoe, path), Member(path, kShoe), model.Shoe(manual));
    const QJsonArray pistons = reader.Array(object, kPistons, path);
    const std::string pistonsPath = Member(path, kPistons);
    if (!reader.error() && pistons.size() != kPistonsPerManual) {
        reader.Fail(pistonsPath, "has " + std::to_string(pistons.size()) +
                                     " entries; a manual has " + std::to_string(kPistonsPerManual) +
                                     " pistons");
    }
    for (int p = 0; p < kPistonsPerManual && !reader.error(); ++p) {
        ReadPiston(reader, pistons.at(p), Element(pistonsPath, p), model.Piston(manual, p));
    }
}

// The line of a byte offset, counting from 1.
int LineAt(const QByteArray& text, int offset) {
    const auto end = text.begin() + std::clamp<qsizetype>(offset, 0, text.size());
    return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

} // namespace

std::string ConsoleToJson(const ConsoleModel& model) {
    const int manuals = std::clamp<int>(model.manualCount, 0, kMaxManuals);
    std::string text = "{\n    " + Field(kManualCount, manuals) + ",\n    " +
                       Field(kIdentityByte21, int{model.identityByte21}) + ",\n    \"manuals\": [";
    for (int m = 1; m <= manuals; ++m)
        text += (m == 1 ? "\n" : ",\n") + ManualToJson(model, m);
    return text + (manuals == 0 ? "]\n}\n" : "\n    ]\n}\n");
}

Expected<ConsoleModel> ConsoleFromJson(const QByteArray& text, std::string_view sourceName) {
    const std::string source(sourceName);
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return Error{source + ":" + std::to_string(LineAt(text, parseError.offset)) +
                     ": JSON syntax error: " + parseError.errorString().toStdString()};
    }

    JsonReader reader;
    ConsoleModel model;
    const QJsonObject root = reader.Object(document.isObject() ? QJsonValue(document.object())
                                                               : QJsonValue(document.array()),
                                           "", {kManualCount, kManuals, kIdentityByte21});
    model.manualCount =
        static_cast<std::int16_t>(reader.Integer(root, kManualCount, "", 0, kMaxManuals));
    if (root.contains(kIdentityByte21)) {
        model.identityByte21 = static_cast<std::uint8_t>(
            reader.Integer(root[kIdentityByte21], Key(kIdentityByte21), 0, 255));
    }
    const QJsonArray manuals = reader.Array(root, kManuals, "");
    if (!reader.error() && manuals.size() != model.manualCount) {
        reader.Fail(Key(kManualCount), "is " + std::to_string(model.manualCount) +
                                           " but \"manuals\" has " +
                                           std::to_string(manuals.size()) + " entries");
    }
    for (int m = 1; m <= model.manualCount && !reader.error(); ++m) {
        ReadManual(reader, manuals.at(m - 1), Element(Key(kManuals), m - 1), model, m);
    }
    if (reader.error()) return Error{source + ": " + reader.error()->message};
    return model;
}

} // namespace vtl::cli
