#pragma once
// The console model as JSON, for scripts and hand-made consoles:
//   {"manualCount": 2, "identityByte21": 0, "manuals": [{"divisionChannels": 5,
//     "shoe": {"expressionOn": true, "volumeControl": false, "midiChannel": 2},
//     "pistons": [{"functionGroup": 1, "functionType": 0, "midiChannel": 3,
//                  "programNumber": 0}, ... 20 entries]}, ...]}
// Channels are as the model holds them: 1-based for pistons, 0-based for shoes.
// "identityByte21" is the MCUs' identity byte that chooses every manual's format byte (13 when
// it is 0x12, else 12); input may leave it out, which reads as 0.

#include "model/console_model.h"
#include "sysex/result.h"

#include <QByteArray>

#include <string>
#include <string_view>

namespace vtl::cli {

// Manuals 1 to manualCount as JSON text with the keys in the order above, one shoe or
// piston per line.
std::string ConsoleToJson(const ConsoleModel& model);

// Reads JSON text strictly: every key present, no unknown key, whole numbers within the
// model's ranges, exactly 20 pistons and as many manuals as manualCount says. Errors begin
// with sourceName and name the line of a syntax error or the JSON path of a bad value
// ("manuals[1].pistons[3].midiChannel"). Whether the image can carry the values is left
// to the encoder.
Expected<ConsoleModel> ConsoleFromJson(const QByteArray& text, std::string_view sourceName);

} // namespace vtl::cli
