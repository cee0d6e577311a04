#pragma once

#include "editors/VariableAccess.h"
#include "model/BuildConfig.h"
#include "model/Tones.h"

#include <string>
#include <vector>

namespace kav {

// One item of a tone list: its text and the code it stores.
struct ToneChoice {
    std::string text;
    int code;
};

// Everything the CTCSS/DCS editor shows.
struct CtcssSettings {
    ToneScheme scheme = ToneScheme::Extended; // decided on loading, kept until the next
    bool enableShown = true;                  // hidden (and always on) on the handheld
    bool trawl = false;                       // the Trawl memory has a tone of its own
    bool extendedMemories = false;            // silent memory split into 5 + 5 bytes
    bool channels5And35Barred = false;        // "Options-5" bit 1, read only here

    bool enabled = false;             // "Options-5" bit 0
    bool onDuplex = false;            // "Options-5" bit 2 clear
    bool narrowBand = false;          // "Options-5" bit 3
    bool busyLockoutOverride = false; // "Options-5" bit 4
    bool busyLockout = false;         // "Options-5" bit 5
    bool reversePhaseKey = false;     // "Options-9" bit 0 clear
    bool silentTail = false;          // "Options-9" bit 1 clear
    // "Options-5" bit 6. The legacy schemes edit it with the tone-set list; the extended scheme
    // keeps it as loaded.
    bool toneSet38 = false;

    // Stored codes: 0..154, or a code of the 38-tone scheme that stands for no tone, kept as
    // it was so that OK writes it back unchanged. Codes above 154 load as 0, "OFF".
    int cbTone = 0;
    int trawlTone = 0;

    ChannelFlags silent{};

    static CtcssSettings load(const EEPROM& image, const TradioInfo& models,
                              const BuildConfig& config, int firmwareMajor);

    bool legacy() const { return scheme != ToneScheme::Extended; }

    // The tone set chosen in a legacy scheme: both tones keep their frequency where the new
    // set has it and become "OFF" where it does not.
    void chooseToneSet(bool set38);
};

// Stores every field; only the bits the editor owns change, and the receive-only channels'
// memberships after channel 80 in the silent memory stay as they are.
void store(const CtcssSettings& settings, EEPROM& image, const TradioInfo& models);

// The items of a tone list in `scheme`, each with its code. A code that stands for no tone
// adds an item of its own at the end, so that the list can show it and store it back.
std::vector<ToneChoice> toneChoices(ToneScheme scheme, int code);

// Which silent-memory boxes can be changed: none while CTCSS is off; without CTCSS on the
// duplex channels not channels 1-8 and 41-48; and not 5 and 35 when "Options-5" bit 1 bars
// them.
ChannelFlags editableSilentChannels(bool enabled, bool onDuplex, bool channels5And35Barred);

} // namespace kav
