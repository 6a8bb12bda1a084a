// Choosing the MIDI system: names on the command line and the automatic choice.

#include "platform/midi_api.h"

#include <gtest/gtest.h>

#include <utility>

namespace vtl {
namespace {

TEST(MidiApi, ParsesTheThreeNamesAndRejectsOthers) {
    const std::pair<std::string_view, MidiApi> names[] = {
        {"alsa", MidiApi::Alsa}, {"jack", MidiApi::Jack}, {"auto", MidiApi::Automatic}};
    for (const auto& [text, api] : names) {
        const auto parsed = ParseMidiApi(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, api);
        EXPECT_EQ(MidiApiName(api), text);
    }
    for (const std::string_view text : {"ALSA", "jack ", ""}) {
        const auto parsed = ParseMidiApi(text);
        ASSERT_FALSE(parsed.has_value()) << "'" << text << "'";
        EXPECT_NE(parsed.error().message.find("alsa"), std::string::npos);
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
