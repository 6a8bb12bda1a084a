// A JACK client that measures how loud its inputs are: it connects its two inputs to the
// ports named on its command line, then for each line "level SECONDS" on standard input
// prints the RMS level of both inputs over the next SECONDS, in dB below full scale, with
// one decimal ("-40.7"); silence is "-inf". Used by the GrandOrgue proof to hear what the
// organ plays.
//
//   jack_level <source port> <source port>
#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

// What the process callback and the main thread share. The main thread asks for a number of
// frames; the callback adds up their squares alone and hands the sum back when it has them.
struct Meter {
    jack_port_t* inputs[2] = {};
    std::atomic<jack_nframes_t> wanted{0};
    std::atomic<bool> done{false};
    double sum = 0;             // the callback's own while a request is open
    jack_nframes_t counted = 0; // likewise
    std::atomic<double> result{0};
};

int Process(jack_nframes_t frames, void* arg) {
    auto& meter = *static_cast<Meter*>(arg);
    const jack_nframes_t wanted = meter.wanted.load(std::memory_order_acquire);
    if (wanted == 0 || meter.done.load(std::memory_order_acquire)) {
        return 0;
    }
    const jack_nframes_t take = std::min(frames, wanted - meter.counted);
    for (jack_port_t* port : meter.inputs) {
        const auto* samples = static_cast<const float*>(jack_port_get_buffer(port, frames));
        for (jack_nframes_t i = 0; i < take; ++i) {
            meter.sum += static_cast<double>(samples[i]) * samples[i];
        }
    }
    meter.counted += take;
    if (meter.counted == wanted) {
        meter.result.store(meter.sum / (2.0 * wanted), std::memory_order_relaxed);
        meter.done.store(true, std::memory_order_release);
    }
    return 0;
}

std::string Decibels(double meanSquare) {
    if (meanSquare <= 0) {
        return "-inf";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 10 * std::log10(meanSquare));
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: jack_level <source port> <source port>\n";
        return 2;
    }
    jack_client_t* client = jack_client_open("vtl-level", JackNoStartServer, nullptr);
    if (client == nullptr) {
        std::cerr << "jack_level: no JACK server\n";
        return 1;
    }
    Meter meter;
    for (int i = 0; i < 2; ++i) {
        const std::string name = "in_" + std::to_string(i);
        meter.inputs[i] =
            jack_port_register(client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    if (meter.inputs[0] == nullptr || meter.inputs[1] == nullptr ||
        jack_set_process_callback(client, Process, &meter) != 0 || jack_activate(client) != 0) {
        std::cerr << "jack_level: cannot start the client\n";
        jack_client_close(client);
        return 1;
    }
    for (int i = 0; i < 2; ++i) {
        if (jack_connect(client, argv[1 + i], jack_port_name(meter.inputs[i])) != 0) {
            std::cerr << "jack_level: cannot connect " << argv[1 + i] << "\n";
            jack_client_close(client);
            return 1;
        }
    }
    std::cout << "ready" << std::endl;

    const jack_nframes_t rate = jack_get_sample_rate(client);
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        double seconds = 0;
        if (!(words >> command >> seconds) || command != "level" || seconds <= 0) {
            std::cerr << "jack_level: not understood: " << line << "\n";
            continue;
        }
        meter.sum = 0;
        meter.counted = 0;
        meter.done.store(false, std::memory_order_relaxed);
        meter.wanted.store(static_cast<jack_nframes_t>(seconds * rate), std::memory_order_release);
        while (!meter.done.load(std::memory_order_acquire)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        meter.wanted.store(0, std::memory_order_release);
        std::cout << Decibels(meter.result.load(std::memory_order_relaxed)) << std::endl;
    }
    jack_client_close(client);
    return 0;
}
