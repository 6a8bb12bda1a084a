// Choosing the MIDI system: names on the command line and the automatic choice.

#include "platform/midi_api.h"

#include <gtest/gtest.h>

namespace vtl {
namespace {

TEST(MidiApi, ParsesTheThreeNamesAndRejectsOthers) {
    const struct {
        std::string_view text;
        bool valid;
        MidiApi api;
    } cases[] = {
        {"alsa", true, MidiApi::Alsa},
        {"jack", true, MidiApi::Jack},
        {"auto", true, MidiApi::Automatic},
        {"ALSA", false, {}},
        {"", false, {}},
        {"jack ", false, {}},
        {"pulse", false, {}},
    };
    for (const auto& c : cases) {
        const auto parsed = parseMidiApi(c.text);
        ASSERT_EQ(parsed.has_value(), c.valid) << "'" << c.text << "'";
        if (c.valid) {
            EXPECT_EQ(*parsed, c.api) << c.text;
            EXPECT_EQ(midiApiName(*parsed), c.text);
        } else {
            EXPECT_NE(parsed.error().message.find("alsa"), std::string::npos);
        }
    }
}

TEST(MidiApi, AutomaticTakesAlsaOnlyWhenSequencerAndSupportExist) {
    const struct {
        MidiApi requested;
        bool sequencer;
        bool compiled;
        MidiApi chosen;
    } cases[] = {
        {MidiApi::Automatic, true, true, MidiApi::Alsa},
        {MidiApi::Automatic, false, true, MidiApi::Jack},
        {MidiApi::Automatic, true, false, MidiApi::Jack},
        {MidiApi::Automatic, false, false, MidiApi::Jack},
        {MidiApi::Alsa, false, false, MidiApi::Alsa},
        {MidiApi::Jack, true, true, MidiApi::Jack},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseMidiApi(c.requested, c.sequencer, c.compiled), c.chosen)
            << midiApiName(c.requested) << " sequencer " << c.sequencer << " compiled "
            << c.compiled;
    }
}

} // namespace
} // namespace vtl
