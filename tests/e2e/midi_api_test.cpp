// Choosing the MIDI system: names on the command line and the automatic choice.

#include "platform/midi_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace vtl {
namespace {

// Each platform takes the names of its own systems and "auto", and names them when it refuses
// another: "alsa" and "jack" on Linux, "winmm" on Windows.
TEST(MidiApi, ParsesTheOfferedNamesAndRejectsOthers) {
    const std::pair<std::string_view, MidiApi> names[] = {{"alsa", MidiApi::Alsa},
                                                          {"jack", MidiApi::Jack},
                                                          {"winmm", MidiApi::WindowsMm},
                                                          {"auto", MidiApi::Automatic}};
    const auto offered = OfferedMidiApis();
    std::string choices;
    for (const auto& [text, api] : names) {
        EXPECT_EQ(MidiApiName(api), text);
        const bool isOffered = api == MidiApi::Automatic ||
                               std::find(offered.begin(), offered.end(), api) != offered.end();
        const auto parsed = ParseMidiApi(text);
        ASSERT_EQ(parsed.has_value(), isOffered) << text;
        if (isOffered) {
            EXPECT_EQ(*parsed, api);
        }
        choices += isOffered ? "\"" + std::string(text) + "\", " : "";
    }
    choices.replace(choices.rfind(", \"auto"), 2, " or ");
    for (const std::string_view text : {"ALSA", "jack ", "", "mme"}) {
        const auto parsed = ParseMidiApi(text);
        ASSERT_FALSE(parsed.has_value()) << "'" << text << "'";
        EXPECT_EQ(parsed.error().message, "Unknown MIDI system \"" + std::string(text) +
                                              "\": use " + choices.substr(0, choices.size() - 2) +
                                              ".");
    }
}

TEST(MidiApi, AutomaticTakesAlsaOnlyWhenSequencerAndSupportExist) {
    const struct {
        MidiApi requested;
        bool sequencer, compiled;
        MidiApi chosen;
    } cases[] = {
        {MidiApi::Automatic, true, true, MidiApi::Alsa},
        {MidiApi::Automatic, false, true, MidiApi::Jack},
        {MidiApi::Automatic, true, false, MidiApi::Jack},
        {MidiApi::Alsa, false, false, MidiApi::Alsa},
        {MidiApi::Jack, true, true, MidiApi::Jack},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseMidiApi(c.requested, c.sequencer, c.compiled), c.chosen)
            << MidiApiName(c.requested) << " " << c.sequencer << c.compiled;
    }
}

} // namespace
} // namespace vtl
