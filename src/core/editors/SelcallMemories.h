#pragma once

#include "model/Eeprom.h"
#include "model/Radioinfo.h"

#include <array>
#include <string>
#include <string_view>

namespace kav {

// One selcall memory: the code to call, 8 digits of 0-15, and the name the radio shows.
struct SelcallMemory {
    static constexpr int kDigits = 8;
    static constexpr int kTagLength = 5;

    std::array<int, kDigits> digits{};
    std::string tag;

    // The last `count` digits as "0"-"9" and "A"-"F".
    std::string codeText(int count) const;
    // Puts the first 8 characters of `text` into the last digits: "0"-"9" and "A"-"F" by
    // value, anything else (a blank) as 0. The digits in front of them keep their values.
    void setCodeText(std::string_view text);
};

// The ten selcall memories of the Selcall memory editor.
struct SelcallMemories {
    static constexpr int kCount = 10;
    static constexpr int kEntryBytes = 8;

    // False when the model has no selcall memory: nothing was read and nothing is written.
    bool present = false;
    std::array<SelcallMemory, kCount> entries{};

    static SelcallMemories load(const EEPROM& image, const TradioInfo& models);
    // Every digit 0, every name empty.
    void clear();
};

// Writes all ten codes digit by digit. A name is written only when it differs from what the
// image shows, so a name that was not edited keeps its bytes.
void store(const SelcallMemories& memories, EEPROM& image, const TradioInfo& models);

// The number of trailing digits the editor shows and edits, limited to 0-8.
int clampIdentLength(int length);

} // namespace kav
